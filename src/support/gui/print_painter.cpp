#include "print_painter.h"

#include "support/gui/display_text.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPrinter>
#include <algorithm>
#include <array>
#include <utility>

namespace kiv {
namespace {

// The families the layouts name and the free fonts drawn to the same widths.
constexpr std::array<std::pair<const char *, const char *>, 4> kStandIns{{
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
}};

QColor Rgb(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// As the page's own rectangles: the right and bottom edges stay outside.
QRect Box(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// Dots as a screen shows them, whatever the device's resolution: a thin
// dotted line on a 600 dpi page would otherwise print as a solid one. The
// pattern counts in pen widths.
QVector<qreal> DotPattern(const QPaintDevice &device, int width) {
    const qreal dot = std::max(1.0, device.logicalDpiX() / 96.0 / std::max(1, width));
    return {dot, 2 * dot};
}

} // namespace

QString PrintFontFamily(const std::string &name) {
    const QString family = QString::fromStdString(name);
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const auto &[named, standIn] : kStandIns)
        if (family.compare(QLatin1String(named), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(standIn);
    return family;
}

bool TPainterSurface::BeginDocument(const std::string &title) {
    if (state_ != State::Before)
        return state_ == State::Open && !failed_;
    SetTitle(DisplayText(title));
    if (!painter_.begin(&Device())) {
        Fail();
        return false;
    }
    state_ = State::Open;
    painter_.setFont(font_);
    painter_.setBrush(Qt::NoBrush);
    ApplyPen();
    OnFreshPage();
    return true;
}

bool TPainterSurface::NewPage() {
    if (!Drawing())
        return false;
    if (!StartPage() || !DeviceOk()) {
        Fail();
        return false;
    }
    OnFreshPage();
    return true;
}

bool TPainterSurface::EndDocument() {
    if (!Drawing())
        return false;
    const bool ended = painter_.end() && DeviceOk();
    state_ = State::Closed;
    if (!ended)
        Fail();
    return ended;
}

int TPainterSurface::PageWidth() const { return Device().width(); }

int TPainterSurface::PageHeight() const { return Device().height(); }

void TPainterSurface::SetFont(const TPrintFont &font) {
    font_ = QFont(PrintFontFamily(font.name));
    font_.setPointSizeF(font.points);
    font_.setBold(font.bold);
    font_.setUnderline(font.underline);
    if (Drawing())
        painter_.setFont(font_);
}

void TPainterSurface::TextOut(int x, int y, const std::string &text) {
    if (!Drawing())
        return;
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), DisplayText(text));
}

int TPainterSurface::TextWidth(const std::string &text) const {
    return QFontMetrics(font_, &Device()).horizontalAdvance(DisplayText(text));
}

int TPainterSurface::TextHeight(const std::string &) const { return QFontMetrics(font_, &Device()).height(); }

// Only pixels can be mixed: the PDF and print engines claim raster
// operations but write the line plainly (or not at all).
bool TPainterSurface::DrawsExclusiveOr() const {
    const QPaintEngine *engine = Device().paintEngine();
    return pen_.exclusiveOr && engine && engine->type() == QPaintEngine::Raster;
}

void TPainterSurface::SetPen(const TPrintPen &pen) {
    pen_ = pen;
    if (Drawing())
        ApplyPen();
}

void TPainterSurface::ApplyPen() {
    QPen pen(Rgb(pen_.colour), pen_.width, pen_.dotted ? Qt::DotLine : Qt::SolidLine);
    if (pen_.dotted)
        pen.setDashPattern(DotPattern(Device(), pen_.width));
    painter_.setPen(pen);
    painter_.setCompositionMode(DrawsExclusiveOr() ? QPainter::RasterOp_SourceXorDestination
                                                   : QPainter::CompositionMode_SourceOver);
}

void TPainterSurface::Line(int x1, int y1, int x2, int y2) {
    if (Drawing())
        painter_.drawLine(x1, y1, x2, y2);
}

void TPainterSurface::SetBrush(uint32_t colour) { brush_ = QBrush(Rgb(colour)); }

// Fills and pictures cover what lies below whatever the pen's mode.
void TPainterSurface::FillRect(int left, int top, int right, int bottom) {
    if (!Drawing())
        return;
    const QPainter::CompositionMode mode = painter_.compositionMode();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(Box(left, top, right, bottom), brush_);
    painter_.setCompositionMode(mode);
}

void TPainterSurface::StretchPicture(int left, int top, int right, int bottom, const std::string &pictureFile) {
    if (!Drawing())
        return;
    const QImage picture(QString::fromStdString(pictureFile));
    if (picture.isNull()) {
        Fail();
        return;
    }
    const QPainter::CompositionMode mode = painter_.compositionMode();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(Box(left, top, right, bottom), picture);
    painter_.setCompositionMode(mode);
}

void TPainterSurface::Fail() {
    failed_ = true;
    Abandon();
    EndPainting();
}

void TPainterSurface::EndPainting() {
    if (painter_.isActive())
        painter_.end();
}

TPrinterSurface::~TPrinterSurface() { EndPainting(); }

QPaintDevice &TPrinterSurface::Device() { return printer_; }

const QPaintDevice &TPrinterSurface::Device() const { return printer_; }

void TPrinterSurface::SetTitle(const QString &title) { printer_.setDocName(title); }

bool TPrinterSurface::StartPage() { return printer_.newPage(); }

bool TPrinterSurface::DeviceOk() const {
    return printer_.printerState() != QPrinter::Error && printer_.printerState() != QPrinter::Aborted;
}

void TPrinterSurface::Abandon() {
    if (Painter().isActive())
        printer_.abort();
}

TPdfSurface::TPdfSurface(const std::string &path, bool landscape)
    : path_(QString::fromStdString(path)), writer_(path_) {
    writer_.setResolution(600);
    writer_.setCreator(QStringLiteral("Kiv"));
    writer_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
}

TPdfSurface::~TPdfSurface() { EndPainting(); }

void TPdfSurface::SetTitle(const QString &title) { writer_.setTitle(title); }

void TPdfSurface::Abandon() {
    EndPainting();
    QFile::remove(path_);
}

TCanvasSurface::~TCanvasSurface() { EndPainting(); }

void TCanvasSurface::OnFreshPage() { Painter().fillRect(0, 0, device_.width(), device_.height(), Qt::white); }

} // namespace kiv

#include "reports/rap_okres.h"

#include "support/gui/display_text.h"
#include "support/gui/open_winds.h"
#include "support/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kiv {
namespace {

constexpr TimeStamp kDaySeconds = 86400;
constexpr int kChosenRole = Qt::UserRole + 1;
constexpr int kGlyphSize = 13;
const QColor kExtremeBackground(Qt::red);
const QColor kExtremeText(Qt::white);

QString Q(const std::string &text) { return QString::fromStdString(text); }

TimeStamp Days(TimeStamp stamp, int days) {
    return static_cast<TimeStamp>(static_cast<int64_t>(stamp) + int64_t{days} * kDaySeconds);
}

// The glyph of a column chosen for printing (a ticked box) or left out (an empty one).
QPixmap MarkGlyph(bool chosen) {
    QPixmap glyph(kGlyphSize, kGlyphSize);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, kGlyphSize - 1.0, kGlyphSize - 1.0);
    p.setPen(QPen(chosen ? QColor(0x1b5e20) : QColor(0x9e9e9e), 1));
    p.setBrush(chosen ? QColor(0x2e7d32) : QColor(Qt::white));
    p.drawRoundedRect(box, 2, 2);
    if (chosen) {
        QPainterPath tick;
        tick.moveTo(3, 6.5);
        tick.lineTo(5.5, 9.5);
        tick.lineTo(10, 3.5);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return glyph;
}

// Row 0 of the grid: the column's print glyph, centred in its cell.
class TMarkDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant chosen = index.data(kChosenRole);
        if (index.row() != 0 || !chosen.isValid())
            return;
        const QPixmap glyph = MarkGlyph(chosen.toBool());
        const QRect r = option.rect;
        painter->drawPixmap(r.x() + (r.width() - glyph.width()) / 2, r.y() + (r.height() - glyph.height()) / 2,
                            glyph);
    }
};

QTableWidgetItem *Item(const std::string &text, Qt::Alignment alignment) {
    auto *item = new QTableWidgetItem(Q(text));
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

int TextWidthIn(const QFontMetrics &metrics, const std::string &text) { return metrics.horizontalAdvance(Q(text)); }

// What follows "Wydruk wykonano:": today in the system's short date format.
std::string TodayText() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString(); }

// One document for every report, each with the same print date.
std::vector<TPrintLayout> PeriodDocuments(const std::vector<TPeriodPage> &pages) {
    const std::string today = TodayText();
    std::vector<TPrintLayout> documents;
    for (const TPeriodPage &page : pages)
        documents.push_back([page, today](IPrintSurface &surface) { DrawPeriodPage(surface, page, today); });
    return documents;
}

} // namespace

TFListaWydrukuOkr::TFListaWydrukuOkr(QWidget *parent) : TFListaWydrukuDob(parent) {
    List()->setToolTip(QStringLiteral("2 x klik wybiera stację"));
}

TFRapOkres::TFRapOkres(QWidget *parent)
    : QMainWindow(parent), list_(new TFListaWydrukuOkr(this)), grid_(new QTableWidget(this)),
      sum_(new QTableWidget(1, kPeriodSumColumns, this)) {
    setObjectName("TFRapOkres");
    setWindowTitle("Raport Okresowy");
    grid_->setObjectName("TabRapOkr");
    grid_->setFont(PeriodGridFont());
    grid_->horizontalHeader()->setFont(PeriodGridFont());
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(PeriodGridFont()).height() + 8);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setItemDelegate(new TMarkDelegate(grid_));
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sum_->setObjectName("TSum");
    sum_->verticalHeader()->hide();
    sum_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers;
    for (const char *header : kPeriodSumHeaders)
        headers << QString::fromUtf8(header);
    sum_->setHorizontalHeaderLabels(headers);
    sum_->horizontalHeader()->setStretchLastSection(true);
    sum_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sum_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid_);
    layout->addWidget(sum_);
    setCentralWidget(central);
    for (QLabel *&panel : panels_) {
        panel = new QLabel(this);
        statusBar()->addWidget(panel, 1);
    }
    const auto add = [this](const char *caption, auto handler) {
        QAction *action = menuBar()->addAction(QString::fromUtf8(caption));
        connect(action, &QAction::triggered, this, handler);
        actions_.push_back(action);
    };
    add("Lista", [this] { list_->exec(); });
    add("&Drukuj", [this] { (void)Print({TPrintTarget::Printer, "", true}); });
    add("<", [this] { StepPeriod(-1, -1); });
    add(">", [this] { StepPeriod(1, 1); });
    add("-Dzień", [this] { StepPeriod(0, -1); });
    add("+Dzień", [this] { StepPeriod(0, 1); });
    add("-Stacja", [this] { StepStation(-1); });
    add("+Stacja", [this] { StepStation(1); });
    add("&Okna", [] { OpenWindows().exec(); });
    QMenu *exportMenu = menuBar()->addMenu("Eksport");
    actions_.push_back(exportMenu->menuAction());
    for (const auto &[caption, layoutKind] : {std::pair{"Standard", TCsvLayout::Standard},
                                              std::pair{"Rozliczenie", TCsvLayout::Rozliczenie}}) {
        QAction *action = exportMenu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, kind = layoutKind] { AskExport(kind); });
        actions_.push_back(action);
    }
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row == 0)
            ToggleColumn(column);
    });
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int, int column) { ShowHint(column); });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { ShowHint(column); });
    connect(list_, &TFListaWydrukuDob::LineChosen, this, [this](int line) {
        list_->Select(line);
        UpdateActions();
        (void)Build();
    });
    resize(1000, 700);
    UpdateActions();
}

QAction *TFRapOkres::Action(const QString &caption) const {
    for (QAction *action : actions_)
        if (action->text() == caption)
            return action;
    return nullptr;
}

bool TFRapOkres::Open(const TPeriodReportArgs &args) {
    args_ = args;
    start_ = args.start;
    end_ = args.end;
    std::vector<std::string> lines;
    for (const std::string &entry : args.entries)
        lines.push_back(DailyListText(SplitDailyEntry(entry)));
    list_->SetLines(lines);
    return Build();
}

TPeriodRequest TFRapOkres::Request(int line) const {
    return {args_.entries[static_cast<std::size_t>(line)],
            args_.dataFolder,
            start_,
            end_,
            args_.hourShift,
            args_.lower,
            args_.upper,
            args_.kivIni,
            SystemDecimalSeparator()};
}

TPeriodBuild TFRapOkres::BuildShown() {
    const int line = list_->Selected();
    if (line < 0 || line >= static_cast<int>(args_.entries.size()))
        return TPeriodBuild::NoData;
    TPeriodReport report;
    const TPeriodBuild built = BuildPeriodReport(Request(line), report);
    if (built == TPeriodBuild::Built) {
        shown_ = std::move(report);
        hasReport_ = true;
        start_ = shown_.start;
        end_ = shown_.end;
        selection_ = ReadPrintSelection(args_.dataFolder, shown_);
        ShowReport();
        show();
        raise();
        activateWindow();
    } else if (built == TPeriodBuild::NoData) {
        ClearReport();
    }
    UpdateActions();
    return built;
}

bool TFRapOkres::Build() { return BuildShown() == TPeriodBuild::Built; }

// A step the accepted range refuses is taken back, so the period stays the one shown.
void TFRapOkres::StepPeriod(int startDays, int endDays) {
    const TimeStamp start = start_;
    const TimeStamp end = end_;
    start_ = Days(start_, startDays);
    end_ = Days(end_, endDays);
    if (BuildShown() == TPeriodBuild::OutsideRange) {
        start_ = start;
        end_ = end;
        UpdateActions();
    }
}

void TFRapOkres::StepStation(int lines) {
    const int line = list_->Selected() + lines;
    if (line < 0 || line >= list_->Count())
        return;
    list_->Select(line);
    (void)Build();
}

void TFRapOkres::ShowReport() {
    const QFontMetrics metrics(PeriodGridFont());
    const std::vector<int> widths =
        PeriodColumnWidths(shown_, [&metrics](const std::string &text) { return TextWidthIn(metrics, text); });
    const int columns = static_cast<int>(shown_.columns.size());
    grid_->clear();
    grid_->setColumnCount(columns);
    grid_->setRowCount(shown_.Rows() - kPeriodMarkRow);
    QStringList headers;
    for (const TPeriodColumn &column : shown_.columns)
        headers << Q(column.name + "\n" + column.unit);
    grid_->setHorizontalHeaderLabels(headers);
    const QColor fixed = palette().color(QPalette::Button);
    // The report's widths fit the texts; the cells add the style's margins on both sides.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1);
    for (int c = 0; c < columns; ++c) {
        grid_->setColumnWidth(c, widths[static_cast<std::size_t>(c)] + margins);
        const int extreme = shown_.columns[static_cast<std::size_t>(c)].extremeRow;
        for (int r = kPeriodMarkRow; r < shown_.Rows(); ++r) {
            const Qt::Alignment alignment = c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter;
            QTableWidgetItem *item = Item(shown_.Text(c, r), alignment);
            if (r == kPeriodMarkRow)
                item->setBackground(fixed);
            if (r == extreme && c > 0) {
                item->setBackground(kExtremeBackground);
                item->setForeground(kExtremeText);
            }
            grid_->setItem(GridRow(r), c, item);
        }
    }
    ShowMarks();
    for (int k = 0; k < kPeriodSumColumns; ++k)
        sum_->setItem(0, k, Item(shown_.sum[static_cast<std::size_t>(k)], Qt::AlignCenter));
    for (std::size_t p = 0; p < panels_.size(); ++p)
        panels_[p]->setText(Q(shown_.statusLines[p]));
    setWindowTitle(Q(shown_.title));
    grid_->setCurrentItem(nullptr);
    FitSize();
}

// Wide enough for the grid, the summary and the status panels, as far as the screen allows.
void TFRapOkres::FitSize() {
    sum_->resizeColumnsToContents();
    sum_->resizeRowsToContents();
    sum_->setFixedHeight(sum_->horizontalHeader()->sizeHint().height() + sum_->rowHeight(0) + 2 * sum_->frameWidth());
    int gridWidth = grid_->verticalScrollBar()->sizeHint().width() + 2 * grid_->frameWidth();
    for (int c = 0; c < grid_->columnCount(); ++c)
        gridWidth += grid_->columnWidth(c);
    int sumWidth = 2 * sum_->frameWidth();
    for (int c = 0; c < sum_->columnCount(); ++c)
        sumWidth += sum_->columnWidth(c);
    int panelsWidth = 0;
    for (const QLabel *panel : panels_)
        panelsWidth += panel->sizeHint().width() + 12;
    const QSize room = screen() ? screen()->availableGeometry().size() - QSize(40, 80) : QSize(1400, 900);
    const int gridHeight = grid_->horizontalHeader()->sizeHint().height() + 2 * grid_->frameWidth() +
                           grid_->rowCount() * grid_->verticalHeader()->defaultSectionSize();
    const int rest = menuBar()->sizeHint().height() + sum_->height() + statusBar()->sizeHint().height() + 16;
    resize(std::min(std::max({gridWidth, sumWidth, panelsWidth}) + 8, room.width()),
           std::min(gridHeight + rest, room.height()));
}

void TFRapOkres::ShowMarks() {
    for (int c = 1; c < grid_->columnCount(); ++c)
        if (QTableWidgetItem *item = grid_->item(0, c))
            item->setData(kChosenRole, static_cast<std::size_t>(c) < selection_.size() &&
                                           selection_[static_cast<std::size_t>(c)]);
}

void TFRapOkres::ClearReport() {
    hasReport_ = false;
    shown_ = {};
    grid_->clear();
    grid_->setRowCount(0);
    grid_->setColumnCount(0);
    sum_->clearContents();
    for (QLabel *panel : panels_)
        panel->clear();
    setWindowTitle("Raport Okresowy");
}

void TFRapOkres::UpdateActions() {
    Action("-Dzień")->setEnabled(MayDropDay(start_, end_));
    Action("+Dzień")->setEnabled(MayAddDay(start_, end_));
    Action("-Stacja")->setEnabled(list_->Selected() > 0);
    Action("+Stacja")->setEnabled(list_->Selected() + 1 < list_->Count());
    Action("Eksport")->setEnabled(hasReport_);
}

void TFRapOkres::ShowHint(int column) {
    if (hasReport_ && column >= 0 && column < static_cast<int>(shown_.columns.size()))
        grid_->setToolTip(Q(shown_.columns[static_cast<std::size_t>(column)].description));
}

void TFRapOkres::ToggleColumn(int column) {
    if (hasReport_ && TogglePrintColumn(args_.dataFolder, shown_, column, selection_))
        ShowMarks();
}

std::vector<TPeriodPage> TFRapOkres::PrintPages() const {
    std::vector<TPeriodPage> pages;
    for (int line = 0; line < list_->Count() && line < static_cast<int>(args_.entries.size()); ++line) {
        TPeriodReport report;
        if (list_->Ticked(line) && BuildPeriodReport(Request(line), report) == TPeriodBuild::Built)
            pages.push_back(PageAsShown(report, ReadPrintSelection(args_.dataFolder, report)));
    }
    return pages;
}

TPrintResult TFRapOkres::Print(const TPrintDestination &destination) {
    bool ticked = false;
    for (int line = 0; line < list_->Count(); ++line)
        ticked = ticked || list_->Ticked(line);
    if (!ticked) {
        (void)MessageDlg("", "Na liście do wydruku nie zaznaczono żadnej stacji", MsgInformation);
        return TPrintResult::Cancelled;
    }
    return RunPrintJobs(
        this, kPeriodDocumentTitle, destination, [this] { return PeriodDocuments(PrintPages()); },
        {nullptr, Action("&Drukuj")});
}

std::string TFRapOkres::Export(TCsvLayout layout, const std::string &chosenPath) {
    return hasReport_ ? WritePeriodCsv(shown_, layout, chosenPath) : std::string();
}

void TFRapOkres::AskExport(TCsvLayout layout) {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz plik jako: "), QString(),
                                                      QStringLiteral("*.CSV"));
    (void)Export(layout, path.toStdString());
}

void TFRapOkres::showEvent(QShowEvent *event) {
    OpenWindows().RegisterWindow(this);
    QMainWindow::showEvent(event);
}

void TFRapOkres::closeEvent(QCloseEvent *event) {
    if (const int index = OpenWindows().IndexOf(this); index >= 0)
        OpenWindows().UnregisterWindow(index);
    QMainWindow::closeEvent(event);
}

QFont PeriodGridFont() { return QFont(QStringLiteral("MS Sans Serif"), 10); }

TPeriodPage PageAsShown(const TPeriodReport &report, TPrintSelection selection) {
    const QFontMetrics metrics(PeriodGridFont());
    return MakePeriodPage(report, std::move(selection),
                          [&metrics](const std::string &text) { return TextWidthIn(metrics, text); });
}

bool PrintPeriodToPdf(const std::vector<TPeriodPage> &pages, const std::string &file) {
    return RunPrintJobs(nullptr, kPeriodDocumentTitle, {TPrintTarget::PdfFile, file, true},
                        [&pages] { return PeriodDocuments(pages); }) == TPrintResult::Printed;
}

} // namespace kiv

#include "reports/grafika.h"

#include "support/gui/open_winds.h"
#include "support/gui/print_painter.h"
#include "support/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>

namespace kiv {

// The drawing area: it paints the window's picture and hands the mouse to it.
class TGraphCanvas : public QWidget {
  public:
    explicit TGraphCanvas(TFGrafika *owner) : QWidget(owner), owner_(owner) {
        setObjectName("Canvas");
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(320, 200);
    }

  protected:
    void paintEvent(QPaintEvent *) override {
        owner_->Render(size());
        QPainter(this).drawImage(0, 0, owner_->picture_);
    }
    void mouseMoveEvent(QMouseEvent *event) override { owner_->MouseAt(event->position().toPoint().x()); }
    void mouseDoubleClickEvent(QMouseEvent *event) override {
        (void)owner_->DoubleClickAt(event->position().toPoint().x());
    }

  private:
    TFGrafika *owner_;
};

namespace {

std::vector<TFGrafika *> &GraphList() {
    static std::vector<TFGrafika *> list;
    return list;
}

QString Q(const std::string &text) { return QString::fromStdString(text); }

QLabel *Panel(QWidget *parent, const char *name, int width) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(width);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

void LeaveOpenWindows(QWidget *window) {
    if (const int index = OpenWindows().IndexOf(window); index >= 0)
        OpenWindows().UnregisterWindow(index);
}

} // namespace

TFGrafika *TFGrafika::OpenNew(const TGraphRequest &request, QWidget *parent) {
    auto *window = new TFGrafika(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const TGraphOpen result = window->Show(request);
    if (result == TGraphOpen::Shown)
        return window;
    // A command that opens no window at all still says why.
    if (result == TGraphOpen::NoArchive)
        (void)MessageDlg("", NoSamplesText(request.start, request.end), MsgInformation);
    delete window;
    return nullptr;
}

std::vector<TFGrafika *> TFGrafika::OpenGraphs() { return GraphList(); }

TFGrafika::TFGrafika(QWidget *parent)
    : QMainWindow(parent), canvas_(new TGraphCanvas(this)), label1_(Panel(this, "Label1", 130)),
      panel1_(Panel(this, "Panel1", 80)), panel2_(Panel(this, "Panel2", 70)), panel3_(Panel(this, "Panel3", 90)),
      panel4_(Panel(this, "Panel4", 130)) {
    setObjectName("TFGrafika");
    GraphList().push_back(this);
    panel2_->setToolTip("Status wartości");
    QMenu *file = menuBar()->addMenu("&Plik");
    connect(file->addAction("&Ostatni dzień"), &QAction::triggered, this, [this] { LastDay(); });
    connect(menuBar()->addAction("<"), &QAction::triggered, this, [this] { StepDays(-1); });
    connect(menuBar()->addAction(">"), &QAction::triggered, this, [this] { StepDays(1); });
    parameters_ = menuBar()->addMenu("&Lista");
    connect(menuBar()->addAction("&Okna"), &QAction::triggered, this, [] { OpenWindows().exec(); });
    print_ = menuBar()->addAction("&Drukuj");
    connect(print_, &QAction::triggered, this, [this] { (void)Print({TPrintTarget::Printer, "", true}); });
    switch_ = menuBar()->addAction("Godziny");
    switch_->setObjectName("Powieksz");
    connect(switch_, &QAction::triggered, this, [this] { ToggleSwitch(); });
    setCentralWidget(canvas_);
    for (QLabel *label : {label1_, panel1_, panel2_})
        statusBar()->addWidget(label);
    statusBar()->addPermanentWidget(panel4_);
    statusBar()->addPermanentWidget(panel3_);
    resize(900, 560);
}

TFGrafika::~TFGrafika() { std::erase(GraphList(), this); }

bool TFGrafika::Open(const TGraphRequest &request) { return Show(request) == TGraphOpen::Shown; }

TGraphOpen TFGrafika::Show(const TGraphRequest &request) {
    TGraph next;
    const TGraphOpen result = OpenGraph(request, next);
    if (result != TGraphOpen::Shown) {
        ReportGraphOpen(result, next);
        return result;
    }
    LeaveOpenWindows(this);
    graph_ = std::move(next);
    cursor_ = 0;
    picture_ = QImage();
    setWindowTitle(Q(graph_.title));
    UpdateMenu();
    ShowCursor();
    for (QLabel *label : {label1_, panel1_, panel2_})
        label->clear();
    show();
    raise();
    OpenWindows().RegisterWindow(this);
    canvas_->update();
    return result;
}

void TFGrafika::UpdateMenu() {
    parameters_->clear();
    for (std::size_t i = 0; i < graph_.parameters.size(); ++i) {
        QAction *item = parameters_->addAction(Q(graph_.parameters[i].displayName));
        item->setCheckable(true);
        item->setChecked(static_cast<int>(i) == graph_.request.parameter);
        connect(item, &QAction::triggered, this, [this, i] { ChooseParameter(static_cast<int>(i)); });
    }
    switch_->setText(Q(SwitchCaption(graph_)));
    switch_->setEnabled(SwitchEnabled(graph_));
}

void TFGrafika::StepDays(int days) { (void)Show(SteppedRequest(graph_, days)); }

void TFGrafika::LastDay() {
    TGraphRequest request;
    if (LastDayRequest(graph_, request))
        (void)Show(request);
}

void TFGrafika::ChooseParameter(int index) {
    if (index < 0 || index >= static_cast<int>(graph_.parameters.size()))
        return;
    TGraphRequest request = graph_.request;
    request.parameter = index;
    request.parameterName = graph_.parameters[static_cast<std::size_t>(index)].name;
    if (Show(request) != TGraphOpen::Shown)
        UpdateMenu(); // the tick stays on the parameter still shown
}

void TFGrafika::ToggleSwitch() {
    SetGraphSwitch(graph_, !graph_.zoom);
    cursor_ = 0;
    picture_ = QImage();
    UpdateMenu();
    ShowCursor();
    canvas_->update();
}

void TFGrafika::PressKey(TGraphKey key) {
    const TCursorMove move = MoveCursor(graph_, cursor_, key);
    if (move.dayStep != 0) {
        if (Show(SteppedRequest(graph_, move.dayStep)) == TGraphOpen::Shown && move.dayStep < 0)
            cursor_ = std::max(0, static_cast<int>(graph_.Records().size()) - 1);
    } else {
        cursor_ = move.record;
    }
    picture_ = QImage();
    ShowCursor();
    canvas_->update();
}

void TFGrafika::MouseAt(int x) {
    const TMouseReadout readout = MouseReadout(graph_, PlotArea(), x);
    label1_->setText(Q(readout.time));
    panel1_->setText(Q(readout.value));
    panel2_->setText(Q(readout.status));
}

TFGrafika *TFGrafika::DoubleClickAt(int x) {
    TGraphRequest request;
    if (!DayRequestAt(graph_, PlotArea(), x, request))
        return nullptr;
    return OpenNew(request, parentWidget());
}

TPrintResult TFGrafika::Print(const TPrintDestination &destination) {
    return RunPrintJob(
        this, kGraphDocumentTitle, destination, [this](IPrintSurface &surface) { DrawGraphPage(surface, graph_); },
        {nullptr, print_});
}

TPlotArea TFGrafika::PlotArea() const { return PictureArea(canvas_->size(), statusBar()->height()); }

void TFGrafika::Render(QSize size) {
    if (picture_.size() != size)
        picture_ = GraphPicture(graph_, size, statusBar()->height(), cursor_);
}

void TFGrafika::ShowCursor() {
    const TCursorReadout readout = CursorReadout(graph_, cursor_);
    panel4_->setText(Q(readout.time));
    panel3_->setText(Q(readout.value));
}

QString TFGrafika::Text(const char *objectName) const {
    const auto *label = findChild<QLabel *>(objectName);
    return label ? label->text() : QString();
}

QAction *TFGrafika::Action(const QString &caption) const {
    for (QAction *action : menuBar()->actions()) {
        if (action->text() == caption)
            return action;
        if (action->menu())
            for (QAction *item : action->menu()->actions())
                if (item->text() == caption)
                    return item;
    }
    return nullptr;
}

void TFGrafika::keyPressEvent(QKeyEvent *event) {
    static const std::pair<int, TGraphKey> keys[] = {
        {Qt::Key_Left, TGraphKey::Left},     {Qt::Key_Right, TGraphKey::Right},
        {Qt::Key_PageUp, TGraphKey::PageUp}, {Qt::Key_PageDown, TGraphKey::PageDown},
        {Qt::Key_Home, TGraphKey::Home},     {Qt::Key_End, TGraphKey::End},
    };
    for (const auto &[code, key] : keys)
        if (event->key() == code) {
            PressKey(key);
            return;
        }
    QMainWindow::keyPressEvent(event);
}

void TFGrafika::closeEvent(QCloseEvent *event) {
    LeaveOpenWindows(this);
    QMainWindow::closeEvent(event);
}

TPlotArea PictureArea(QSize size, int statusHeight) {
    // Measured as the drawing measures it: on an image, in the graph's font.
    QImage probe(1, 1, QImage::Format_RGB32);
    TCanvasSurface surface(probe);
    surface.SetFont(GraphFont());
    return ScreenPlotArea(size.width(), size.height(), statusHeight, surface.TextWidth("222222222"));
}

QImage GraphPicture(const TGraph &graph, QSize size, int statusHeight, int cursor) {
    QImage picture(size, QImage::Format_RGB32);
    TCanvasSurface surface(picture);
    if (surface.BeginDocument(kGraphDocumentTitle)) {
        const TPlotArea area = PictureArea(size, statusHeight);
        DrawGraph(surface, graph, area);
        DrawCursor(surface, graph, area, cursor);
        (void)surface.EndDocument();
    }
    return picture;
}

bool PrintGraphToPdf(const TGraph &graph, const std::string &file) {
    return RunPrintJob(nullptr, kGraphDocumentTitle, {TPrintTarget::PdfFile, file, true},
                       [&graph](IPrintSurface &surface) { DrawGraphPage(surface, graph); }) == TPrintResult::Printed;
}

} // namespace kiv

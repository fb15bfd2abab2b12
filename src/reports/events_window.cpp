#include "reports/events_window.h"

#include "config/station_db.h"
#include "support/gui/open_winds.h"
#include "support/gui/print_painter.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace kiv {

// The grid's rows are the view's; texts are made as the grid paints them.
class TEventsModel : public QAbstractTableModel {
  public:
    TEventsModel(const TEventsView &view, QObject *parent) : QAbstractTableModel(parent), view_(view) {}

    void Reset(const std::function<void()> &change) {
        beginResetModel();
        change();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : view_.RowCount(); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : kEventsColumns; }
    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return QString::fromStdString(view_.Cell(index.row(), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kEventsColumns)
            return {};
        return QString::fromStdString(EventsHeader()[static_cast<std::size_t>(section)]);
    }

  private:
    const TEventsView &view_;
};

namespace {

constexpr int kNumberWidth = 40;
constexpr int kCodeWidth = 25;
constexpr int kStampWidth = 115;
constexpr int kDescriptionMargin = 24;

} // namespace

TFEvents::TFEvents(QWidget *parent, std::string programFolder)
    : QMainWindow(parent), programFolder_(std::move(programFolder)), model_(new TEventsModel(view_, this)),
      generations_(new QComboBox(this)), grid_(new QTableView(this)) {
    setObjectName("TFEvents");
    setWindowTitle(kEventsCaption);
    generations_->setObjectName("ComboBox_EvFile");
    generations_->setEditable(false);
    grid_->setObjectName("StringGrid");
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The fixed column widths hold a time stamp and a five-digit number in a narrow face.
    grid_->setFont(QFont(PrintFontFamily("Arial Narrow"), 9));
    grid_->horizontalHeader()->setFont(grid_->font());
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid_->font()).height() + 4);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->horizontalHeader()->setStretchLastSection(false);
    grid_->horizontalHeader()->setMinimumSectionSize(kCodeWidth);
    grid_->setWordWrap(false);
    grid_->installEventFilter(this);

    QMenu *file = menuBar()->addMenu("&Plik");
    print_ = file->addAction("&Drukuj");
    QMenu *format = menuBar()->addMenu("For&mat");
    parameters_ = format->addAction("Parametry dodatkowe");
    parameters_->setCheckable(true);
    parameters_->setEnabled(false);
    QAction *windows = menuBar()->addAction("&Okna");

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(generations_);
    layout->addWidget(grid_);
    setCentralWidget(central);
    resize(760, 520);
    FitColumns();

    connect(print_, &QAction::triggered, this, [this] { (void)Print({}); });
    connect(parameters_, &QAction::triggered, this, [this](bool shown) { ToggleParameters(shown); });
    connect(windows, &QAction::triggered, this, [] { OpenWindows().exec(); });
    connect(generations_, &QComboBox::activated, this,
            [this](int line) { ShowGeneration(GenerationOfLine(generations_->itemText(line).toStdString())); });
}

void TFEvents::Open(const std::string &dataFolder, int address) {
    dataFolder_ = dataFolder;
    address_ = address;
    generation_ = -1;
    parameters_->setChecked(false);
    parameters_->setEnabled(false);
    setWindowTitle(QString::fromStdString(std::string(kEventsCaption) + " " + StationBaseName(dataFolder, address)));
    FitColumns();
    model_->Reset([this] { view_ = TEventsView(); });
    generations_->clear();
    for (const TEventsGeneration &line : ListEventGenerations(dataFolder, address))
        generations_->addItem(QString::fromStdString(line.text));
    if (generations_->count() == 0) {
        show();
        raise();
        return;
    }
    ShowGeneration(GenerationOfLine(generations_->itemText(0).toStdString()));
}

void TFEvents::ShowGeneration(int generation) {
    generation_ = generation;
    model_->Reset([this, generation] {
        (void)view_.Load(dataFolder_, address_, generation, programFolder_);
        if (!view_.HasDefinition())
            parameters_->setChecked(false);
        view_.ShowParameters(parameters_->isChecked());
    });
    parameters_->setEnabled(view_.HasDefinition());
    for (int line = 0; line < generations_->count(); ++line)
        if (GenerationOfLine(generations_->itemText(line).toStdString()) == generation)
            generations_->setCurrentIndex(line);
    OpenWindows().RegisterWindow(this);
    show();
    raise();
    activateWindow();
    ReportEventsView(view_);
}

void TFEvents::ToggleParameters(bool shown) {
    const int record = view_.RecordOfRow(grid_->currentIndex().row());
    model_->Reset([this, shown] { view_.ShowParameters(shown); });
    SelectRow(view_.RowOfRecord(record));
}

void TFEvents::SelectRow(int row) {
    if (row < 0)
        return;
    const QModelIndex index = model_->index(row, 0);
    grid_->setCurrentIndex(index);
    grid_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

std::vector<int> TFEvents::PrintRows() const {
    std::vector<int> selected;
    for (const QModelIndex &index : grid_->selectionModel()->selectedRows())
        selected.push_back(index.row());
    return RowsToPrint(std::move(selected), view_.RowCount());
}

TPrintResult TFEvents::Print(const TPrintDestination &destination) {
    const std::vector<int> rows = PrintRows();
    const std::string line = generations_->currentText().toStdString();
    return RunPrintJob(
        this, kEventsDocumentTitle, destination,
        [this, &rows, &line](IPrintSurface &surface) { DrawEventsList(surface, line, view_, rows); },
        {nullptr, print_});
}

void TFEvents::FitColumns() {
    const int rest = grid_->width() - kNumberWidth - kCodeWidth - 2 * kStampWidth - kDescriptionMargin;
    grid_->setColumnWidth(0, kNumberWidth);
    grid_->setColumnWidth(1, kCodeWidth);
    grid_->setColumnWidth(2, std::max(0, rest));
    grid_->setColumnWidth(3, kStampWidth);
    grid_->setColumnWidth(4, kStampWidth);
}

bool TFEvents::eventFilter(QObject *watched, QEvent *event) {
    if (watched == grid_ && event->type() == QEvent::Resize)
        FitColumns();
    return QMainWindow::eventFilter(watched, event);
}

void TFEvents::closeEvent(QCloseEvent *event) {
    if (const int index = OpenWindows().IndexOf(this); index >= 0)
        OpenWindows().UnregisterWindow(index);
    QMainWindow::closeEvent(event);
}

} // namespace kiv

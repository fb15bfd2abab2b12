#include "export/cur_data.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "support/messages.h"

namespace kiv {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QTableWidgetItem* Cell(const std::string& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* item = new QTableWidgetItem(Q(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(align);
    return item;
}

} // namespace

TFCurData::TFCurData(QWidget* parent)
    : QDialog(parent), combo_(new QComboBox(this)), grid_(new QTableWidget(0, 3, this)) {
    setObjectName("TFCurData");
    setWindowTitle("Dane bieżące");
    setSizeGripEnabled(true);
    resize(640, 480);

    combo_->setObjectName("ComboBox_Typ");
    combo_->setMaxVisibleItems(15);
    grid_->setObjectName("StringGrid_Dane");
    grid_->setHorizontalHeaderLabels({"Nazwa", "Jednostka", "Wartość"});
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setAlternatingRowColors(true);
    grid_->setWordWrap(false);

    auto* top = new QHBoxLayout;
    auto* label = new QLabel("Grupa:", this);
    label->setBuddy(combo_);
    top->addWidget(label);
    top->addWidget(combo_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);

    connect(combo_, &QComboBox::currentIndexChanged, this, &TFCurData::ShowGroup);
}

bool TFCurData::Setup(const TCurDataSource& source, const TVnCalc& calc) {
    const int result = LoadCurData(source, set_);
    if (result != CurDataLoaded) {
        (void)MessageDlg("Kiv", CurDataLoadMessage(result, source.deviceProfile), MsgApplication, BtnOk);
        return false;
    }
    calc_ = calc;
    const QSignalBlocker block(combo_);
    combo_->clear();
    for (const std::string& caption : set_.groupCaptions) combo_->addItem(Q(caption));
    combo_->setCurrentIndex(combo_->count() > 0 ? 0 : -1);
    setWindowTitle(Q(CurDataCaption(set_.time)));
    ShowGroup(combo_->currentIndex());
    SizeColumns();
    return true;
}

void TFCurData::ShowGroup(int index) {
    grid_->setRowCount(0);
    if (index < 0 || index >= static_cast<int>(set_.groupNames.size())) return;
    const std::vector<TCurDataRow> rows = GroupRows(set_, set_.groupNames[static_cast<std::size_t>(index)], calc_);
    grid_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TCurDataRow& row = rows[static_cast<std::size_t>(r)];
        grid_->setItem(r, 0, Cell(row.name));
        grid_->item(r, 0)->setToolTip(Q(row.name));
        grid_->setItem(r, 1, Cell(row.unit));
        grid_->setItem(r, 2, Cell(row.value, Qt::AlignRight | Qt::AlignVCenter));
    }
    SizeColumns();
}

int TFCurData::ColumnNeed(int column) {
    grid_->resizeColumnToContents(column);
    return grid_->columnWidth(column);
}

// 60 % of the room for the names, 15 % for the units, the rest for the
// values. When the window is too narrow for that, a half-shown value would
// be misread, so the values take the room they need first, then the units;
// the names (cut with an ellipsis, whole in their tooltip) keep at least the
// width of their header. The grid never gets narrower than the values and
// the headers need.
void TFCurData::SizeColumns() {
    QHeaderView* header = grid_->horizontalHeader();
    const int nameHeader = header->sectionSizeHint(0);
    const int unitNeed = ColumnNeed(1);
    const int valueNeed = ColumnNeed(2);
    grid_->setMinimumWidth(nameHeader + header->sectionSizeHint(1) + valueNeed + 23);
    const int room = std::max(0, grid_->width() - 23);
    int name = static_cast<int>(std::lround(room * 0.60));
    int unit = static_cast<int>(std::lround(room * 0.15));
    if (room - name - unit < valueNeed) {
        const int rest = room - std::min(valueNeed, room);
        unit = std::min(unitNeed, std::max(0, rest - nameHeader));
        name = rest - unit;
    }
    grid_->setColumnWidth(0, name);
    grid_->setColumnWidth(1, unit);
    grid_->setColumnWidth(2, room - name - unit);
}

void TFCurData::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void TFCurData::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SizeColumns();
}

void ShowCurrentData(const TCurDataSource& source, const TVnCalc& calc, QWidget* parent) {
    TFCurData window(parent);
    if (window.Setup(source, calc)) window.exec();
}

} // namespace kiv

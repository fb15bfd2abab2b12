#include "export/cur_data.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

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
        grid_->setItem(r, 1, Cell(row.unit));
        grid_->setItem(r, 2, Cell(row.value, Qt::AlignRight | Qt::AlignVCenter));
    }
}

void TFCurData::SizeColumns() {
    const int room = grid_->width() - 23;
    const int name = static_cast<int>(std::lround(room * 0.60));
    const int unit = static_cast<int>(std::lround(room * 0.15));
    grid_->setColumnWidth(0, name);
    grid_->setColumnWidth(1, unit);
    grid_->setColumnWidth(2, std::max(0, room - name - unit));
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

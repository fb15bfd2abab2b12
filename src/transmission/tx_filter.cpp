#include "transmission/tx_filter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/gui/display_text.h"
#include "support/messages.h"

namespace kiv {

TFTxFilter::TFTxFilter(QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), checkAll_(new QPushButton("Zaznacz wszystkie", this)),
      invert_(new QPushButton("Odwróć zaznaczenie", this)), uncheckAll_(new QPushButton("Odznacz wszystkie", this)),
      ok_(new QPushButton("OK", this)), cancel_(new QPushButton("Anuluj", this)) {
    setWindowTitle("Filtr");
    setModal(true);

    auto* marks = new QHBoxLayout;
    marks->addWidget(checkAll_);
    marks->addWidget(invert_);
    marks->addWidget(uncheckAll_);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(ok_);
    closing->addWidget(cancel_);
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Lista archiwów do odczytu :", this));
    layout->addWidget(list_, 1);
    layout->addLayout(marks);
    layout->addLayout(closing);
    resize(420, 460);

    connect(checkAll_, &QPushButton::clicked, this, [this] {
        filter_.CheckAll();
        ShowTicks();
    });
    connect(invert_, &QPushButton::clicked, this, [this] {
        filter_.Invert();
        ShowTicks();
    });
    connect(uncheckAll_, &QPushButton::clicked, this, [this] {
        filter_.UncheckAll();
        ShowTicks();
    });
    connect(list_, &QListWidget::itemChanged, this, &TFTxFilter::OnItemChanged);
    connect(ok_, &QPushButton::clicked, this, &TFTxFilter::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxFilter::reject);
}

void TFTxFilter::Setup(const std::string& stationFile, const std::string& stationLabel,
                       std::vector<TTxFilterEntry> archives) {
    setWindowTitle(QString::fromStdString("Filtr - " + stationLabel));
    filter_.Load(stationFile, std::move(archives));
    filling_ = true;
    list_->clear();
    for (const TTxFilterEntry& entry : filter_.Entries()) {
        auto* item = new QListWidgetItem(DisplayText(entry.Text()), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    filling_ = false;
    ShowTicks();
}

void TFTxFilter::Setup(const std::string& stationFile, const std::string& stationLabel,
                       const std::vector<TParamItem>& profileItems) {
    Setup(stationFile, stationLabel, ArchiveFilterEntries(profileItems));
}

void TFTxFilter::ShowTicks() {
    filling_ = true;
    const auto& entries = filter_.Entries();
    for (int row = 0; row < list_->count() && row < static_cast<int>(entries.size()); ++row)
        list_->item(row)->setCheckState(entries[row].checked ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
}

void TFTxFilter::OnItemChanged(QListWidgetItem* item) {
    if (filling_)
        return;
    filter_.SetChecked(static_cast<std::size_t>(list_->row(item)), item->checkState() == Qt::Checked);
}

void TFTxFilter::accept() {
    if (filter_.Save() != 0) {
        MessageDlg("Filtr", "Nie można zapisać filtra w pliku stacji.", MsgError);
        return;
    }
    QDialog::accept();
}

void TFTxFilter::reject() {
    if (filter_.Changed() && MessageDlg("Filtr", "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    QDialog::reject();
}

} // namespace kiv

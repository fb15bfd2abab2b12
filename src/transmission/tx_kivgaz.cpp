#include "transmission/tx_kivgaz.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/gui/form_fields.h"
#include "support/gui/kept_tick.h"
#include "support/helpers.h"
#include "support/messages.h"
#include "transmission/tx_fields.h"
#include "transmission/tx_form.h"
#include "transmission/tx_kivgaz_fields.h"
#include "transmission/tx_progress.h"

namespace kiv {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* caption, const char* name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TFTxKivGaz::TFTxKivGaz(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), comm_(comm), progress_(progress) {
    setObjectName("TFTxKivGaz");
    setWindowTitle("Przenośnik KivGAZ");
    fields_ = new TKivGazFields(this);
    log_ = new QCheckBox("Log", this);
    log_->setObjectName("CheckBox_Log");
    log_->setToolTip(QString("Zapis ramek do plików %1 (wyszukiwanie) i %2 (odczyt) w bieżącym folderze")
                         .arg(kKivGazLogName, kTxLogName));
    KeepTickBetweenRuns(log_);
    list_ = new QListWidget(this);
    list_->setObjectName("CheckListBox_Devices");
    list_->setMinimumSize(380, 180);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields_);
    layout->addWidget(log_);
    layout->addWidget(new QLabel("Urządzenia w przenośniku:", this));
    layout->addWidget(list_);
    layout->addLayout(BuildButtons());
    connect(fields_, &TKivGazFields::changed, this, [this] {
        unsaved_ = true;
        apply_->setEnabled(!busy_);
    });
}

QLayout* TFTxKivGaz::BuildButtons() {
    search_ = MakeButton(this, "Wyszukaj", "Button_Wyszukaj");
    ok_ = MakeButton(this, "OK", "Button_OK");
    cancel_ = MakeButton(this, "Anuluj", "Button_Anuluj");
    apply_ = MakeButton(this, "Zastosuj", "Button_Zastosuj");
    connect(search_, &QPushButton::clicked, this, &TFTxKivGaz::Search);
    connect(ok_, &QPushButton::clicked, this, &TFTxKivGaz::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxKivGaz::reject);
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (!fields_->Save(args_.kivIni)) return;
        unsaved_ = false;
        apply_->setEnabled(false);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(search_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);
    return buttons;
}

void TFTxKivGaz::Setup(const TKivGazArgs& args) {
    args_ = args;
    fields_->Load(args.kivIni);
    items_.clear();
    reads_.clear();
    ShowItems(items_);
    stationsAdded_ = false;
    unsaved_ = false;
    SetBusy(false);
    search_->setDefault(true);
}

bool TFTxKivGaz::Run(const TKivGazArgs& args) {
    Setup(args);
    exec();
    return stationsAdded_;
}

TKivGazJob TFTxKivGaz::Job() const {
    TKivGazJob job;
    job.kivIni = args_.kivIni;
    job.dataFolder = args_.dataFolder;
    job.profileNames = args_.profileNames;
    job.profileFiles = args_.profileFiles;
    job.programFolder = ProgramFolderFile("");
    job.transporterAddress = static_cast<uint16_t>(fields_->Address());
    job.port = fields_->Port();
    job.kivGazLog = TxLogPath(kKivGazLogName);
    if (log_->isChecked()) {
        job.frameLog = job.kivGazLog;
        job.txLog = TxLogPath(kTxLogName);
    }
    return job;
}

void TFTxKivGaz::SetBusy(bool busy) {
    busy_ = busy;
    fields_->SetLocked(busy);
    for (QWidget* control : std::initializer_list<QWidget*>{search_, cancel_, log_, list_}) control->setEnabled(!busy);
    ok_->setEnabled(!busy && !items_.empty());
    apply_->setEnabled(!busy && unsaved_);
}

void TFTxKivGaz::ShowItems(const std::vector<TKivGazItem>& items) {
    list_->clear();
    for (const TKivGazItem& item : items) {
        auto* row = new QListWidgetItem(ToQString(KivGazItemText(item)), list_);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(item.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<TKivGazItem> TFTxKivGaz::ListedItems() const {
    std::vector<TKivGazItem> items = items_;
    for (std::size_t i = 0; i < items.size() && static_cast<int>(i) < list_->count(); ++i)
        items[i].ticked = list_->item(static_cast<int>(i))->checkState() == Qt::Checked;
    return items;
}

void TFTxKivGaz::Search() {
    if (busy_) return;
    items_.clear();
    ShowItems(items_);
    SetBusy(true);
    searchProgress_.Reset("");
    const TKivGazSearch search =
        SearchTransporter(comm_, searchProgress_, Job(), [this](const std::vector<TKivGazItem>& listed) {
            ShowItems(listed);
            return MessageDlg(kKivGazTitle, kAddUnknownQuestion, MsgConfirmation, BtnYes | BtnNo) == ResYes;
        });
    comm_.SetProgress(nullptr);
    items_ = search.items;
    ShowItems(items_);
    SetBusy(false);
    TellSearch(search);
}

void TFTxKivGaz::TellSearch(const TKivGazSearch& search) {
    if (!search.portOpened) {
        (void)MessageDlg(kKivGazTitle, std::string(kSerialOpenError) + "\n" + search.portError, MsgError, BtnOk);
        return;
    }
    if (search.directory.entries == 0 && search.directory.lastResult != TxResult::Good &&
        search.directory.lastResult != TxResult::Cancelled)
        (void)MessageDlg(kKivGazTitle, "Brak komunikacji z przenośnikiem", MsgError, BtnOk);
    if (search.added == 0) return;
    stationsAdded_ = true;
    (void)MessageDlg(kKivGazTitle, kConfigureReminder, MsgInformation, BtnOk);
}

bool TFTxKivGaz::AskToSave() {
    if (!unsaved_) return true;
    const int answer = MessageDlg(kKivGazTitle, "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
    if (answer == ResCancel) return false;
    if (answer != ResYes) return true;
    if (!fields_->Save(args_.kivIni)) return false;
    unsaved_ = false;
    apply_->setEnabled(false);
    return true;
}

void TFTxKivGaz::accept() {
    if (busy_ || !ok_->isEnabled() || !AskToSave()) return;
    ReadDevices();
}

void TFTxKivGaz::ReadDevices() {
    SetBusy(true);
    // The main window must stay out of reach while the devices are read.
    progress_.setWindowModality(Qt::ApplicationModal);
    reads_.clear();
    if (!ReadListed(comm_, progress_, Job(), ListedItems(), reads_)) {
        SetBusy(false);
        (void)MessageDlg(kKivGazTitle, std::string(kSerialOpenError) + "\n" + comm_.OpenError(), MsgError, BtnOk);
        return;
    }
    progress_.SetExitCaption(kExitOk);
    progress_.SetExitEnabled(true);
    progress_.StopCounter();
    // A cancel ends the whole run; the status must not call that complete.
    const bool cancelled = !reads_.empty() && reads_.back().check == TKivGazCheck::Read &&
                           reads_.back().outcome.result == TxResult::Cancelled;
    progress_.SetStatus(cancelled ? "Odczyt przerwany przez użytkownika" : "Odczyt zakończony");
    SetBusy(false);
    QDialog::accept();
}

void TFTxKivGaz::reject() {
    if (busy_) return;
    if (unsaved_ && MessageDlg(kKivGazTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes) return;
    QDialog::reject();
}

} // namespace kiv

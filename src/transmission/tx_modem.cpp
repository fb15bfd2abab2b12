#include "transmission/tx_modem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "comm/comm_module.h"
#include "config/program_settings.h"
#include "datafiles/profile_catalogue.h"
#include "support/gui/form_fields.h"
#include "support/gui/kept_tick.h"
#include "support/helpers.h"
#include "support/messages.h"
#include "transmission/tx_fields.h"
#include "transmission/tx_filter.h"
#include "transmission/tx_progress.h"

namespace kiv {

namespace {

constexpr int kWatchInterval = 100;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLabel* ShownValue(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TFTxModem::TFTxModem(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : QDialog(parent), comm_(comm), progress_(progress) {
    setObjectName("TFTxModem");
    setWindowTitle("Modem");
    setWindowModality(Qt::ApplicationModal);
    BuildFields();
    KeepTickBetweenRuns(log_);
    closeTimer_.setInterval(kWatchInterval);
    connect(&closeTimer_, &QTimer::timeout, this, &TFTxModem::WatchProgress);
}

void TFTxModem::BuildFields() {
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button_OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Anuluj", this);
    cancel_->setObjectName("Button_Anuluj");
    apply_ = new QPushButton("Zastosuj", this);
    apply_->setObjectName("Button_Zastosuj");
    filter_ = new QPushButton("Filtr", this);
    filter_->setObjectName("Button_Filtr");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(filter_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildStationBox());
    layout->addWidget(BuildLinkBox());
    layout->addWidget(BuildRangeBox());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QComboBox* combo : {modem_, parity_})
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { MarkChanged(combo); });
    for (QSpinBox* spin : {block_, repeats_, silence_, startTimeout_, charsTimeout_})
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] { MarkChanged(spin); });
    connect(fromBox_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toBox_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    connect(ok_, &QPushButton::clicked, this, &TFTxModem::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxModem::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { (void)Apply(); });
    connect(filter_, &QPushButton::clicked, this, &TFTxModem::OpenFilter);
}

QWidget* TFTxModem::BuildStationBox() {
    address_ = ShownValue(this, "Label_Address");
    label_ = ShownValue(this, "Label_Name");
    protocol_ = ShownValue(this, "Label_Protocol");
    telephone_ = ShownValue(this, "Label_TelNr");
    auto* station = new QGroupBox("Stacja", this);
    auto* form = new QFormLayout(station);
    form->addRow("Numer adresowy:", address_);
    form->addRow("Nazwa stacji:", label_);
    form->addRow("Protokół:", protocol_);
    form->addRow("Numer telefonu:", telephone_);
    return station;
}

QWidget* TFTxModem::BuildLinkBox() {
    modem_ = new QComboBox(this);
    modem_->setObjectName("ComboBox_ModProf");
    modem_->setMinimumContentsLength(18);
    parity_ = new QComboBox(this);
    parity_->setObjectName("ComboBox_Parity");
    for (const char* parity : kParityNames) parity_->addItem(parity);
    block_ = MakeTxSpin(this, "SpinEdit_Block", 1, 250, 10);
    repeats_ = MakeTxSpin(this, "SpinEdit_Repeats", 0, 25, 1);
    silence_ = MakeTxSpin(this, "SpinEdit_Silence", 0, 1000, 100);
    startTimeout_ = MakeTxSpin(this, "SpinEdit_StartTimeout", 50, 10000, 100);
    charsTimeout_ = MakeTxSpin(this, "SpinEdit_CharsTimeout", 50, 2000, 100);
    auto* link = new QGroupBox("Parametry łącza", this);
    auto* form = new QFormLayout(link);
    form->addRow("Profil modemu:", modem_);
    form->addRow("Kontrola parzystości:", parity_);
    form->addRow("Liczba danych w bloku:", block_);
    form->addRow("Maksymalna liczba błędów:", repeats_);
    form->addRow("Czas ciszy (ms):", silence_);
    form->addRow("Czas rozpoczęcia odpowiedzi (ms):", startTimeout_);
    form->addRow("Czas akceptacji odpowiedzi (ms):", charsTimeout_);
    return link;
}

QWidget* TFTxModem::BuildRangeBox() {
    fromBox_ = new QCheckBox("Czytaj od", this);
    fromBox_->setObjectName("CheckBox_From");
    toBox_ = new QCheckBox("Czytaj do", this);
    toBox_->setObjectName("CheckBox_To");
    from_ = MakeTxPicker(this, "DateTime_From", QTime(0, 0, 0));
    to_ = MakeTxPicker(this, "DateTime_To", QTime(23, 59, 59));
    log_ = new QCheckBox("Log", this);
    log_->setObjectName("CheckBox_Log");
    log_->setToolTip(QString("Zapis rozmowy z modemem do pliku %1 i przesyłanych ramek do pliku %2 w bieżącym folderze")
                         .arg(kModemLogName, kTxLogName));
    auto* range = new QGroupBox("Zakres odczytu", this);
    auto* grid = new QGridLayout(range);
    grid->addWidget(fromBox_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(toBox_, 1, 0);
    grid->addWidget(to_, 1, 1);
    grid->addWidget(log_, 2, 0);
    grid->setColumnStretch(1, 1);
    return range;
}

bool TFTxModem::Setup(const TTxInitArgs& args) {
    args_ = args;
    record_ = {};
    ReadFullStationRecord(args.stationFile, args.address, record_);
    number_ = DialNumberOf(record_, args.kivIni);
    FillFields();
    ok_->setEnabled(false);
    apply_->setEnabled(false);

    TProfileRecord found;
    switch (ReadCatalogueProfile(args.profileNames, args.profileFiles, ProgramFolderFile(""), record_.DeviceProfile,
                                 found)) {
    case ProfileNotInCatalogue:
        (void)MessageDlg(kModemTitle, "Nie znaleziono profilu dla urządzenia \"" + record_.DeviceProfile + "\"",
                         MsgWarning, BtnOk);
        return false;
    case ProfileUnreadable:
        (void)MessageDlg(kModemTitle, "Błąd odczytu pliku profilu", MsgError, BtnOk);
        return false;
    default:
        break;
    }
    profile_ = found.params;
    items_ = found.items;
    protocol_->setText(QString("GazModem %1").arg(profile_.profileByte));
    ok_->setEnabled(true);
    return true;
}

void TFTxModem::Open(const TTxInitArgs& args) {
    if (busy_ || !Setup(args)) return;
    busy_ = true;
    show();
    raise();
    activateWindow();
}

void TFTxModem::FillFields() {
    filling_ = true;
    ClearUserChanges(this);
    address_->setText(Q(FiveDigits(args_.address)));
    label_->setText(Q(record_.Label));
    protocol_->clear();
    telephone_->setText(Q(number_));
    modem_->clear();
    for (const std::string& name : TProgramSettings(args_.kivIni).ModemNames()) modem_->addItem(Q(name));
    modem_->setCurrentIndex(modem_->findText(Q(record_.ModemProfile), Qt::MatchExactly));
    parity_->setCurrentIndex(std::max(0, parity_->findText(Q(record_.Parity), Qt::MatchFixedString)));
    block_->setValue(record_.ArcSamplesPerBlock);
    repeats_->setValue(record_.Repeats);
    silence_->setValue(record_.SilenceTime);
    startTimeout_->setValue(record_.StartTimeout);
    charsTimeout_->setValue(record_.CharsTimeout);
    fromBox_->setChecked(false);
    toBox_->setChecked(false);
    from_->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0, 0)));
    to_->setDateTime(QDateTime(QDate::currentDate(), QTime(23, 59, 59)));
    filling_ = false;
}

void TFTxModem::MarkChanged(QObject* control) {
    if (filling_) return;
    MarkUserChanged(control);
    apply_->setEnabled(true);
}

TRekStacjiFull TFTxModem::EditedRecord() const {
    TRekStacjiFull edited = record_;
    // A station whose profile is not in the list keeps it until another is chosen.
    if (modem_->currentIndex() >= 0) edited.ModemProfile = modem_->currentText().toStdString();
    // A parity or time the fields cannot show stays as read until the user changes that field.
    edited.Parity = KeptText(parity_, record_.Parity);
    edited.ArcSamplesPerBlock = KeptValue(block_, record_.ArcSamplesPerBlock);
    edited.Repeats = KeptValue(repeats_, record_.Repeats);
    edited.SilenceTime = KeptValue(silence_, record_.SilenceTime);
    edited.StartTimeout = KeptValue(startTimeout_, record_.StartTimeout);
    edited.CharsTimeout = KeptValue(charsTimeout_, record_.CharsTimeout);
    return edited;
}

bool TFTxModem::Apply() {
    const TRekStacjiFull edited = EditedRecord();
    bool treeChanged = false;
    if (!StationDb().SaveFullRecord(args_.stationFile, edited, record_, treeChanged)) return false;
    record_ = edited;
    apply_->setEnabled(false);
    return true;
}

void TFTxModem::OpenFilter() {
    TFTxFilter filter(this);
    filter.Setup(args_.stationFile, record_.Label, items_);
    filter.exec();
}

void TFTxModem::reject() {
    if (apply_->isEnabled() &&
        MessageDlg(kTxInitTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    Finish();
}

void TFTxModem::accept() {
    if (!ok_->isEnabled()) return;
    if (fromBox_->isChecked() && toBox_->isChecked() && from_->dateTime() > to_->dateTime()) {
        (void)MessageDlg(kTxInitTitle, kReversedRangeText, MsgWarning, BtnOk);
        return;
    }
    if (apply_->isEnabled()) {
        const int answer =
            MessageDlg(kTxInitTitle, "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
        if (answer == ResCancel) return;
        if (answer == ResYes && !Apply()) return;
    }
    TModemProfileLine line;
    if (!ChosenModem(line)) return;
    if (number_.empty()) {
        (void)MessageDlg(kModemTitle, kNoTelephoneText, MsgWarning, BtnOk);
        return;
    }
    RunReadOut(line);
}

bool TFTxModem::ChosenModem(TModemProfileLine& line) const {
    const std::string name = modem_->currentIndex() >= 0 ? modem_->currentText().toStdString() : std::string();
    if (ModemProfileOf(args_.kivIni, name, line)) return true;
    (void)MessageDlg(kModemTitle, kNoModemProfileText, MsgWarning, BtnOk);
    return false;
}

TModemReadOut TFTxModem::ReadOutJob(const TModemProfileLine& line) const {
    TModemReadOut job = ModemReadOutOf(EditedRecord(), args_.kivIni, args_.dataFolder, profile_, items_, line, number_);
    job.input.startTime = PickedTxTime(fromBox_, from_);
    job.input.endTime = PickedTxTime(toBox_, to_);
    if (log_->isChecked()) {
        job.modemLog = TxLogPath(kModemLogName);
        job.txLog = TxLogPath(kTxLogName);
    }
    return job;
}

void TFTxModem::RunReadOut(const TModemProfileLine& line) {
    const TModemReadOut job = ReadOutJob(line);
    hide();
    ok_->setEnabled(false);
    // The main window must stay out of reach while the read-out runs.
    progress_.setWindowModality(Qt::ApplicationModal);
    progress_.Reset(record_.Label);
    const TModemOutcome outcome = RunModemReadOut(comm_, progress_, job);
    ok_->setEnabled(true);
    lastDial_ = ResultCode(outcome.dial);
    if (outcome.dial != TModemResult::Connected) {
        ShowDialResult(outcome);
        return;
    }
    ShowResult(outcome.readOut.result, outcome.readOut.message.text, outcome.readOut.message.kind);
}

void TFTxModem::ShowDialResult(const TModemOutcome& outcome) {
    lastResult_ = 0;
    const TReadOutMessage message = ModemResultMessage(outcome.dial);
    if (!message.text.empty()) {
        // The port's own reason goes with it, on a line of its own: the
        // progress window that showed it closes with the message.
        const std::string reason = outcome.portError.empty() ? "" : "\n" + outcome.portError;
        (void)MessageDlg(kModemTitle, message.text + reason, message.kind, BtnOk);
    }
    progress_.CloseWindow();
    Finish();
}

void TFTxModem::ShowResult(TxResult result, const std::string& messageText, int messageKind) {
    lastResult_ = ResultCode(result);
    if (result == TxResult::Good) {
        progress_.StopCounter();
        progress_.SetStatus("Odczyt zakończony");
        progress_.SetExitCaption(kExitOk);
        progress_.ExitButton()->setFocus();
        closeTimer_.start();
        return;
    }
    if (!messageText.empty()) (void)MessageDlg(kTxInitTitle, messageText, messageKind, BtnOk);
    progress_.CloseWindow();
    Finish();
}

void TFTxModem::WatchProgress() {
    if (progress_.ClosedByUser()) Finish();
}

void TFTxModem::Finish() {
    closeTimer_.stop();
    busy_ = false;
    QDialog::reject();
}

QString TFTxModem::AddressText() const { return address_->text(); }
QString TFTxModem::LabelText() const { return label_->text(); }
QString TFTxModem::ProtocolText() const { return protocol_->text(); }
QString TFTxModem::TelephoneText() const { return telephone_->text(); }

} // namespace kiv

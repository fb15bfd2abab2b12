#include "transmission/tx_init.h"

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
#include "comm/direct_readout.h"
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

} // namespace

TFTxInit::TFTxInit(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : QDialog(parent), comm_(comm), progress_(progress) {
    setObjectName("TFTxInit");
    setWindowTitle("Transmisja danych");
    setWindowModality(Qt::ApplicationModal);
    BuildFields();
    KeepTickBetweenRuns(log_);
    closeTimer_.setInterval(kWatchInterval);
    connect(&closeTimer_, &QTimer::timeout, this, &TFTxInit::WatchProgress);
}

void TFTxInit::BuildFields() {
    address_ = new QLabel(this);
    label_ = new QLabel(this);
    protocol_ = new QLabel(this);
    for (QLabel* shown : {address_, label_, protocol_}) shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* station = new QGroupBox("Stacja", this);
    auto* stationForm = new QFormLayout(station);
    stationForm->addRow("Numer adresowy:", address_);
    stationForm->addRow("Nazwa stacji:", label_);
    stationForm->addRow("Protokół:", protocol_);

    port_ = new QComboBox(this);
    port_->setObjectName("ComboBox_Port");
    AddComPorts(port_);
    baud_ = new QComboBox(this);
    baud_->setObjectName("ComboBox_Baud");
    for (int rate : kBaudRates) baud_->addItem(QString::number(rate));
    parity_ = new QComboBox(this);
    parity_->setObjectName("ComboBox_Parity");
    for (const char* parity : kParityNames) parity_->addItem(parity);
    dtr_ = new QCheckBox("DTR aktywny", this);
    dtr_->setObjectName("CheckBox_Dtr");
    rts_ = new QCheckBox("RTS aktywny", this);
    rts_->setObjectName("CheckBox_Rts");
    block_ = MakeTxSpin(this, "SpinEdit_Block", 1, 250, 10);
    repeats_ = MakeTxSpin(this, "SpinEdit_Repeats", 0, 25, 1);
    silence_ = MakeTxSpin(this, "SpinEdit_Silence", 0, 1000, 100);
    startTimeout_ = MakeTxSpin(this, "SpinEdit_StartTimeout", 50, 10000, 100);
    charsTimeout_ = MakeTxSpin(this, "SpinEdit_CharsTimeout", 50, 2000, 100);

    auto* link = new QGroupBox("Parametry łącza", this);
    auto* linkForm = new QFormLayout(link);
    linkForm->addRow("Port szeregowy:", port_);
    linkForm->addRow("Prędkość transmisji:", baud_);
    linkForm->addRow("Kontrola parzystości:", parity_);
    auto* lines = new QHBoxLayout;
    lines->addWidget(dtr_);
    lines->addWidget(rts_);
    lines->addStretch();
    linkForm->addRow(lines);
    linkForm->addRow("Liczba danych w bloku:", block_);
    linkForm->addRow("Maksymalna liczba błędów:", repeats_);
    linkForm->addRow("Czas ciszy (ms):", silence_);
    linkForm->addRow("Czas rozpoczęcia odpowiedzi (ms):", startTimeout_);
    linkForm->addRow("Czas akceptacji odpowiedzi (ms):", charsTimeout_);

    fromBox_ = new QCheckBox("Czytaj od", this);
    fromBox_->setObjectName("CheckBox_From");
    toBox_ = new QCheckBox("Czytaj do", this);
    toBox_->setObjectName("CheckBox_To");
    from_ = MakeTxPicker(this, "DateTime_From", QTime(0, 0, 0));
    to_ = MakeTxPicker(this, "DateTime_To", QTime(23, 59, 59));
    log_ = new QCheckBox("Log", this);
    log_->setObjectName("CheckBox_Log");
    log_->setToolTip(QString("Zapis przesyłanych ramek do pliku %1 w bieżącym folderze").arg(kTxLogName));
    auto* range = new QGroupBox("Zakres odczytu", this);
    auto* rangeGrid = new QGridLayout(range);
    rangeGrid->addWidget(fromBox_, 0, 0);
    rangeGrid->addWidget(from_, 0, 1);
    rangeGrid->addWidget(toBox_, 1, 0);
    rangeGrid->addWidget(to_, 1, 1);
    rangeGrid->addWidget(log_, 2, 0);
    rangeGrid->setColumnStretch(1, 1);

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
    layout->addWidget(station);
    layout->addWidget(link);
    layout->addWidget(range);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QComboBox* combo : {port_, baud_, parity_})
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { MarkChanged(combo); });
    for (QCheckBox* box : {dtr_, rts_}) connect(box, &QCheckBox::toggled, this, [this, box] { MarkChanged(box); });
    for (QSpinBox* spin : {block_, repeats_, silence_, startTimeout_, charsTimeout_})
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] { MarkChanged(spin); });
    connect(fromBox_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toBox_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    connect(ok_, &QPushButton::clicked, this, &TFTxInit::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxInit::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { (void)Apply(); });
    connect(filter_, &QPushButton::clicked, this, &TFTxInit::OpenFilter);
}

bool TFTxInit::Setup(const TTxInitArgs& args) {
    args_ = args;
    record_ = {};
    ReadFullStationRecord(args.stationFile, args.address, record_);
    FillFields();
    ok_->setEnabled(false);
    apply_->setEnabled(false);

    TProfileRecord found;
    switch (ReadCatalogueProfile(args.profileNames, args.profileFiles, ProgramFolderFile(""), record_.DeviceProfile,
                                 found)) {
    case ProfileNotInCatalogue:
        (void)MessageDlg(kTxInitTitle, "Nie znaleziono profilu dla urządzenia \"" + record_.DeviceProfile + "\"",
                         MsgWarning, BtnOk);
        return false;
    case ProfileUnreadable:
        (void)MessageDlg(kTxInitTitle, "Błąd odczytu pliku profilu", MsgError, BtnOk);
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

void TFTxInit::Open(const TTxInitArgs& args) {
    if (busy_ || !Setup(args)) return;
    busy_ = true;
    show();
    raise();
    activateWindow();
}

void TFTxInit::FillFields() {
    filling_ = true;
    ClearUserChanges(this);
    address_->setText(ToQString(FiveDigits(args_.address)));
    label_->setText(ToQString(record_.Label));
    protocol_->clear();
    SelectText(port_, record_.ComNumber, 0);
    SelectText(baud_, record_.BaudRate, baud_->findText(QStringLiteral("9600")));
    SelectText(parity_, record_.Parity, 0);
    dtr_->setChecked(record_.DtrSet);
    rts_->setChecked(record_.RtsSet);
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

void TFTxInit::MarkChanged(QObject* control) {
    if (filling_) return;
    MarkUserChanged(control);
    apply_->setEnabled(true);
}

TRekStacjiFull TFTxInit::EditedRecord() const {
    // A port, speed or time the fields cannot show stays as read, for the
    // save and the read-out alike, until the user changes that field.
    TRekStacjiFull edited = record_;
    edited.ComNumber = KeptText(port_, record_.ComNumber);
    edited.BaudRate = KeptText(baud_, record_.BaudRate);
    edited.Parity = KeptText(parity_, record_.Parity);
    edited.DtrSet = dtr_->isChecked();
    edited.RtsSet = rts_->isChecked();
    edited.ArcSamplesPerBlock = KeptValue(block_, record_.ArcSamplesPerBlock);
    edited.Repeats = KeptValue(repeats_, record_.Repeats);
    edited.SilenceTime = KeptValue(silence_, record_.SilenceTime);
    edited.StartTimeout = KeptValue(startTimeout_, record_.StartTimeout);
    edited.CharsTimeout = KeptValue(charsTimeout_, record_.CharsTimeout);
    return edited;
}

bool TFTxInit::Apply() {
    const TRekStacjiFull edited = EditedRecord();
    bool treeChanged = false;
    if (!StationDb().SaveFullRecord(args_.stationFile, edited, record_, treeChanged)) return false;
    record_ = edited;
    apply_->setEnabled(false);
    return true;
}

void TFTxInit::OpenFilter() {
    TFTxFilter filter(this);
    filter.Setup(args_.stationFile, record_.Label, items_);
    filter.exec();
}

void TFTxInit::reject() {
    if (apply_->isEnabled() &&
        MessageDlg(kTxInitTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    Finish();
}

void TFTxInit::accept() {
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
    RunReadOut();
}

TDirectReadOut TFTxInit::ReadOutJob() const {
    const TRekStacjiFull edited = EditedRecord();
    TDirectReadOut job = DirectReadOutOf(edited, args_.kivIni, args_.dataFolder, profile_, items_);
    job.input.startTime = PickedTxTime(fromBox_, from_);
    job.input.endTime = PickedTxTime(toBox_, to_);
    if (log_->isChecked()) job.logFile = TxLogPath(kTxLogName);
    return job;
}

void TFTxInit::RunReadOut() {
    const TDirectReadOut job = ReadOutJob();
    hide();
    // The main window must stay out of reach while the read-out runs.
    progress_.setWindowModality(Qt::ApplicationModal);
    progress_.Reset(record_.Label);
    const TReadOutOutcome outcome = RunDirectReadOut(comm_, progress_, job);
    if (!outcome.portOpened) {
        // The port line tells what happened; "OK" lets the user close both windows.
        progress_.StopCounter();
        progress_.SetExitCaption(kExitOk);
        progress_.SetExitEnabled(true);
        progress_.ExitButton()->setFocus();
        lastResult_ = 0;
        closeTimer_.start();
        return;
    }
    ShowResult(outcome.result, outcome.message.text, outcome.message.kind);
}

void TFTxInit::ShowResult(TxResult result, const std::string& messageText, int messageKind) {
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

void TFTxInit::WatchProgress() {
    if (progress_.ClosedByUser()) Finish();
}

void TFTxInit::Finish() {
    closeTimer_.stop();
    busy_ = false;
    QDialog::reject();
}

QString TFTxInit::ProtocolText() const { return protocol_->text(); }
QString TFTxInit::AddressText() const { return address_->text(); }
QString TFTxInit::LabelText() const { return label_->text(); }

} // namespace kiv

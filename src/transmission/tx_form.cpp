#include "transmission/tx_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "comm/link_settings.h"
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

QLabel* ShownValue(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TFTxForm::TFTxForm(TFCommModule& comm, TFTxProgress& progress, const char* setupTitle, QWidget* parent)
    : QDialog(parent), comm_(comm), progress_(progress), setupTitle_(setupTitle) {
    setWindowModality(Qt::ApplicationModal);
    closeTimer_.setInterval(kWatchInterval);
    connect(&closeTimer_, &QTimer::timeout, this, &TFTxForm::WatchProgress);
}

void TFTxForm::BuildForm(std::initializer_list<TTxFormRow> stationRows, std::initializer_list<TTxFormRow> linkRows) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildStationBox(stationRows));
    layout->addWidget(BuildLinkBox(linkRows));
    layout->addWidget(BuildRangeBox());
    layout->addLayout(BuildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);
    KeepTickBetweenRuns(log_);

    WatchChanges(parity_);
    for (QSpinBox* spin : {block_, repeats_, silence_, startTimeout_, charsTimeout_})
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] { MarkChanged(spin); });
    connect(fromBox_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toBox_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    connect(ok_, &QPushButton::clicked, this, &TFTxForm::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFTxForm::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { (void)Apply(); });
    connect(filter_, &QPushButton::clicked, this, &TFTxForm::OpenFilter);
}

QWidget* TFTxForm::BuildStationBox(std::initializer_list<TTxFormRow> rows) {
    address_ = ShownValue(this, "Label_Address");
    label_ = ShownValue(this, "Label_Name");
    protocol_ = ShownValue(this, "Label_Protocol");
    auto* station = new QGroupBox("Stacja", this);
    auto* form = new QFormLayout(station);
    form->addRow("Numer adresowy:", address_);
    form->addRow("Nazwa stacji:", label_);
    form->addRow("Protokół:", protocol_);
    for (const TTxFormRow& row : rows) form->addRow(row.caption, row.field);
    return station;
}

QWidget* TFTxForm::BuildLinkBox(std::initializer_list<TTxFormRow> rows) {
    parity_ = new QComboBox(this);
    parity_->setObjectName("ComboBox_Parity");
    for (const char* parity : kParityNames) parity_->addItem(parity);
    block_ = MakeTxSpin(this, "SpinEdit_Block", 1, 250, 10);
    repeats_ = MakeTxSpin(this, "SpinEdit_Repeats", 0, 25, 1);
    silence_ = MakeTxSpin(this, "SpinEdit_Silence", 0, 1000, 100);
    startTimeout_ = MakeTxSpin(this, "SpinEdit_StartTimeout", 50, 10000, 100);
    charsTimeout_ = MakeTxSpin(this, "SpinEdit_CharsTimeout", 50, 2000, 100);
    auto* link = new QGroupBox("Parametry łącza", this);
    linkForm_ = new QFormLayout(link);
    for (const TTxFormRow& row : rows) linkForm_->addRow(row.caption, row.field);
    linkForm_->addRow("Kontrola parzystości:", parity_);
    linkForm_->addRow("Liczba danych w bloku:", block_);
    linkForm_->addRow("Maksymalna liczba błędów:", repeats_);
    linkForm_->addRow("Czas ciszy (ms):", silence_);
    linkForm_->addRow("Czas rozpoczęcia odpowiedzi (ms):", startTimeout_);
    linkForm_->addRow("Czas akceptacji odpowiedzi (ms):", charsTimeout_);
    return link;
}

QWidget* TFTxForm::BuildRangeBox() {
    fromBox_ = new QCheckBox("Czytaj od", this);
    fromBox_->setObjectName("CheckBox_From");
    toBox_ = new QCheckBox("Czytaj do", this);
    toBox_->setObjectName("CheckBox_To");
    from_ = MakeTxPicker(this, "DateTime_From", QTime(0, 0, 0));
    to_ = MakeTxPicker(this, "DateTime_To", QTime(23, 59, 59));
    log_ = new QCheckBox("Log", this);
    log_->setObjectName("CheckBox_Log");
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

QLayout* TFTxForm::BuildButtons() {
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
    return buttons;
}

void TFTxForm::WatchChanges(QComboBox* combo) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { MarkChanged(combo); });
}

void TFTxForm::WatchChanges(QCheckBox* box) {
    connect(box, &QCheckBox::toggled, this, [this, box] { MarkChanged(box); });
}

bool TFTxForm::Setup(const TTxInitArgs& args) {
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
        (void)MessageDlg(setupTitle_, "Nie znaleziono profilu dla urządzenia \"" + record_.DeviceProfile + "\"",
                         MsgWarning, BtnOk);
        return false;
    case ProfileUnreadable:
        (void)MessageDlg(setupTitle_, "Błąd odczytu pliku profilu", MsgError, BtnOk);
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

void TFTxForm::Open(const TTxInitArgs& args) {
    if (busy_ || !Setup(args)) return;
    busy_ = true;
    show();
    raise();
    activateWindow();
}

void TFTxForm::FillFields() {
    filling_ = true;
    ClearUserChanges(this);
    address_->setText(ToQString(FiveDigits(args_.address)));
    label_->setText(ToQString(record_.Label));
    protocol_->clear();
    FillOwnFields();
    SelectText(parity_, record_.Parity, 0);
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

void TFTxForm::MarkChanged(QObject* control) {
    if (filling_) return;
    MarkUserChanged(control);
    apply_->setEnabled(true);
}

TRekStacjiFull TFTxForm::EditedRecord() const {
    // A parity or time the fields cannot show stays as read, for the save and
    // the read-out alike, until the user changes that field.
    TRekStacjiFull edited = record_;
    EditOwnFields(edited);
    edited.Parity = KeptText(parity_, record_.Parity);
    edited.ArcSamplesPerBlock = KeptValue(block_, record_.ArcSamplesPerBlock);
    edited.Repeats = KeptValue(repeats_, record_.Repeats);
    edited.SilenceTime = KeptValue(silence_, record_.SilenceTime);
    edited.StartTimeout = KeptValue(startTimeout_, record_.StartTimeout);
    edited.CharsTimeout = KeptValue(charsTimeout_, record_.CharsTimeout);
    return edited;
}

bool TFTxForm::Apply() {
    const TRekStacjiFull edited = EditedRecord();
    bool treeChanged = false;
    if (!StationDb().SaveFullRecord(args_.stationFile, edited, record_, treeChanged)) return false;
    record_ = edited;
    apply_->setEnabled(false);
    return true;
}

void TFTxForm::OpenFilter() {
    TFTxFilter filter(this);
    filter.Setup(args_.stationFile, record_.Label, items_);
    filter.exec();
}

void TFTxForm::reject() {
    if (apply_->isEnabled() &&
        MessageDlg(kTxInitTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    Finish();
}

void TFTxForm::accept() {
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
    StartReadOut();
}

void TFTxForm::PutRange(TReadOutInput& input) const {
    input.startTime = PickedTxTime(fromBox_, from_);
    input.endTime = PickedTxTime(toBox_, to_);
}

void TFTxForm::ShowProgress() {
    hide();
    // The main window must stay out of reach while the read-out runs.
    progress_.setWindowModality(Qt::ApplicationModal);
    progress_.Reset(record_.Label);
}

void TFTxForm::ShowResult(TxResult result, const std::string& messageText, int messageKind) {
    lastResult_ = ResultCode(result);
    if (result == TxResult::Good) {
        progress_.StopCounter();
        progress_.SetStatus("Odczyt zakończony");
        WaitForClose();
        return;
    }
    if (!messageText.empty()) (void)MessageDlg(kTxInitTitle, messageText, messageKind, BtnOk);
    progress_.CloseWindow();
    Finish();
}

void TFTxForm::WaitForClose() {
    progress_.SetExitCaption(kExitOk);
    progress_.ExitButton()->setFocus();
    closeTimer_.start();
}

void TFTxForm::WatchProgress() {
    if (progress_.ClosedByUser()) Finish();
}

void TFTxForm::Finish() {
    closeTimer_.stop();
    busy_ = false;
    QDialog::reject();
}

QString TFTxForm::ProtocolText() const { return protocol_->text(); }
QString TFTxForm::AddressText() const { return address_->text(); }
QString TFTxForm::LabelText() const { return label_->text(); }

} // namespace kiv

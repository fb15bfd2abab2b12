#include "shell/cfg_stacji.h"

#include "comm/comm_module.h"
#include "comm/readout_stats.h"
#include "config/program_settings.h"
#include "shell/model/station_config.h"
#include "support/gui/form_fields.h"
#include "support/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kiv {

namespace {

constexpr const char* kNone = "<brak>";
constexpr int kIndexMax = 9999;
constexpr int kNetPortMax = 65535;

QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setMaxVisibleItems(16);
    combo->addItems(items);
    return combo;
}

QLineEdit* Edit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QStringList Texts(const std::vector<std::string>& items, const char* first = nullptr) {
    QStringList list;
    if (first) list << QString::fromUtf8(first);
    for (const auto& item : items) list << ToQString(item);
    return list;
}

// A list value: "<brak>" for none; a name the list lacks selects nothing and
// stays visible as the placeholder.
void SelectName(QComboBox* combo, const std::string& value, bool hasNone) {
    combo->setPlaceholderText(ToQString(value));
    SelectText(combo, value.empty() && hasNone ? kNone : value, -1, Qt::MatchExactly);
}

// What the combo stands for: its item, "<brak>" as none, the value read
// while nothing is selected.
std::string NameOf(const QComboBox* combo, const std::string& read) {
    if (combo->currentIndex() < 0) return read;
    const std::string text = combo->currentText().toStdString();
    return text == kNone ? std::string() : text;
}

// An item-index value: an index the list lacks selects nothing and is kept.
int IndexOf(const QComboBox* combo, int read) { return combo->currentIndex() < 0 ? read : combo->currentIndex(); }

} // namespace

TFCfgStacji::TFCfgStacji(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFCfgStacji"));
    setWindowTitle(QString::fromUtf8(kCfgStacjiTitle));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Button_OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel_->setObjectName(QStringLiteral("Button_Anuluj"));
    apply_ = new QPushButton(QStringLiteral("Zastosuj"), this);
    apply_->setObjectName(QStringLiteral("Button_Zastosuj"));
    apply_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);

    // Two columns that stack their boxes each on its own, so the hidden rows
    // of one box leave no gap beside the other.
    auto* left = new QVBoxLayout;
    left->addWidget(BuildStation());
    left->addWidget(BuildCalculations());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildLink());
    right->addWidget(BuildTiming());
    right->addWidget(BuildStats());
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &TFCfgStacji::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFCfgStacji::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { (void)Apply(); });
    for (QLineEdit* edit : {label_, telephone_, serial_, ip_})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { MarkChanged(edit); });
    for (QComboBox* combo : {deviceProfile_, modemProfile_, port_, speed_, parity_, integrity_, connType_})
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { MarkChanged(combo); });
    connect(group_, &QComboBox::currentTextChanged, this, [this] { MarkChanged(group_); });
    for (QCheckBox* box : {prefix_, dtr_, rts_})
        connect(box, &QCheckBox::toggled, this, [this, box] { MarkChanged(box); });
    for (QSpinBox* spin : {address_, samples_, repeats_, silence_, answer_, accept_, vn0_, vn1_, portRemote_})
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] { MarkChanged(spin); });
    connect(connType_, &QComboBox::currentIndexChanged, this, &TFCfgStacji::ShowLinkControls);
    connect(counter_, &QComboBox::currentIndexChanged, this, [this] {
        ShowIndexFields();
        MarkChanged(counter_);
    });
}

QGroupBox* TFCfgStacji::BuildStation() {
    auto* box = new QGroupBox(QStringLiteral("Stacja"), this);
    address_ = MakeSpin(box, "AbNumSpin_NrAddr", 1, kMaxStationAddress);
    address_->setFixedWidth(address_->fontMetrics().averageCharWidth() * 12);
    label_ = Edit(box, "Edit_Label");
    // Room for a long station label without scrolling.
    label_->setMinimumWidth(label_->fontMetrics().averageCharWidth() * 36);
    group_ = Combo(box, "ComboBox_GrpLbl", {});
    group_->setEditable(true);
    group_->setInsertPolicy(QComboBox::NoInsert);
    telephone_ = Edit(box, "Edit_TelNr");
    prefix_ = Check(box, "CheckBox_Prefix", "Dodaj prefiks numeru telefonu");
    serial_ = Edit(box, "Edit_SerialNr");
    deviceProfile_ = Combo(box, "ComboBox_DevProf", {});
    modemProfile_ = Combo(box, "ComboBox_ModProf", {});
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Numer adresowy:"), address_);
    form->addRow(QStringLiteral("Nazwa stacji:"), label_);
    form->addRow(QStringLiteral("Nazwa grupy:"), group_);
    form->addRow(QStringLiteral("Numer telefonu:"), telephone_);
    form->addRow(QString(), prefix_);
    form->addRow(QStringLiteral("Numer fabryczny:"), serial_);
    form->addRow(QStringLiteral("Profil urządzenia:"), deviceProfile_);
    form->addRow(QStringLiteral("Profil modemu:"), modemProfile_);
    return box;
}

QGroupBox* TFCfgStacji::BuildLink() {
    auto* box = new QGroupBox(QStringLiteral("Łącze"), this);
    connType_ = Combo(box, "ComboBox_ConnType", {"COM", "UDP", "TCP"});
    port_ = Combo(box, "ComboBox_ComNr", {});
    AddComPorts(port_);
    QStringList rates;
    for (const int rate : kBaudRates) rates << QString::number(rate);
    speed_ = Combo(box, "ComboBox_ComSpd", rates);
    QStringList parities;
    for (const char* parity : kParityNames) parities << QLatin1String(parity);
    parity_ = Combo(box, "ComboBox_ComPar", parities);
    dtr_ = Check(box, "CheckBox_ComDTR", "DTR aktywny");
    rts_ = Check(box, "CheckBox_ComRTS", "RTS aktywny");
    // A station behind a serial-device server is read over TCP at its address
    // and port. No link uses the local port (UDP), so it is shown only.
    ip_ = Edit(box, "Edit_IP");
    portRemote_ = MakeSpin(box, "AbNumSpin_PortRemote", 0, kNetPortMax);
    portRemote_->setSpecialValueText(QStringLiteral(" ")); // no port written
    portLocal_ = MakeSpin(box, "AbNumSpin_PortLocal", 0, kNetPortMax);
    portLocal_->setReadOnly(true);
    portLocal_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    portLocal_->setSpecialValueText(QStringLiteral(" "));
    linkForm_ = new QFormLayout(box);
    linkForm_->addRow(QStringLiteral("Typ łącza:"), connType_);
    linkForm_->addRow(QStringLiteral("Port szeregowy:"), port_);
    linkForm_->addRow(QStringLiteral("Prędkość transmisji:"), speed_);
    linkForm_->addRow(QStringLiteral("Kontrola parzystości:"), parity_);
    linkForm_->addRow(QString(), dtr_);
    linkForm_->addRow(QString(), rts_);
    linkForm_->addRow(QStringLiteral("Adres IP:"), ip_);
    linkForm_->addRow(QStringLiteral("Numer portu:"), portRemote_);
    linkForm_->addRow(QStringLiteral("Numer portu lokalnego:"), portLocal_);
    return box;
}

QGroupBox* TFCfgStacji::BuildTiming() {
    auto* box = new QGroupBox(QStringLiteral("Transmisja"), this);
    samples_ = MakeSpin(box, "AbNumSpin_SampN", 1, 250, 10);
    repeats_ = MakeSpin(box, "AbNumSpin_Repeats", 0, 25);
    silence_ = MakeSpin(box, "AbNumSpin_DelaySilence", 0, 1000, 100);
    answer_ = MakeSpin(box, "AbNumSpin_DelayAnswer", 50, 10000, 100);
    accept_ = MakeSpin(box, "AbNumSpin_DelayAccept", 50, 2000, 100);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Liczba danych w bloku:"), samples_);
    form->addRow(QStringLiteral("Maksymalna liczba błędów:"), repeats_);
    form->addRow(QStringLiteral("Czas ciszy (ms):"), silence_);
    form->addRow(QStringLiteral("Czas rozpoczęcia odpowiedzi (ms):"), answer_);
    form->addRow(QStringLiteral("Czas akceptacji odpowiedzi (ms):"), accept_);
    return box;
}

QGroupBox* TFCfgStacji::BuildCalculations() {
    auto* box = new QGroupBox(QStringLiteral("Obliczenia"), this);
    counter_ = Combo(box, "ComboBox_CalcCounter", {kNone, "Vn0 + Vn1 * 10000", "Vn0 + Vn1 * 100000"});
    vn0_ = MakeSpin(box, "AbNumSpin_IndexVn0", 0, kIndexMax);
    vn1_ = MakeSpin(box, "AbNumSpin_IndexVn1", 0, kIndexMax);
    integrity_ = Combo(box, "ComboBox_VIntegrityCrit",
                       {QStringLiteral("ostre (0.01%)"), QStringLiteral("łagodne (0.1%)"), QStringLiteral("wyłączone")});
    calcForm_ = new QFormLayout(box);
    calcForm_->addRow(QStringLiteral("Obliczenie licznika bieżącego:"), counter_);
    calcForm_->addRow(QStringLiteral("indeks składnika Vn0:"), vn0_);
    calcForm_->addRow(QStringLiteral("indeks składnika Vn1:"), vn1_);
    calcForm_->addRow(QStringLiteral("Kryterium zgodności przyrostów V:"), integrity_);
    return box;
}

QGroupBox* TFCfgStacji::BuildStats() {
    auto* box = new QGroupBox(QStringLiteral("Statystyka łączności"), this);
    auto* form = new QFormLayout(box);
    for (const TStatsRow& row : StationStatsRows({})) {
        auto* value = new QLabel(box);
        value->setObjectName(QStringLiteral("Label_Stats%1").arg(stats_.size()));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(ToQString(row.caption + ":"), value);
        stats_.push_back(value);
    }
    return box;
}

// What the station file's statistics say now: a read-out since the last opening shows.
void TFCfgStacji::ShowStats() {
    const std::vector<TStatsRow> rows = StationStatsRows(ReadStationStats(args_.stationFile));
    for (std::size_t i = 0; i < rows.size() && i < stats_.size(); ++i) stats_[i]->setText(ToQString(rows[i].value));
}

void TFCfgStacji::Setup(const TStationArgs& args) {
    args_ = args;
    ReadFullStationRecord(args.stationFile, args.address, record_);
    FillLists();
    FillFields();
    treeChanged_ = false;
    address_->setFocus();
}

bool TFCfgStacji::Execute(const TStationArgs& args, std::string& nodeToSelect) {
    Setup(args);
    exec();
    if (treeChanged_) nodeToSelect = nodeText_;
    return treeChanged_;
}

void TFCfgStacji::FillLists() {
    filling_ = true;
    group_->clear();
    group_->addItems(Texts(StationDb().Groups(), kNone));
    deviceProfile_->clear();
    deviceProfile_->addItems(Texts(args_.profileNames));
    modemProfile_->clear();
    modemProfile_->addItems(Texts(TProgramSettings(args_.kivIni).ModemNames(), kNone));
    filling_ = false;
}

void TFCfgStacji::FillFields() {
    filling_ = true;
    ClearUserChanges(this);
    const TRekStacjiFull& r = record_;
    address_->setValue(r.address);
    label_->setText(ToQString(r.Label));
    // A group the list lacks (written in another letter case) stays as typed.
    SelectText(group_, r.GroupLabel.empty() ? kNone : r.GroupLabel, -1, Qt::MatchExactly);
    if (group_->currentIndex() < 0) group_->setEditText(ToQString(r.GroupLabel));
    telephone_->setText(ToQString(r.TelephoneNumber));
    prefix_->setChecked(r.Prefix);
    serial_->setText(ToQString(r.SerialNumber));
    SelectName(deviceProfile_, r.DeviceProfile, false);
    SelectName(modemProfile_, r.ModemProfile, true);
    SelectText(connType_, r.ConnType, 0);
    SelectText(port_, r.ComNumber, 0);
    SelectText(speed_, r.BaudRate, speed_->findText(QStringLiteral("9600")));
    SelectText(parity_, r.Parity, 0);
    dtr_->setChecked(r.DtrSet);
    rts_->setChecked(r.RtsSet);
    ip_->setText(ToQString(r.IPAddr));
    portRemote_->setValue(ToQString(r.PortRemote).toInt());
    portLocal_->setValue(ToQString(r.PortLocal).toInt());
    samples_->setValue(r.ArcSamplesPerBlock);
    repeats_->setValue(r.Repeats);
    silence_->setValue(r.SilenceTime);
    answer_->setValue(r.StartTimeout);
    accept_->setValue(r.CharsTimeout);
    counter_->setCurrentIndex(r.CalcVnMode >= 0 && r.CalcVnMode < counter_->count() ? r.CalcVnMode : -1);
    vn0_->setValue(r.CalcVn0Index);
    vn1_->setValue(r.CalcVn1Index);
    integrity_->setCurrentIndex(r.VIntegrityCrit >= 0 && r.VIntegrityCrit < integrity_->count() ? r.VIntegrityCrit
                                                                                                 : -1);
    ShowLinkControls();
    ShowIndexFields();
    ShowStats();
    apply_->setEnabled(false);
    filling_ = false;
}

void TFCfgStacji::ShowLinkControls() {
    const QString type = connType_->currentText();
    const bool udp = type == QLatin1String("UDP");
    const bool net = udp || type == QLatin1String("TCP");
    for (QWidget* serial : std::initializer_list<QWidget*>{port_, speed_, parity_, dtr_, rts_})
        linkForm_->setRowVisible(serial, !net);
    linkForm_->setRowVisible(ip_, net);
    linkForm_->setRowVisible(portRemote_, net);
    linkForm_->setRowVisible(portLocal_, udp);
}

void TFCfgStacji::ShowIndexFields() {
    const bool shown = counter_->currentIndex() > 0 ||
                       (counter_->currentIndex() < 0 && record_.CalcVnMode != 0);
    calcForm_->setRowVisible(vn0_, shown);
    calcForm_->setRowVisible(vn1_, shown);
}

void TFCfgStacji::MarkChanged(QObject* control) {
    if (filling_) return;
    MarkUserChanged(control);
    apply_->setEnabled(true);
}

TRekStacjiFull TFCfgStacji::EditedRecord() const {
    TRekStacjiFull e = record_;
    e.address = static_cast<std::uint16_t>(address_->value());
    e.Label = label_->text().toStdString();
    e.GroupLabel = group_->currentText().trimmed().toStdString();
    if (e.GroupLabel == kNone) e.GroupLabel.clear();
    e.TelephoneNumber = telephone_->text().toStdString();
    e.Prefix = prefix_->isChecked();
    e.SerialNumber = serial_->text().toStdString();
    e.DeviceProfile = NameOf(deviceProfile_, record_.DeviceProfile);
    e.ModemProfile = NameOf(modemProfile_, record_.ModemProfile);
    // A port, speed, parity or number the controls cannot show stays as read
    // until the user changes that control.
    e.ComNumber = KeptText(port_, record_.ComNumber);
    e.BaudRate = KeptText(speed_, record_.BaudRate);
    e.Parity = KeptText(parity_, record_.Parity);
    e.ConnType = KeptText(connType_, record_.ConnType);
    e.IPAddr = UserChanged(ip_) ? ip_->text().trimmed().toStdString() : record_.IPAddr;
    if (UserChanged(portRemote_))
        e.PortRemote = portRemote_->value() ? std::to_string(portRemote_->value()) : std::string();
    e.DtrSet = dtr_->isChecked();
    e.RtsSet = rts_->isChecked();
    e.ArcSamplesPerBlock = KeptValue(samples_, record_.ArcSamplesPerBlock);
    e.Repeats = KeptValue(repeats_, record_.Repeats);
    e.SilenceTime = KeptValue(silence_, record_.SilenceTime);
    e.StartTimeout = KeptValue(answer_, record_.StartTimeout);
    e.CharsTimeout = KeptValue(accept_, record_.CharsTimeout);
    e.CalcVnMode = IndexOf(counter_, record_.CalcVnMode);
    e.CalcVn0Index = KeptValue(vn0_, record_.CalcVn0Index);
    e.CalcVn1Index = KeptValue(vn1_, record_.CalcVn1Index);
    e.VIntegrityCrit = IndexOf(integrity_, record_.VIntegrityCrit);
    return e;
}

bool TFCfgStacji::Apply() {
    const TRekStacjiFull edited = EditedRecord();
    const TStationSave save = SaveStationConfig(StationDb(), args_.dataFolder, args_.stationFile, edited, record_);
    if (save.treeChanged) {
        treeChanged_ = true;
        nodeText_ = save.nodeText;
    }
    switch (save.result) {
    case StationSaveResult::AddressTaken:
        (void)MessageDlg(kCfgStacjiTitle, "Podany numer adresowy już istnieje", MsgWarning, BtnOk);
        address_->setFocus();
        return false;
    case StationSaveResult::WriteFailed:
        (void)MessageDlg(kCfgStacjiTitle, "Nie udało się zapisać pliku stacji " + args_.stationFile, MsgError, BtnOk);
        return false;
    case StationSaveResult::MoveFailed:
        (void)MessageDlg(kCfgStacjiTitle,
                         "Nie udało się przenieść plików stacji do folderu " +
                             StationFolderPath(args_.dataFolder, edited.address),
                         MsgError, BtnOk);
        break;
    case StationSaveResult::Saved:
        break;
    }
    args_.address = save.address;
    args_.stationFile = save.stationFile;
    ReadFullStationRecord(args_.stationFile, args_.address, record_);
    FillLists();
    FillFields();
    return save.result == StationSaveResult::Saved;
}

void TFCfgStacji::accept() {
    if (apply_->isEnabled()) {
        const int answer =
            MessageDlg(kCfgStacjiTitle, "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
        if (answer == ResNo) {
            reject();
            return;
        }
        if (answer != ResYes || !Apply()) return;
    }
    QDialog::accept();
}

void TFCfgStacji::reject() {
    if (apply_->isEnabled() &&
        MessageDlg(kCfgStacjiTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    QDialog::reject();
}

} // namespace kiv

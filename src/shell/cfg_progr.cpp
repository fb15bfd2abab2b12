#include "shell/cfg_progr.h"

#include "config/station_db.h"
#include "shell/model/settings_lists.h"
#include "support/gui/edit_txt.h"
#include "support/gui/form_fields.h"
#include "support/messages.h"
#include "transmission/modem_prof.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kiv {

namespace {

constexpr int kEventsStep = 10;

// A list with its "Dodaj", "Edytuj" and "Usuń" column beside it.
QGroupBox* ListBox(QWidget* parent, const QString& caption, QWidget* list, QPushButton* add, QPushButton* edit,
                   QPushButton* remove) {
    auto* box = new QGroupBox(caption, parent);
    auto* column = new QVBoxLayout;
    for (QPushButton* button : {add, edit, remove}) column->addWidget(button);
    column->addStretch();
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(list, 1);
    layout->addLayout(column);
    return box;
}

std::string GroupWriteFailed() { return "Nie udało się zapisać nowej nazwy grupy we wszystkich plikach stacji"; }

} // namespace

TFCfgProgr::TFCfgProgr(TFEditTxt& prompt, TFModemProf& modemEditor, QWidget* parent)
    : QDialog(parent), prompt_(prompt), modemEditor_(modemEditor) {
    setObjectName(QStringLiteral("TFCfgProgr"));
    setWindowTitle(QStringLiteral("Ustawienia programu"));
    ok_ = FormButton(this, "Button_OK", QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_ = FormButton(this, "Button_Anuluj", QStringLiteral("Anuluj"));
    apply_ = FormButton(this, "Button_Zastosuj", QStringLiteral("Zastosuj"));
    apply_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {ok_, cancel_, apply_}) buttons->addWidget(button);

    auto* lists = new QHBoxLayout;
    lists->addWidget(BuildGroups(), 2);
    lists->addWidget(BuildModems(), 5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildSettings());
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(820, 460);

    connect(ok_, &QPushButton::clicked, this, &TFCfgProgr::accept);
    connect(cancel_, &QPushButton::clicked, this, &TFCfgProgr::reject);
    connect(apply_, &QPushButton::clicked, this, [this] { (void)Apply(); });
}

QWidget* TFCfgProgr::BuildSettings() {
    auto* box = new QGroupBox(QStringLiteral("Ustawienia"), this);
    shift_ = MakeSpin(box, "AbNumSpin_Shft", -kHourShiftLimit, kHourShiftLimit);
    prefix_ = new QLineEdit(box);
    prefix_->setObjectName(QStringLiteral("Edit_Prfx"));
    prefix_->setFixedWidth(prefix_->fontMetrics().averageCharWidth() * 14);
    events_ = MakeSpin(box, "AbNumSpin_EvtM", 0, kEventsNumberHigh, kEventsStep);
    modemTime_ = MakeSpin(box, "AbNumSpin_MaxMTime", kModemTimeLow, kModemTimeHigh);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Domyślne przesunięcie godziny bazowej raportu (h):"), shift_);
    form->addRow(QStringLiteral("Prefiks numeru telefonu:"), prefix_);
    form->addRow(QStringLiteral("Maksymalna liczba czytanych zdarzeń:"), events_);
    form->addRow(QStringLiteral("Maksymalny czas połączenia modemowego (min):"), modemTime_);
    for (QSpinBox* spin : {shift_, events_, modemTime_}) {
        spin->setFixedWidth(prefix_->width());
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] {
            if (!filling_) MarkUserChanged(spin);
            MarkChanged();
        });
    }
    connect(prefix_, &QLineEdit::textChanged, this, &TFCfgProgr::MarkChanged);
    return box;
}

QWidget* TFCfgProgr::BuildGroups() {
    groupList_ = new QListWidget(this);
    groupList_->setObjectName(QStringLiteral("ListBox_Grp"));
    groupAdd_ = FormButton(this, "Button_GrpDodaj", QStringLiteral("Dodaj"));
    groupEdit_ = FormButton(this, "Button_GrpEdytuj", QStringLiteral("Edytuj"));
    groupDelete_ = FormButton(this, "Button_GrpUsun", QStringLiteral("Usuń"));
    connect(groupList_, &QListWidget::currentRowChanged, this, &TFCfgProgr::UpdateButtons);
    connect(groupList_, &QListWidget::itemDoubleClicked, this, &TFCfgProgr::OnEditGroup);
    connect(groupAdd_, &QPushButton::clicked, this, &TFCfgProgr::OnAddGroup);
    connect(groupEdit_, &QPushButton::clicked, this, &TFCfgProgr::OnEditGroup);
    connect(groupDelete_, &QPushButton::clicked, this, &TFCfgProgr::OnDeleteGroup);
    return ListBox(this, QStringLiteral("Grupy stacji"), groupList_, groupAdd_, groupEdit_, groupDelete_);
}

QWidget* TFCfgProgr::BuildModems() {
    modemGrid_ = new QTableWidget(0, 4, this);
    modemGrid_->setObjectName(QStringLiteral("StringGrid_Mod"));
    modemGrid_->setHorizontalHeaderLabels(
        {QStringLiteral("Nazwa"), QStringLiteral("Rozkaz inicjujący"), QStringLiteral("Port"), QStringLiteral("Prędkość")});
    modemGrid_->verticalHeader()->hide();
    // Room for the longest port and speed and their (bold) captions.
    const int unit = modemGrid_->fontMetrics().averageCharWidth();
    modemGrid_->setColumnWidth(0, unit * 16);
    modemGrid_->setColumnWidth(2, unit * 10);
    modemGrid_->setColumnWidth(3, unit * 12);
    modemGrid_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    modemGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    modemGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    modemGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    modemAdd_ = FormButton(this, "Button_ModDodaj", QStringLiteral("Dodaj"));
    modemEdit_ = FormButton(this, "Button_ModEdytuj", QStringLiteral("Edytuj"));
    modemDelete_ = FormButton(this, "Button_ModUsun", QStringLiteral("Usuń"));
    connect(modemGrid_, &QTableWidget::currentCellChanged, this, &TFCfgProgr::UpdateButtons);
    connect(modemGrid_, &QTableWidget::cellDoubleClicked, this, &TFCfgProgr::OnEditModem);
    connect(modemAdd_, &QPushButton::clicked, this, &TFCfgProgr::OnAddModem);
    connect(modemEdit_, &QPushButton::clicked, this, &TFCfgProgr::OnEditModem);
    connect(modemDelete_, &QPushButton::clicked, this, &TFCfgProgr::OnDeleteModem);
    return ListBox(this, QStringLiteral("Profile modemów"), modemGrid_, modemAdd_, modemEdit_, modemDelete_);
}

void TFCfgProgr::Setup(const std::string& kivIni, const std::string& dataFolder) {
    kivIni_ = kivIni;
    dataFolder_ = dataFolder;
    config_ = ReadProgramConfig(kivIni);
    groups_ = StationDb().Groups();
    filling_ = true;
    ClearUserChanges(this);
    shift_->setValue(config_.hourShift);
    prefix_->setText(ToQString(config_.exchangePrefix));
    events_->setValue(config_.eventsMaxNumber);
    modemTime_->setValue(config_.modemConnMaxTime);
    filling_ = false;
    ShowGroups(0);
    ShowModems(0);
    treeChanged_ = false;
    apply_->setEnabled(false);
}

bool TFCfgProgr::Execute(const std::string& kivIni, const std::string& dataFolder) {
    Setup(kivIni, dataFolder);
    exec();
    return treeChanged_;
}

void TFCfgProgr::ShowGroups(int select) {
    groupList_->clear();
    for (const auto& group : groups_) groupList_->addItem(ToQString(group));
    groupList_->setCurrentRow(std::min(select, groupList_->count() - 1));
    UpdateButtons();
}

void TFCfgProgr::ShowModems(int select) {
    const auto& rows = config_.modems;
    modemGrid_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < modemGrid_->rowCount(); ++r) {
        const TModemProfile& p = rows[static_cast<std::size_t>(r)];
        const std::string* cells[] = {&p.name, &p.initString, &p.port, &p.speed};
        for (int c = 0; c < 4; ++c) modemGrid_->setItem(r, c, new QTableWidgetItem(ToQString(*cells[c])));
    }
    modemGrid_->setCurrentCell(std::min(select, modemGrid_->rowCount() - 1), 0);
    UpdateButtons();
}

void TFCfgProgr::UpdateButtons() {
    const bool group = groupList_->currentRow() >= 0;
    groupEdit_->setEnabled(group);
    groupDelete_->setEnabled(group);
    const bool profile = IsProfileRow(config_.modems, modemGrid_->currentRow());
    modemEdit_->setEnabled(profile);
    modemDelete_->setEnabled(profile);
}

void TFCfgProgr::MarkChanged() {
    if (!filling_) apply_->setEnabled(true);
}

void TFCfgProgr::OnAddGroup() {
    const std::string name = prompt_.Execute(QStringLiteral("Nazwa nowej grupy"), QString()).toStdString();
    switch (AddStationGroup(groups_, StationDb(), name)) {
    case GroupEdit::Clash:
        (void)MessageDlg(kCfgProgrTitle, "Grupa o podanej nazwie już istnieje", MsgWarning, BtnOk);
        break;
    case GroupEdit::Done:
        ShowGroups(static_cast<int>(groups_.size()) - 1);
        break;
    default:
        break;
    }
}

void TFCfgProgr::OnEditGroup() {
    const int row = groupList_->currentRow();
    if (row < 0) return;
    const QString old = ToQString(groups_[static_cast<std::size_t>(row)]);
    const std::string name = prompt_.Execute(QStringLiteral("Edycja nazwy grupy"), old).toStdString();
    const GroupEdit edit = RenameStationGroup(groups_, StationDb(), dataFolder_, static_cast<std::size_t>(row), name);
    if (edit == GroupEdit::Clash)
        (void)MessageDlg(kCfgProgrTitle, "Grupa o podanej nazwie już istnieje", MsgWarning, BtnOk);
    if (edit != GroupEdit::Done && edit != GroupEdit::WriteFailed) return;
    treeChanged_ = true;
    ShowGroups(row);
    if (edit == GroupEdit::WriteFailed) (void)MessageDlg(kCfgProgrTitle, GroupWriteFailed(), MsgError, BtnOk);
}

void TFCfgProgr::OnDeleteGroup() {
    const int row = groupList_->currentRow();
    if (row < 0 || MessageDlg(kCfgProgrTitle, "Usunąć grupę?", MsgConfirmation, BtnYes | BtnNo) != ResYes) return;
    groups_.erase(groups_.begin() + row);
    ShowGroups(row);
}

bool TFCfgProgr::NameClashes(const TModemProfile& profile, int row) const {
    if (FindModemProfile(config_.modems, profile.name, row) < 0) return false;
    (void)MessageDlg(kCfgProgrTitle, "Profil modemu o podanej nazwie już istnieje", MsgWarning, BtnOk);
    return true;
}

void TFCfgProgr::OnAddModem() {
    TModemProfile profile;
    if (!modemEditor_.Execute(profile) || NameClashes(profile, -1)) return;
    ShowModems(InsertModemProfile(config_.modems, profile));
    MarkChanged();
}

void TFCfgProgr::OnEditModem() {
    const int row = modemGrid_->currentRow();
    if (!IsProfileRow(config_.modems, row)) return;
    TModemProfile profile = config_.modems[static_cast<std::size_t>(row)];
    if (!modemEditor_.Execute(profile) || NameClashes(profile, row)) return;
    config_.modems[static_cast<std::size_t>(row)] = profile;
    ShowModems(row);
    MarkChanged();
}

void TFCfgProgr::OnDeleteModem() {
    const int row = modemGrid_->currentRow();
    if (!IsProfileRow(config_.modems, row) ||
        MessageDlg(kCfgProgrTitle, "Usunąć profil modemu?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    RemoveModemProfile(config_.modems, row);
    ShowModems(row);
    MarkChanged();
}

TProgramConfig TFCfgProgr::Edited() const {
    TProgramConfig edited = config_;
    // A limit above or below what its field offers stays as read until the user changes that field.
    edited.hourShift = KeptValue(shift_, config_.hourShift);
    edited.exchangePrefix = prefix_->text().trimmed().toStdString();
    edited.eventsMaxNumber = KeptValue(events_, config_.eventsMaxNumber);
    edited.modemConnMaxTime = KeptValue(modemTime_, config_.modemConnMaxTime);
    return edited;
}

bool TFCfgProgr::Apply() {
    const TProgramConfig edited = Edited();
    if (!TProgramSettings(kivIni_).SetProgramConfig(edited)) {
        (void)MessageDlg(kCfgProgrTitle, "Nie udało się zapisać pliku " + kivIni_, MsgError, BtnOk);
        return false;
    }
    config_ = edited;
    apply_->setEnabled(false);
    return true;
}

void TFCfgProgr::accept() {
    if (apply_->isEnabled()) {
        const int answer =
            MessageDlg(kCfgProgrTitle, "Czy zapisać zmiany?", MsgConfirmation, BtnYes | BtnNo | BtnCancel);
        if (answer == ResNo) {
            reject();
            return;
        }
        if (answer != ResYes || !Apply()) return;
    }
    QDialog::accept();
}

void TFCfgProgr::reject() {
    if (apply_->isEnabled() &&
        MessageDlg(kCfgProgrTitle, "Czy porzucić zmiany?", MsgConfirmation, BtnYes | BtnNo) != ResYes)
        return;
    QDialog::reject();
}

} // namespace kiv

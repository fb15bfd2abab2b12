#include "transmission/tx_modem_a.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "comm/archive_readout.h"
#include "comm/device_request.h"
#include "config/station_db.h"
#include "support/helpers.h"
#include "support/folder_lock.h"
#include "support/gui/form_fields.h"
#include "support/gui/kept_tick.h"
#include "support/messages.h"
#include "transmission/tx_fields.h"
#include "transmission/tx_form.h"
#include "transmission/tx_modem.h"
#include "transmission/tx_progress.h"

namespace kiv {

namespace {

constexpr int kTickMs = 100;
constexpr int kListRows = 12;

// Qt takes a window's modality as it is shown, so a shown window is shown
// again under the new one; the modal windows' list then stays right.
void SetModality(QWidget& window, Qt::WindowModality modality) {
    if (window.windowModality() == modality) return;
    const bool shown = window.isVisible();
    if (shown) window.hide();
    window.setWindowModality(modality);
    if (shown) window.show();
}

QPushButton* Button(QWidget* parent, const char* caption, const char* name) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TFTxModemA::TFTxModemA(TFCommModule& comm, TFTxProgress& progress, QWidget* parent)
    : QDialog(parent), comm_(comm), progress_(progress), now_(NowStamp) {
    setObjectName(QStringLiteral("TFTxModemA"));
    setWindowTitle(QString::fromUtf8(kModemAutoCaption));
    setWindowModality(Qt::ApplicationModal);
    // No close box: the round is left by "Anuluj"; closing it otherwise asks while it is armed.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildSettings());
    layout->addWidget(BuildStations());
    layout->addLayout(BuildButtons());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &TFTxModemA::Tick);
    connect(search_, &QPushButton::clicked, this, &TFTxModemA::Search);
    connect(ok_, &QPushButton::clicked, this, &TFTxModemA::Arm);
    connect(stop_, &QPushButton::clicked, this, &TFTxModemA::Disarm);
    connect(cancel_, &QPushButton::clicked, this, &TFTxModemA::Cancel);
}

QWidget* TFTxModemA::BuildSettings() {
    auto* box = new QGroupBox(QStringLiteral("Ustawienia"), this);
    time_ = new QTimeEdit(box);
    time_->setObjectName(QStringLiteral("DateTimePicker_Start"));
    time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    age_ = MakeSpin(box, "SpinEdit_MinAge", 0, 30);
    age_->setSuffix(QStringLiteral(" dni"));
    repeats_ = MakeSpin(box, "SpinEdit_Repeats", 0, 9);
    log_ = new QCheckBox(QStringLiteral("Log"), box);
    log_->setObjectName(QStringLiteral("CheckBox_Log"));
    log_->setToolTip(QString("Zapis rozmowy z modemem do pliku %1 i przesyłanych ramek do pliku %2 w bieżącym "
                             "folderze; przebieg odczytu trafia do %1 zawsze")
                         .arg(kModemLogName, kTxLogName));
    KeepTickBetweenRuns(log_);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Godzina rozpoczęcia odczytu:"), time_);
    form->addRow(QStringLiteral("Odczytaj stacje nie odświeżane od:"), age_);
    form->addRow(QStringLiteral("Liczba prób połączenia:"), repeats_);
    form->addRow(QString(), log_);
    return box;
}

QWidget* TFTxModemA::BuildStations() {
    auto* box = new QGroupBox(QStringLiteral("Stacje"), this);
    list_ = new QListWidget(box);
    list_->setObjectName(QStringLiteral("CheckListBox_Stations"));
    list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 44);
    list_->setMinimumHeight(list_->fontMetrics().height() * kListRows);
    search_ = Button(box, "Wyszukaj", "Button_Wyszukaj");
    countdown_ = new QLabel(box);
    countdown_->setObjectName(QStringLiteral("Label_Countdown"));
    QFont large = countdown_->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    countdown_->setFont(large);
    auto* searchRow = new QHBoxLayout;
    searchRow->addStretch();
    searchRow->addWidget(search_);
    auto* countdownRow = new QHBoxLayout;
    countdownRow->addWidget(new QLabel(QStringLiteral("Czas do rozpoczęcia odczytu:"), box));
    countdownRow->addStretch();
    countdownRow->addWidget(countdown_);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(list_);
    layout->addLayout(searchRow);
    layout->addLayout(countdownRow);
    return box;
}

QLayout* TFTxModemA::BuildButtons() {
    ok_ = Button(this, "OK", "Button_OK");
    ok_->setDefault(true);
    stop_ = Button(this, "Stop", "Button_Stop");
    cancel_ = Button(this, "Anuluj", "Button_Anuluj");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(stop_);
    buttons->addWidget(cancel_);
    return buttons;
}

void TFTxModemA::Open(const TRoundFolder& folder) {
    if (isVisible()) return;
    folder_ = folder;
    const TRoundSettings settings = ReadRoundSettings(folder.kivIni);
    time_->setTime(QTime(0, 0).addSecs(settings.startSecond));
    age_->setValue(settings.minimumAge);
    repeats_->setValue(settings.repeats);
    ResetWindow();
    timer_.start();
    show();
    raise();
    activateWindow();
}

void TFTxModemA::ResetWindow() {
    state_ = State::Idle;
    stations_.clear();
    list_->clear();
    ShowCountdown(0);
    ok_->setEnabled(false);
    stop_->setEnabled(false);
    cancel_->setEnabled(true);
    EnableSettings(true);
}

void TFTxModemA::EnableSettings(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{time_, age_, repeats_, log_, search_, list_})
        control->setEnabled(enabled);
}

void TFTxModemA::ShowCountdown(int64_t seconds) {
    const auto shown = static_cast<int>(std::clamp<int64_t>(seconds, 0, kDaySeconds - 1));
    countdown_->setText(ToQString(StartTimeText(shown)));
}

int TFTxModemA::StartSecond() const { return time_->time().msecsSinceStartOfDay() / 1000; }

TRoundSettings TFTxModemA::FieldSettings() const {
    TRoundSettings settings = ReadRoundSettings(folder_.kivIni);
    settings.startSecond = StartSecond();
    settings.minimumAge = age_->value();
    settings.repeats = repeats_->value();
    return settings;
}

void TFTxModemA::ShowList(const std::vector<TRoundStation>& stations, bool checkable) {
    list_->clear();
    for (const TRoundStation& station : stations) {
        auto* item = new QListWidgetItem(ToQString(RoundItemText(station)), list_);
        if (!checkable) continue;
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(station.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void TFTxModemA::Search() {
    const TimeStamp start = NextStart(now_(), StartSecond());
    stations_ = SearchRoundStations(folder_, StationDb().Stations(), start, age_->value());
    ShowList(stations_, true);
    ok_->setEnabled(!stations_.empty());
    if (stations_.empty()) (void)MessageDlg(kRoundTitle, kRoundNothingText, MsgInformation, BtnOk);
}

bool TFTxModemA::FolderFree() const {
    TFolderLockOwner holder;
    if (!FolderLockedByOther(folder_.dataFolder, holder)) return true;
    (void)MessageDlg(kRoundTitle,
                     "Folder danych\n" + PathWithSeparator(folder_.dataFolder) +
                         "\njest używany przez inny działający program:\n" + OwnerText(holder) +
                         ".\n\nDwa programy zapisujące do jednego folderu mogą utracić odczytane dane;\n"
                         "odczytu automatycznego nie można uruchomić, dopóki tamten program działa.",
                     MsgError, BtnOk);
    return false;
}

void TFTxModemA::Arm() {
    if (stations_.empty() || state_ != State::Idle || !FolderFree()) return;
    for (int i = 0; i < list_->count() && i < static_cast<int>(stations_.size()); ++i)
        stations_[static_cast<std::size_t>(i)].ticked = list_->item(i)->checkState() == Qt::Checked;
    ok_->setEnabled(false);
    EnableSettings(false);
    stop_->setEnabled(true);
    // A station file or Kiv.ini that cannot be written leaves the round as set
    // on the screen; the next opening shows what was stored.
    (void)StoreRoundTicks(folder_.dataFolder, stations_);
    (void)WriteRoundSettings(folder_.kivIni, FieldSettings());
    start_ = NextStart(now_(), StartSecond());
    state_ = State::Armed;
    ShowCountdown(static_cast<int64_t>(start_) - now_());
}

void TFTxModemA::Disarm() {
    if (state_ != State::Armed) return;
    state_ = State::Idle;
    ShowCountdown(0);
    stop_->setEnabled(false);
    ok_->setEnabled(!stations_.empty());
    EnableSettings(true);
}

void TFTxModemA::Tick() {
    if (state_ == State::Starting) {
        StartRound();
        return;
    }
    if (state_ != State::Armed) return;
    // Reckoned from the clock at every tick, so a start after a change of the
    // wall clock or a sleep of the computer still comes at its time of day.
    const int64_t left = static_cast<int64_t>(start_) - now_();
    ShowCountdown(left);
    if (left <= 0) state_ = State::Starting;
}

void TFTxModemA::StartRound() {
    // No tick may start the round again while the message below is open.
    timer_.stop();
    if (FolderFree()) {
        RunRound();
        return;
    }
    state_ = State::Armed;
    Disarm();
    timer_.start();
}

void TFTxModemA::RunRound() {
    state_ = State::Running;
    stop_->setEnabled(false);
    cancel_->setEnabled(false);
    const TRoundSettings settings = FieldSettings();
    TRoundJob job;
    job.folder = folder_;
    job.stations = stations_;
    job.repeats = settings.repeats;
    job.connMaxMinutes = settings.connMaxMinutes;
    job.runLog = TxLogPath(kModemLogName);
    if (log_->isChecked()) {
        job.modemLog = job.runLog;
        job.txLog = TxLogPath(kTxLogName);
    }
    // The main window must stay out of reach while the round holds the line;
    // the read-outs after it show the shared progress window as they always do.
    const Qt::WindowModality before = progress_.windowModality();
    SetModality(progress_, Qt::ApplicationModal);
    outcome_ = RunModemRound(comm_, progress_, job,
                             [this](const std::vector<TRoundStation>& left) { ShowList(left, false); });
    SetModality(progress_, before);
    timer_.stop();
    ResetWindow();
    hide();
}

void TFTxModemA::Cancel() {
    if (state_ == State::Running || state_ == State::Starting) return;
    Leave();
}

void TFTxModemA::reject() {
    if (state_ == State::Running || state_ == State::Starting) return;
    // Asked to stop (SIGTERM, Ctrl+C), the program closes its windows without questions.
    if (state_ == State::Armed && !StopRequested() && !ConfirmStop()) return;
    Leave();
}

bool TFTxModemA::ConfirmStop() {
    // The round must not start under the open question: the countdown waits
    // for the answer and, on "Nie", goes on from the clock as before.
    timer_.stop();
    const bool stop = MessageDlg(kRoundTitle, kStopRoundText, MsgConfirmation, BtnYes | BtnNo) == ResYes;
    if (!stop) timer_.start();
    return stop;
}

void TFTxModemA::Leave() {
    timer_.stop();
    ResetWindow();
    leaving_ = true;
    QDialog::reject();
    leaving_ = false;
}

void TFTxModemA::closeEvent(QCloseEvent* event) {
    // The window leaving on its own closes; closed by the program (at its
    // end) or the window manager, it is left as by Escape.
    if (leaving_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    reject();
}

} // namespace kiv

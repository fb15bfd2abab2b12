#pragma once
// The automatic modem window TFTxModemA ("Modem - odczyt automatyczny"). The
// user sets the start time of day, the minimum age of the data and the dial
// attempts, searches the stations ("Wyszukaj", SearchRoundStations), unticks
// those to leave out and arms the round with "OK": the ticks go to the
// station files, the settings to Kiv.ini, and the window counts down to the
// start (today, or tomorrow when that time is past). At the start it runs
// the round of modem_round.h with the progress window, the list showing each
// station's dial attempts left, and then closes and resets itself. "Stop"
// disarms; "Anuluj" disarms and closes at once, while closing the window
// otherwise (Escape, the window manager) asks first while it is armed. The
// title bar has no close box. A data folder another running program holds
// (support/folder_lock.h) is refused, on "OK" and again at the start.
// Lives for the whole run.
#include <QDialog>
#include <QTimer>

#include <functional>
#include <vector>

#include "comm/modem_round.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace kiv {

class TFCommModule;
class TFTxProgress;

inline constexpr const char* kModemAutoCaption = "Modem - odczyt automatyczny";
inline constexpr const char* kStopRoundText = "Czy zakończyć automatyczny odczyt?";

class TFTxModemA : public QDialog {
    Q_OBJECT
public:
    enum class State { Idle, Armed, Starting, Running };

    TFTxModemA(TFCommModule& comm, TFTxProgress& progress, QWidget* parent = nullptr);

    // Loads the settings into the fields, empties the list and shows the
    // window application-modal; returns at once. Nothing while it is shown.
    void Open(const TRoundFolder& folder);
    // The clock the start is reckoned by; tests set their own.
    void SetClock(std::function<TimeStamp()> now) { now_ = std::move(now); }

    [[nodiscard]] State CurrentState() const { return state_; }
    // The start the window counts down to while armed.
    [[nodiscard]] TimeStamp Start() const { return start_; }
    // How the last round went; empty before the first.
    [[nodiscard]] const TRoundOutcome& LastOutcome() const { return outcome_; }

    [[nodiscard]] QTimeEdit* StartEdit() const { return time_; }
    [[nodiscard]] QSpinBox* AgeSpin() const { return age_; }
    [[nodiscard]] QSpinBox* RepeatsSpin() const { return repeats_; }
    [[nodiscard]] QCheckBox* LogBox() const { return log_; }
    [[nodiscard]] QPushButton* SearchButton() const { return search_; }
    [[nodiscard]] QListWidget* StationList() const { return list_; }
    [[nodiscard]] QLabel* Countdown() const { return countdown_; }
    [[nodiscard]] QPushButton* OkButton() const { return ok_; }
    [[nodiscard]] QPushButton* StopButton() const { return stop_; }
    [[nodiscard]] QPushButton* CancelButton() const { return cancel_; }

public slots:
    // Escape and closing: while armed, asks first; never during the round.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    [[nodiscard]] QWidget* BuildSettings();
    [[nodiscard]] QWidget* BuildStations();
    [[nodiscard]] QLayout* BuildButtons();
    // "Anuluj": stops the countdown and closes without a question; never during the round.
    void Cancel();
    // "Czy zakończyć automatyczny odczyt?"; true on "Tak".
    [[nodiscard]] bool ConfirmStop();
    // Stops the timer, resets the window and hides it.
    void Leave();
    void Search();
    void Arm();
    void Disarm();
    void Tick();
    // At the start: the round, unless another program holds the data folder
    // meanwhile, which disarms the window instead.
    void StartRound();
    void RunRound();
    // Whether the round may write into the data folder: false, with the
    // message that names the other program, when another running program
    // holds the folder's lock (the main window opened it anyway).
    [[nodiscard]] bool FolderFree() const;
    void ShowList(const std::vector<TRoundStation>& stations, bool checkable);
    void EnableSettings(bool enabled);
    void ResetWindow();
    void ShowCountdown(int64_t seconds);
    [[nodiscard]] TRoundSettings FieldSettings() const;
    [[nodiscard]] int StartSecond() const;

    TFCommModule& comm_;
    TFTxProgress& progress_;
    TRoundFolder folder_;
    std::vector<TRoundStation> stations_;
    TRoundOutcome outcome_;
    State state_ = State::Idle;
    bool leaving_ = false; // the window hides itself: no question on the way out
    TimeStamp start_ = 0;
    std::function<TimeStamp()> now_;
    QTimer timer_;

    QTimeEdit* time_ = nullptr;
    QSpinBox* age_ = nullptr;
    QSpinBox* repeats_ = nullptr;
    QCheckBox* log_ = nullptr;
    QPushButton* search_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* countdown_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kiv

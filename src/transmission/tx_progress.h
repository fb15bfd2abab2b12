#pragma once
// The transmission windows every read-out shares. TFTxProgress is the
// progress window: the communication module, the modem dialogue, the
// read-out and the front-ends write to it through ITxProgress, and its exit
// button is the user's only way into a running read-out (cancel while it
// runs, close after success). TFTxFilter (tx_filter.h) edits which archives
// a station's read-outs fetch.
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "comm/progress.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kiv {

class TTxLamp;

class TFTxProgress : public QDialog, public ITxProgress {
    Q_OBJECT
public:
    explicit TFTxProgress(QWidget* parent = nullptr);

    void Reset(const std::string& stationLabel) override;
    void SetConnection(const std::string& text) override;
    void SetStatus(const std::string& text) override;
    void SetClock(const std::string& text) override;
    void SetBar(int percent) override;
    void StartCounter() override;
    void StopCounter() override;
    void SetCounterLimit(int seconds) override;
    [[nodiscard]] int ElapsedSeconds() const override;
    [[nodiscard]] bool LimitReached() const override { return limitReached_; }
    void SetLamp(TxLamp lamp, bool on) override;
    void FillCheckList(const std::vector<std::string>& names) override;
    void MarkItem(int index, TxCheck state) override;
    void SetExitEnabled(bool enabled) override;
    void SetExitCaption(const std::string& caption) override;
    void PressExit() override;
    [[nodiscard]] bool CancelRequested() const override { return cancel_; }
    [[nodiscard]] bool ClosedByUser() const override { return closed_; }
    void CloseWindow() override { hide(); }

    // What the window shows, for the front-ends' tests.
    [[nodiscard]] QString ConnectionText() const;
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] QString ClockText() const;
    [[nodiscard]] QString CounterText() const;
    [[nodiscard]] int BarValue() const;
    [[nodiscard]] bool LampOn(TxLamp lamp) const;
    [[nodiscard]] QListWidget* CheckList() const { return list_; }
    [[nodiscard]] QPushButton* ExitButton() const { return exit_; }

protected:
    // The title bar's close acts as the exit button; closing from code hides.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Tick();

    QLabel* connection_;
    QLabel* status_;
    QLabel* clock_;
    QProgressBar* bar_;
    QLabel* counter_;
    TTxLamp* lamps_[3];
    QListWidget* list_;
    QPushButton* exit_;
    QTimer tick_;
    QElapsedTimer elapsed_;
    int stoppedAt_ = 0;
    int limit_ = 0;
    bool limitReached_ = false;
    bool cancel_ = false;
    bool closed_ = false;
};

} // namespace kiv

#pragma once
// ITxProgress without widgets, for tests and the command line: keeps the
// current state, records every call as one line ("status: Odczyt zegara")
// and, when given a stream, prints each line as it happens.
#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "comm/progress.h"

namespace kiv {

class TTxProgressRecorder final : public ITxProgress {
public:
    explicit TTxProgressRecorder(std::ostream* echo = nullptr) : echo_(echo) {}

    void Reset(const std::string& stationLabel) override;
    void SetConnection(const std::string& text) override;
    void SetStatus(const std::string& text) override;
    void SetClock(const std::string& text) override;
    void SetBar(int percent) override;
    void StartCounter() override;
    void StopCounter() override;
    void SetCounterLimit(int seconds) override;
    [[nodiscard]] int ElapsedSeconds() const override;
    [[nodiscard]] bool LimitReached() const override;
    void SetLamp(TxLamp lamp, bool on) override;
    void FillCheckList(const std::vector<std::string>& names) override;
    void MarkItem(int index, TxCheck state) override;
    void SetExitEnabled(bool enabled) override;
    void SetExitCaption(const std::string& caption) override;
    void PressExit() override;
    [[nodiscard]] bool CancelRequested() const override { return cancel_; }
    [[nodiscard]] bool ClosedByUser() const override { return closed_; }
    void CloseWindow() override;

    // The state as a window would show it.
    const std::string& Caption() const { return caption_; }
    const std::string& Connection() const { return connection_; }
    const std::string& Status() const { return status_; }
    const std::string& Clock() const { return clock_; }
    int Bar() const { return bar_; }
    bool Lamp(TxLamp lamp) const { return lamps_[static_cast<int>(lamp)]; }
    const std::vector<std::string>& Items() const { return items_; }
    const std::vector<TxCheck>& ItemStates() const { return states_; }
    int Selected() const { return selected_; }
    bool ExitEnabled() const { return exitEnabled_; }
    const std::string& ExitCaption() const { return exitCaption_; }
    bool Visible() const { return visible_; }

    const std::vector<std::string>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }

private:
    using Clock_ = std::chrono::steady_clock;
    void Record(const std::string& line);

    std::ostream* echo_;
    std::vector<std::string> events_;
    std::string caption_, connection_, status_, clock_;
    int bar_ = 0;
    bool lamps_[3] = {false, false, false};
    std::vector<std::string> items_;
    std::vector<TxCheck> states_;
    int selected_ = -1;
    bool exitEnabled_ = false;
    std::string exitCaption_ = kExitCancel;
    bool cancel_ = false, closed_ = false, visible_ = false;
    std::optional<Clock_::time_point> counterStart_;
    int stoppedAt_ = 0;
    int limit_ = 0;
    mutable bool limitReached_ = false;
};

} // namespace kiv

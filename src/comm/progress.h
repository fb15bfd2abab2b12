#pragma once
// What a running transmission shows the user. The communication module, the
// modem dialogue, the read-out and the front-ends write to one ITxProgress;
// the progress window implements it with widgets, TTxProgressRecorder
// (progress_recorder.h) without them. The only way back is the exit button:
// it sets the cancel flag during a read-out and the closed flag after one.
#include <string>
#include <vector>

namespace kiv {

enum class TxLamp : int { Transmit = 0, Wait = 1, Receive = 2 };

// A check-list item: not yet read, read, or skipped.
enum class TxCheck : int { Unchecked = 0, Checked = 1, Grayed = 2 };

class ITxProgress {
public:
    virtual ~ITxProgress() = default;

    // New read-out of a station: caption "Postęp transmisji - " + label, lines
    // and list empty, bar 0, counter 0:00:00 and running, lamps off, both
    // flags off, exit button disabled with the caption "Anuluj", shown.
    virtual void Reset(const std::string& stationLabel) = 0;

    virtual void SetConnection(const std::string& text) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetClock(const std::string& text) = 0;
    virtual void SetBar(int percent) = 0; // clamped to 0..100

    virtual void StartCounter() = 0; // from 0:00:00
    virtual void StopCounter() = 0;
    // Seconds after which the limit flag is set; 0 removes the limit.
    virtual void SetCounterLimit(int seconds) = 0;
    [[nodiscard]] virtual int ElapsedSeconds() const = 0;
    [[nodiscard]] virtual bool LimitReached() const = 0;

    virtual void SetLamp(TxLamp lamp, bool on) = 0;
    void LampsOff() {
        SetLamp(TxLamp::Transmit, false);
        SetLamp(TxLamp::Wait, false);
        SetLamp(TxLamp::Receive, false);
    }

    virtual void FillCheckList(const std::vector<std::string>& names) = 0;
    // Sets item k's state and selects item k + 1; out-of-range k is ignored.
    virtual void MarkItem(int index, TxCheck state) = 0;

    virtual void SetExitEnabled(bool enabled) = 0;
    virtual void SetExitCaption(const std::string& caption) = 0;
    // The user's press of the exit button: "OK" sets the closed flag and
    // closes, any other caption sets the cancel flag.
    virtual void PressExit() = 0;
    [[nodiscard]] virtual bool CancelRequested() const = 0;
    [[nodiscard]] virtual bool ClosedByUser() const = 0;
    // The front-end's close after a failed read-out; sets no flag.
    virtual void CloseWindow() = 0;
};

// Texts the module and the front-ends write.
inline constexpr const char* kExitCancel = "Anuluj";
inline constexpr const char* kExitOk = "OK";

// "H:MM:SS" of the elapsed-time counter.
[[nodiscard]] std::string FormatElapsed(int seconds);

} // namespace kiv

#include "comm/progress_recorder.h"

#include <algorithm>
#include <ostream>

namespace kiv {
namespace {

const char* LampName(TxLamp lamp) {
    switch (lamp) {
    case TxLamp::Transmit: return "Nadawanie";
    case TxLamp::Wait: return "Czekanie";
    case TxLamp::Receive: return "Odbiór";
    }
    return "?";
}

const char* CheckName(TxCheck state) {
    switch (state) {
    case TxCheck::Unchecked: return "unchecked";
    case TxCheck::Checked: return "checked";
    case TxCheck::Grayed: return "grayed";
    }
    return "?";
}

} // namespace

void TTxProgressRecorder::Record(const std::string& line) {
    events_.push_back(line);
    if (echo_ != nullptr)
        *echo_ << line << '\n' << std::flush;
}

void TTxProgressRecorder::Reset(const std::string& stationLabel) {
    caption_ = "Postęp transmisji - " + stationLabel;
    connection_.clear();
    status_.clear();
    clock_.clear();
    bar_ = 0;
    items_.clear();
    states_.clear();
    selected_ = -1;
    std::fill(std::begin(lamps_), std::end(lamps_), false);
    cancel_ = closed_ = false;
    limitReached_ = false;
    exitEnabled_ = false;
    exitCaption_ = kExitCancel;
    visible_ = true;
    Record("reset: " + caption_);
    StartCounter();
}

void TTxProgressRecorder::SetConnection(const std::string& text) {
    connection_ = text;
    Record("connection: " + text);
}

void TTxProgressRecorder::SetStatus(const std::string& text) {
    status_ = text;
    Record("status: " + text);
}

void TTxProgressRecorder::SetClock(const std::string& text) {
    clock_ = text;
    Record("clock: " + text);
}

void TTxProgressRecorder::SetBar(int percent) {
    const int clamped = std::clamp(percent, 0, 100);
    if (clamped == bar_)
        return; // the read-out moves the bar often; only changes are worth a line
    bar_ = clamped;
    Record("bar: " + std::to_string(bar_));
}

void TTxProgressRecorder::StartCounter() {
    counterStart_ = Clock_::now();
    stoppedAt_ = 0;
    Record("counter: start");
}

void TTxProgressRecorder::StopCounter() {
    stoppedAt_ = ElapsedSeconds();
    counterStart_.reset();
    Record("counter: stop " + FormatElapsed(stoppedAt_));
}

void TTxProgressRecorder::SetCounterLimit(int seconds) {
    limit_ = std::max(seconds, 0);
    Record("counter: limit " + std::to_string(limit_));
}

int TTxProgressRecorder::ElapsedSeconds() const {
    if (!counterStart_)
        return stoppedAt_;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(Clock_::now() - *counterStart_).count());
}

bool TTxProgressRecorder::LimitReached() const {
    if (limit_ > 0 && counterStart_ && ElapsedSeconds() >= limit_)
        limitReached_ = true;
    return limitReached_;
}

void TTxProgressRecorder::SetLamp(TxLamp lamp, bool on) {
    bool& current = lamps_[static_cast<int>(lamp)];
    if (current == on)
        return;
    current = on;
    Record(std::string("lamp: ") + LampName(lamp) + (on ? " on" : " off"));
}

void TTxProgressRecorder::FillCheckList(const std::vector<std::string>& names) {
    items_ = names;
    states_.assign(names.size(), TxCheck::Unchecked);
    selected_ = names.empty() ? -1 : 0;
    Record("list: " + std::to_string(names.size()) + " items");
}

void TTxProgressRecorder::MarkItem(int index, TxCheck state) {
    if (index < 0 || index >= static_cast<int>(states_.size()))
        return;
    states_[index] = state;
    if (index + 1 < static_cast<int>(states_.size()))
        selected_ = index + 1;
    Record("item: " + items_[index] + " " + CheckName(state));
}

void TTxProgressRecorder::SetExitEnabled(bool enabled) {
    exitEnabled_ = enabled;
    Record(std::string("exit: ") + (enabled ? "enabled" : "disabled"));
}

void TTxProgressRecorder::SetExitCaption(const std::string& caption) {
    exitCaption_ = caption;
    Record("exit: caption " + caption);
}

void TTxProgressRecorder::PressExit() {
    if (!exitEnabled_)
        return;
    if (exitCaption_ == kExitOk) {
        closed_ = true;
        visible_ = false;
        Record("exit: closed");
    } else {
        cancel_ = true;
        Record("exit: cancel");
    }
}

void TTxProgressRecorder::CloseWindow() {
    visible_ = false;
    Record("window: closed");
}

} // namespace kiv

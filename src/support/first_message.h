#pragma once
// While it lives, the messages the computations would show are answered with
// their default button and only the first is kept: for the one line of a
// kiv-cli failure, or for a finding of the data folder check.
#include "support/messages.h"

#include <string>
#include <utility>

namespace kiv {

class TFirstMessage : public IMessageSink {
  public:
    TFirstMessage() : previous_(SetMessageSink(this)) {}
    ~TFirstMessage() override { SetMessageSink(previous_); }
    TFirstMessage(const TFirstMessage &) = delete;
    TFirstMessage &operator=(const TFirstMessage &) = delete;

    int Show(const std::string &, const std::string &text, int, unsigned buttons) override {
        if (text_.empty())
            text_ = text;
        const int bit = DefaultButtonBit(buttons);
        return bit < 0 ? ResNone : ButtonResult(bit);
    }
    [[nodiscard]] const std::string &Text() const { return text_; }
    // The message kept so far; the next one shown is kept after it.
    [[nodiscard]] std::string Take() { return std::exchange(text_, std::string()); }

  private:
    IMessageSink *previous_;
    std::string text_;
};

} // namespace kiv

#pragma once
// While it lives, the messages the computations would show are answered with
// their default button and only the first is kept, for the one line of Fail.
#include "support/messages.h"

#include <string>

namespace kiv::cli {

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

  private:
    IMessageSink *previous_;
    std::string text_;
};

} // namespace kiv::cli

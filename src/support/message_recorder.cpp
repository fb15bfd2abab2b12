#include "message_recorder.h"

namespace kiv {

MessageRecorder::MessageRecorder() : previous_(SetMessageSink(this)) {}

// Puts back whatever sink was there before, so recorders may nest.
MessageRecorder::~MessageRecorder() {
    SetMessageSink(previous_);
}

void MessageRecorder::Answer(int result) {
    answers_.push_back(result);
}

void MessageRecorder::Answer(std::initializer_list<int> results) {
    answers_.insert(answers_.end(), results);
}

const TRecordedMessage &MessageRecorder::Last() const {
    static const TRecordedMessage kNone{};
    return messages_.empty() ? kNone : messages_.back();
}

bool MessageRecorder::Saw(const std::string &fragment) const {
    for (const TRecordedMessage &m : messages_)
        if (m.text.find(fragment) != std::string::npos)
            return true;
    return false;
}

void MessageRecorder::Clear() {
    messages_.clear();
    answers_.clear();
}

int MessageRecorder::Show(const std::string &caption, const std::string &text, int kind, unsigned buttons) {
    int result = ResNone;
    if (!answers_.empty()) {
        result = answers_.front();
        answers_.pop_front();
    } else if (const int bit = DefaultButtonBit(buttons); bit >= 0) {
        result = ButtonResult(bit);
    }
    messages_.push_back(
        {caption, caption.empty() ? KindCaption(kind) : caption, text, kind, buttons, result});
    return result;
}

} // namespace kiv

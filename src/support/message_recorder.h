#pragma once
// A message sink for tests: while a MessageRecorder lives, every MessageDlg
// of the program is written down instead of shown, and answered from a queue
// of scripted results (or, when the queue is empty, with the default button's
// result, as a user pressing Enter would). Windows under test therefore never
// block on a modal box.
#include "support/messages.h"

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

namespace kiv {

struct TRecordedMessage {
    std::string caption;      // as the caller gave it (may be empty)
    std::string shownCaption; // as the dialog would show it
    std::string text;
    int kind = MsgWarning;
    unsigned buttons = 0;
    int result = ResNone; // what the recorder answered
};

class MessageRecorder : public IMessageSink {
  public:
    MessageRecorder();
    ~MessageRecorder() override;
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    // Queues the answers of the next messages, first one first.
    void Answer(int result);
    void Answer(std::initializer_list<int> results);
    std::size_t PendingAnswers() const { return answers_.size(); }

    const std::vector<TRecordedMessage> &Messages() const { return messages_; }
    std::size_t Count() const { return messages_.size(); }
    // The most recent message; an empty record when none was shown.
    const TRecordedMessage &Last() const;
    // Whether any recorded message's text contains the fragment.
    bool Saw(const std::string &fragment) const;
    void Clear();

    int Show(const std::string &caption, const std::string &text, int kind, unsigned buttons) override;

  private:
    IMessageSink *previous_;
    std::deque<int> answers_;
    std::vector<TRecordedMessage> messages_;
};

} // namespace kiv

#pragma once
// The program's own message box. Core code calls kiv::MessageDlg; the main
// program installs a QtMessageSink, which builds a TFPolMsg for each message
// and shows it modally. The dialog lays itself out in units of the message
// font (quarter average widths, eighth heights) so it looks the same at every
// font size, and returns the result code of the pressed button.
#include "support/messages.h"

#include <QDialog>
#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;

namespace kiv {

// The message text, drawn with exactly the wrapping used to measure it.
class TMsgText : public QWidget {
  public:
    TMsgText(const QString &text, int flags, QWidget *parent);
    const QString &text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString text_;
    int flags_;
};

class TFPolMsg : public QDialog {
    Q_OBJECT
  public:
    // An empty caption shows the kind's own caption.
    TFPolMsg(const QString &caption, const QString &text, int kind, unsigned buttons,
             QWidget *parent = nullptr);

    // Shows the box modally; the pressed button's result.
    int Execute();

    // The shown buttons, left to right, and the one of a bit (nullptr: not shown).
    const std::vector<QPushButton *> &Buttons() const { return buttons_; }
    QPushButton *Button(int bit) const;
    QLabel *Icon() const { return icon_; }
    TMsgText *Text() const { return text_; }

    void reject() override;

  private:
    void BuildButtons(unsigned buttons);
    void Arrange(const QString &text);

    std::vector<QPushButton *> buttons_;
    std::vector<int> bits_;
    QLabel *icon_ = nullptr;
    TMsgText *text_ = nullptr;
    int escapeBit_ = -1;
    bool closable_ = true; // Escape/close may end the box
};

// Shows every message of the program in a TFPolMsg over the active window.
class QtMessageSink : public IMessageSink {
  public:
    int Show(const std::string &caption, const std::string &text, int kind, unsigned buttons) override;
};

} // namespace kiv

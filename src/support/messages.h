#pragma once
// The one road from any layer to a message box. Core code (files, archives,
// read-outs) calls MessageDlg; the GUI installs a sink that shows the program's
// own dialog, tests install a recorder, and the command line prints to stderr.
#include <string>

namespace kiv {

enum MsgKind : int { MsgWarning = 0, MsgError = 1, MsgInformation = 2, MsgConfirmation = 3, MsgApplication = 4 };

// Button bits: bit j shows button j, left to right in this order.
enum MsgButton : unsigned {
    BtnYes = 1u << 0, BtnNo = 1u << 1, BtnOk = 1u << 2, BtnCancel = 1u << 3,
    BtnAbort = 1u << 4, BtnRetry = 1u << 5, BtnIgnore = 1u << 6, BtnAll = 1u << 7,
    BtnNoToAll = 1u << 8, BtnYesToAll = 1u << 9, BtnHelp = 1u << 10,
};

// Results of the buttons, as callers compare them.
enum MsgResult : int {
    ResNone = 0, ResOk = 1, ResCancel = 2, ResAbort = 3, ResRetry = 4, ResIgnore = 5,
    ResYes = 6, ResNo = 7, ResAll = 8, ResNoToAll = 9, ResYesToAll = 10,
};

constexpr int kButtonCount = 11;
const char* ButtonCaption(int bit);
int ButtonResult(int bit);
// The caption a kind shows when the caller gives none ("Kiv" for kind 4).
std::string KindCaption(int kind);
// The button Enter presses and the one Escape presses, as bit numbers (-1: none).
int DefaultButtonBit(unsigned buttons);
int EscapeButtonBit(unsigned buttons);

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual int Show(const std::string& caption, const std::string& text, int kind, unsigned buttons) = 0;
};

// Installs the sink every later MessageDlg goes to; nullptr restores the
// console sink. Returns the previous sink.
IMessageSink* SetMessageSink(IMessageSink* sink);

// Shows a message through the installed sink and returns the pressed button's result.
int MessageDlg(const std::string& caption, const std::string& text, int kind, unsigned buttons = BtnOk);

} // namespace kiv

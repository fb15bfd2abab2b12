#include "messages.h"

#include <cstdio>

namespace kiv {
namespace {

struct ButtonDef {
    const char* caption;
    int result;
};

constexpr ButtonDef kButtons[kButtonCount] = {
    {"&Tak", ResYes},           {"&Nie", ResNo},          {"&OK", ResOk},      {"&Anuluj", ResCancel},
    {"P&rzerwij", ResAbort},    {"Ponó&w", ResRetry},     {"&Zaniechaj", ResIgnore},
    {"&Wszystko", ResAll},      {"N&ie żadne", ResNoToAll}, {"T&ak wszystkie", ResYesToAll},
    {"Pomoc", ResNone},
};

bool Has(unsigned buttons, int bit) { return (buttons >> bit) & 1u; }

// Without a window system the answer is the default button: the safe choice
// a user pressing Enter would make.
class ConsoleSink : public IMessageSink {
public:
    int Show(const std::string& caption, const std::string& text, int kind, unsigned buttons) override {
        std::fprintf(stderr, "[%s] %s\n", (caption.empty() ? KindCaption(kind) : caption).c_str(), text.c_str());
        const int bit = DefaultButtonBit(buttons);
        return bit < 0 ? ResNone : ButtonResult(bit);
    }
};

ConsoleSink gConsole;
IMessageSink* gSink = &gConsole;

} // namespace

const char* ButtonCaption(int bit) { return bit >= 0 && bit < kButtonCount ? kButtons[bit].caption : ""; }
int ButtonResult(int bit) { return bit >= 0 && bit < kButtonCount ? kButtons[bit].result : ResNone; }

std::string KindCaption(int kind) {
    switch (kind) {
    case MsgWarning: return "Ostrzeżenie";
    case MsgError: return "Błąd !";
    case MsgInformation: return "Informacja";
    case MsgConfirmation: return "Potwierdzenie";
    default: return "Kiv";
    }
}

int DefaultButtonBit(unsigned buttons) {
    for (int bit : {2, 0, 5})
        if (Has(buttons, bit)) return bit;
    return -1;
}

int EscapeButtonBit(unsigned buttons) {
    for (int bit : {3, 1, 2})
        if (Has(buttons, bit)) return bit;
    return -1;
}

IMessageSink* SetMessageSink(IMessageSink* sink) {
    IMessageSink* previous = gSink == &gConsole ? nullptr : gSink;
    gSink = sink ? sink : &gConsole;
    return previous;
}

int MessageDlg(const std::string& caption, const std::string& text, int kind, unsigned buttons) {
    return gSink->Show(caption, text, kind, buttons);
}

} // namespace kiv

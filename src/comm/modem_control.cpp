#include "comm/modem_control.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>

#include <algorithm>
#include <charconv>
#include <map>

#include <termios.h>

#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "comm/progress.h"
#include "config/text_case.h"
#include "support/messages.h"

namespace kiv {
namespace {

constexpr char kCr = '\r';

const std::string kStatusOk = "OK";
const std::string kStatusConnected = "Połączenie";
const std::string kStatusNoCarrier = "Brak odpowiedzi";
const std::string kStatusError = "Błąd";
const std::string kStatusNoDialTone = "Brak sygnału centrali";
const std::string kStatusBusy = "Numer zajęty";
const std::string kStatusNoAnswer = "Numer nie odpowiada";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The numeric result codes (after "V0") as the words they stand for: the
// basic Hayes set 0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR,
// 6 NO DIALTONE, 7 BUSY, 8 NO ANSWER, and the CONNECT family, 5 and every
// code from 9 up, each for a speed. The speed is told where modems agree on
// it (5 1200, 9 600, 10 2400, 11 4800, 12 9600); the higher codes differ from
// maker to maker, so they read as a connection without a speed. A reply that
// is not a number is its own word.
std::string WordOfCode(std::string_view reply) {
    unsigned code = 0;
    const char* end = reply.data() + reply.size();
    const auto [stop, error] = std::from_chars(reply.data(), end, code);
    if (reply.empty() || error != std::errc() || stop != end) return std::string(reply);
    static const std::map<unsigned, std::string_view> words{
        {0, "OK"},           {1, "CONNECT"},     {2, "RING"},         {3, "NO CARRIER"},    {4, "ERROR"},
        {5, "CONNECT 1200"}, {6, "NO DIALTONE"}, {7, "BUSY"},         {8, "NO ANSWER"},     {9, "CONNECT 600"},
        {10, "CONNECT 2400"}, {11, "CONNECT 4800"}, {12, "CONNECT 9600"},
    };
    const auto found = words.find(code);
    return std::string(found == words.end() ? "CONNECT" : found->second);
}

// After DTR is dropped a modem that hung up says NO CARRIER (or OK).
bool HungUp(const std::string& reply) {
    const std::string status = TranslateModemReply(reply);
    return status == kStatusNoCarrier || status == kStatusOk;
}

bool UserAgrees(const char* question) {
    return MessageDlg(kModemTitle, question, MsgInformation, BtnOk | BtnCancel) == ResOk;
}

} // namespace

std::string ModemInitCommand(std::string_view stored) {
    std::string command = UpperText(TrimView(stored));
    if (command.starts_with("AT")) command.erase(0, 2);
    return command;
}

std::string ModemReplyLine(std::string_view received) {
    std::string text(received);
    std::replace(text.begin(), text.end(), '\n', kCr);
    text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == kCr && b == kCr; }), text.end());
    const std::size_t first = text.find(kCr);
    if (first == std::string::npos || first + 1 == text.size()) return text;
    const std::size_t next = text.find(kCr, first + 1);
    // Positions counted from 1: the next CR must lie beyond the second character.
    if (next == std::string::npos || next + 1 <= 2) return {};
    return text.substr(first + 1, next - first - 1);
}

std::string TranslateModemReply(std::string_view reply) {
    const std::string word = WordOfCode(TrimView(reply));
    static const std::map<std::string_view, std::string> exact{
        {"OK", kStatusOk},       {"NO CARRIER", kStatusNoCarrier}, {"ERROR", kStatusError},
        {"NO DIALTONE", kStatusNoDialTone}, {"BUSY", kStatusBusy}, {"NO ANSWER", kStatusNoAnswer},
    };
    if (const auto found = exact.find(word); found != exact.end()) return found->second;
    for (std::string_view start : {"CONNECT", "CARRIER"})
        if (word.starts_with(start)) return kStatusConnected + word.substr(start.size());
    return {};
}

TModemResult DialResultOf(const std::string& status) {
    if (Contains(status, kStatusConnected)) return TModemResult::Connected;
    if (status == kStatusNoDialTone) return TModemResult::NoDialTone;
    if (status == kStatusBusy) return TModemResult::Busy;
    if (status == kStatusNoAnswer || status == kStatusNoCarrier) return TModemResult::NoAnswer;
    return TModemResult::UnknownReply;
}

std::string TFCommModule::ModemCommand(const std::string& text) {
    if (portState_ != PortModemCommand) return {};
    BeginCommand(text);
    return AwaitCommand(true);
}

void TFCommModule::BeginCommand(const std::string& text) {
    if (progress_ != nullptr) progress_->LampsOff();
    SendCommand(text);
}

std::string TFCommModule::AwaitCommand(bool cancellable) {
    while (ex_.txState != TxState::Done && port_->isOpen()) {
        // Cancel ends the wait for the answer at the next tick.
        if (cancellable && Interrupted()) ex_.answerTimeout = 0;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (ex_.result != TxResult::Good) return {};
    return ModemReplyLine(std::string_view(reinterpret_cast<const char*>(ex_.rxBuffer.data()), ex_.rxCount));
}

bool TFCommModule::Interrupted() const {
    return (progress_ != nullptr && progress_->CancelRequested()) || StopRequested();
}

TModemResult TFCommModule::OpenModem(const TModemDial& dial) {
    if (portState_ != PortClosed) return TModemResult::PortBusy;
    if (!OpenLine(dial.link)) return TModemResult::PortFailed;
    if (!port_->setDataTerminalReady(true) || !port_->setRequestToSend(true)) port_->clearError();
    ex_.halfDuplex = 0;
    portState_ = PortModemCommand;
    if (!InitModem(dial)) return FailModem(TModemResult::InitFailed);

    if (progress_ != nullptr) progress_->SetExitEnabled(true);
    ex_.answerTimeout = modemTimes_.dialAnswer;
    ex_.charTimeout = modemTimes_.dialChar;
    ShowConnection("Łączenie do numeru: " + dial.number);
    std::string reply;
    if (!Dial(dial.number, reply)) return FailModem(TModemResult::Cancelled);
    if (Interrupted()) return AbortDial();
    const std::string status = TranslateModemReply(reply);
    const TModemResult result = DialResultOf(status);
    if (result != TModemResult::Connected) return FailModem(result);

    ShowConnection(status);
    ex_.txState = TxState::Idle;
    ex_.result = TxResult::NoReply;
    ex_.charTimeout = dial.link.charTimeout;
    ex_.answerTimeout = dial.link.answerTimeout;
    ex_.rtsOffDelay = dial.link.rtsOffDelay;
    ex_.rtsOnDelay = dial.link.rtsOnDelay;
    ex_.silence = dial.link.silence;
    portState_ = PortModemOnline;
    return TModemResult::Connected;
}

// The profile's commands first; a modem that refuses them that way round
// gets one more try with the fixed commands first.
bool TFCommModule::InitModem(const TModemDial& dial) {
    ex_.answerTimeout = modemTimes_.commandAnswer;
    ex_.charTimeout = modemTimes_.commandChar;
    ShowConnection("Inicjowanie modemu");
    std::string status = TranslateModemReply(ModemCommand("AT" + dial.profileInit + dial.fixedInit + kCr));
    if (Contains(status, kStatusError))
        status = TranslateModemReply(ModemCommand("AT" + dial.fixedInit + dial.profileInit + kCr));
    return Contains(status, kStatusOk) && !Contains(status, kStatusError);
}

bool TFCommModule::Dial(const std::string& number, std::string& reply) {
    if (Contains(number, "*")) {
        if (!UserAgrees(kManualDialText)) return false;
        reply = ModemCommand(std::string("ATX3D") + kCr);
        return true;
    }
    const std::size_t split = number.find(';');
    if (split == std::string::npos) {
        reply = ModemCommand("ATD" + number + kCr);
        return true;
    }
    reply = ModemCommand("ATD" + number.substr(0, split + 1) + kCr);
    // Cancelled during the first stage: no question, the dial is stopped.
    if (Interrupted()) return true;
    if (!UserAgrees(kNoticeSignalText)) return false;
    reply = ModemCommand("ATV0X3D" + number.substr(split + 1) + kCr);
    return true;
}

// A lone CR stops a dialling modem; only then is the port closed.
TModemResult TFCommModule::AbortDial() {
    if (progress_ != nullptr) progress_->SetExitEnabled(false);
    ex_.answerTimeout = modemTimes_.abortAnswer;
    ex_.charTimeout = modemTimes_.commandChar;
    BeginCommand(std::string(1, kCr));
    (void)AwaitCommand(false);
    return FailModem(TModemResult::Cancelled);
}

TModemResult TFCommModule::FailModem(TModemResult result) {
    CloseLine();
    portState_ = PortClosed;
    return result;
}

// A hang-up the user cannot cut short: a modem left online keeps the call.
// The port is purged before DTR drops, so that the modem's report of the
// dropped line cannot be thrown away with the old bytes.
void TFCommModule::HangUp() {
    ShowConnection("Rozłączanie");
    portState_ = PortModemCommand;
    ex_.silence = 0;
    ex_.answerTimeout = modemTimes_.hangUpAnswer;
    ex_.charTimeout = modemTimes_.hangUpChar;
    BeginCommand("");
    DropDtr();
    std::string reply = AwaitCommand(false);
    if (!HungUp(reply)) {
        ex_.silence = modemTimes_.escapeSilence;
        BeginCommand("+++");
        (void)AwaitCommand(false);
        ex_.silence = 0;
        BeginCommand(std::string("ATH0") + kCr);
        reply = AwaitCommand(false);
    }
    CloseLine();
    ShowConnection(HungUp(reply) ? "Rozłączone" : "Port zamknięty");
}

void TFCommModule::DropDtr() {
    if (port_->setDataTerminalReady(false)) return;
    port_->clearError();
    // A line without modem-control lines (a pseudo-terminal, some adapters)
    // hangs up the POSIX way: output speed 0.
    const int fd = static_cast<int>(port_->handle());
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return;
    cfsetospeed(&settings, B0);
    (void)tcsetattr(fd, TCSANOW, &settings);
}

} // namespace kiv

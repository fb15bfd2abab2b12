#include "hayes_modem.h"

#include <cctype>
#include <charconv>
#include <map>

namespace kiv::devsim {
namespace {

constexpr uint8_t kCr = '\r';
constexpr uint8_t kLf = '\n';
constexpr uint8_t kBackspace = 8;
constexpr std::size_t kLineLimit = 255;

const char* const kOk = "OK";
const char* const kError = "ERROR";
const char* const kNoCarrier = "NO CARRIER";

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The numeric form of a result word after V0; words without one stay words.
// A CONNECT with a speed (X1 and up) has a code of its own: the basic Hayes
// ones up to 9600 Bd and, above, the extended ones most modems share.
std::string NumericCode(const std::string& word) {
    static const std::map<std::string, std::string> codes{
        {"OK", "0"},          {"CONNECT", "1"},       {"RING", "2"},          {"NO CARRIER", "3"},
        {"ERROR", "4"},       {"CONNECT 1200", "5"},  {"NO DIALTONE", "6"},   {"BUSY", "7"},
        {"NO ANSWER", "8"},   {"CONNECT 600", "9"},   {"CONNECT 2400", "10"}, {"CONNECT 4800", "11"},
        {"CONNECT 9600", "12"}, {"CONNECT 7200", "13"}, {"CONNECT 12000", "14"}, {"CONNECT 14400", "15"},
        {"CONNECT 19200", "16"}, {"CONNECT 38400", "17"}, {"CONNECT 57600", "18"}, {"CONNECT 115200", "19"},
    };
    if (const auto found = codes.find(word); found != codes.end()) return found->second;
    // A speed without a code of its own (300 Bd, 28800 Bd) is told as a plain CONNECT.
    return word.rfind("CONNECT", 0) == 0 ? "1" : word;
}

// The number after a command letter (0 when none); `at` moves past its digits.
int NumberAt(std::string_view text, std::size_t& at) {
    int value = 0;
    const char* begin = text.data() + at;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    at += static_cast<std::size_t>(end - begin);
    return ec == std::errc() ? value : 0;
}

} // namespace

bool ParseDialRule(const std::string& text, DialRule& rule, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals + 1 == text.size()) {
        error = "--number wants NUMBER=ADDRESS or NUMBER=WORD, not \"" + text + "\"";
        return false;
    }
    rule = {};
    rule.number = DialDigits(std::string_view(text).substr(0, equals));
    const std::string what = text.substr(equals + 1);
    unsigned address = 0;
    const auto [end, ec] = std::from_chars(what.data(), what.data() + what.size(), address);
    if (ec == std::errc() && end == what.data() + what.size()) {
        if (address < 1 || address > 65535) {
            error = "--number " + text + ": a device address is 1..65535";
            return false;
        }
        rule.address = static_cast<uint16_t>(address);
        return true;
    }
    for (char c : what) rule.result.push_back(Upper(c));
    return true;
}

std::string DialDigits(std::string_view dial) {
    std::string digits;
    for (char c : dial)
        if (IsDigit(c) || c == '*' || c == '#') digits.push_back(c);
    return digits;
}

HayesModem::HayesModem(ModemSettings settings) : settings_(std::move(settings)), errorsLeft_(settings_.errorLines) {}

void HayesModem::Receive(const uint8_t* bytes, std::size_t count, Clock::time_point now, Bytes& answer, Bytes& data) {
    for (std::size_t i = 0; i < count; ++i) {
        switch (mode_) {
        case Mode::kDialling:
            // Any key aborts a dial; the rest of the chunk is not a command.
            HangUp();
            Result(kNoCarrier, answer);
            return;
        case Mode::kOnline:
            TakeOnlineByte(bytes[i], now, data);
            break;
        case Mode::kCommand:
            TakeCommandByte(bytes[i], now, answer);
            break;
        }
    }
}

void HayesModem::TakeCommandByte(uint8_t byte, Clock::time_point now, Bytes& answer) {
    if (echo_) answer.push_back(byte);
    if (byte == kCr) {
        const std::string line = line_;
        line_.clear();
        Execute(line, now, answer);
    } else if (byte == kBackspace) {
        if (!line_.empty()) line_.pop_back();
    } else if (byte != kLf && line_.size() < kLineLimit) {
        line_.push_back(static_cast<char>(byte));
    }
}

// The escape is three '+' with a guard time of quiet line before the first;
// Poll completes it once the line stays quiet for a guard time after them.
void HayesModem::TakeOnlineByte(uint8_t byte, Clock::time_point now, Bytes& data) {
    const auto guard = std::chrono::milliseconds(settings_.guardTimeMs);
    const bool plus = byte == '+';
    if (plus && pluses_ < 3 && (pluses_ > 0 ? now - lastPlus_ < guard : now - lastData_ >= guard)) {
        ++pluses_;
        lastPlus_ = now;
    } else {
        pluses_ = 0;
    }
    lastData_ = now;
    data.push_back(byte);
}

void HayesModem::Poll(Clock::time_point now, bool dtr, Bytes& answer) {
    const bool dropped = dtr_ && !dtr && !settings_.ignoreDtr;
    dtr_ = dtr;
    if (dropped) {
        line_.clear();
        const bool inCall = address_ != 0 || mode_ == Mode::kDialling || !stageDigits_.empty();
        if (dtrMode_ == 2 && inCall) {
            HangUp();
            Result(kNoCarrier, answer);
        } else if (dtrMode_ == 1 && mode_ == Mode::kOnline) {
            mode_ = Mode::kCommand;
            Result(kOk, answer);
        }
        return;
    }
    if (mode_ == Mode::kDialling && now >= dialEnd_) EndDial(now, answer);
    if (mode_ == Mode::kOnline && pluses_ == 3 && now - lastPlus_ >= std::chrono::milliseconds(settings_.guardTimeMs)) {
        pluses_ = 0;
        mode_ = Mode::kCommand;
        Result(kOk, answer);
    }
}

void HayesModem::Execute(const std::string& line, Clock::time_point now, Bytes& answer) {
    // A modem listens for "AT"; whatever came before it is line noise.
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < line.size() && at == std::string::npos; ++i)
        if (Upper(line[i]) == 'A' && Upper(line[i + 1]) == 'T') at = i;
    if (at == std::string::npos) return;
    lines_.push_back(line.substr(at));
    if (errorsLeft_ > 0) {
        --errorsLeft_;
        Result(kError, answer);
        return;
    }
    bool resultDue = true;
    if (!RunCommands(std::string_view(line).substr(at + 2), now, answer, resultDue)) {
        Result(kError, answer);
        return;
    }
    if (resultDue) Result(kOk, answer);
}

bool HayesModem::RunCommands(std::string_view commands, Clock::time_point now, Bytes& answer, bool& resultDue) {
    std::size_t i = 0;
    while (i < commands.size()) {
        const char c = Upper(commands[i++]);
        if (c == ' ') continue;
        if (c == 'D') {
            StartDial(commands.substr(i), now, resultDue);
            return true;
        }
        if (c == '&' || c == '\\' || c == '%') {
            if (i >= commands.size()) return false;
            const char sub = Upper(commands[i++]);
            const int n = NumberAt(commands, i);
            if (c == '&' && sub == 'F') Defaults();
            if (c == '&' && sub == 'D') dtrMode_ = n;
            continue;
        }
        if (c == 'S') {
            (void)NumberAt(commands, i);
            if (i < commands.size() && commands[i] == '?') {
                ++i;
                Result("000", answer);
            } else if (i < commands.size() && commands[i] == '=') {
                ++i;
                (void)NumberAt(commands, i);
            }
            continue;
        }
        const int n = NumberAt(commands, i);
        switch (c) {
        case 'E': echo_ = n != 0; break;
        case 'Q': quiet_ = n != 0; break;
        case 'V': verbose_ = n != 0; break;
        case 'X': xLevel_ = n; break;
        case 'Z': Defaults(); HangUp(); break;
        case 'H':
            if (n == 0) HangUp();
            break;
        case 'O':
            if (address_ == 0) return false;
            mode_ = Mode::kOnline;
            lastData_ = now;
            Result(ConnectWord(), answer);
            resultDue = false;
            return true;
        case 'A':
            // Nobody is calling the simulated modem.
            Result(kNoCarrier, answer);
            resultDue = false;
            return true;
        case 'B': case 'I': case 'L': case 'M': case 'N': case 'P': case 'T': case 'W': case 'Y':
            break;
        default:
            return false;
        }
    }
    return true;
}

void HayesModem::StartDial(std::string_view dial, Clock::time_point now, bool& resultDue) {
    std::string_view trimmed = dial;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    const std::string digits = stageDigits_ + DialDigits(trimmed);
    if (!trimmed.empty() && trimmed.back() == ';') {
        // Dialled so far; the rest comes with the next dial command.
        stageDigits_ = digits;
        return;
    }
    stageDigits_.clear();
    dialDigits_ = digits;
    dialEnd_ = now + std::chrono::milliseconds(settings_.dialTimeMs);
    mode_ = Mode::kDialling;
    resultDue = false;
}

void HayesModem::EndDial(Clock::time_point now, Bytes& answer) {
    uint16_t address = settings_.rules.empty() ? settings_.defaultAddress : 0;
    std::string word = kNoCarrier;
    for (const DialRule& rule : settings_.rules) {
        if (rule.number != dialDigits_) continue;
        address = rule.address;
        word = rule.result;
        break;
    }
    if (address == 0) {
        mode_ = Mode::kCommand;
        Result(word, answer);
        return;
    }
    address_ = address;
    mode_ = Mode::kOnline;
    pluses_ = 0;
    lastData_ = now;
    Result(ConnectWord(), answer);
}

void HayesModem::HangUp() {
    mode_ = Mode::kCommand;
    address_ = 0;
    pluses_ = 0;
    stageDigits_.clear();
}

void HayesModem::Defaults() {
    echo_ = true;
    quiet_ = false;
    verbose_ = true;
    xLevel_ = 4;
    dtrMode_ = 2;
}

void HayesModem::Result(const std::string& word, Bytes& answer) const {
    if (quiet_) return;
    const std::string text = verbose_ ? "\r\n" + word + "\r\n" : NumericCode(word) + "\r";
    answer.insert(answer.end(), text.begin(), text.end());
}

std::string HayesModem::ConnectWord() const {
    return xLevel_ == 0 ? std::string("CONNECT") : "CONNECT " + std::to_string(settings_.connectSpeed);
}

} // namespace kiv::devsim

#pragma once
// A Hayes modem in front of the simulated devices. It sees what the program
// writes to the line. In command mode it takes AT command lines and answers
// them with result codes: verbose "CR LF text CR LF", numeric "code CR" after
// V0, nothing after Q1, and the command echoed while E1 is on. A dial command
// "ATD<number>" ends, after the dial time, in the result set up for the
// number: "CONNECT <speed>" and online mode bridged to the device of that
// number, or a word such as BUSY, NO ANSWER, NO CARRIER or NO DIALTONE. A ";"
// ending the dial string keeps the digits and returns to command mode for a
// second stage; any character arriving while it dials aborts the dial.
// Online, "+++" between two guard times returns to command mode with the call
// held (ATO goes back online, ATH0 hangs up); a DTR drop hangs up with NO
// CARRIER (&D2, the default) or returns to command mode (&D1).
//
// No I/O: the serving loop hands it the bytes, the time and the DTR line and
// sends back what it answers.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame_codec.h"

namespace kiv::devsim {

// What dialling one number ends in.
struct DialRule {
    std::string number;   // dial digits only (DialDigits)
    uint16_t address = 0; // above 0: CONNECT to the device with this address
    std::string result;   // else the result word the dial ends with
};

// "NUMBER=ADDRESS" or "NUMBER=WORD" (an empty number is a dial without
// digits, as after dialling by hand); false with a message when malformed.
[[nodiscard]] bool ParseDialRule(const std::string& text, DialRule& rule, std::string& error);
// The digits, '*' and '#' of a dial string; modifiers (T, P, W, ",", "@", "!",
// ";", blanks, dashes, brackets) do not reach the exchange.
[[nodiscard]] std::string DialDigits(std::string_view dial);

struct ModemSettings {
    int connectSpeed = 9600;
    // Empty: every number reaches defaultAddress. Otherwise a number without
    // a rule ends in NO CARRIER.
    std::vector<DialRule> rules;
    uint16_t defaultAddress = 0;
    int dialTimeMs = 200;   // from the dial command to its result
    int guardTimeMs = 1000; // quiet line before and after "+++"
    int errorLines = 0;     // the first command lines answered ERROR, as a modem still waking up
    bool ignoreDtr = false; // as on a cable without the DTR wire
};

class HayesModem {
public:
    using Clock = std::chrono::steady_clock;
    enum class Mode { kCommand, kDialling, kOnline };

    explicit HayesModem(ModemSettings settings);

    // Bytes from the program at `now`: the modem's answers (echo, results)
    // are appended to `answer`, online data for the device to `data`.
    void Receive(const uint8_t* bytes, std::size_t count, Clock::time_point now, Bytes& answer, Bytes& data);
    // Time passing with the DTR line as it is now: ends a dial, completes an
    // escape, acts on a DTR drop.
    void Poll(Clock::time_point now, bool dtr, Bytes& answer);

    [[nodiscard]] Mode CurrentMode() const { return mode_; }
    // The device of the call, online or held; 0 without a call.
    [[nodiscard]] uint16_t ConnectedAddress() const { return address_; }
    // Every command line taken, as received (without its CR).
    [[nodiscard]] const std::vector<std::string>& CommandLines() const { return lines_; }

private:
    void TakeCommandByte(uint8_t byte, Clock::time_point now, Bytes& answer);
    void TakeOnlineByte(uint8_t byte, Clock::time_point now, Bytes& data);
    void Execute(const std::string& line, Clock::time_point now, Bytes& answer);
    // Runs the commands after "AT"; false for one it does not know.
    bool RunCommands(std::string_view commands, Clock::time_point now, Bytes& answer, bool& resultDue);
    void StartDial(std::string_view dial, Clock::time_point now, bool& resultDue);
    void EndDial(Clock::time_point now, Bytes& answer);
    void HangUp();
    void Defaults();
    void Result(const std::string& word, Bytes& answer) const;
    [[nodiscard]] std::string ConnectWord() const;

    ModemSettings settings_;
    Mode mode_ = Mode::kCommand;
    bool echo_ = true;
    bool quiet_ = false;
    bool verbose_ = true;
    int xLevel_ = 4;
    int dtrMode_ = 2;
    bool dtr_ = false;
    int errorsLeft_ = 0;
    std::string line_;
    std::vector<std::string> lines_;
    std::string stageDigits_; // dialled before a ";", waiting for the rest
    std::string dialDigits_;
    Clock::time_point dialEnd_{};
    uint16_t address_ = 0;
    int pluses_ = 0;
    Clock::time_point lastData_{};
    Clock::time_point lastPlus_{};
};

} // namespace kiv::devsim

#pragma once
// The modem dialogue of the communication module. TFCommModule::OpenModem
// opens the port for a Hayes modem, initialises it ("AT" + the profile's
// command + the fixed "E0Q0V1&C1&D2", once more the other way round after an
// ERROR) and dials: straight ("ATD" + number), in two stages for a number
// with ";" (the rest after the exchange's notice signal, which the user
// confirms), or by hand for a number with "*". Every AT command is one
// command-mode exchange (TFCommModule::ModemCommand) that ends only by the
// answer or character timeout; its reply line is the text between the
// modem's first two CRs, and TranslateModemReply turns it into the Polish
// status the progress window shows. Connected, the port works in frame mode
// as a direct line does, and ClosePort hangs up: DTR off, the modem's own
// NO CARRIER awaited, "+++" and "ATH0" only when it does not come.
//
// Here: the records, the result codes and the text rules, all without a port.
#include <cstdint>
#include <string>
#include <string_view>

#include "comm/link_settings.h"

namespace kiv {

// How a dial ended; the numbers are the program's own and never change.
enum class TModemResult : uint8_t {
    PortBusy = 0,     // a port is open already
    PortFailed = 1,   // the port could not be opened
    InitFailed = 3,   // the modem did not accept the initialisation
    NoDialTone = 4,
    Busy = 5,
    NoAnswer = 6,     // no answer, or no carrier
    Cancelled = 7,    // by the user (cancel button or a declined question)
    Connected = 8,    // online; the port is in frame mode
    UnknownReply = 13, // the dial got a reply the program does not know
};

[[nodiscard]] constexpr int ResultCode(TModemResult result) { return static_cast<int>(result); }

// The waits of the modem dialogue, in ms. The values are the program's;
// only tests shorten them.
struct TModemTimes {
    int32_t commandAnswer = 2000; // initialisation
    int32_t commandChar = 800;
    int32_t dialAnswer = 120000;  // a call may take long to be answered
    int32_t dialChar = 800;
    int32_t abortAnswer = 5000;   // after the lone CR that stops a dial
    int32_t hangUpAnswer = 5000;  // the modem's report once DTR is off
    int32_t hangUpChar = 100;
    int32_t escapeSilence = 1000; // the guard time before "+++"
};

inline constexpr const char* kFixedModemInit = "E0Q0V1&C1&D2";
inline constexpr std::size_t kModemCommandLimit = 2500;

// What OpenModem needs: the line (port, speed, parity and the frame-mode
// times used once connected), the number and both initialisation strings.
struct TModemDial {
    TLinkSettings link;
    std::string number;
    std::string fixedInit = kFixedModemInit;
    std::string profileInit; // as ModemInitCommand gives it
};

// A profile's initialisation command as it goes into "AT...": upper case,
// without blanks around it and without a leading "AT" ("at&f" gives "&F").
[[nodiscard]] std::string ModemInitCommand(std::string_view stored);

// The reply line of a command-mode exchange: LF taken as CR, repeated CRs as
// one, then the text between the first CR and the next; the whole text when
// it has no CR or only one at its end.
[[nodiscard]] std::string ModemReplyLine(std::string_view received);

// The status text of a reply line ("OK", "Połączenie 19200", "Numer
// zajęty", ...), empty for a reply the program does not know. The numeric
// result codes (after "V0", as the second dialling stage sends it) read as
// their words, every code of the CONNECT family (5, 9 and up) as a
// connection.
[[nodiscard]] std::string TranslateModemReply(std::string_view reply);

// The dial's result for the status of its last reply.
[[nodiscard]] TModemResult DialResultOf(const std::string& status);

// The questions of dialling by hand and of the second dialling stage.
inline constexpr const char* kModemTitle = "Kiv";
inline constexpr const char* kManualDialText = "Wybierz ręcznie numer telefonu. Po zgłoszeniu się modemu naciśnij OK";
inline constexpr const char* kNoticeSignalText = "Poczekaj na sygnał awizo z centrali. Naciśnij OK";

} // namespace kiv

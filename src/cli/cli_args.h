#pragma once
// Checks of kiv-cli argument values, shared by the commands. Each Parse
// function returns true with the value, or false with a Polish line naming
// the bad value in `error`, for UsageError (exit 64); they open nothing. The
// Find functions then look for what the arguments name on disk and return
// kExitOk, or kExitNoInput / kExitData with the line for Fail.
#include <string>

#include "cli_command.h"
#include "datafiles/timestamp.h"

namespace kiv::cli {

// Station address, 1..65535.
[[nodiscard]] bool ParseAddress(const std::string& text, int& address, std::string& error);
// A whole number low..high; `what` names it in the message (an argument or option name).
[[nodiscard]] bool ParseWhole(const std::string& what, const std::string& text, long low, long high, long& value,
                              std::string& error);
// "YYYY-MM-DD hh:mm:ss" (the time of day, or its seconds, may be left out).
[[nodiscard]] bool ParseTime(const std::string& what, const std::string& text, TimeStamp& stamp, std::string& error);
// A day "YYYY-MM-DD", given back as its 00:00:00.
[[nodiscard]] bool ParseDay(const std::string& what, const std::string& text, TimeStamp& day, std::string& error);
// A time of day "hh:mm:ss", two digits each, 00:00:00 .. 23:59:59, given back as seconds after midnight.
[[nodiscard]] bool ParseTimeOfDay(const std::string& what, const std::string& text, int& second, std::string& error);
// The decimal separator of written values: one character that is neither a
// digit, nor the field separator ";", nor a control character.
[[nodiscard]] bool ParseDecimalSeparator(const std::string& text, std::string& separator, std::string& error);
// Two times, the first not after the second.
[[nodiscard]] bool ParseTimeRange(const std::string& fromText, const std::string& toText, TimeStamp& from,
                                  TimeStamp& to, std::string& error);
// One of the program's baud rates, 110 .. 115200.
[[nodiscard]] bool ParseBaudRate(const std::string& text, int& baud, std::string& error);
// "None", "Odd", "Even", "Mark" or "Space", as the station file holds it.
[[nodiscard]] bool ParseParity(const std::string& text, std::string& error);
// "COM1" .. "COM128" (mapped through [Ports] of Kiv.ini) or a device path.
[[nodiscard]] bool ParsePort(const std::string& text, std::string& error);

// The data folder, given back with its trailing "/".
[[nodiscard]] int FindDataFolder(const std::string& text, std::string& folder, std::string& error);
// The station file of the address in the data folder (with its "/").
[[nodiscard]] int FindStation(const std::string& folder, int address, std::string& error);
// A month file of the channel in the station's folder, for any month.
[[nodiscard]] int FindChannel(const std::string& folder, int address, const std::string& channel, std::string& error);
// A file that starts with the container magic of its kind ("ZQFCD", "ZQFCP", ...);
// `kind` names the kind in the message, e.g. "plikiem archiwum (.FCD)".
[[nodiscard]] int FindFileOfKind(const std::string& path, const char* magic, const char* kind, std::string& error);

} // namespace kiv::cli

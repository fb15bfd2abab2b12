#pragma once
// The program-wide settings the operator edits in one dialog, as one record:
// the report hour shift, the exchange prefix, the event and modem connection
// limits and the modem profiles. Reading takes the whole record from Kiv.ini
// at once; saving erases the [Modems] section and writes every profile row
// and the four settings in one replacement of the file, so the file holds
// either the old settings or all of the new ones.
#include <string>
#include <vector>

namespace kiv {

// One modem profile as the profile grid shows it: the four values as text.
struct TModemProfile {
    std::string name;
    std::string initString;
    std::string port;
    std::string speed;
    [[nodiscard]] bool Empty() const { return name.empty() && initString.empty() && port.empty() && speed.empty(); }
    bool operator==(const TModemProfile&) const = default;
};

struct TProgramConfig {
    int hourShift = -2;         // Report/RepBaseHourShift
    std::string exchangePrefix; // CommSettings/ExchangePrefix
    int eventsMaxNumber = 100;  // CommSettings/EventsMaxNumber
    int modemConnMaxTime = 15;  // CommSettings/ModemConnMaxTime, as the dialog's default
    // Profile rows 1, 2, ..., one per name of the list. The last row is
    // always empty; written as it is, it ends the list for every later reader.
    std::vector<TModemProfile> modems{TModemProfile{}};
    bool operator==(const TProgramConfig&) const = default;
};

inline constexpr int kHourShiftLimit = 23;
inline constexpr int kEventsNumberHigh = 500;
inline constexpr int kModemTimeLow = 3;
inline constexpr int kModemTimeHigh = 99;

[[nodiscard]] TProgramConfig ReadProgramConfig(const std::string& kivIni);
// False when Kiv.ini could not be replaced; it is then left as it was.
[[nodiscard]] bool SaveProgramConfig(const std::string& kivIni, const TProgramConfig& config);

} // namespace kiv

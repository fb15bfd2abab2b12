#pragma once
// The program-wide settings the operator edits in one dialog, as one record:
// the report hour shift, the exchange prefix, the event and modem connection
// limits and the modem profiles. Reading takes each value through its
// TProgramSettings getter, so the keys, defaults and ranges stay there;
// saving is TProgramSettings::SetProgramConfig, which erases [Modems] and
// writes every profile row and the four settings in one replacement of the
// file, so the file holds either the old settings or all of the new ones.
#include "config/program_settings.h"

#include <string>
#include <vector>

namespace kiv {

struct TProgramConfig {
    int hourShift = kDefaultHourShift; // Report/RepBaseHourShift
    std::string exchangePrefix;        // CommSettings/ExchangePrefix
    int eventsMaxNumber = 0;           // CommSettings/EventsMaxNumber
    int modemConnMaxTime = 0;          // CommSettings/ModemConnMaxTime, as the dialog reads it
    // Profile rows 1, 2, ..., one per name of the list. The last row is
    // always empty; written as it is, it ends the list for every later reader.
    std::vector<TModemProfile> modems{TModemProfile{}};
    bool operator==(const TProgramConfig&) const = default;
};

// What the dialog's number fields offer.
inline constexpr int kEventsNumberHigh = 500;
inline constexpr int kModemTimeLow = 3;
inline constexpr int kModemTimeHigh = 99;

[[nodiscard]] TProgramConfig ReadProgramConfig(const std::string& kivIni);

} // namespace kiv

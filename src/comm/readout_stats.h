#pragma once
// A station's communication statistics (config/station_stats.h) as the user
// reads them: caption and value rows for the station configuration, the same
// rows as one tooltip text for the station tree, and how the last try ended
// in the words of the read-out's and the dial's own messages.
#include <string>
#include <vector>

#include "config/station_stats.h"

namespace kiv {

struct TStatsRow {
    std::string caption;
    std::string value;
};

[[nodiscard]] std::vector<TStatsRow> StationStatsRows(const TStationStats& stats);
// "caption: value" lines; "Brak prób odczytu" for a station never tried.
[[nodiscard]] std::string StationStatsTip(const TStationStats& stats);
// "Odczyt zakończony (15)", "Numer zajęty (modem: 5)", ...
[[nodiscard]] std::string AttemptResultText(int result, int dial);

} // namespace kiv

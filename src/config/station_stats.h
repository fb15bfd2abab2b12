#pragma once
// The communication statistics of a station, kept in the [Stats] section of
// its station file: when it was last tried and last read completely, how the
// last try ended, and how many tries and complete read-outs there have been.
// Every read-out road records its try here when it ends (the direct line,
// the manual modem, the automatic round, the transporter), so that the
// station configuration and the station tree's tooltip show at a glance
// which stations keep failing. A try is recorded in one replacement of the
// station file through the ini layer; a station file that is not there is
// never created for it.
#include <ctime>
#include <string>

namespace kiv {

struct TStationStats {
    std::string lastAttempt; // "YYYY-MM-DD hh:mm:ss" of the computer's clock; empty: never tried
    std::string lastGood;    // the last complete read-out; empty: none
    int lastResult = -1;     // read-out result of the last try (1..15); 0: the device was not reached; -1: no try
    int lastDial = -1;       // the dial's result when the last try went through a modem (8: connected); -1: none
    int attempts = 0;
    int good = 0;
};

// One try at reading a station.
struct TStatsAttempt {
    int result = 0; // read-out result; 0 when the device was not reached
    bool good = false;
    int dial = -1;  // the dial's result when the try went through a modem
    std::time_t when = 0;
};

[[nodiscard]] TStationStats ReadStationStats(const std::string& stationFile);
// Adds the try to the station's statistics; false when the station file is
// missing or could not be replaced (it is then as it was).
bool RecordStationAttempt(const std::string& stationFile, const TStatsAttempt& attempt);
// "YYYY-MM-DD hh:mm:ss" of the local time.
[[nodiscard]] std::string StatsTimeText(std::time_t when);

} // namespace kiv

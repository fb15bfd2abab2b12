#pragma once
// The check of a data folder behind `kiv-cli check`: what a crash, a bad disk
// or a broken link left behind, station by station, without changing a byte.
// Every file of a station is judged by the program's own rules: the station
// file must hold a [Main] section; each archive month must pass the checks of
// a period read (name, size, CRC, version), keep its samples in time order and
// inside its month; the current data file and every events generation must
// validate. Then each archive channel is followed across its months, one
// series per sample interval (a channel may hold hourly and daily samples side
// by side): two neighbouring samples further apart than twice their interval
// make a gap. A channel that ends before the others is not a finding: a
// read-out leaves channels behind on purpose (a transmission filter, a
// condition, a profile that renamed them). A month that cannot be read breaks
// its series there: the file is named, no gap is made up around it.
#include <string>
#include <vector>

#include "datafiles/timestamp.h"

namespace kiv {

enum class TCheckKind {
    File,         // the file fails its own check (or is missing, empty, unreadable)
    Order,        // samples of a month file out of time order
    OutsideMonth, // samples of a month file that belong to another month
    Gap,          // a hole in an archive series
};

struct TCheckFinding {
    int address = 0;
    TCheckKind kind = TCheckKind::File;
    std::string subject; // the file name without folder; the channel for a gap
    std::string text;    // File: why, in the program's words
    long count = 0;      // Order, OutsideMonth: samples concerned
    TimeStamp first = 0; // Order: the first sample found out of order
    int interval = 0;    // Gap: minutes of the series
    TimeStamp from = 0;  // Gap: the last sample before the hole
    TimeStamp to = 0;    // Gap: the first sample after it
};

struct TCheckSummary {
    int stations = 0;
    long files = 0;
    std::vector<TCheckFinding> findings; // by station, then file kind, channel and time
};

// Checks one station's folder and adds what it finds.
void CheckStation(const std::string& dataFolder, int address, TCheckSummary& summary);
// Every station of the data folder (with its trailing "/"), or only those given.
[[nodiscard]] TCheckSummary CheckDataFolder(const std::string& dataFolder, const std::vector<int>& addresses);

// One tab-separated line: five-digit address, kind ("plik", "kolejność",
// "poza miesiącem", "luka"), subject, then the details; a gap gives the
// interval in minutes, both sample times and the distance between them
// ("32 h", "1 h 45 min").
[[nodiscard]] std::string FindingLine(const TCheckFinding& finding);
// "Sprawdzono stacji: 12, plików: 1837; znaleziono: 3".
[[nodiscard]] std::string SummaryLine(const TCheckSummary& summary);

} // namespace kiv

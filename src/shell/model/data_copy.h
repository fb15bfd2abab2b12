#pragma once
// "Kopiowanie danych": the data files of chosen stations and months are
// copied from the data folder into a station folder of the same name in
// another folder: the month archives (nnnnn_yyyy_mm_*.FCD) of each chosen
// month of one year, then the station's current data (.FCC) and events
// (.FCE). A file that is missing is passed over; one that cannot be copied
// is counted, so the user learns that the copy is not complete.
#include "config/station_db.h"

#include <functional>
#include <string>
#include <vector>

namespace kiv {

inline constexpr int kCopyYearLow = 2000;
inline constexpr int kCopyYearHigh = 2500;

// "00012  Label": the station's line in the copy window's list.
[[nodiscard]] std::string CopyListItem(const TRekStacji& station);

// The check-all button: everything from the first to the last ticked item
// ticked, the rest clear; the whole list when nothing is ticked.
[[nodiscard]] std::vector<bool> TickedRange(const std::vector<bool>& ticks);

// Whether two folders are one: the same text with a trailing "/", or the
// same folder on disk under two names.
[[nodiscard]] bool SameFolder(const std::string& a, const std::string& b);

struct TDataCopy {
    std::string dataFolder;  // with a trailing "/"
    std::string destination; // with a trailing "/"
    std::vector<int> addresses;
    std::vector<int> months; // 1 to 12
    int year = kCopyYearLow;
};

struct TCopyCount {
    int copied = 0;
    int failed = 0;
};

// Copies, replacing files of the same name; shown(path) is told each source
// file before it is copied. A file that fails does not stop the others.
[[nodiscard]] TCopyCount CopyStationData(const TDataCopy& copy, const std::function<void(const std::string&)>& shown);
// The warning after a copy in which some files failed; empty when none did.
[[nodiscard]] std::string CopyFailureText(const TCopyCount& count);

} // namespace kiv

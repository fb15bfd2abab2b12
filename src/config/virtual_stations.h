#pragma once
// The virtual stations of a data folder and the ordered capacity of any
// station, as Kiv.ini and the station files keep them. A data folder's
// virtual stations are the entries Sum1, Sum2, ... of its own section of
// Kiv.ini; an entry is label "@" member formula "@" ordered capacity "@"
// tariff set name, and whatever follows is carried along by every writer.
// The section itself is read and written by TProgramSettings; these are the
// lookups by label and by entry number the definition and capacity windows,
// the reports, the graphs and the optimisation share. A plain station keeps
// its ordered capacity in [Measurements] PeakFlow of its station file.
#include <string>
#include <vector>

namespace kiv {

// A virtual station entry looked up by its label; every field empty (and the
// number 0) when the label has no entry.
struct TSumRec {
    std::string key; // "Sum2"
    int number = 0;  // 2: the entry's place in the list, counted from 1
    std::string label;
    std::string formula;
    std::string capacity; // as written
};

// "Sum" + number.
[[nodiscard]] std::string SumKey(int number);

// The entries Sum1, Sum2, ... up to the first missing or empty one.
[[nodiscard]] std::vector<std::string> ReadSumEntries(const std::string& kivIni, const std::string& dataFolder);
// The first entry whose label equals the given one exactly.
[[nodiscard]] TSumRec LookupSum(const std::string& kivIni, const std::string& dataFolder, const std::string& label);
// The number after the last entry, where a new one goes without leaving a gap.
[[nodiscard]] int NextSumNumber(const std::string& kivIni, const std::string& dataFolder);
// The entry with that number as written; empty when the list is shorter.
[[nodiscard]] std::string ReadSumEntry(const std::string& kivIni, const std::string& dataFolder, int number);
// Writes the entry under that number's key; an entry of fewer than three
// fields gets the missing ones empty. False when Kiv.ini could not be
// replaced; it is then left as it was.
[[nodiscard]] bool WriteSumEntry(const std::string& kivIni, const std::string& dataFolder, int number,
                                 const std::string& entry);
// Removes the data folder's section, header included.
[[nodiscard]] bool EraseVirtualSection(const std::string& kivIni, const std::string& dataFolder);

// The ordered capacity in m3/h as the reports and graphs compare flows with
// it: the value written, or 1 when it is missing or not a whole number.
[[nodiscard]] int CapacityValue(const std::string& text);
// [Measurements] PeakFlow of a station file as written; empty when absent.
[[nodiscard]] std::string PeakFlowText(const std::string& stationFile);
// A plain station's ordered capacity: its PeakFlow through CapacityValue.
[[nodiscard]] int StationOrderedCapacity(const std::string& stationFile);
// A virtual station's ordered capacity: the third field of the first entry
// with that label through CapacityValue; 1 when the label has no entry.
[[nodiscard]] int VirtualOrderedCapacity(const std::string& kivIni, const std::string& dataFolder,
                                         const std::string& label);
// False when the station file could not be replaced.
[[nodiscard]] bool WritePeakFlow(const std::string& stationFile, const std::string& value);

} // namespace kiv

#pragma once
// The virtual stations of a data folder and the ordered capacity of any
// station, as Kiv.ini and the station files keep them. A data folder's
// virtual stations are the entries Sum1, Sum2, ... of its own section of
// Kiv.ini (VirtualSectionName); an entry is label "@" member formula "@"
// ordered capacity "@" tariff set name, and whatever follows is carried along
// by every writer. A plain station keeps its ordered capacity in
// [Measurements] PeakFlow of its station file. The definition and capacity
// windows, the reports and the optimisation all read and write them here.
#include <string>
#include <vector>

namespace kiv {

// A virtual station entry looked up by its label; every field empty when the
// label has no entry.
struct TSumRec {
    std::string key; // "Sum2"
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
// The key of that entry; empty when there is none.
[[nodiscard]] std::string FindSumKey(const std::string& kivIni, const std::string& dataFolder,
                                     const std::string& label);
// The key after the last entry, where a new one goes without leaving a gap.
[[nodiscard]] std::string NextSumKey(const std::string& kivIni, const std::string& dataFolder);
// The raw entry under the key (compared without regard to case); empty when absent.
[[nodiscard]] std::string ReadSumEntry(const std::string& kivIni, const std::string& dataFolder,
                                       const std::string& key);
// False when Kiv.ini could not be replaced; it is then left as it was.
[[nodiscard]] bool WriteSumEntry(const std::string& kivIni, const std::string& dataFolder, const std::string& key,
                                 const std::string& entry);
// Removes the data folder's section, header included.
[[nodiscard]] bool EraseVirtualSection(const std::string& kivIni, const std::string& dataFolder);

// The ordered capacity in m3/h as readers use it: 1 when missing or not a number.
[[nodiscard]] int CapacityValue(const std::string& text);
// [Measurements] PeakFlow of a station file as written; empty when absent.
[[nodiscard]] std::string PeakFlowText(const std::string& stationFile);
[[nodiscard]] int StationOrderedCapacity(const std::string& stationFile);
// False when the station file could not be replaced.
[[nodiscard]] bool WritePeakFlow(const std::string& stationFile, const std::string& value);

} // namespace kiv

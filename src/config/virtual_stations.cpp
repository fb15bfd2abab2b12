#include "config/virtual_stations.h"

#include "config/ini_file.h"
#include "config/program_settings.h"

namespace kiv {
namespace {

constexpr const char* kMeasurements = "Measurements";
constexpr const char* kPeakFlow = "PeakFlow";
constexpr int kDefaultCapacity = 1;

} // namespace

std::string SumKey(int number) { return VirtualEntryKey(number); }

std::vector<std::string> ReadSumEntries(const std::string& kivIni, const std::string& dataFolder) {
    return TProgramSettings(kivIni).VirtualEntries(dataFolder);
}

TSumRec LookupSum(const std::string& kivIni, const std::string& dataFolder, const std::string& label) {
    TVirtualEntry entry;
    int number = 0;
    if (!TProgramSettings(kivIni).FindVirtualEntry(dataFolder, label, entry, number)) return {};
    return {SumKey(number), number, entry.label, entry.formula, entry.capacity};
}

int NextSumNumber(const std::string& kivIni, const std::string& dataFolder) {
    return static_cast<int>(ReadSumEntries(kivIni, dataFolder).size()) + 1;
}

std::string ReadSumEntry(const std::string& kivIni, const std::string& dataFolder, int number) {
    const std::vector<std::string> entries = ReadSumEntries(kivIni, dataFolder);
    if (number < 1 || static_cast<std::size_t>(number) > entries.size()) return {};
    return entries[static_cast<std::size_t>(number) - 1];
}

bool WriteSumEntry(const std::string& kivIni, const std::string& dataFolder, int number, const std::string& entry) {
    return TProgramSettings(kivIni).SetVirtualEntry(dataFolder, number, ParseVirtualEntry(entry));
}

bool EraseVirtualSection(const std::string& kivIni, const std::string& dataFolder) {
    return ClearIniSection(VirtualSectionName(dataFolder), true, kivIni);
}

int CapacityValue(const std::string& text) { return ParseIniInteger(text, kDefaultCapacity); }

std::string PeakFlowText(const std::string& stationFile) {
    return ReadIniString(kMeasurements, kPeakFlow, "", stationFile);
}

int StationOrderedCapacity(const std::string& stationFile) { return CapacityValue(PeakFlowText(stationFile)); }

int VirtualOrderedCapacity(const std::string& kivIni, const std::string& dataFolder, const std::string& label) {
    return CapacityValue(LookupSum(kivIni, dataFolder, label).capacity);
}

bool WritePeakFlow(const std::string& stationFile, const std::string& value) {
    return WriteIniString(kMeasurements, kPeakFlow, value, stationFile);
}

} // namespace kiv

#include "config/virtual_stations.h"

#include "config/ini_file.h"
#include "config/program_settings.h"

namespace kiv {
namespace {

constexpr const char* kSumStem = "Sum";
constexpr const char* kMeasurements = "Measurements";
constexpr const char* kPeakFlow = "PeakFlow";
constexpr int kDefaultCapacity = 1;

} // namespace

std::string SumKey(int number) { return kSumStem + std::to_string(number); }

std::vector<std::string> ReadSumEntries(const std::string& kivIni, const std::string& dataFolder) {
    return ReadIniList(VirtualSectionName(dataFolder), kSumStem, kivIni);
}

TSumRec LookupSum(const std::string& kivIni, const std::string& dataFolder, const std::string& label) {
    const std::vector<std::string> entries = ReadSumEntries(kivIni, dataFolder);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const TVirtualEntry entry = ParseVirtualEntry(entries[k]);
        if (entry.label == label) return {SumKey(static_cast<int>(k) + 1), entry.label, entry.formula, entry.capacity};
    }
    return {};
}

std::string FindSumKey(const std::string& kivIni, const std::string& dataFolder, const std::string& label) {
    return LookupSum(kivIni, dataFolder, label).key;
}

std::string NextSumKey(const std::string& kivIni, const std::string& dataFolder) {
    return SumKey(static_cast<int>(ReadSumEntries(kivIni, dataFolder).size()) + 1);
}

std::string ReadSumEntry(const std::string& kivIni, const std::string& dataFolder, const std::string& key) {
    return ReadIniString(VirtualSectionName(dataFolder), key, "", kivIni);
}

bool WriteSumEntry(const std::string& kivIni, const std::string& dataFolder, const std::string& key,
                   const std::string& entry) {
    return WriteIniString(VirtualSectionName(dataFolder), key, entry, kivIni);
}

bool EraseVirtualSection(const std::string& kivIni, const std::string& dataFolder) {
    return ClearIniSection(VirtualSectionName(dataFolder), true, kivIni);
}

int CapacityValue(const std::string& text) { return ParseIniInteger(text, kDefaultCapacity); }

std::string PeakFlowText(const std::string& stationFile) {
    return ReadIniString(kMeasurements, kPeakFlow, "", stationFile);
}

int StationOrderedCapacity(const std::string& stationFile) { return CapacityValue(PeakFlowText(stationFile)); }

bool WritePeakFlow(const std::string& stationFile, const std::string& value) {
    return WriteIniString(kMeasurements, kPeakFlow, value, stationFile);
}

} // namespace kiv

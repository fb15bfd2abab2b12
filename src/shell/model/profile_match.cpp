#include "shell/model/profile_match.h"

#include "config/ini_file.h"
#include "support/text_encoding.h"

#include <algorithm>

namespace kiv {

namespace {

// The catalogue holds a profile's texts as its file stores them, the station
// file as UTF-8: Polish letters must match in either form.
bool Same(const std::string& catalogued, const std::string& stored) {
    return catalogued == stored || DecodeText(catalogued) == stored;
}

std::string At(const std::vector<std::string>& list, std::size_t i) {
    return i < list.size() ? list[i] : std::string();
}

} // namespace

int FindProfileFor(const TProfileLists& lists, const std::string& brand, const std::string& type,
                   const std::string& serial) {
    if (brand.empty() || type.empty() || serial.empty()) return -1;
    const std::size_t count = lists.names.size();
    const auto fits = [&](std::size_t i) { return Same(At(lists.brands, i), brand) && Same(At(lists.types, i), type); };
    for (std::size_t i = 0; i < count; ++i)
        if (Same(At(lists.serials, i), serial) && fits(i)) return static_cast<int>(i);
    for (std::size_t i = 0; i < count; ++i)
        if (fits(i)) return static_cast<int>(i);
    return -1;
}

std::string MatchProfile(const TProfileLists& lists, int address, const std::string& dataFolder) {
    const std::string file = StationFilePath(dataFolder, address);
    IniDocument doc;
    if (doc.Load(file) != 0) return {};
    const int at = FindProfileFor(lists, doc.ReadString("Hardware", "Brand", ""),
                                  doc.ReadString("Hardware", "Type", ""),
                                  doc.ReadString("Hardware", "SerialNumber", ""));
    if (at < 0) return {};
    const std::string name = DecodeText(lists.names[static_cast<std::size_t>(at)]);
    if (name.empty() || !WriteIniString("Hardware", "DeviceProfile", name, file)) return {};
    return name;
}

int MatchAllProfiles(const TProfileLists& lists, const std::vector<TRekStacji>& stations,
                     const std::string& dataFolder) {
    return static_cast<int>(std::count_if(stations.begin(), stations.end(), [&](const TRekStacji& s) {
        return !MatchProfile(lists, s.address, dataFolder).empty();
    }));
}

std::string MatchedProfilesText(int matched, int stations) {
    return "Dopasowano " + std::to_string(matched) + "/" + std::to_string(stations) + " profili";
}

} // namespace kiv

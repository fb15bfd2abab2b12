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

bool SameAt(const std::vector<std::string>& list, int i, const std::string& stored) {
    return static_cast<std::size_t>(i) < list.size() && Same(list[static_cast<std::size_t>(i)], stored);
}

// The first profile whose value equals the station's, or -1.
int FirstEqual(const std::vector<std::string>& list, const std::string& stored) {
    const auto at = std::find_if(list.begin(), list.end(), [&](const std::string& v) { return Same(v, stored); });
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

} // namespace

int FindProfileFor(const TProfileLists& lists, const std::string& brand, const std::string& type,
                   const std::string& serial) {
    if (brand.empty() || type.empty() || serial.empty()) return -1;
    // Only the first profile of the serial number, then only the first of
    // the type, is looked at: a later profile never wins over it.
    const int bySerial = FirstEqual(lists.serials, serial);
    if (bySerial >= 0 && SameAt(lists.types, bySerial, type) && SameAt(lists.brands, bySerial, brand)) return bySerial;
    const int byType = FirstEqual(lists.types, type);
    if (byType >= 0 && SameAt(lists.brands, byType, brand)) return byType;
    return -1;
}

std::string MatchProfile(const TProfileLists& lists, int address, const std::string& dataFolder) {
    const std::string file = StationFilePath(dataFolder, address);
    IniDocument doc;
    if (doc.Load(file) != 0) return {};
    const int at = FindProfileFor(lists, doc.ReadString("Hardware", "Brand", ""),
                                  doc.ReadString("Hardware", "Type", ""),
                                  doc.ReadString("Hardware", "SerialNumber", ""));
    if (at < 0 || static_cast<std::size_t>(at) >= lists.names.size()) return {};
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

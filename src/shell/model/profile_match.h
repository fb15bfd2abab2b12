#pragma once
// Which device profile of the program folder describes a station's device:
// the station file's nameplate (Hardware Brand, Type, SerialNumber) is
// looked up in the profile catalogue, by serial number first, then by type.
// The import runs it for each folder it brings in, "Dopasuj profile" for
// every station of the station list.
#include "config/station_db.h"

#include <string>
#include <vector>

namespace kiv {

// Four parallel lists of the catalogue: profile name, brand, type and serial
// number of each profile file, as the files hold them.
struct TProfileLists {
    std::vector<std::string> names;
    std::vector<std::string> brands;
    std::vector<std::string> types;
    std::vector<std::string> serials;
};

// The profile for a nameplate, or -1. The first profile of the station's
// serial number counts when its type and brand are the station's too;
// otherwise the first profile of the station's type counts when its brand is
// the station's. A nameplate with an empty field matches nothing.
[[nodiscard]] int FindProfileFor(const TProfileLists& lists, const std::string& brand, const std::string& type,
                                 const std::string& serial);

// Reads the station's nameplate, and on a match writes the profile's name
// as Hardware DeviceProfile into its station file. The name written, empty
// when nothing matched or the station file could not be written.
[[nodiscard]] std::string MatchProfile(const TProfileLists& lists, int address, const std::string& dataFolder);

// "Dopasuj profile": MatchProfile for each station in list order; the number
// of stations that got a profile.
[[nodiscard]] int MatchAllProfiles(const TProfileLists& lists, const std::vector<TRekStacji>& stations,
                                   const std::string& dataFolder);
// "Dopasowano " + matched + "/" + stations + " profili".
[[nodiscard]] std::string MatchedProfilesText(int matched, int stations);

} // namespace kiv

#include "profile_loader.h"

#include <filesystem>
#include <vector>

#include "datafiles/profile.h"

namespace kiv::devsim {

bool LoadProfile(const std::string& fileName, SimProfile& profile, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        error = "no such profile file: " + fileName;
        return false;
    }
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    if (!reader.ReadProfile(fileName, params, items, groups)) {
        error = "not a valid device profile: " + fileName;
        return false;
    }
    profile.protocol = params.profileByte;
    profile.name = params.texts[0];
    profile.make = params.texts[1];
    profile.type = params.texts[2];
    profile.serial = params.texts[3];
    profile.items.clear();
    for (const TParamItem& item : items) {
        profile.items.push_back({item.ShortName(), item.ParamNumber(), item.TypeCode(), item.HourIndex(),
                                 item.HourTypeCode(), item.DayIndex(), item.DayTypeCode(), item.Kind(),
                                 item.PairedName()});
    }
    return true;
}

} // namespace kiv::devsim

#include "datafiles/profile_catalogue.h"

#include <algorithm>
#include <filesystem>

#include "support/text_encoding.h"

namespace kiv {

TProfileCatalogue BuildProfileCatalogue(const std::string& programFolder) {
    TProfileCatalogue catalogue;
    TFCProfileRdWr reader;
    std::string name;
    std::string brand;
    std::string type;
    std::string serial;
    for (const auto& file : TFCProfileRdWr::ListProfiles(programFolder)) {
        if (!reader.ReadProfileTexts(programFolder + file, name, brand, type, serial)) continue;
        catalogue.files.push_back(file);
        catalogue.names.push_back(name);
        catalogue.brands.push_back(brand);
        catalogue.types.push_back(type);
        catalogue.serials.push_back(serial);
    }
    return catalogue;
}

int ProfileIndex(const std::vector<std::string>& names, const std::vector<std::string>& files,
                 const std::string& deviceProfile) {
    const std::size_t count = std::min(names.size(), files.size());
    for (std::size_t i = 0; i < count; ++i)
        if (names[i] == deviceProfile || DecodeText(names[i]) == deviceProfile) return static_cast<int>(i);
    return -1;
}

int ReadCatalogueProfile(const std::vector<std::string>& names, const std::vector<std::string>& files,
                         const std::string& folder, const std::string& deviceProfile, TProfileRecord& profile) {
    profile = {};
    const int index = ProfileIndex(names, files, deviceProfile);
    if (index < 0) return ProfileNotInCatalogue;
    profile.file = folder + files[static_cast<std::size_t>(index)];
    TFCProfileRdWr reader;
    if (reader.ItemCount(profile.file) <= 0 ||
        !reader.ReadProfile(profile.file, profile.params, profile.items, profile.groups) || profile.items.empty()) {
        profile.params = {};
        profile.items.clear();
        profile.groups.clear();
        return ProfileUnreadable;
    }
    return ProfileRead;
}

bool ProfileFileEmpty(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    return ec || size == 0;
}

} // namespace kiv

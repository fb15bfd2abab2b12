#include "shell/model/config_import.h"

#include "config/ini_file.h"
#include "config/station_db.h"
#include "config/text_case.h"
#include "shell/model/old_config.h"
#include "support/file_replace.h"
#include "support/helpers.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace kiv {

namespace fs = std::filesystem;

namespace {

struct TOldFolder {
    std::string name;
    int number;
};

// The source's folders "KIV" + n with n from 1 to 700, in name order.
std::vector<TOldFolder> OldFolders(const std::string& source) {
    std::vector<TOldFolder> folders;
    std::error_code ec;
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const int n = OldFolderNumber(name);
        std::error_code kind;
        if (n >= 1 && n <= kOldStationMax && it->is_directory(kind)) folders.push_back({name, n});
    }
    std::sort(folders.begin(), folders.end(), [](const TOldFolder& a, const TOldFolder& b) { return a.name < b.name; });
    return folders;
}

// The old program ran where file names have no letter case: its file may
// come back from a copy as "e__cfg.ini".
std::string FindOldConfigFile(const std::string& folder, const std::string& name) {
    std::error_code ec;
    if (fs::is_regular_file(folder + name, ec)) return folder + name;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (EqualsNoCase(it->path().filename().string(), name) && it->is_regular_file(kind))
            return it->path().string();
    }
    return {};
}

bool ReadOldConfig(const std::string& file, std::string& text) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return !ec && size <= kOldConfigMaxBytes && ReadWholeFile(file, text) == 0;
}

bool WantsImport(const std::string& stationFolder, ImportMode mode) {
    std::error_code ec;
    return mode == ImportMode::Overwrite || !fs::is_directory(stationFolder, ec);
}

bool ImportFolder(const std::string& source, const std::string& destination, const TOldFolder& old,
                  const TProfileLists& lists) {
    const std::string file = FindOldConfigFile(source + old.name + "/", OldConfigFileName(old.number));
    std::string text;
    if (file.empty() || !ReadOldConfig(file, text)) return false;
    const std::vector<TOldConfigKey> keys = ParseOldConfig(text);
    std::error_code ec;
    fs::create_directory(StationFolderPath(destination, old.number), ec);
    if (ec) return false;
    const bool written = EditIniFile(StationFilePath(destination, old.number), false, [&](IniDocument& doc) {
        bool changed = false;
        for (const TOldConfigKey& key : keys) changed |= doc.WriteString(key.section, key.key, key.value);
        return changed;
    });
    if (!written) return false;
    (void)MatchProfile(lists, old.number, destination);
    return true;
}

} // namespace

int ImportOldConfiguration(const std::string& source, const std::string& destination, ImportMode mode,
                           const TProfileLists& lists, const std::function<void(int)>& progress) {
    const std::string from = PathWithSeparator(source);
    const std::string to = PathWithSeparator(destination);
    int count = 0;
    for (const TOldFolder& old : OldFolders(from)) {
        if (!WantsImport(StationFolderPath(to, old.number), mode) || !ImportFolder(from, to, old, lists)) continue;
        ++count;
        if (progress) progress(count);
    }
    return count;
}

std::string ImportStatusText(int count) { return "Liczba skopiowanych katalogów: " + ZeroPad(count, 3); }

std::string FolderCountEnding(int count) {
    if (count == 1) return "";
    const int lastTwo = (count < 0 ? -count : count) % 100;
    if (lastTwo / 10 == 1) return "ów";
    const int units = lastTwo % 10;
    return units >= 2 && units <= 4 ? "i" : "ów";
}

std::string ImportResultText(int count) {
    return "Skopiowano " + std::to_string(count) + " katalog" + FolderCountEnding(count);
}

} // namespace kiv

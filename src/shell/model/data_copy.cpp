#include "shell/model/data_copy.h"

#include "support/file_replace.h"
#include "support/helpers.h"

#include <algorithm>
#include <filesystem>

namespace kiv {

namespace fs = std::filesystem;

namespace {

// The month archives of one station in name order.
std::vector<std::string> MonthArchives(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kind;
        if (name.size() > prefix.size() + 4 && name.starts_with(prefix) && name.ends_with(".FCD") &&
            it->is_regular_file(kind))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Copies through the replacing write, so a copy broken off halfway never
// leaves a damaged file where a good one stood.
bool CopyOne(const std::string& from, const std::string& to) {
    std::string bytes;
    return ReadWholeFile(from, bytes) == 0 && ReplaceFile(to, bytes) == 0;
}

// The station's files to copy: the chosen month archives, its FCC and FCE.
std::vector<std::string> StationFiles(const TDataCopy& copy, int address) {
    const std::string folder = StationFolderPath(copy.dataFolder, address) + "/";
    const std::string digits = FiveDigits(address);
    std::vector<std::string> files;
    for (int month : copy.months)
        for (std::string& name : MonthArchives(folder, digits + "_" + std::to_string(copy.year) + "_" +
                                                           ZeroPad(month, 2) + "_"))
            files.push_back(std::move(name));
    for (const char* extension : {".FCC", ".FCE"}) {
        std::error_code ec;
        if (fs::is_regular_file(folder + digits + extension, ec)) files.push_back(digits + extension);
    }
    return files;
}

} // namespace

std::string CopyListItem(const TRekStacji& station) { return FiveDigits(station.address) + "  " + station.label; }

std::vector<bool> TickedRange(const std::vector<bool>& ticks) {
    const auto first = std::find(ticks.begin(), ticks.end(), true);
    const auto last = std::find(ticks.rbegin(), ticks.rend(), true);
    std::vector<bool> range(ticks.size(), false);
    const std::size_t from = first == ticks.end() ? 0 : static_cast<std::size_t>(first - ticks.begin());
    const std::size_t to = first == ticks.end() ? ticks.size() : static_cast<std::size_t>(ticks.rend() - last);
    for (std::size_t i = from; i < to; ++i) range[i] = true;
    return range;
}

bool SameFolder(const std::string& a, const std::string& b) {
    if (PathWithSeparator(a) == PathWithSeparator(b)) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

TCopyCount CopyStationData(const TDataCopy& copy, const std::function<void(const std::string&)>& shown) {
    TCopyCount count;
    for (int address : copy.addresses) {
        const std::vector<std::string> files = StationFiles(copy, address);
        if (files.empty()) continue;
        const std::string from = StationFolderPath(copy.dataFolder, address) + "/";
        const std::string to = StationFolderPath(copy.destination, address) + "/";
        std::error_code ec;
        fs::create_directories(to, ec);
        for (const std::string& name : files) {
            if (shown) shown(from + name);
            ++(CopyOne(from + name, to + name) ? count.copied : count.failed);
        }
    }
    return count;
}

std::string CopyFailureText(const TCopyCount& count) {
    if (count.failed == 0) return {};
    // After "z" the noun takes the genitive: "z 1 pliku", "z 2 plików", "z 5 plików".
    const int all = count.copied + count.failed;
    return "Nie skopiowano " + std::to_string(count.failed) + " z " + std::to_string(all) +
           (all == 1 ? " pliku" : " plików");
}

} // namespace kiv

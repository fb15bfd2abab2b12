#include "shell/model/main_commands.h"

#include "config/station_db.h"
#include "config/text_case.h"
#include "datafiles/archive.h"

#include <algorithm>
#include <filesystem>

namespace kiv {

TMainTargets PlaceholderTargets(const std::function<void()>& notInThisVersion) {
    TMainTargets t;
    const auto none = notInThisVersion;
    t.directTransmission = [none](const TStationArgs&) { none(); };
    t.modemTransmission = [none](const TStationArgs&) { none(); };
    t.autoModem = [none](const TFolderArgs&) { none(); };
    t.transporterRead = [none](const TFolderArgs&) { none(); return false; };
    t.transporterProgram = [none](const std::string&) { none(); };
    t.currentData = [none](const TCurDataArgs&) { none(); };
    t.events = [none](const TEventsArgs&) { none(); };
    t.choosePeriod = [none](int, TimeStamp&, TimeStamp&) { none(); return false; };
    t.graph = [none](const TPeriodArgs&) { none(); };
    t.periodReport = [none](const TPeriodArgs&) { none(); };
    t.dailyReport = [none](const TPeriodArgs&) { none(); };
    t.exportData = [none](const TPeriodArgs&) { none(); };
    t.orderedCapacity = [none](const TCapacityArgs&) { none(); };
    t.optimise = [none](const TOptimiseArgs&) { none(); };
    t.stationConfig = [none](const TStationArgs&, std::string&) { none(); return false; };
    t.virtualDefinition = [none](const TVirtualDefArgs&, std::string&) { none(); return false; };
    t.importConfig = [none](const TImportArgs&, std::string&) { none(); return false; };
    t.dataCopy = [none](const std::string&) { none(); };
    t.programSettings = [none](const std::string&, const std::string&) { none(); return false; };
    return t;
}

std::vector<std::string> KeyLabelList(const std::vector<std::string>& keys, const std::vector<std::string>& labels) {
    std::vector<std::string> list;
    const std::size_t n = std::min(keys.size(), labels.size());
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i) list.push_back(keys[i] + "@" + labels[i]);
    return list;
}

bool RemoveVirtualMembers(std::vector<std::string>& keyLabels) {
    const auto isVirtual = [](const std::string& keyLabel) {
        const std::string key = keyLabel.substr(0, keyLabel.find('@'));
        return key.find_first_of("+-") != std::string::npos;
    };
    const auto before = keyLabels.size();
    std::erase_if(keyLabels, isVirtual);
    return keyLabels.size() != before;
}

namespace {

// The address of a key of decimal digits only; 0 otherwise.
int KeyAddress(const std::string& key) {
    if (key.empty() || key.size() > 5 || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int address = std::stoi(key);
    return address <= kMaxStationAddress ? address : 0;
}

// Channels of the station's archive files "AAAAA_YYYY_MM_<channel>.FCD".
std::vector<std::string> ArchiveChannels(const std::string& dataFolder, int address) {
    std::vector<std::string> channels;
    const std::string prefix = FiveDigits(address) + "_";
    constexpr std::size_t kHead = 14; // "AAAAA_YYYY_MM_"
    std::error_code ec;
    for (std::filesystem::directory_iterator it(StationFolderPath(dataFolder, address), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= kHead + 4 || name.compare(0, prefix.size(), prefix) != 0 || name[10] != '_' ||
            name[13] != '_' || !EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".FCD"))
            continue;
        std::string channel = name.substr(kHead, name.size() - kHead - 4);
        if (std::find(channels.begin(), channels.end(), channel) == channels.end())
            channels.push_back(std::move(channel));
    }
    return channels;
}

} // namespace

void DefaultPeriod(const std::string& dataFolder, const std::string& key, TimeStamp& start, TimeStamp& end) {
    start = 0;
    end = 0;
    const int address = KeyAddress(key);
    if (address == 0) return;
    int64_t newest = 0;
    for (const auto& channel : ArchiveChannels(dataFolder, address))
        newest = std::max(newest, TArchive::NewestSampleTime(dataFolder, address, channel));
    if (newest <= 0) return;
    TDateTime day = DecodeTime(static_cast<TimeStamp>(newest));
    day.hour = day.minute = day.second = 0;
    end = EncodeTime(day) + 86400u;
    day.day = 1;
    start = EncodeTime(day);
}

} // namespace kiv

#include "shell/model/main_commands.h"

#include <algorithm>

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

} // namespace kiv

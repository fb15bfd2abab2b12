#include "shell/model/main_commands.h"

#include <algorithm>

namespace kiv {

TMainTargets IdleTargets() {
    TMainTargets t;
    t.directTransmission = [](const TStationArgs&) {};
    t.modemTransmission = [](const TStationArgs&) {};
    t.autoModem = [](const TFolderArgs&) {};
    t.transporterRead = [](const TFolderArgs&) { return false; };
    t.transporterProgram = [](const std::string&) {};
    t.currentData = [](const TCurDataArgs&) {};
    t.events = [](const TEventsArgs&) {};
    t.choosePeriod = [](int, TimeStamp&, TimeStamp&) { return false; };
    t.graph = [](const TPeriodArgs&) {};
    t.periodReport = [](const TPeriodArgs&) {};
    t.dailyReport = [](const TPeriodArgs&) {};
    t.exportData = [](const TPeriodArgs&) {};
    t.orderedCapacity = [](const TCapacityArgs&) {};
    t.optimise = [](const TOptimiseArgs&) {};
    t.stationConfig = [](const TStationArgs&, std::string&) { return false; };
    t.virtualDefinition = [](const TVirtualDefArgs&, std::string&) { return false; };
    t.importConfig = [](const TImportArgs&, std::string&) { return false; };
    t.dataCopy = [](const std::string&) {};
    t.programSettings = [](const std::string&, const std::string&) { return false; };
    return t;
}

namespace {

// The targets ForEachTargetMember visits. Every target is a std::function of
// the same size, so a member added to TMainTargets changes the total and
// stops the build here until it joins the visit and this count.
constexpr std::size_t kTargetCount = 19;
static_assert(sizeof(TMainTargets) == kTargetCount * sizeof(std::function<void()>));

} // namespace

std::vector<std::string> TargetsLeftDefault(const TMainTargets& targets) {
    // Each lambda has a type of its own, so a target still holds a default
    // exactly when it holds the type the default functions put there.
    const TMainTargets idle = IdleTargets();
    std::vector<std::string> names;
    ForEachTargetMember([&](const char* name, auto member) {
        const auto& target = targets.*member;
        if (!target || target.target_type() == (idle.*member).target_type()) names.emplace_back(name);
    });
    return names;
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

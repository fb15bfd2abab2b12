#pragma once
// What the main window hands to the functions it starts. Each command packs
// the values of its row into one of these records and calls the matching
// target; the program installs a target for every function, and tests
// install their own to see exactly what a command handed over.
#include "config/program_settings.h"
#include "datafiles/profile_catalogue.h"
#include "datafiles/timestamp.h"

#include <functional>
#include <string>
#include <vector>

namespace kiv {

// Direct and modem transmission, station configuration.
struct TStationArgs {
    int address = 0;
    std::string kivIni;
    std::vector<std::string> profileNames;
    std::vector<std::string> profileFiles;
    std::string dataFolder;
    std::string stationFile;
};

// Automatic modem round, transporter.
struct TFolderArgs {
    std::string kivIni;
    std::string dataFolder;
    std::vector<std::string> profileNames;
    std::vector<std::string> profileFiles;
};

struct TCurDataArgs {
    std::string dataFolder;
    int address = 0;
    int calcVnMode = 0;
    int calcVn0Index = 0;
    int calcVn1Index = 1;
    std::vector<std::string> profileNames;
    std::vector<std::string> profileFiles;
    std::string deviceProfile;
};

struct TEventsArgs {
    std::string dataFolder;
    int address = 0;
};

// Graph, reports and export: subjects as key "@" label strings.
struct TPeriodArgs {
    std::vector<std::string> keyLabels;
    std::string dataFolder;
    int hourShift = kDefaultHourShift;
    TimeStamp start = 0;
    TimeStamp end = 0;
    TimeStamp lowerLimit = 0;
    TimeStamp upperLimit = 0xFFFFFFFFu; // no upper limit
    std::string kivIni;                 // reports only
    std::string format;                 // export only: "CSV" or "DZN"
};

struct TCapacityArgs {
    std::string nodeText;
    std::string dataFolder;
    bool isVirtual = false;
    std::string kivIni;
};

struct TOptimiseArgs {
    std::string key;
    std::string label;
    int hourShift = kDefaultHourShift;
    TimeStamp upperLimit = 0xFFFFFFFFu;
    TimeStamp lowerLimit = 0;
    std::string dataFolder;
};

struct TVirtualDefArgs {
    std::string dataFolder;
    std::string label;
    std::string formula;
};

struct TImportArgs {
    std::string dataFolder;
    std::vector<std::string> profileNames;
    std::vector<std::string> brands;
    std::vector<std::string> types;
    std::vector<std::string> serials;
};

// Period chooser modes.
enum PeriodMode : int { PeriodDay = 0, PeriodGraph = 1, PeriodReport = 2 };

// The functions the main window starts. A bool result tells the window that
// something changed and the tree must be rebuilt.
struct TMainTargets {
    std::function<void(const TStationArgs&)> directTransmission;
    std::function<void(const TStationArgs&)> modemTransmission;
    std::function<void(const TFolderArgs&)> autoModem;
    std::function<bool(const TFolderArgs&)> transporterRead;
    std::function<void(const std::string& kivIni)> transporterProgram;
    std::function<void(const TCurDataArgs&)> currentData;
    std::function<void(const TEventsArgs&)> events;
    // Proposed period in, chosen period out; true when accepted.
    std::function<bool(int mode, TimeStamp& start, TimeStamp& end)> choosePeriod;
    std::function<void(const TPeriodArgs&)> graph;
    std::function<void(const TPeriodArgs&)> periodReport;
    std::function<void(const TPeriodArgs&)> dailyReport;
    std::function<void(const TPeriodArgs&)> exportData;
    std::function<void(const TCapacityArgs&)> orderedCapacity;
    std::function<void(const TOptimiseArgs&)> optimise;
    // True after a saved change; the node to reselect may be replaced.
    std::function<bool(const TStationArgs&, std::string& nodeToReselect)> stationConfig;
    // True after a save; savedLabel is the node to select.
    std::function<bool(const TVirtualDefArgs&, std::string& savedLabel)> virtualDefinition;
    // True when something was imported; destination is the import's target folder.
    std::function<bool(const TImportArgs&, std::string& destination)> importConfig;
    std::function<void(const std::string& dataFolder)> dataCopy;
    // True when a group was renamed; the window reads the saved settings again either way.
    std::function<bool(const std::string& kivIni, const std::string& dataFolder)> programSettings;
};

// Every target set to do nothing (and report no change): a window no
// function has been installed for yet stays quiet.
[[nodiscard]] TMainTargets IdleTargets();

// Calls visit(name, member) with the name and the member pointer of every
// target of TMainTargets, in their order there.
template <class Visit>
void ForEachTargetMember(Visit&& visit) {
    visit("directTransmission", &TMainTargets::directTransmission);
    visit("modemTransmission", &TMainTargets::modemTransmission);
    visit("autoModem", &TMainTargets::autoModem);
    visit("transporterRead", &TMainTargets::transporterRead);
    visit("transporterProgram", &TMainTargets::transporterProgram);
    visit("currentData", &TMainTargets::currentData);
    visit("events", &TMainTargets::events);
    visit("choosePeriod", &TMainTargets::choosePeriod);
    visit("graph", &TMainTargets::graph);
    visit("periodReport", &TMainTargets::periodReport);
    visit("dailyReport", &TMainTargets::dailyReport);
    visit("exportData", &TMainTargets::exportData);
    visit("orderedCapacity", &TMainTargets::orderedCapacity);
    visit("optimise", &TMainTargets::optimise);
    visit("stationConfig", &TMainTargets::stationConfig);
    visit("virtualDefinition", &TMainTargets::virtualDefinition);
    visit("importConfig", &TMainTargets::importConfig);
    visit("dataCopy", &TMainTargets::dataCopy);
    visit("programSettings", &TMainTargets::programSettings);
}

// The names of the targets that are empty or still the ones IdleTargets set:
// the functions no window has been installed for.
[[nodiscard]] std::vector<std::string> TargetsLeftDefault(const TMainTargets& targets);

// key + "@" + label for each pair.
[[nodiscard]] std::vector<std::string> KeyLabelList(const std::vector<std::string>& keys,
                                                    const std::vector<std::string>& labels);
// Drops the virtual stations (keys holding "+" or "-"); true when any was dropped.
bool RemoveVirtualMembers(std::vector<std::string>& keyLabels);

} // namespace kiv

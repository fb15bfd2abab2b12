#pragma once
// Typed access to the program settings file Kiv.ini. Every key the program
// keeps there has one getter (with its default and, where one is defined, its
// range) and one setter here, so no other code spells section or key names.
// Each call reads or writes the file through the ini access layer.
#include <string>
#include <string_view>
#include <vector>

#include "support/helpers.h"

namespace kiv {

// Kiv.ini in the given folder.
[[nodiscard]] std::string KivIniPath(const std::string& folder);
// Kiv.ini in the current working folder.
[[nodiscard]] std::string KivIniPathInWorkingFolder();

// One virtual station: fields joined by "@"; fields after the fourth are
// carried along unchanged.
struct TVirtualEntry {
    std::string label;
    std::string formula;       // e.g. "+00012+00013-00020"; empty: no members
    std::string capacity = "0"; // ordered capacity in m3/h, as written
    std::string tariffSet;
    bool hasTariff = false;     // the entry has a fourth field
    std::vector<std::string> extra;
};
[[nodiscard]] TVirtualEntry ParseVirtualEntry(std::string_view text);
[[nodiscard]] std::string FormatVirtualEntry(const TVirtualEntry& entry);
// "Virtual-" followed by the data folder with its trailing "/".
[[nodiscard]] std::string VirtualSectionName(const std::string& dataFolder);
// "Sum" + number: the key of a data folder's virtual station entry.
[[nodiscard]] std::string VirtualEntryKey(int number);

constexpr int kDataPathHistorySize = 5;

// Report/RepBaseHourShift: -23 to 23; any other value reads as -2.
inline constexpr int kDefaultHourShift = -2;
inline constexpr int kHourShiftLimit = 23;

// One modem profile of [Modems] as text, the way the profile grid shows it.
struct TModemProfile {
    std::string name;
    std::string initString;
    std::string port;
    std::string speed;
    [[nodiscard]] bool Empty() const { return name.empty() && initString.empty() && port.empty() && speed.empty(); }
    bool operator==(const TModemProfile&) const = default;
};

struct TProgramConfig; // config/program_config.h

class TProgramSettings {
public:
    explicit TProgramSettings(std::string kivIniPath) : path_(std::move(kivIniPath)) {}
    [[nodiscard]] const std::string& Path() const { return path_; }

    // [Catalogues]: index 0 is DataPath, 1 to 5 the history DataPath1..DataPath5.
    [[nodiscard]] std::string DataPath(int index = 0) const;
    [[nodiscard]] bool SetDataPath(int index, const std::string& folder) const;
    // DataPath1, DataPath2, ... up to the first empty one.
    [[nodiscard]] std::vector<std::string> DataPathHistory() const;

    // [Main]
    [[nodiscard]] std::string CursorPosition() const;
    [[nodiscard]] bool SetCursorPosition(const std::string& caption) const;

    // [Modems]: profile n counts from 1.
    [[nodiscard]] std::vector<std::string> ModemNames() const;
    [[nodiscard]] bool SetModemNames(const std::vector<std::string>& names) const;
    [[nodiscard]] std::string ModemPort(int n) const;
    [[nodiscard]] int ModemSpeed(int n) const;
    [[nodiscard]] std::string ModemInitString(int n) const;
    [[nodiscard]] bool SetModemPort(int n, const std::string& port) const;
    [[nodiscard]] bool SetModemSpeed(int n, int speed) const;
    [[nodiscard]] bool SetModemInitString(int n, const std::string& command) const;
    // One profile per name of the list, each with the values of its own
    // number (an empty init string of one profile hides nothing of the
    // next); an absent port or speed gives what the modem windows use.
    [[nodiscard]] std::vector<TModemProfile> ModemProfiles() const;

    // [CommSettings]
    [[nodiscard]] std::string ExchangePrefix() const;
    [[nodiscard]] bool SetExchangePrefix(const std::string& digits) const;
    [[nodiscard]] int EventsMaxNumber() const;
    [[nodiscard]] bool SetEventsMaxNumber(int count) const;
    // The key's two defaults: the settings dialog shows 15, the automatic round uses 10.
    [[nodiscard]] int ModemConnMaxTimeForDialog() const;
    [[nodiscard]] int ModemConnMaxTimeForAutoRound() const;
    [[nodiscard]] bool SetModemConnMaxTime(int minutes) const;

    // [Report]: -23 to 23, else -2.
    [[nodiscard]] int RepBaseHourShift() const;
    [[nodiscard]] bool SetRepBaseHourShift(int hours) const;

    // The program settings dialog's save, in one replacement of the file:
    // [Modems] erased and every row written as profile 1, 2, ... (an empty
    // row with empty values), then the exchange prefix, the two limits and
    // the hour shift. False when the file could not be replaced; it is then
    // as it was.
    [[nodiscard]] bool SetProgramConfig(const TProgramConfig& config) const;

    // [Modem-auto]
    [[nodiscard]] std::string AutoStartTime() const;
    [[nodiscard]] bool SetAutoStartTime(const std::string& hhmmss) const;
    [[nodiscard]] int AutoMinimumAge() const;
    [[nodiscard]] bool SetAutoMinimumAge(int days) const;
    [[nodiscard]] int AutoRepeats() const;
    [[nodiscard]] bool SetAutoRepeats(int count) const;

    // [Debug]
    [[nodiscard]] bool DumpDP() const;
    [[nodiscard]] bool DumpTZ() const;

    // [KivReports]: period report column indexes joined by "&".
    [[nodiscard]] std::string ReportColumnsToPrint() const;
    [[nodiscard]] bool SetReportColumnsToPrint(const std::string& columns) const;

    // [KivGAZ]: the address is 1 to 65535, else 65534.
    [[nodiscard]] int KivGazAddress() const;
    [[nodiscard]] bool SetKivGazAddress(int address) const;
    [[nodiscard]] std::string KivGazComNumber() const;
    [[nodiscard]] bool SetKivGazComNumber(const std::string& port) const;

    // The virtual stations of one data folder, as raw entries Sum1, Sum2, ...
    [[nodiscard]] std::vector<std::string> VirtualEntries(const std::string& dataFolder) const;
    // Replaces the whole list, keys renumbered from Sum1 without gaps.
    [[nodiscard]] bool SetVirtualEntries(const std::string& dataFolder, const std::vector<std::string>& entries) const;
    // The first entry whose label equals the given one exactly; number is its key's index.
    [[nodiscard]] bool FindVirtualEntry(const std::string& dataFolder, const std::string& label, TVirtualEntry& entry,
                                        int& number) const;
    [[nodiscard]] bool SetVirtualEntry(const std::string& dataFolder, int number, const TVirtualEntry& entry) const;

    // [Tariff]: raw Set1, Set2, ... entries.
    [[nodiscard]] std::vector<std::string> TariffSets() const;
    [[nodiscard]] bool SetTariffSets(const std::vector<std::string>& sets) const;

    // The device behind a port text such as "COM3": [Ports] COM3 when set,
    // else /dev/ttyS2; any other text is taken as a device name already.
    [[nodiscard]] std::string PortDeviceName(std::string_view port) const;

private:
    std::string path_;
};

[[nodiscard]] std::string PortDeviceName(const std::string& kivIniPath, std::string_view port);

// [Catalogues] DataPath (index 0) or DataPath1..5 of the working folder's
// Kiv.ini, with a trailing "/"; whether the value is non-empty.
[[nodiscard]] bool DataFolderFromSettings(int index, std::string& folder);

} // namespace kiv

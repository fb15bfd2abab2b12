#include "program_settings.h"

#include "config/ini_file.h"
#include "config/program_config.h"
#include "config/text_case.h"

#include <array>
#include <charconv>
#include <filesystem>

namespace kiv {
namespace {

constexpr const char* kCatalogues = "Catalogues";
constexpr const char* kModems = "Modems";
constexpr const char* kCommSettings = "CommSettings";
constexpr const char* kReport = "Report";
constexpr const char* kModemAuto = "Modem-auto";
constexpr const char* kKivGaz = "KivGAZ";
constexpr const char* kVirtualStem = "Sum";
constexpr const char* kTariffStem = "Set";

constexpr const char* kExchangePrefix = "ExchangePrefix";
constexpr const char* kEventsMaxNumber = "EventsMaxNumber";
constexpr const char* kModemConnMaxTime = "ModemConnMaxTime";
constexpr const char* kRepBaseHourShift = "RepBaseHourShift";

// The four key stems of a modem profile, in the order of the TModemProfile fields.
constexpr std::array<const char*, 4> kModemStems{"ModemName", "ModemInitString", "ModemPort", "ModemSpeed"};
constexpr const char* kDefaultModemPort = "COM1";
constexpr int kDefaultModemSpeed = 9600;

constexpr int kDefaultEventsMaxNumber = 100;
constexpr int kDialogModemConnMaxTime = 15;
constexpr int kAutoRoundModemConnMaxTime = 10;
constexpr int kDefaultKivGazAddress = 65534;

std::string Numbered(const char* stem, int n) { return stem + std::to_string(n); }

std::string DataPathKey(int index) { return index == 0 ? "DataPath" : Numbered("DataPath", index); }

std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> fields;
    for (;;) {
        const std::size_t at = text.find(separator);
        fields.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return fields;
        text.remove_prefix(at + 1);
    }
}

bool ReplaceList(const std::string& file, const std::string& section, const char* stem,
                 const std::vector<std::string>& items) {
    return EditIniFile(file, false, [&](IniDocument& doc) {
        bool changed = doc.ClearSection(section, false);
        for (std::size_t k = 0; k < items.size(); ++k) {
            changed |= doc.WriteString(section, Numbered(stem, static_cast<int>(k) + 1), items[k]);
        }
        return changed;
    });
}

bool WriteModemRows(IniDocument& doc, const std::vector<TModemProfile>& rows) {
    bool changed = doc.ClearSection(kModems, false);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int n = static_cast<int>(r) + 1;
        const TModemProfile& p = rows[r];
        changed |= doc.WriteString(kModems, Numbered(kModemStems[0], n), p.name);
        changed |= doc.WriteString(kModems, Numbered(kModemStems[1], n), p.initString);
        changed |= doc.WriteString(kModems, Numbered(kModemStems[2], n), p.port);
        changed |= doc.WriteString(kModems, Numbered(kModemStems[3], n), p.speed);
    }
    return changed;
}

} // namespace

std::string KivIniPath(const std::string& folder) { return PathWithSeparator(folder.empty() ? "." : folder) + "Kiv.ini"; }

std::string KivIniPathInWorkingFolder() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return KivIniPath(ec ? std::string(".") : cwd.string());
}

TVirtualEntry ParseVirtualEntry(std::string_view text) {
    auto fields = SplitAt(text, '@');
    TVirtualEntry entry;
    entry.label = fields[0];
    entry.formula = fields.size() > 1 ? fields[1] : "";
    entry.capacity = fields.size() > 2 ? fields[2] : "";
    entry.hasTariff = fields.size() > 3;
    if (entry.hasTariff) entry.tariffSet = fields[3];
    if (fields.size() > 4) entry.extra.assign(fields.begin() + 4, fields.end());
    return entry;
}

std::string FormatVirtualEntry(const TVirtualEntry& entry) {
    std::string text = entry.label + "@" + entry.formula + "@" + entry.capacity;
    if (entry.hasTariff || !entry.tariffSet.empty() || !entry.extra.empty()) text += "@" + entry.tariffSet;
    for (const auto& field : entry.extra) text += "@" + field;
    return text;
}

std::string VirtualSectionName(const std::string& dataFolder) { return "Virtual-" + PathWithSeparator(dataFolder); }

namespace {

// A folder however it is written: absolute against the working folder,
// "." and ".." taken out, ending in "/".
std::string FolderKey(const std::string& folder) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(folder, ec);
    if (ec) path = folder;
    return PathWithSeparator(path.lexically_normal().string());
}

// The section of a data folder's virtual stations: the one named after the
// folder as written when it has entries, else the one named after its
// absolute, normalised spelling when that has entries (the window names the
// absolute path, kiv-cli may be given "demo" or "./demo"), else the first.
// No other spelling is looked for, so a section emptied on purpose stays so.
std::string VirtualSectionIn(const std::string& kivIni, const std::string& dataFolder) {
    const std::string named = VirtualSectionName(dataFolder);
    if (!ReadIniList(named, kVirtualStem, kivIni).empty()) return named;
    const std::string absolute = VirtualSectionName(FolderKey(dataFolder));
    return ReadIniList(absolute, kVirtualStem, kivIni).empty() ? named : absolute;
}

} // namespace

std::string VirtualEntryKey(int number) { return Numbered(kVirtualStem, number); }

std::string TProgramSettings::DataPath(int index) const {
    return ReadIniString(kCatalogues, DataPathKey(index), "", path_);
}
bool TProgramSettings::SetDataPath(int index, const std::string& folder) const {
    return WriteIniString(kCatalogues, DataPathKey(index), folder, path_);
}
std::vector<std::string> TProgramSettings::DataPathHistory() const {
    std::vector<std::string> history;
    for (int i = 1; i <= kDataPathHistorySize; ++i) {
        std::string folder = DataPath(i);
        if (folder.empty()) break;
        history.push_back(std::move(folder));
    }
    return history;
}

std::string TProgramSettings::CursorPosition() const { return ReadIniString("Main", "CursorPosition", "", path_); }
bool TProgramSettings::SetCursorPosition(const std::string& caption) const {
    return WriteIniString("Main", "CursorPosition", caption, path_);
}

std::vector<std::string> TProgramSettings::ModemNames() const { return ReadIniList(kModems, kModemStems[0], path_); }
bool TProgramSettings::SetModemNames(const std::vector<std::string>& names) const {
    // A shorter list must not let the old tail show through: an empty name ends it.
    std::vector<std::string> list = names;
    const int next = static_cast<int>(names.size()) + 1;
    if (!ReadIniString(kModems, Numbered(kModemStems[0], next), "", path_).empty()) list.emplace_back();
    return WriteIniList(kModems, kModemStems[0], path_, list);
}
std::string TProgramSettings::ModemPort(int n) const {
    return ReadIniString(kModems, Numbered(kModemStems[2], n), kDefaultModemPort, path_);
}
int TProgramSettings::ModemSpeed(int n) const {
    return ReadIniInteger(kModems, Numbered(kModemStems[3], n), kDefaultModemSpeed, path_);
}
std::string TProgramSettings::ModemInitString(int n) const {
    return ReadIniString(kModems, Numbered(kModemStems[1], n), "", path_);
}
bool TProgramSettings::SetModemPort(int n, const std::string& port) const {
    return WriteIniString(kModems, Numbered(kModemStems[2], n), port, path_);
}
bool TProgramSettings::SetModemSpeed(int n, int speed) const {
    return WriteIniString(kModems, Numbered(kModemStems[3], n), std::to_string(speed), path_);
}
bool TProgramSettings::SetModemInitString(int n, const std::string& command) const {
    return WriteIniString(kModems, Numbered(kModemStems[1], n), command, path_);
}
std::vector<TModemProfile> TProgramSettings::ModemProfiles() const {
    IniDocument doc;
    (void)doc.Load(path_);
    std::vector<TModemProfile> rows;
    const std::vector<std::string> names = doc.ReadList(kModems, kModemStems[0], 1);
    for (std::size_t r = 0; r < names.size(); ++r) {
        const int n = static_cast<int>(r) + 1;
        rows.push_back({names[r], doc.ReadString(kModems, Numbered(kModemStems[1], n), ""),
                        doc.ReadString(kModems, Numbered(kModemStems[2], n), kDefaultModemPort),
                        doc.ReadString(kModems, Numbered(kModemStems[3], n), std::to_string(kDefaultModemSpeed))});
    }
    return rows;
}

std::string TProgramSettings::ExchangePrefix() const { return ReadIniString(kCommSettings, kExchangePrefix, "", path_); }
bool TProgramSettings::SetExchangePrefix(const std::string& digits) const {
    return WriteIniString(kCommSettings, kExchangePrefix, digits, path_);
}
int TProgramSettings::EventsMaxNumber() const {
    return ReadIniInteger(kCommSettings, kEventsMaxNumber, kDefaultEventsMaxNumber, path_);
}
bool TProgramSettings::SetEventsMaxNumber(int count) const {
    return WriteIniString(kCommSettings, kEventsMaxNumber, std::to_string(count), path_);
}
int TProgramSettings::ModemConnMaxTimeForDialog() const {
    return ReadIniInteger(kCommSettings, kModemConnMaxTime, kDialogModemConnMaxTime, path_);
}
int TProgramSettings::ModemConnMaxTimeForAutoRound() const {
    return ReadIniInteger(kCommSettings, kModemConnMaxTime, kAutoRoundModemConnMaxTime, path_);
}
bool TProgramSettings::SetModemConnMaxTime(int minutes) const {
    return WriteIniString(kCommSettings, kModemConnMaxTime, std::to_string(minutes), path_);
}

int TProgramSettings::RepBaseHourShift() const {
    const int shift = ReadIniInteger(kReport, kRepBaseHourShift, kDefaultHourShift, path_);
    return Clamp(shift, -kHourShiftLimit, kHourShiftLimit, kDefaultHourShift, kDefaultHourShift);
}
bool TProgramSettings::SetRepBaseHourShift(int hours) const {
    return WriteIniString(kReport, kRepBaseHourShift, std::to_string(hours), path_);
}

bool TProgramSettings::SetProgramConfig(const TProgramConfig& config) const {
    return EditIniFile(path_, false, [&](IniDocument& doc) {
        bool changed = WriteModemRows(doc, config.modems);
        changed |= doc.WriteString(kCommSettings, kExchangePrefix, config.exchangePrefix);
        changed |= doc.WriteString(kCommSettings, kEventsMaxNumber, std::to_string(config.eventsMaxNumber));
        changed |= doc.WriteString(kCommSettings, kModemConnMaxTime, std::to_string(config.modemConnMaxTime));
        changed |= doc.WriteString(kReport, kRepBaseHourShift, std::to_string(config.hourShift));
        return changed;
    });
}

std::string TProgramSettings::AutoStartTime() const { return ReadIniString(kModemAuto, "StartTime", "00:00:00", path_); }
bool TProgramSettings::SetAutoStartTime(const std::string& hhmmss) const {
    return WriteIniString(kModemAuto, "StartTime", hhmmss, path_);
}
int TProgramSettings::AutoMinimumAge() const { return ReadIniInteger(kModemAuto, "MinimumAge", 10, path_); }
bool TProgramSettings::SetAutoMinimumAge(int days) const {
    return WriteIniString(kModemAuto, "MinimumAge", std::to_string(days), path_);
}
int TProgramSettings::AutoRepeats() const { return ReadIniInteger(kModemAuto, "Repeats", 3, path_); }
bool TProgramSettings::SetAutoRepeats(int count) const {
    return WriteIniString(kModemAuto, "Repeats", std::to_string(count), path_);
}

bool TProgramSettings::DumpDP() const { return ReadIniBool("Debug", "DumpDP", false, path_); }
bool TProgramSettings::DumpTZ() const { return ReadIniBool("Debug", "DumpTZ", false, path_); }

std::string TProgramSettings::ReportColumnsToPrint() const {
    return ReadIniString("KivReports", "ToPrint", "0&1&2&3&4&5&6&7&8&9&10&11&12&13&14&15", path_);
}
bool TProgramSettings::SetReportColumnsToPrint(const std::string& columns) const {
    return WriteIniString("KivReports", "ToPrint", columns, path_);
}

int TProgramSettings::KivGazAddress() const {
    const int address = ReadIniInteger(kKivGaz, "Address", kDefaultKivGazAddress, path_);
    return Clamp(address, 1, 65535, kDefaultKivGazAddress, kDefaultKivGazAddress);
}
bool TProgramSettings::SetKivGazAddress(int address) const {
    return WriteIniString(kKivGaz, "Address", std::to_string(address), path_);
}
std::string TProgramSettings::KivGazComNumber() const { return ReadIniString(kKivGaz, "ComNumber", "", path_); }
bool TProgramSettings::SetKivGazComNumber(const std::string& port) const {
    return WriteIniString(kKivGaz, "ComNumber", port, path_);
}

std::vector<std::string> TProgramSettings::VirtualEntries(const std::string& dataFolder) const {
    return ReadIniList(VirtualSectionIn(path_, dataFolder), kVirtualStem, path_);
}
bool TProgramSettings::SetVirtualEntries(const std::string& dataFolder, const std::vector<std::string>& entries) const {
    return ReplaceList(path_, VirtualSectionIn(path_, dataFolder), kVirtualStem, entries);
}
bool TProgramSettings::FindVirtualEntry(const std::string& dataFolder, const std::string& label, TVirtualEntry& entry,
                                        int& number) const {
    const auto entries = VirtualEntries(dataFolder);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        TVirtualEntry candidate = ParseVirtualEntry(entries[k]);
        if (candidate.label == label) {
            entry = std::move(candidate);
            number = static_cast<int>(k) + 1;
            return true;
        }
    }
    return false;
}
bool TProgramSettings::SetVirtualEntry(const std::string& dataFolder, int number, const TVirtualEntry& entry) const {
    return WriteIniString(VirtualSectionIn(path_, dataFolder), VirtualEntryKey(number), FormatVirtualEntry(entry),
                          path_);
}

std::vector<std::string> TProgramSettings::TariffSets() const { return ReadIniList("Tariff", kTariffStem, path_); }
bool TProgramSettings::SetTariffSets(const std::vector<std::string>& sets) const {
    return ReplaceList(path_, "Tariff", kTariffStem, sets);
}

std::string TProgramSettings::PortDeviceName(std::string_view port) const { return kiv::PortDeviceName(path_, port); }

std::string PortDeviceName(const std::string& kivIniPath, std::string_view port) {
    port = TrimView(port);
    if (port.empty()) return {};
    std::string device = ReadIniString("Ports", port, "", kivIniPath);
    if (!device.empty()) return device;
    if (StartsWithNoCase(port, "COM")) {
        const std::string_view digits = port.substr(3);
        int n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec == std::errc() && end == digits.data() + digits.size() && n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
    }
    return std::string(port);
}

bool DataFolderFromSettings(int index, std::string& folder) {
    folder = PathWithSeparator(TProgramSettings(KivIniPathInWorkingFolder()).DataPath(index));
    return !folder.empty();
}

} // namespace kiv

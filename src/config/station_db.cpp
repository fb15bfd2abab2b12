#include "station_db.h"

#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/text_case.h"
#include "support/file_replace.h"
#include "support/messages.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace kiv {
namespace {

constexpr const char* kMain = "Main";
constexpr const char* kHardware = "Hardware";
constexpr const char* kCommunication = "Communication";
constexpr const char* kCalculations = "Calculations";
constexpr const char* kReports = "Reports";
constexpr const char* kNewStationLabel = "Nowa stacja";

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    struct stat st {};
};

// The entries of a folder other than "." and ".."; false when it cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    DirHandle dir(::opendir(folder.c_str()));
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry{name};
        if (::lstat((folder + "/" + name).c_str(), &entry.st) != 0) return false;
        entry.isFolder = S_ISDIR(entry.st.st_mode);
        entries.push_back(std::move(entry));
    }
    return true;
}

bool IsFolder(const std::string& folder, const dirent* e) {
    if (e->d_type == DT_DIR) return true;
    if (e->d_type != DT_UNKNOWN && e->d_type != DT_LNK) return false;
    struct stat st {};
    return ::stat((folder + e->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The address in a station folder name "FC_<digits>" (any letter case), or 0.
int AddressOfFolderName(std::string_view name) {
    if (!StartsWithNoCase(name, "FC_")) return 0;
    std::string_view digits = name.substr(3);
    if (digits.empty() || digits.size() > 18) return 0;
    long long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.front() == '-') return 0;
    return value >= 1 && value <= kMaxStationAddress ? static_cast<int>(value) : 0;
}

struct FoundFolder {
    int address;
    bool canonical; // named exactly FC_nnnnn
    std::string name;
};

// Station folders of the data folder, one per address, in address order. When
// two folders name the same address (FC_12 and FC_00012), the exactly named one wins.
std::vector<FoundFolder> FindStationFolders(DIR* dir, const std::string& dataFolder) {
    std::vector<FoundFolder> found;
    while (const dirent* e = ::readdir(dir)) {
        const int address = AddressOfFolderName(e->d_name);
        if (address == 0 || !IsFolder(dataFolder, e)) continue;
        std::string name = e->d_name;
        const bool canonical = name == "FC_" + FiveDigits(address);
        found.push_back({address, canonical, std::move(name)});
    }
    std::sort(found.begin(), found.end(), [](const FoundFolder& a, const FoundFolder& b) {
        if (a.address != b.address) return a.address < b.address;
        if (a.canonical != b.canonical) return a.canonical;
        return a.name < b.name;
    });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const FoundFolder& a, const FoundFolder& b) { return a.address == b.address; }),
                found.end());
    return found;
}

TRekStacji EntryFromDocument(const IniDocument& doc, int address) {
    TRekStacji entry;
    entry.address = static_cast<std::uint16_t>(address);
    entry.label = doc.ReadString(kMain, "Label", "");
    entry.groupLabel = doc.ReadString(kMain, "GroupLabel", "");
    entry.hasProfile = !doc.ReadString(kHardware, "DeviceProfile", "").empty();
    entry.hasModemProfile = !doc.ReadString(kCommunication, "ModemProfile", "").empty();
    entry.hasTelephone = !doc.ReadString(kMain, "TelephoneNumber", "").empty();
    return entry;
}

// Writes the keys of one record that differ from the old one.
class RecordWriter {
public:
    explicit RecordWriter(IniDocument& doc) : doc_(doc) {}
    void Text(const char* section, const char* key, const std::string& now, const std::string& before) {
        if (now != before) changed_ |= doc_.WriteString(section, key, now);
    }
    void Flag(const char* section, const char* key, bool now, bool before) {
        if (now != before) changed_ |= doc_.WriteString(section, key, BoolToText(now));
    }
    void Number(const char* section, const char* key, std::int32_t now, std::int32_t before) {
        if (now != before) changed_ |= doc_.WriteString(section, key, std::to_string(now));
    }
    bool Changed() const { return changed_; }

private:
    IniDocument& doc_;
    bool changed_ = false;
};

bool WriteRecordChanges(IniDocument& doc, const TRekStacjiFull& n, const TRekStacjiFull& o) {
    RecordWriter w(doc);
    w.Text(kMain, "Label", n.Label, o.Label);
    w.Text(kMain, "GroupLabel", n.GroupLabel, o.GroupLabel);
    w.Text(kHardware, "DeviceProfile", n.DeviceProfile, o.DeviceProfile);
    w.Text(kCommunication, "ModemProfile", n.ModemProfile, o.ModemProfile);
    w.Text(kMain, "TelephoneNumber", n.TelephoneNumber, o.TelephoneNumber);
    w.Text(kHardware, "SerialNumber", n.SerialNumber, o.SerialNumber);
    w.Text(kCommunication, "ComNumber", n.ComNumber, o.ComNumber);
    w.Text(kCommunication, "BaudRate", n.BaudRate, o.BaudRate);
    w.Text(kCommunication, "Parity", n.Parity, o.Parity);
    w.Text(kCommunication, "ConnType", n.ConnType, o.ConnType);
    w.Text(kCommunication, "IPAddr", n.IPAddr, o.IPAddr);
    w.Text(kCommunication, "PortRemote", n.PortRemote, o.PortRemote);
    w.Flag(kCommunication, "Prefix", n.Prefix, o.Prefix);
    w.Flag(kCommunication, "DtrSet", n.DtrSet, o.DtrSet);
    w.Flag(kCommunication, "RtsSet", n.RtsSet, o.RtsSet);
    w.Number(kCommunication, "ArcSamplesPerBlock", n.ArcSamplesPerBlock, o.ArcSamplesPerBlock);
    w.Number(kCommunication, "Repeats", n.Repeats, o.Repeats);
    w.Number(kCommunication, "SilenceTime", n.SilenceTime, o.SilenceTime);
    w.Number(kCommunication, "StartTimeout", n.StartTimeout, o.StartTimeout);
    w.Number(kCommunication, "CharsTimeout", n.CharsTimeout, o.CharsTimeout);
    w.Number(kCalculations, "CalcVnMode", n.CalcVnMode, o.CalcVnMode);
    w.Number(kCalculations, "CalcVn0Index", n.CalcVn0Index, o.CalcVn0Index);
    w.Number(kCalculations, "CalcVn1Index", n.CalcVn1Index, o.CalcVn1Index);
    w.Number(kReports, "VIntegrityCrit", n.VIntegrityCrit, o.VIntegrityCrit);
    return w.Changed();
}

bool IsProtected(const FolderEntry& entry) {
    if (entry.isFolder) return false;
    return entry.name.front() == '.' || (entry.st.st_mode & S_IWUSR) == 0;
}

} // namespace

std::string FiveDigits(int address) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", address);
    return text;
}

std::string StationFolderPath(const std::string& dataFolder, int address) {
    return PathWithSeparator(dataFolder) + "FC_" + FiveDigits(address);
}

std::string StationFilePath(const std::string& dataFolder, int address) {
    return StationBaseName(dataFolder, address) + ".INI";
}

std::string StationBaseName(const std::string& dataFolder, int address) {
    return StationFolderPath(dataFolder, address) + "/" + FiveDigits(address);
}

TRekStacji ReadStationEntry(const std::string& stationFile, int address) {
    IniDocument doc;
    (void)doc.Load(stationFile);
    return EntryFromDocument(doc, address);
}

void ReadFullStationRecord(const std::string& stationFile, int address, TRekStacjiFull& r) {
    IniDocument doc;
    (void)doc.Load(stationFile);
    r = TRekStacjiFull{};
    r.address = static_cast<std::uint16_t>(address);
    r.Label = doc.ReadString(kMain, "Label", "");
    r.GroupLabel = doc.ReadString(kMain, "GroupLabel", "");
    r.TelephoneNumber = doc.ReadString(kMain, "TelephoneNumber", "");
    r.DeviceProfile = doc.ReadString(kHardware, "DeviceProfile", "");
    r.SerialNumber = doc.ReadString(kHardware, "SerialNumber", "");
    r.ModemProfile = doc.ReadString(kCommunication, "ModemProfile", "");
    r.Prefix = doc.ReadBool(kCommunication, "Prefix", false);
    r.ConnType = doc.ReadString(kCommunication, "ConnType", "COM");
    r.ComNumber = doc.ReadString(kCommunication, "ComNumber", "COM1");
    r.BaudRate = doc.ReadString(kCommunication, "BaudRate", "9600");
    r.Parity = doc.ReadString(kCommunication, "Parity", "None");
    r.DtrSet = doc.ReadBool(kCommunication, "DtrSet", true);
    r.RtsSet = doc.ReadBool(kCommunication, "RtsSet", true);
    r.IPAddr = doc.ReadString(kCommunication, "IPAddr", "");
    r.PortRemote = doc.ReadString(kCommunication, "PortRemote", "");
    r.PortLocal = doc.ReadString(kCommunication, "PortLocal", "");
    r.ArcSamplesPerBlock = Clamp(doc.ReadInteger(kCommunication, "ArcSamplesPerBlock", 0), 1, 250, 250, 250);
    r.Repeats = Clamp(doc.ReadInteger(kCommunication, "Repeats", 5), 0, 25, 25, 0);
    r.SilenceTime = doc.ReadInteger(kCommunication, "SilenceTime", 0);
    r.StartTimeout = doc.ReadInteger(kCommunication, "StartTimeout", 1000);
    r.CharsTimeout = doc.ReadInteger(kCommunication, "CharsTimeout", 100);
    r.CalcVnMode = doc.ReadInteger(kCalculations, "CalcVnMode", 0);
    r.CalcVn0Index = doc.ReadInteger(kCalculations, "CalcVn0Index", 0);
    r.CalcVn1Index = doc.ReadInteger(kCalculations, "CalcVn1Index", 1);
    r.VIntegrityCrit = doc.ReadInteger(kReports, "VIntegrityCrit", 0);
}

void CreateStation(const std::string& dataFolder, int address, const std::string& label) {
    if (::mkdir(StationFolderPath(dataFolder, address).c_str(), 0777) != 0) return;
    (void)WriteIniString(kMain, "Label", label, StationFilePath(dataFolder, address));
}

namespace {
constexpr const char* kNameplateKeys[] = {"Brand", "Type", "SerialNumber"};

// "Dodaj stację": a folder of that name must not be there yet; one whose
// station file cannot be written is taken away again.
bool CreateNewStationFiles(const std::string& dataFolder, int address) {
    const std::string folder = StationFolderPath(dataFolder, address);
    if (::mkdir(folder.c_str(), 0777) != 0) return false;
    if (WriteIniString(kMain, "Label", kNewStationLabel, StationFilePath(dataFolder, address))) return true;
    (void)::rmdir(folder.c_str());
    return false;
}
} // namespace

void WriteNameplate(const std::string& dataFolder, int address, const std::vector<std::string>& items) {
    struct stat st {};
    if (::stat(StationFolderPath(dataFolder, address).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    (void)EditIniFile(StationFilePath(dataFolder, address), false, [&](IniDocument& doc) {
        bool changed = false;
        for (std::size_t k = 0; k < items.size() && k < 3; ++k)
            changed |= doc.WriteString(kHardware, kNameplateKeys[k], items[k]);
        return changed;
    });
}

std::vector<std::string> StoredNameplate(const std::string& stationFile) {
    std::vector<std::string> items;
    for (const char* key : kNameplateKeys) items.push_back(ReadIniString(kHardware, key, "", stationFile));
    return items;
}

bool ChangeStationAddress(const std::string& dataFolder, int newAddress, int oldAddress) {
    const auto valid = [](int a) { return a >= 1 && a <= kMaxStationAddress; };
    if (!valid(newAddress) || !valid(oldAddress) || newAddress == oldAddress) return false;
    const std::string oldFolder = StationFolderPath(dataFolder, oldAddress);
    const std::string newFolder = StationFolderPath(dataFolder, newAddress);
    const std::string oldDigits = FiveDigits(oldAddress);
    const std::string newDigits = FiveDigits(newAddress);
    // Protected files are looked for before anything moves, so that refusal
    // never leaves the station split between two folders.
    std::vector<FolderEntry> entries;
    if (!ListFolder(oldFolder, entries)) return false;
    if (std::any_of(entries.begin(), entries.end(), IsProtected)) return false;
    if (::mkdir(newFolder.c_str(), 0777) != 0) return false;
    for (const auto& entry : entries) {
        const std::string from = oldFolder + "/" + entry.name;
        if (entry.isFolder) {
            std::error_code ec;
            std::filesystem::remove_all(from, ec);
            if (ec) return false;
        } else if (entry.name.compare(0, oldDigits.size(), oldDigits) == 0) {
            const std::string to = newFolder + "/" + newDigits + entry.name.substr(oldDigits.size());
            if (::rename(from.c_str(), to.c_str()) != 0) return false;
        } else if (::unlink(from.c_str()) != 0) {
            return false;
        }
    }
    return ::rmdir(oldFolder.c_str()) == 0;
}

void TStationDb::Build(const std::string& dataFolder) {
    stations_.clear();
    const std::string folder = PathWithSeparator(dataFolder);
    DirHandle dir(::opendir(folder.c_str()));
    if (dir) {
        const auto found = FindStationFolders(dir.get(), folder);
        stations_.reserve(found.size());
        IniDocument doc;
        std::string bytes;
        for (const auto& f : found) {
            const int rc = ReadWholeFileAt(::dirfd(dir.get()), f.name + "/" + f.name.substr(3) + ".INI", bytes);
            doc.Parse(rc == 0 ? bytes : std::string_view{});
            stations_.push_back(EntryFromDocument(doc, f.address));
        }
    }
    CountGroups();
}

void TStationDb::CountGroups() {
    std::vector<std::string> labels;
    std::vector<int> counts;
    telephoneCount_ = 0;
    for (const auto& s : stations_) {
        if (s.hasTelephone) ++telephoneCount_;
        if (s.groupLabel.empty()) continue;
        const auto it = std::find_if(labels.begin(), labels.end(),
                                     [&](const std::string& g) { return EqualsNoCase(g, s.groupLabel); });
        if (it == labels.end()) {
            labels.push_back(s.groupLabel);
            counts.push_back(1);
        } else {
            ++counts[static_cast<std::size_t>(it - labels.begin())];
        }
    }
    // The order is that of the texts label + "=" + count, byte by byte.
    std::vector<std::string> keys(labels.size());
    for (std::size_t k = 0; k < labels.size(); ++k) keys[k] = labels[k] + "=" + std::to_string(counts[k]);
    std::vector<std::size_t> order(labels.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    groups_.clear();
    groupCounts_.clear();
    for (const std::size_t k : order) {
        groups_.push_back(std::move(labels[k]));
        groupCounts_.push_back(counts[k]);
    }
}

int TStationDb::Find(int address) const {
    for (std::size_t k = 0; k < stations_.size(); ++k) {
        if (stations_[k].address == address) return static_cast<int>(k) + 1;
    }
    return -1;
}

void TStationDb::ReadEntry(const std::string& stationFile, int address, int index) {
    if (index < 1 || index > Count()) return;
    stations_[static_cast<std::size_t>(index - 1)] = ReadStationEntry(stationFile, address);
}

void TStationDb::AdjustGroupCount(const std::string& groupLabel, int delta) {
    const auto it = std::find(groups_.begin(), groups_.end(), groupLabel);
    if (it != groups_.end()) groupCounts_[static_cast<std::size_t>(it - groups_.begin())] += delta;
}

bool TStationDb::SaveFullRecord(const std::string& stationFile, const TRekStacjiFull& n, const TRekStacjiFull& o,
                                bool& changed) {
    changed = n.address != o.address || n.Label != o.Label || n.GroupLabel != o.GroupLabel ||
              n.DeviceProfile != o.DeviceProfile || n.ModemProfile != o.ModemProfile ||
              n.TelephoneNumber != o.TelephoneNumber;
    if (!EditIniFile(stationFile, false, [&](IniDocument& doc) { return WriteRecordChanges(doc, n, o); })) return false;
    if (n.GroupLabel != o.GroupLabel) {
        AdjustGroupCount(o.GroupLabel, -1);
        AdjustGroupCount(n.GroupLabel, 1);
    }
    if (!o.TelephoneNumber.empty() && n.TelephoneNumber.empty()) --telephoneCount_;
    if (o.TelephoneNumber.empty() && !n.TelephoneNumber.empty()) ++telephoneCount_;
    const int index = Find(o.address);
    if (index > 0) {
        auto& entry = stations_[static_cast<std::size_t>(index - 1)];
        entry.label = n.Label;
        entry.groupLabel = n.GroupLabel;
        entry.hasProfile = !n.DeviceProfile.empty();
        entry.hasModemProfile = !n.ModemProfile.empty();
        entry.hasTelephone = !n.TelephoneNumber.empty();
    }
    return true;
}

// The list has no limit of its own: Build keeps every station folder it
// finds, so adding stops only where the addresses end.
int TStationDb::AddNewStation(const std::string& dataFolder) {
    int highest = 0;
    for (const auto& s : stations_) highest = std::max(highest, static_cast<int>(s.address));
    if (highest >= kMaxStationAddress) {
        (void)MessageDlg("Kiv", "Maksymalny adres (65535) już istnieje", MsgWarning, BtnOk);
        return 0;
    }
    TRekStacji entry;
    entry.address = static_cast<std::uint16_t>(highest + 1);
    entry.label = kNewStationLabel;
    if (!CreateNewStationFiles(dataFolder, entry.address)) {
        (void)MessageDlg("", "Nie udało się utworzyć stacji " + FiveDigits(entry.address) + " w folderze " +
                                 StationFolderPath(dataFolder, entry.address),
                         MsgError, BtnOk);
        return 0;
    }
    stations_.push_back(entry);
    return entry.address;
}

void TStationDb::ReplaceEntry(int oldAddress, const TRekStacji& entry) {
    const int index = Find(oldAddress);
    if (index > 0) {
        stations_[static_cast<std::size_t>(index - 1)] = entry;
    } else {
        stations_.push_back(entry);
    }
    std::stable_sort(stations_.begin(), stations_.end(),
                     [](const TRekStacji& a, const TRekStacji& b) { return a.address < b.address; });
    CountGroups();
}

void TStationDb::AddGroup(const std::string& label) {
    if (label.empty() || std::find(groups_.begin(), groups_.end(), label) != groups_.end()) return;
    groups_.push_back(label);
    groupCounts_.push_back(0);
}

void TStationDb::RenameGroup(const std::string& from, const std::string& to) {
    const auto source = std::find(groups_.begin(), groups_.end(), from);
    if (source != groups_.end()) {
        if (std::find(groups_.begin(), groups_.end(), to) == groups_.end()) {
            *source = to;
        } else {
            groupCounts_.erase(groupCounts_.begin() + (source - groups_.begin()));
            groups_.erase(source);
        }
    }
    std::fill(groupCounts_.begin(), groupCounts_.end(), 0);
    for (const auto& s : stations_) {
        if (s.groupLabel.empty()) continue;
        // A label counts for its own group first: "nord" beside a listed
        // "NORD" is a group of its own once both are listed.
        auto it = std::find(groups_.begin(), groups_.end(), s.groupLabel);
        if (it == groups_.end())
            it = std::find_if(groups_.begin(), groups_.end(),
                              [&](const std::string& g) { return EqualsNoCase(g, s.groupLabel); });
        if (it == groups_.end()) {
            groups_.push_back(s.groupLabel);
            groupCounts_.push_back(1);
        } else {
            ++groupCounts_[static_cast<std::size_t>(it - groups_.begin())];
        }
    }
}

TStationDb& StationDb() {
    static TStationDb db;
    return db;
}

} // namespace kiv

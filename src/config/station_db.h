#pragma once
// Stations and their files. Each station (address 1 to 65535) owns the folder
// FC_nnnnn in the data folder, holding its station file nnnnn.INI and its data
// files. TStationDb is the in-memory station list the main window, reports and
// transmissions work from: built by scanning the data folder and reading each
// station file once, then kept current by appending new stations and by saving
// edited records. The station files stay the truth; the list holds copies.
#include <cstdint>
#include <string>
#include <vector>

namespace kiv {

constexpr int kMaxStationAddress = 65535;

// "00012" for 12.
[[nodiscard]] std::string FiveDigits(int address);
// Data folder (with its trailing "/") + "FC_" + five digits.
[[nodiscard]] std::string StationFolderPath(const std::string& dataFolder, int address);
// Station folder + "/" + five digits + ".INI".
[[nodiscard]] std::string StationFilePath(const std::string& dataFolder, int address);
// Station folder + "/" + five digits: the stem of the station's data file names.
[[nodiscard]] std::string StationBaseName(const std::string& dataFolder, int address);

struct TRekStacji {
    std::uint16_t address = 0;
    std::string label;
    std::string groupLabel;
    bool hasProfile = false;
    bool hasModemProfile = false;
    bool hasTelephone = false;
};

struct TRekStacjiFull {
    std::uint16_t address = 0;
    std::string Label;
    std::string GroupLabel;
    std::string DeviceProfile;
    std::string SerialNumber;
    std::string ModemProfile;
    std::string TelephoneNumber;
    bool Prefix = false;
    std::string ConnType = "COM";
    std::string ComNumber = "COM1";
    std::string BaudRate = "9600";
    std::string Parity = "None";
    bool DtrSet = true;
    bool RtsSet = true;
    std::string IPAddr;
    std::string PortRemote;
    std::string PortLocal;
    std::int32_t ArcSamplesPerBlock = 250;
    std::int32_t Repeats = 5;
    std::int32_t SilenceTime = 0;
    std::int32_t StartTimeout = 1000;
    std::int32_t CharsTimeout = 100;
    std::int32_t CalcVnMode = 0;
    std::int32_t CalcVn0Index = 0;
    std::int32_t CalcVn1Index = 1;
    std::int32_t VIntegrityCrit = 0;
};

// The list entry of a station file; a missing or unreadable file gives an
// entry with every field at its default.
[[nodiscard]] TRekStacji ReadStationEntry(const std::string& stationFile, int address);
// Fills the record from the station file, with every default and range rule.
void ReadFullStationRecord(const std::string& stationFile, int address, TRekStacjiFull& record);
// Creates the station folder and writes [Main] Label, unless the folder
// already exists; failures are swallowed.
void CreateStation(const std::string& dataFolder, int address, const std::string& label);
// Writes up to three nameplate items into [Hardware] as Brand, Type and
// SerialNumber; nothing when the station folder does not exist.
void WriteNameplate(const std::string& dataFolder, int address, const std::vector<std::string>& items);
// The three items WriteNameplate writes, as stored (missing ones empty).
[[nodiscard]] std::vector<std::string> StoredNameplate(const std::string& stationFile);
// Moves the station's files to the folder of the new address, renaming those
// that begin with the old five digits and deleting the rest. Read-only and
// hidden files stop it before anything is moved.
[[nodiscard]] bool ChangeStationAddress(const std::string& dataFolder, int newAddress, int oldAddress);

class TStationDb {
public:
    // Rebuilds everything from the station folders of the data folder.
    void Build(const std::string& dataFolder);

    [[nodiscard]] int Count() const { return static_cast<int>(stations_.size()); }
    // 1-based, as the station list is numbered.
    [[nodiscard]] const TRekStacji& Station(int index) const { return stations_[static_cast<std::size_t>(index - 1)]; }
    [[nodiscard]] const std::vector<TRekStacji>& Stations() const { return stations_; }
    [[nodiscard]] const std::vector<std::string>& Groups() const { return groups_; }
    [[nodiscard]] const std::vector<int>& GroupCounts() const { return groupCounts_; }
    [[nodiscard]] int TelephoneCount() const { return telephoneCount_; }

    // 1-based index of the station, or -1.
    [[nodiscard]] int Find(int address) const;
    // Fills list entry index (1-based) from the station file.
    void ReadEntry(const std::string& stationFile, int address, int index);
    // Adds delta to the group whose label equals the given one exactly.
    void AdjustGroupCount(const std::string& groupLabel, int delta);
    // Writes the keys in which newRecord differs from oldRecord, in one
    // replacement of the file. changed tells whether the station tree must be
    // refreshed (address, label, group, profiles or telephone changed).
    // False when the file could not be written.
    [[nodiscard]] bool SaveFullRecord(const std::string& stationFile, const TRekStacjiFull& newRecord,
                                      const TRekStacjiFull& oldRecord, bool& changed);
    // "Dodaj stację": appends the station after the highest address and
    // creates its folder. Returns the new address, or 0 (after telling the
    // user) when the highest address is already taken.
    [[nodiscard]] int AddNewStation(const std::string& dataFolder);
    // After a save that changed what the tree shows (address included): the
    // entry of oldAddress is replaced, the list sorted by address again, and
    // the group list and the telephone count are counted afresh.
    void ReplaceEntry(int oldAddress, const TRekStacji& entry);
    // A group no station is in yet, listed with 0 stations; nothing when a
    // group of exactly this label is listed already.
    void AddGroup(const std::string& label);
    // The group `from` is called `to` from now on (merged into a listed
    // `to`). Every group is then counted again from the station list: groups
    // without stations stay with 0, and a label some station carries but no
    // group lists is appended.
    void RenameGroup(const std::string& from, const std::string& to);

private:
    void CountGroups();

    std::vector<TRekStacji> stations_;
    std::vector<std::string> groups_;
    std::vector<int> groupCounts_;
    int telephoneCount_ = 0;
};

// The program-wide station list.
[[nodiscard]] TStationDb& StationDb();

} // namespace kiv

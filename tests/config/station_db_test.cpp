#include "config/station_db.h"

#include "config/ini_file.h"
#include "config_test_util.h"
#include "support/messages.h"
#include "support/text_encoding.h"

#include <sys/stat.h>

using namespace kiv;
using kiv::test::ReadBytes;
using kiv::test::TempFolder;
using kiv::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

struct Recorder : IMessageSink {
    std::vector<std::string> shown;
    int Show(const std::string& caption, const std::string& text, int kind, unsigned buttons) override {
        shown.push_back(caption + "|" + text + "|" + std::to_string(kind) + "|" + std::to_string(buttons));
        return ResOk;
    }
};

void AddStation(const TempFolder& dir, const std::string& folder, const std::string& text) {
    const std::string digits = folder.substr(3);
    WriteBytes(dir.Folder() + folder + "/" + digits + ".INI", text);
}

TEST(StationNames, FolderFileAndBaseName) {
    EXPECT_EQ(FiveDigits(12), "00012");
    EXPECT_EQ(StationFolderPath("/d/", 12), "/d/FC_00012");
    EXPECT_EQ(StationFolderPath("/d", 65535), "/d/FC_65535");
    EXPECT_EQ(StationFilePath("/d/", 12), "/d/FC_00012/00012.INI");
    EXPECT_EQ(StationBaseName("/d/", 12), "/d/FC_00012/00012");
}

TEST(StationDbBuild, KeepsNumericFoldersInAddressOrder) {
    TempFolder dir;
    AddStation(dir, "FC_00007", "[Main]\nLabel=Siedem\n");
    AddStation(dir, "FC_00003", "[Main]\nLabel=Trzy\n");
    AddStation(dir, "FC_ABC", "[Main]\nLabel=Zła\n");
    AddStation(dir, "FC_00000", "[Main]\nLabel=Zero\n");
    AddStation(dir, "FC_70000", "[Main]\nLabel=Za duży\n");
    AddStation(dir, "fc_00020", "[Main]\nLabel=Mała litera\n");
    AddStation(dir, "FC_12", "[Main]\nLabel=Krótka nazwa\n");
    AddStation(dir, "FC_-0005", "[Main]\nLabel=Ujemna\n");
    WriteBytes(dir.Folder() + "FC_00030", "a file, not a folder");
    fs::create_directory(dir.path / "FC_00040"); // no station file: defaults
    TStationDb db;
    db.Build(dir.path.string());
    ASSERT_EQ(db.Count(), 5);
    const std::pair<int, const char*> expected[] = {
        {3, "Trzy"}, {7, "Siedem"}, {12, "Krótka nazwa"}, {20, "Mała litera"}, {40, ""}};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(db.Station(i).address, expected[i - 1].first);
        EXPECT_EQ(db.Station(i).label, expected[i - 1].second);
    }
    EXPECT_EQ(db.Find(7), 2);
    EXPECT_EQ(db.Find(8), -1);
}

TEST(StationDbBuild, SameAddressTwicePrefersTheExactName) {
    TempFolder dir;
    AddStation(dir, "FC_12", "[Main]\nLabel=Krótka\n");
    AddStation(dir, "FC_00012", "[Main]\nLabel=Właściwa\n");
    TStationDb db;
    db.Build(dir.Folder());
    ASSERT_EQ(db.Count(), 1);
    EXPECT_EQ(db.Station(1).label, "Właściwa");
}

TEST(StationDbBuild, GroupsFlagsAndTelephoneCount) {
    TempFolder dir;
    AddStation(dir, "FC_00001", "[Main]\nLabel=A\nGroupLabel=Sieć A\nTelephoneNumber=1\n");
    AddStation(dir, "FC_00002", "[Main]\nLabel=B\nGroupLabel=Sieć A\n[Hardware]\nDeviceProfile=P\n");
    AddStation(dir, "FC_00003", "[Main]\nLabel=C\n[Communication]\nModemProfile=M\n");
    TStationDb db;
    db.Build(dir.Folder());
    EXPECT_EQ(db.Groups(), std::vector<std::string>{"Sieć A"});
    EXPECT_EQ(db.GroupCounts(), std::vector<int>{2});
    EXPECT_EQ(db.TelephoneCount(), 1);
    const auto flags = [&](int i) {
        const auto& s = db.Station(i);
        return std::to_string(s.hasProfile) + std::to_string(s.hasModemProfile) + std::to_string(s.hasTelephone);
    };
    EXPECT_EQ(flags(1), "001");
    EXPECT_EQ(flags(2), "100");
    EXPECT_EQ(flags(3), "010");
}

TEST(StationDbBuild, GroupsMatchIgnoringCaseAndSortByLabelAndCount) {
    TempFolder dir;
    const char* groups[] = {"B", "b", "B", "A", "A2", "A", "A", "A", "A", "A", "A", "A", "A", "A"};
    for (int i = 0; i < 14; ++i) {
        AddStation(dir, "FC_" + FiveDigits(i + 1), std::string("[Main]\nGroupLabel=") + groups[i] + "\n");
    }
    TStationDb db;
    db.Build(dir.Folder());
    // The texts "A2=1" and "A=10" compare at "2" < "=", so A2 comes first;
    // "B" keeps the spelling seen first.
    EXPECT_EQ(db.Groups(), (std::vector<std::string>{"A2", "A", "B"}));
    EXPECT_EQ(db.GroupCounts(), (std::vector<int>{1, 10, 3}));
    db.AdjustGroupCount("B", -1);
    db.AdjustGroupCount("b", 5);
    db.AdjustGroupCount("Brak", 5);
    EXPECT_EQ(db.GroupCounts(), (std::vector<int>{1, 10, 2}));
}

TEST(StationRecord, DefaultsAndRangesOfAMissingFile) {
    TRekStacjiFull r;
    r.Label = "stale";
    ReadFullStationRecord("/nonexistent/FC_00001/00001.INI", 1, r);
    EXPECT_EQ(r.address, 1);
    EXPECT_EQ(r.Label, "");
    EXPECT_EQ(r.ConnType, "COM");
    EXPECT_EQ(r.ComNumber, "COM1");
    EXPECT_EQ(r.BaudRate, "9600");
    EXPECT_EQ(r.Parity, "None");
    EXPECT_FALSE(r.Prefix);
    EXPECT_TRUE(r.DtrSet);
    EXPECT_TRUE(r.RtsSet);
    EXPECT_EQ(r.ArcSamplesPerBlock, 250);
    EXPECT_EQ(r.Repeats, 5);
    EXPECT_EQ(r.StartTimeout, 1000);
    EXPECT_EQ(r.CharsTimeout, 100);
    EXPECT_EQ(r.CalcVn1Index, 1);
}

TEST(StationRecord, RangesOfBlockSizeAndRepeats) {
    TempFolder dir;
    const std::string file = dir.File("00001.INI");
    const struct {
        const char* arc;
        const char* repeats;
        int arcRead;
        int repeatsRead;
    } rows[] = {{"1", "0", 1, 0}, {"250", "25", 250, 25}, {"0", "-1", 250, 0},
                {"251", "26", 250, 25}, {"x", "x", 250, 5}, {"", "", 250, 5}};
    for (const auto& row : rows) {
        WriteBytes(file, std::string("[Communication]\nArcSamplesPerBlock=") + row.arc + "\nRepeats=" + row.repeats + "\n");
        TRekStacjiFull r;
        ReadFullStationRecord(file, 1, r);
        EXPECT_EQ(r.ArcSamplesPerBlock, row.arcRead) << row.arc;
        EXPECT_EQ(r.Repeats, row.repeatsRead) << row.repeats;
    }
}

TEST(StationRecord, SaveWritesChangedKeysAndReportsTreeChanges) {
    TempFolder dir;
    const std::string file = dir.File("00005.INI");
    const std::string original = "[Main]\nLabel=Pięć\nGroupLabel=G1\n[Communication]\nBaudRate=9600\n";
    const struct {
        const char* name;
        void (*edit)(TRekStacjiFull&);
        bool changed;
    } rows[] = {
        {"BaudRate", [](TRekStacjiFull& r) { r.BaudRate = "19200"; }, false},
        {"SerialNumber", [](TRekStacjiFull& r) { r.SerialNumber = "123"; }, false},
        {"Flags", [](TRekStacjiFull& r) { r.DtrSet = false; r.Prefix = true; }, false},
        {"Numbers", [](TRekStacjiFull& r) { r.VIntegrityCrit = 3; r.CalcVnMode = 2; }, false},
        {"Label", [](TRekStacjiFull& r) { r.Label = "Nowa"; }, true},
        {"DeviceProfile", [](TRekStacjiFull& r) { r.DeviceProfile = "P"; }, true},
        {"Telephone", [](TRekStacjiFull& r) { r.TelephoneNumber = "5"; }, true},
        {"Address", [](TRekStacjiFull& r) { r.address = 6; }, true},
    };
    for (const auto& row : rows) {
        WriteBytes(file, original);
        TRekStacjiFull before;
        ReadFullStationRecord(file, 5, before);
        TRekStacjiFull after = before;
        row.edit(after);
        TStationDb db;
        bool changed = !row.changed;
        ASSERT_TRUE(db.SaveFullRecord(file, after, before, changed)) << row.name;
        EXPECT_EQ(changed, row.changed) << row.name;
        TRekStacjiFull reread;
        ReadFullStationRecord(file, after.address, reread);
        EXPECT_EQ(reread.BaudRate, after.BaudRate) << row.name;
        EXPECT_EQ(reread.Label, after.Label) << row.name;
        EXPECT_EQ(reread.DtrSet, after.DtrSet) << row.name;
        EXPECT_EQ(reread.Prefix, after.Prefix) << row.name;
        EXPECT_EQ(reread.VIntegrityCrit, after.VIntegrityCrit) << row.name;
        EXPECT_EQ(reread.TelephoneNumber, after.TelephoneNumber) << row.name;
    }
    WriteBytes(file, original);
    TRekStacjiFull r;
    ReadFullStationRecord(file, 5, r);
    TStationDb db;
    bool changed = true;
    ASSERT_TRUE(db.SaveFullRecord(file, r, r, changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(ReadBytes(file), original) << "an unchanged record leaves the file as it was";
}

TEST(StationRecord, SaveKeepsGroupAndTelephoneCountsCurrent) {
    TempFolder dir;
    AddStation(dir, "FC_00001", "[Main]\nLabel=A\nGroupLabel=G1\nTelephoneNumber=1\n");
    AddStation(dir, "FC_00002", "[Main]\nLabel=B\nGroupLabel=G2\n");
    TStationDb db;
    db.Build(dir.Folder());
    const std::string file = StationFilePath(dir.Folder(), 1);
    TRekStacjiFull before;
    ReadFullStationRecord(file, 1, before);
    TRekStacjiFull after = before;
    after.GroupLabel = "G2";
    after.TelephoneNumber = "";
    bool changed = false;
    ASSERT_TRUE(db.SaveFullRecord(file, after, before, changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(db.GroupCounts(), (std::vector<int>{0, 2}));
    EXPECT_EQ(db.TelephoneCount(), 0);
    EXPECT_EQ(db.Station(1).groupLabel, "G2");
    EXPECT_FALSE(db.Station(1).hasTelephone);
}

TEST(StationFile, Windows1250FileReadAndRewrittenInWindows1250) {
    TempFolder dir;
    const std::string file = StationFilePath(dir.Folder(), 9);
    const std::string text = "; Plik stacji z dawnej instalacji\r\n[Main]\r\nLabel=Stacja Łódź Żółta\r\n"
                             "GroupLabel=Sieć południe\r\n\r\n; łącze\r\n[Communication]\r\nBaudRate=9600\r\n";
    WriteBytes(file, Utf8ToCp1250(text));
    TStationDb db;
    db.Build(dir.Folder());
    ASSERT_EQ(db.Count(), 1);
    EXPECT_EQ(db.Station(1).label, "Stacja Łódź Żółta");
    EXPECT_EQ(db.Groups(), std::vector<std::string>{"Sieć południe"});
    TRekStacjiFull before;
    ReadFullStationRecord(file, 9, before);
    TRekStacjiFull after = before;
    after.Label = "Stacja Świętochłowice";
    after.BaudRate = "4800";
    bool changed = false;
    ASSERT_TRUE(db.SaveFullRecord(file, after, before, changed));
    EXPECT_EQ(ReadBytes(file),
              Utf8ToCp1250("; Plik stacji z dawnej instalacji\r\n[Main]\r\nLabel=Stacja Świętochłowice\r\n"
                           "GroupLabel=Sieć południe\r\n\r\n; łącze\r\n[Communication]\r\nBaudRate=4800\r\n"));
}

TEST(StationCreate, CreatesOnceAndNameplateNeedsTheFolder) {
    TempFolder dir;
    CreateStation(dir.Folder(), 4, "Czwarta");
    CreateStation(dir.Folder(), 4, "Inna");
    const std::string file = StationFilePath(dir.Folder(), 4);
    EXPECT_EQ(ReadIniString("Main", "Label", "", file), "Czwarta");
    WriteNameplate(dir.Folder(), 4, {"Plum", "MacMat", "12345", "ignored"});
    EXPECT_EQ(ReadIniString("Hardware", "Brand", "", file), "Plum");
    EXPECT_EQ(ReadIniString("Hardware", "Type", "", file), "MacMat");
    EXPECT_EQ(ReadIniString("Hardware", "SerialNumber", "", file), "12345");
    WriteNameplate(dir.Folder(), 4, {"Inna marka"});
    EXPECT_EQ(ReadIniString("Hardware", "Brand", "", file), "Inna marka");
    EXPECT_EQ(ReadIniString("Hardware", "Type", "", file), "MacMat");
    WriteNameplate(dir.Folder(), 5, {"X"});
    EXPECT_FALSE(fs::exists(StationFolderPath(dir.Folder(), 5)));
}

TEST(StationAdd, NextAddressAfterTheHighest) {
    TempFolder dir;
    TStationDb db;
    db.Build(dir.Folder());
    EXPECT_EQ(db.AddNewStation(dir.Folder()), 1);
    AddStation(dir, "FC_00009", "[Main]\nLabel=Dziewięć\n");
    db.Build(dir.Folder());
    EXPECT_EQ(db.AddNewStation(dir.Folder()), 10);
    ASSERT_EQ(db.Count(), 3);
    EXPECT_EQ(db.Station(3).label, "Nowa stacja");
    EXPECT_EQ(ReadIniString("Main", "Label", "", StationFilePath(dir.Folder(), 10)), "Nowa stacja");
}

TEST(StationAdd, HighestAddressTakenShowsMessageAndAddsNothing) {
    TempFolder dir;
    AddStation(dir, "FC_65535", "[Main]\nLabel=Ostatnia\n");
    TStationDb db;
    db.Build(dir.Folder());
    Recorder recorder;
    IMessageSink* previous = SetMessageSink(&recorder);
    const int added = db.AddNewStation(dir.Folder());
    SetMessageSink(previous);
    EXPECT_EQ(added, 0);
    EXPECT_EQ(db.Count(), 1);
    EXPECT_EQ(recorder.shown,
              std::vector<std::string>{"Kiv|Maksymalny adres (65535) już istnieje|0|" + std::to_string(BtnOk)});
}

TEST(StationAddress, MovesOwnFilesAndDeletesTheRest) {
    TempFolder dir;
    const std::string old = dir.Folder() + "FC_00012/";
    WriteBytes(old + "00012.INI", "[Main]\nLabel=Dwanaście\n");
    WriteBytes(old + "00012_2005_03_A.FCD", "archive");
    WriteBytes(old + "notes.txt", "notes");
    WriteBytes(old + "sub/deep/file.bin", "x");
    ASSERT_TRUE(ChangeStationAddress(dir.Folder(), 44, 12));
    EXPECT_FALSE(fs::exists(old));
    const std::string now = dir.Folder() + "FC_00044/";
    EXPECT_EQ(ReadIniString("Main", "Label", "", now + "00044.INI"), "Dwanaście");
    EXPECT_EQ(ReadBytes(now + "00044_2005_03_A.FCD"), "archive");
    EXPECT_EQ(std::distance(fs::directory_iterator(now), fs::directory_iterator()), 2);
}

TEST(StationAddress, RefusesProtectedFilesBeforeMovingAnything) {
    const struct {
        const char* name;
        const char* file;
        bool readOnly;
    } rows[] = {{"ReadOnly", "00012.FCE", true}, {"Hidden", ".hidden", false}};
    for (const auto& row : rows) {
        TempFolder dir;
        const std::string old = dir.Folder() + "FC_00012/";
        WriteBytes(old + "00012.INI", "[Main]\n");
        WriteBytes(old + row.file, "x");
        if (row.readOnly) fs::permissions(old + row.file, fs::perms::owner_read);
        EXPECT_FALSE(ChangeStationAddress(dir.Folder(), 44, 12)) << row.name;
        EXPECT_TRUE(fs::exists(old + "00012.INI")) << row.name;
        EXPECT_FALSE(fs::exists(dir.Folder() + "FC_00044")) << row.name;
    }
}

TEST(StationAddress, RefusesATakenOrInvalidAddress) {
    TempFolder dir;
    WriteBytes(dir.Folder() + "FC_00012/00012.INI", "[Main]\n");
    WriteBytes(dir.Folder() + "FC_00044/00044.INI", "[Main]\nLabel=Zajęta\n");
    EXPECT_FALSE(ChangeStationAddress(dir.Folder(), 44, 12));
    EXPECT_FALSE(ChangeStationAddress(dir.Folder(), 0, 12));
    EXPECT_FALSE(ChangeStationAddress(dir.Folder(), 13, 14));
    EXPECT_TRUE(fs::exists(dir.Folder() + "FC_00012/00012.INI"));
    EXPECT_EQ(ReadIniString("Main", "Label", "", dir.Folder() + "FC_00044/00044.INI"), "Zajęta");
}

} // namespace

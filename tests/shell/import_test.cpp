// The shell's model for the import of the old configuration, profile
// matching, data copy, the data folder history and the virtual station
// list, on generated folders.
#include "config/program_settings.h"
#include "shell/model/config_import.h"
#include "shell/model/data_copy.h"
#include "shell/model/data_folders.h"
#include "shell/model/old_config.h"
#include "shell/model/virtual_list.h"
#include "shell_test_util.h"

#include <gtest/gtest.h>

using namespace kiv;
namespace fs = std::filesystem;

namespace {

const TProfileLists kLists{{"P-B", "P-A", "P-C", "P-D"},
                           {"Plum", "Plum", "Common", "Plum"},
                           {"MacMat", "Other", "MacMat", "MacMat"},
                           {"111", "555", "777", "555"}};

struct ImportTest : ::testing::Test {
    test::ShellTempFolder temp;
    std::string source = temp.Sub("src");
    std::string target = temp.Sub("dst");

    void SetUp() override {
        // "Kotłownia" as the old program wrote it, in Windows-1250.
        test::WriteText(temp.Sub("src/KIV5") + "E__CFG.INI",
                        "[Main]\r\nLabel=Kot\xB3ownia\r\nTelephoneNumber=\r\nGroupLabel=Stara\r\n[Hardware]\r\n"
                        "Brand=Plum\r\nType=MacMat\r\nSerialNumber=999\r\n[Communication]\r\nReadSingleVn=YES\r\n"
                        "BaudRate=24\x01" "00\r\nComNumber=COM2\r\n");
        test::WriteText(temp.Sub("src/kiv7") + "g__cfg.ini", "[Main]\nLabel=Siedem\n");
        // The file a folder numbered 705 would be read from, so only the range keeps it out.
        test::WriteText(temp.Sub("src/KIV0705") + "___CFG.INI", "[Main]\nLabel=Za daleko\n");
        test::WriteText(temp.Sub("src/KIVX") + "A__CFG.INI", "[Main]\nLabel=Bez numeru\n");
        (void)temp.Sub("src/KIV8"); // no configuration file
        test::WriteText(source + "KIV9", "a file, not a folder");
    }
    int Import(ImportMode mode, std::vector<int>* shown = nullptr) {
        return ImportOldConfiguration(source, target, mode, kLists, [shown](int n) {
            if (shown) shown->push_back(n);
        });
    }
    std::vector<std::string> Folders() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(target)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(OldConfig, CodesNumbersAndEndings) {
    const std::pair<int, const char*> codes[] = {{1, "A_"}, {5, "E_"}, {26, "Z_"}, {27, "AA"},
                                                 {53, "BA"}, {700, "ZX"}, {0, "__"}, {701, "__"}};
    for (const auto& [n, code] : codes) EXPECT_EQ(OldConfigFileName(n), std::string(code) + "_CFG.INI") << n;
    const std::pair<const char*, int> folders[] = {{"KIV5", 5},     {"KIV0705", 705}, {"kiv12", 12}, {"KIV", -1},
                                                   {"KIV5.OLD", -1}, {"KIV-5", -1},   {"FC_00005", -1},
                                                   {"KIV99999999999", -1}};
    for (const auto& [name, n] : folders) EXPECT_EQ(OldFolderNumber(name), n) << name;
    const std::pair<int, const char*> endings[] = {{0, "ów"},  {1, ""},   {2, "i"},    {3, "i"},   {5, "ów"},
                                                   {12, "ów"}, {22, "i"}, {104, "i"}, {112, "ów"}};
    for (const auto& [count, ending] : endings) EXPECT_EQ(FolderCountEnding(count), ending) << count;
    EXPECT_EQ(ImportResultText(22), "Skopiowano 22 katalogi");
    EXPECT_EQ(ImportStatusText(7), "Liczba skopiowanych katalogów: 007");
}

TEST(OldConfig, DamagedTextGivesWhatItCan) {
    EXPECT_TRUE(ParseOldConfig("").empty());
    EXPECT_TRUE(ParseOldConfig(std::string("\0\xFF[\n=\n[Main\nLabel", 14)).empty());
    const auto keys = ParseOldConfig("[main]\nlabel = \x1B[31mA\tB \n[Hardware]\nType=\n");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].section, std::string("Main"));
    EXPECT_EQ(keys[0].value, "[31mAB");
}

// KIV5 becomes FC_00005 from E__CFG.INI, its profile found by type and
// brand; KIV0705, KIVX, a file and a folder without configuration are not
// imported.
TEST_F(ImportTest, ImportsTheNumberedFoldersOnly) {
    std::vector<int> shown;
    EXPECT_EQ(Import(ImportMode::OnlyNew, &shown), 2);
    EXPECT_EQ(shown, (std::vector<int>{1, 2}));
    EXPECT_EQ(Folders(), (std::vector<std::string>{"FC_00005", "FC_00007"}));
    EXPECT_EQ(test::ReadText(StationFilePath(target, 5)),
              "[Main]\r\nLabel=Kotłownia\r\n[Hardware]\r\nBrand=Plum\r\nType=MacMat\r\nSerialNumber=999\r\n"
              "DeviceProfile=P-B\r\n[Communication]\r\nComNumber=COM2\r\nBaudRate=2400\r\nReadSingleVn=YES\r\n");
    EXPECT_EQ(test::ReadText(StationFilePath(target, 7)), "[Main]\r\nLabel=Siedem\r\n");
}

TEST_F(ImportTest, OnlyNewSkipsAndOverwriteKeepsOtherKeys) {
    const std::string stored = "[Main]\nLabel=Stara\nGroupLabel=Sieć\n[Hardware]\nType=XX\n";
    test::WriteText(temp.Sub("dst/FC_00005") + "00005.INI", stored);
    EXPECT_EQ(Import(ImportMode::OnlyNew), 1);
    EXPECT_EQ(test::ReadText(StationFilePath(target, 5)), stored);
    EXPECT_EQ(Import(ImportMode::Overwrite), 2);
    EXPECT_EQ(test::ReadText(StationFilePath(target, 5)),
              "[Main]\nLabel=Kotłownia\nGroupLabel=Sieć\n[Hardware]\nType=MacMat\nBrand=Plum\nSerialNumber=999\n"
              "DeviceProfile=P-B\n[Communication]\nComNumber=COM2\nBaudRate=2400\nReadSingleVn=YES\n");
}

// Only the first profile of the serial number, then only the first of the
// type, may match.
TEST(ProfileMatch, SerialFirstThenTypeAndBrand) {
    EXPECT_EQ(FindProfileFor(kLists, "Plum", "Other", "555"), 1);
    EXPECT_EQ(FindProfileFor(kLists, "Common", "MacMat", "777"), 2);
    EXPECT_EQ(FindProfileFor(kLists, "Plum", "MacMat", "555"), 0);   // its serial's first profile is another type
    EXPECT_EQ(FindProfileFor(kLists, "Common", "MacMat", "555"), -1); // the type's first profile is another brand
    EXPECT_EQ(FindProfileFor(kLists, "Itron", "MacMat", "111"), -1);
    EXPECT_EQ(FindProfileFor(kLists, "Plum", "MacMat", ""), -1);
    EXPECT_EQ(MatchedProfilesText(3, 10), "Dopasowano 3/10 profili");
}

TEST(DataCopy, CheckAllFillsTheRangeBetweenTicks) {
    std::vector<bool> ticks(10, false);
    ticks[2] = ticks[6] = true; // stations 3 and 7
    std::vector<bool> expected(10, false);
    for (int i = 2; i <= 6; ++i) expected[static_cast<std::size_t>(i)] = true;
    EXPECT_EQ(TickedRange(ticks), expected);
    EXPECT_EQ(TickedRange(std::vector<bool>(4, false)), std::vector<bool>(4, true));
    EXPECT_EQ(CopyListItem({12, "Kotłownia", "", false, false, false}), "00012  Kotłownia");
}

TEST(DataCopy, CopiesTheChosenMonthsAndTheCurrentFiles) {
    test::ShellTempFolder temp;
    const std::string data = temp.Sub("dane");
    const std::string out = temp.Sub("kopia");
    const std::string folder = temp.Sub("dane/FC_00012");
    for (const char* name : {"00012_2024_03_Vn.FCD", "00012_2024_03_dVn.FCD", "00012_2024_04_Vn.FCD",
                             "00012_2023_03_Vn.FCD", "00012.FCC", "00012.INI"})
        test::WriteText(folder + name, name);
    test::WriteText(temp.Sub("kopia/FC_00012") + "00012_2024_03_Vn.FCD", "old");
    std::vector<std::string> shown;
    const TCopyCount count = CopyStationData({data, out, {12, 13}, {3}, 2024},
                                             [&](const std::string& path) { shown.push_back(path); });
    EXPECT_EQ(count.copied, 3);
    EXPECT_EQ(CopyFailureText(count), "");
    EXPECT_EQ(shown, (std::vector<std::string>{folder + "00012_2024_03_Vn.FCD", folder + "00012_2024_03_dVn.FCD",
                                               folder + "00012.FCC"}));
    EXPECT_EQ(test::ReadText(out + "FC_00012/00012_2024_03_Vn.FCD"), "00012_2024_03_Vn.FCD");
    EXPECT_FALSE(fs::exists(out + "FC_00012/00012.INI"));
    EXPECT_FALSE(fs::exists(out + "FC_00013"));
    // A destination that cannot take the files: the others go on, and the user is told.
    const std::string blocked = temp.Sub("zajety");
    test::WriteText(blocked + "FC_00012", "a file where the station folder would go");
    const TCopyCount refused = CopyStationData({data, blocked, {12}, {3, 4}, 2024}, nullptr);
    EXPECT_EQ(CopyFailureText(refused), "Nie skopiowano 4 z 4 plików");
    EXPECT_EQ(CopyFailureText({0, 1}), "Nie skopiowano 1 z 1 pliku");
    EXPECT_EQ(CopyFailureText({1, 1}), "Nie skopiowano 1 z 2 plików");
    EXPECT_TRUE(SameFolder(data, temp.Folder() + "kopia/../dane"));
    EXPECT_FALSE(SameFolder(data, out));
}

TEST(DataFolders, HistoryMoves) {
    test::ShellTempFolder temp;
    const std::string k = temp.Sub("K");
    TDataFolders folders{"X/", {"A/", "B/", k, "D/", ""}};
    EXPECT_EQ(PickHistoryItem(folders, 3), HistoryPick::Switched);
    EXPECT_EQ(folders.current, k);
    EXPECT_EQ(folders.history, (TFolderHistory{"X/", "A/", "B/", "D/", ""}));
    EXPECT_EQ(PickHistoryItem(folders, 2), HistoryPick::Missing);
    EXPECT_EQ(folders.history[1], "A/");

    folders = {"X/", {"A/", "B/", "C/", "D/", "E/"}};
    EXPECT_TRUE(ChangeDataFolder(folders, "N/", false));
    EXPECT_EQ(folders.history, (TFolderHistory{"X/", "A/", "B/", "C/", "D/"}));
    EXPECT_TRUE(ChangeDataFolder(folders, "B/", false));
    EXPECT_EQ(folders.history, (TFolderHistory{"N/", "X/", "A/", "C/", "D/"}));
    EXPECT_FALSE(ChangeDataFolder(folders, "B/", false));
    EXPECT_TRUE(ChangeDataFolder(folders, "B/", true));
    EXPECT_EQ(folders.history[0], "N/");

    const std::string ini = temp.Folder() + "Kiv.ini";
    ASSERT_TRUE(SaveDataFolders(ini, {"B/", {"N/", "X/", "", "", ""}}));
    EXPECT_EQ(test::ReadText(ini), "[Catalogues]\r\nDataPath=B/\r\nDataPath1=N/\r\nDataPath2=X/\r\n");
}

TEST(VirtualList, NamesAndRemoval) {
    EXPECT_EQ(NextVirtualLabel({}), "Nowa stacja wirtualna 1");
    EXPECT_EQ(NextVirtualLabel({"Nowa stacja wirtualna 12@@0"}), "Nowa stacja wirtualna 2");
    std::vector<std::string> entries{"A@+00001@0", "B@@0", "C@+00002@5@Taryfa"};
    std::string select;
    EXPECT_FALSE(RemoveVirtualEntry(entries, "Z", select));
    ASSERT_TRUE(RemoveVirtualEntry(entries, "C", select));
    EXPECT_EQ(select, "B");
    ASSERT_TRUE(RemoveVirtualEntry(entries, "A", select));
    EXPECT_EQ(select, "B");
    ASSERT_TRUE(RemoveVirtualEntry(entries, "B", select));
    EXPECT_EQ(select, "");

    test::ShellTempFolder temp;
    const std::string ini = temp.Folder() + "Kiv.ini";
    test::WriteText(ini, "[Virtual-/d/]\nSum1=A@@0\nSum2=B@@0\nSum3=C@@0\n[Main]\nCursorPosition=A\n");
    ASSERT_TRUE(WriteVirtualList(ini, "/d/", {"A@@0", "C@@0"}));
    EXPECT_EQ(test::ReadText(ini), "[Main]\nCursorPosition=A\n[Virtual-/d/]\nSum1=A@@0\nSum2=C@@0\n");
    ASSERT_TRUE(WriteVirtualList(ini, "/d/", {}));
    EXPECT_EQ(test::ReadText(ini), "[Main]\nCursorPosition=A\n");
}

} // namespace

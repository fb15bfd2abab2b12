#include "support/helpers.h"

#include "common/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace kiv;
using kiv::test::TempFolder;
namespace fs = std::filesystem;

namespace {

void WriteText(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

std::string ReadText(const std::string& name) {
    std::ifstream in(name);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Paths, SeparatorAndProgramFolder) {
    EXPECT_EQ(PathWithSeparator("/data"), "/data/");
    EXPECT_EQ(PathWithSeparator("/data/"), "/data/");
    // An empty folder is the working folder, never the root of the file system.
    EXPECT_EQ(PathWithSeparator(""), "");

    // By default the folder of the running test program, which the build
    // places in the tests folder.
    const std::string start = ProgramFolder();
    EXPECT_EQ(start.back(), '/');
    EXPECT_TRUE(fs::exists(start + "support_helpers_tests")) << start;
    SetProgramFolder("/opt/kiv");
    EXPECT_EQ(ProgramFolderFile("GAZ.FCP"), "/opt/kiv/GAZ.FCP");
    SetProgramFolder(start);
}

TEST(NumberTexts, PadNumber) {
    struct Case {
        long long number;
        int width, mode;
        char pad;
        const char* expected;
    };
    const Case cases[] = {
        {123456, 5, PadKeepLast, ' ', "23456"},
        {123456, 5, PadKeepFirst, ' ', "12345"},
        {123456, 5, PadKeepWhole, ' ', "123456"},
        {42, 5, PadKeepLast, ' ', "   42"},
        {42, 5, PadKeepFirst, '0', "00042"},
        {42, 0, PadKeepLast, ' ', "42"},
        {-42, 2, PadKeepLast, ' ', "42"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadNumber(c.number, c.width, c.mode, c.pad), c.expected) << c.number << "/" << c.mode;
}

TEST(NumberTexts, ZeroPadHexAndYesNo) {
    EXPECT_EQ(ZeroPad(12, 5), "00012");
    EXPECT_EQ(ZeroPad(123456, 5), "123456");
    EXPECT_EQ(ZeroPad(-7, 4), "-007");
    EXPECT_EQ(ZeroPad(0, 0), "0");
    EXPECT_EQ(HexByte(0x00), "00");
    EXPECT_EQ(HexByte(0x0A), "0A");
    EXPECT_EQ(HexByte(0xFF), "FF");
    EXPECT_EQ(YesNoText(true), "tak");
    EXPECT_EQ(YesNoText(false), "nie");
}

TEST(NumberTexts, DateAndTime) {
    EXPECT_EQ(DateText(2024, 2, 9), "2024-02-09");
    EXPECT_EQ(TimeText(7, 5, 0), "07:05:00");
    const char* expected[] = {"2024", "2024-02", "2024-02-09", "2024-02-09 07", "2024-02-09 07:05",
                              "2024-02-09 07:05:03"};
    for (int parts = 1; parts <= 6; ++parts)
        EXPECT_EQ(DateTimeText(2024, 2, 9, 7, 5, 3, parts), expected[parts - 1]) << parts;
    EXPECT_EQ(DateTimeText(2024, 2, 9, 7, 5, 3, 9), expected[5]);
    EXPECT_EQ(DateTimeText(2024, 2, 9, 7, 5, 3, 0), expected[0]);
}

TEST(TextHelpers, CompactUpper) {
    EXPECT_EQ(CompactUpper(" dv n\t"), "DVN");
    EXPECT_EQ(CompactUpper("zażółć gęślą jaźń"), "ZAŻÓŁĆGĘŚLĄJAŹŃ");
    EXPECT_EQ(CompactUpper("ĄĘ 12-x"), "ĄĘ12-X");
    EXPECT_EQ(CompactUpper(std::string("a\xC5", 2)), std::string("A\xC5", 2)); // cut sequence kept
    EXPECT_EQ(CompactUpper(""), "");
}

TEST(TextHelpers, SplitAt) {
    std::string text = "00012@Stacja A@x";
    EXPECT_EQ(SplitAt(text, '@'), "00012");
    EXPECT_EQ(text, "Stacja A@x");
    EXPECT_EQ(SplitAt(text, '@'), "Stacja A");
    EXPECT_EQ(SplitAt(text, '@'), "x");
    EXPECT_EQ(text, "");
    text = "@";
    EXPECT_EQ(SplitAt(text, '@'), "");
    EXPECT_EQ(text, "");
}

TEST(TextHelpers, TrailingNumber) {
    const std::pair<const char*, long long> cases[] = {
        {"COM12", 12}, {"COM", -1}, {"", -1}, {"7", 7}, {"A1B02", 2}, {"X99999999999999999999", -1},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(TrailingNumber(text), expected) << text;
}

TEST(IncrementParameters, NamesAndFlow) {
    EXPECT_EQ(FlowName("dvr"), "Qr");
    EXPECT_EQ(FlowName("DVN"), "Qn");
    EXPECT_EQ(FlowName("dV"), "dV");
    EXPECT_TRUE(IsIncrement("Dvn"));
    EXPECT_FALSE(IsIncrement("P"));
    EXPECT_DOUBLE_EQ(ToFlow("DVN", 15, 2.5), 10.0);
    EXPECT_DOUBLE_EQ(ToFlow("dvr", 60, 3.0), 3.0);
    EXPECT_DOUBLE_EQ(ToFlow("T", 15, 2.5), 2.5);
    EXPECT_DOUBLE_EQ(ToFlow("DVN", 0, 2.5), 2.5);
}

TEST(IncrementParameters, BarShareAndSameBytes) {
    EXPECT_DOUBLE_EQ(BarShare(0, 5, 10, 100), 50);
    EXPECT_DOUBLE_EQ(BarShare(0, 20, 10, 100), 100);
    EXPECT_DOUBLE_EQ(BarShare(0, -5, 10, 100), 0);
    EXPECT_DOUBLE_EQ(BarShare(10, 5, 10, 100), 0);
    const char a[] = "abcd";
    const char b[] = "abcx";
    EXPECT_TRUE(SameBytes(a, b, 3));
    EXPECT_FALSE(SameBytes(a, b, 4));
    EXPECT_FALSE(SameBytes(a, a, 0));
}

TEST(ColumnLetters, OneAndTwoLetters) {
    const std::pair<int, const char*> cases[] = {
        {1, "A"},  {26, "Z"},  {27, "AA"}, {52, "AZ"},  {53, "BA"},
        {700, "ZX"}, {701, "__"}, {0, "__"}, {-3, "__"},
    };
    for (const auto& [number, letters] : cases) EXPECT_EQ(ColumnLetters(number), letters) << number;
}

TEST(RotateLog, MissingLogIsSuccess) {
    TempFolder dir;
    EXPECT_TRUE(RotateLog(dir.File("Tx.log"), 3));
    EXPECT_TRUE(fs::is_empty(dir.path));
}

TEST(RotateLog, DepthThreeShiftsEveryCopy) {
    TempFolder dir;
    const std::string log = dir.File("Modem.log");
    WriteText(log, "L");
    WriteText(log + "1", "L1");
    WriteText(log + "2", "L2");
    WriteText(log + "3", "L3");
    ASSERT_TRUE(RotateLog(log, 3));
    EXPECT_FALSE(fs::exists(log));
    EXPECT_EQ(ReadText(log + "1"), "L");
    EXPECT_EQ(ReadText(log + "2"), "L1");
    EXPECT_EQ(ReadText(log + "3"), "L2");
    EXPECT_FALSE(fs::exists(log + "4"));

    // A gap in the copies is skipped, not an error.
    WriteText(log, "new");
    fs::remove(log + "2");
    ASSERT_TRUE(RotateLog(log, 3));
    EXPECT_EQ(ReadText(log + "1"), "new");
    EXPECT_EQ(ReadText(log + "2"), "L");
    EXPECT_FALSE(fs::exists(log + "3"));
}

TEST(RotateLog, FailedDeleteStops) {
    TempFolder dir;
    const std::string log = dir.File("KivGAZ.log");
    WriteText(log, "L");
    fs::create_directories(log + "1/busy"); // a non-empty folder is not deleted as a file
    EXPECT_FALSE(RotateLog(log, 1));
    EXPECT_EQ(ReadText(log), "L");
}

TEST(DeleteFolder, RemovesTreeButNotLinkTargets) {
    TempFolder dir;
    EXPECT_TRUE(DeleteFolder(dir.File("missing")));
    WriteText(dir.File("plain"), "x");
    EXPECT_TRUE(DeleteFolder(dir.File("plain")));
    EXPECT_TRUE(fs::exists(dir.File("plain")));

    const fs::path outside = dir.path / "outside";
    fs::create_directories(outside);
    WriteText((outside / "keep.txt").string(), "keep");
    const fs::path tree = dir.path / "FC_00012";
    fs::create_directories(tree / "a" / "b");
    WriteText((tree / "00012.INI").string(), "[x]");
    WriteText((tree / "a" / "b" / "00012.FCD").string(), "data");
    fs::create_directory_symlink(outside, tree / "a" / "link");
    EXPECT_TRUE(DeleteFolder(tree.string()));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_EQ(ReadText((outside / "keep.txt").string()), "keep");
}

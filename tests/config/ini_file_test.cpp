#include "config/ini_file.h"

#include "config/program_settings.h"
#include "common/file_size_limit.h"
#include "config/tini.h"
#include "config_test_util.h"
#include "support/text_encoding.h"

#include <functional>
#include <fcntl.h>
#include <sys/stat.h>

using namespace kiv;
using kiv::test::ReadBytes;
using kiv::test::TempFolder;
using kiv::test::WriteBytes;

namespace {

struct BoolCase {
    const char* name;
    const char* text; // nullptr: key absent
    bool def;
    bool expected;
};

class IniBool : public ::testing::TestWithParam<BoolCase> {};

TEST_P(IniBool, ReadsOnlyYesAndNoInAnyCase) {
    TempFolder dir;
    const auto& c = GetParam();
    const std::string file = dir.File("a.ini");
    WriteBytes(file, c.text ? std::string("[S]\nFlag=") + c.text + "\n" : "[S]\n");
    EXPECT_EQ(ReadIniBool("S", "Flag", c.def, file), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IniBool,
                         ::testing::Values(BoolCase{"UpperYes", "YES", false, true},
                                           BoolCase{"LowerYes", "yes", false, true},
                                           BoolCase{"MixedNo", "No", true, false},
                                           BoolCase{"PaddedYes", "  YES  ", false, true},
                                           BoolCase{"Y", "Y", false, false},
                                           BoolCase{"One", "1", false, false},
                                           BoolCase{"True", "TRUE", false, false},
                                           BoolCase{"TrueKeepsDefaultTrue", "TRUE", true, true},
                                           BoolCase{"Empty", "", true, true},
                                           BoolCase{"Absent", nullptr, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniInteger, ParsesDecimalOrGivesDefault) {
    const struct {
        const char* text;
        int expected;
    } rows[] = {{"42", 42}, {" -7 ", -7}, {"+5", 5}, {"", 9}, {"12a", 9}, {"0x10", 9},
                {"abc", 9}, {"99999999999", 9}, {"-2147483648", -2147483648}, {"- 3", 9}};
    for (const auto& r : rows) EXPECT_EQ(ParseIniInteger(r.text, 9), r.expected) << r.text;
}

TEST(IniClamp, ReplacesOutOfRangeValues) {
    EXPECT_EQ(Clamp(5, 1, 10, 100, -100), 5);
    EXPECT_EQ(Clamp(1, 1, 10, 100, -100), 1);
    EXPECT_EQ(Clamp(11, 1, 10, 100, -100), 100);
    EXPECT_EQ(Clamp(0, 1, 10, 100, -100), -100);
}

TEST(IniRead, NamesIgnoreCaseIncludingPolishLetters) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    WriteBytes(file, "[Sekcja Łódź]\nKlucz Źródła = wartość z odstępem  \n[Empty]\nKey=\n");
    EXPECT_EQ(ReadIniString("SEKCJA ŁÓDŹ", "klucz źródła", "?", file), "wartość z odstępem");
    EXPECT_EQ(ReadIniString("Empty", "Key", "default", file), "");
    EXPECT_EQ(ReadIniString("Empty", "Other", "default", file), "default");
    EXPECT_EQ(ReadIniString("S", "K", "default", dir.File("missing.ini")), "default");
}

TEST(IniRead, ValuesAreCutAt2048Characters) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    std::string longValue;
    for (int i = 0; i < 3000; ++i) longValue += "ą";
    WriteBytes(file, "[S]\nK=" + longValue + "\n");
    const std::string value = ReadIniString("S", "K", "", file);
    EXPECT_EQ(value.size(), 2048u * 2);
    EXPECT_TRUE(IsValidUtf8(value));
}

TEST(IniList, StopsAtTheFirstGap) {
    TempFolder dir;
    const std::string file = dir.File("Kiv.ini");
    WriteBytes(file, "[Modems]\nModemName1=Pierwszy\nModemName3=Trzeci\n");
    EXPECT_EQ(ReadIniList("Modems", "ModemName", file), std::vector<std::string>{"Pierwszy"});
}

TEST(IniList, WritesNumberedKeysFromTheFirstIndex) {
    TempFolder dir;
    const std::string file = dir.File("Kiv.ini");
    ASSERT_TRUE(WriteIniList("Catalogues", "DataPath", file, {"/a/", "/b/"}, 2));
    EXPECT_EQ(ReadIniString("Catalogues", "DataPath2", "", file), "/a/");
    EXPECT_EQ(ReadIniList("Catalogues", "DataPath", file, 2), (std::vector<std::string>{"/a/", "/b/"}));
}

TEST(IniWrite, KeepsEveryOtherLineAndTheLineEnds) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    const std::string before = "; komentarz\r\n[A]\r\nX = 1\r\n\r\n[B]\r\n; uwaga\r\nY=2\r\n";
    WriteBytes(file, before);
    ASSERT_TRUE(WriteIniString("a", "x", "7", file));
    ASSERT_TRUE(WriteIniString("A", "New", "n", file));
    ASSERT_TRUE(WriteIniString("C", "Z", "3", file));
    EXPECT_EQ(ReadBytes(file), "; komentarz\r\n[A]\r\nX=7\r\nNew=n\r\n\r\n[B]\r\n; uwaga\r\nY=2\r\n[C]\r\nZ=3\r\n");
}

TEST(IniWrite, NewFileIsUtf8AndUnixFileStaysUnix) {
    TempFolder dir;
    ASSERT_TRUE(WriteIniString("Main", "Label", "Sieć", dir.File("new.ini")));
    EXPECT_EQ(ReadBytes(dir.File("new.ini")), "[Main]\r\nLabel=Sieć\r\n");
    WriteBytes(dir.File("unix.ini"), "[Main]\nLabel=a");
    ASSERT_TRUE(WriteIniString("Main", "Group", "g", dir.File("unix.ini")));
    EXPECT_EQ(ReadBytes(dir.File("unix.ini")), "[Main]\nLabel=a\nGroup=g\n");
}

TEST(IniWrite, ValueStaysOnItsLine) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    ASSERT_TRUE(WriteIniString("S", "K", "one\r\n[Evil]\nX=1", file));
    EXPECT_EQ(ReadIniString("Evil", "X", "absent", file), "absent");
}

TEST(IniWrite, FailedRewriteLeavesTheOldFile) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    const std::string before = "[S]\r\nK=old\r\n; keep me\r\n";
    WriteBytes(file, before);
    bool written = true;
    {
        const test::FileSizeLimit limit(8);
        written = WriteIniString("S", "K", std::string(100, 'n'), file);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator()), 1);
}

TEST(IniWrite, MissingFolderFails) {
    TempFolder dir;
    EXPECT_FALSE(WriteIniString("S", "K", "v", dir.File("no/a.ini")));
}

TEST(IniCache, SeesFilesReplacedBehindItsBack) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    WriteBytes(file, "[S]\nK=aaa\n");
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    EXPECT_EQ(ReadIniString("S", "K", "", file), "aaa");
    // Same size, same time stamp: only the file's identity tells them apart.
    WriteBytes(file, "[S]\nK=bbb\n");
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    EXPECT_EQ(ReadIniString("S", "K", "", file), "bbb");
    ASSERT_TRUE(WriteIniString("S", "K", "ccc", file));
    EXPECT_EQ(ReadIniString("S", "K", "", file), "ccc");
}

TEST(IniClearSection, MatchesTheHeaderExactly) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    const std::string text = "[A]\nX=1\n\n[Virtual-/d/]\nSum1=a\n\nSum2=b\n[virtual-/d/]\nSum1=c\n[B]\n\nY=2\n";
    WriteBytes(file, text);
    ASSERT_TRUE(ClearIniSection("Virtual-/d/", false, file));
    EXPECT_EQ(ReadBytes(file), "[A]\nX=1\n\n[Virtual-/d/]\n[virtual-/d/]\nSum1=c\n[B]\n\nY=2\n");
    WriteBytes(file, text);
    ASSERT_TRUE(ClearIniSection("Virtual-/d/", true, file));
    EXPECT_EQ(ReadBytes(file), "[A]\nX=1\n\n[virtual-/d/]\nSum1=c\n[B]\n\nY=2\n");
    EXPECT_FALSE(ClearIniSection("A", false, dir.File("missing.ini")));
}

TEST(IniRenumberList, DropsMatchingEntriesAndRenumbers) {
    TempFolder dir;
    const std::string file = dir.File("a.ini");
    const std::string text = "[Other]\nSet1=Taryfa;1\n\n[TARIFF]\nSet1=Taryfa;1\nSet2=Taryfa2;2\n\nset3=Inna;3\nName=x\n";
    WriteBytes(file, text);
    ASSERT_TRUE(RenumberIniList("Tariff", "Set", "Taryfa;", true, true, file));
    EXPECT_EQ(ReadBytes(file), "[Other]\nSet1=Taryfa;1\n[TARIFF]\nSet1=Taryfa2;2\nSet2=Inna;3\nName=x\n");
    WriteBytes(file, text);
    ASSERT_TRUE(RenumberIniList("Tariff", "Set", "Taryfa;", true, false, file));
    EXPECT_EQ(ReadBytes(file), "[Other]\nSet1=Taryfa;1\n[TARIFF]\nSet2=Taryfa2;2\nset3=Inna;3\nName=x\n");
    WriteBytes(file, text);
    ASSERT_TRUE(RenumberIniList("Tariff", "Set", "", false, false, file));
    EXPECT_EQ(ReadIniList("Tariff", "Set", file).size(), 3u);
    EXPECT_FALSE(RenumberIniList("Tariff", "Set", "x", true, true, dir.File("missing.ini")));
}

// A Windows-1250 file is rewritten in Windows-1250. A rewrite can take out
// the one byte that made it invalid UTF-8; what is left, "DÓŁ" (D3 A3), is
// valid UTF-8 but must stay Polish.
TEST(IniEncoding, Windows1250FileThatLosesItsLastInvalidByte) {
    TempFolder dir;
    const std::string file = dir.File("00012.INI");
    WriteBytes(file, Utf8ToCp1250("; Stacja gazowa\r\n[Main]\r\nLabel=DÓŁ\r\nNote=źródło\r\n"));
    EXPECT_EQ(ReadIniString("Main", "Label", "", file), "DÓŁ");
    ASSERT_TRUE(WriteIniString("Main", "GroupLabel", "Sieć Ż", file));
    EXPECT_EQ(ReadBytes(file),
              Utf8ToCp1250("; Stacja gazowa\r\n[Main]\r\nLabel=DÓŁ\r\nNote=źródło\r\nGroupLabel=Sieć Ż\r\n"));
    ASSERT_TRUE(WriteIniString("Main", "Note", "x", file));
    ASSERT_TRUE(WriteIniString("Main", "GroupLabel", "Z", file));
    EXPECT_EQ(ReadBytes(file), "; Stacja gazowa\r\n[Main]\r\nLabel=D\xD3\xA3\r\nNote=x\r\nGroupLabel=Z\r\n");
    EXPECT_EQ(ReadIniString("Main", "Label", "", file), "DÓŁ");
    ASSERT_TRUE(WriteIniString("Main", "GroupLabel", "Sieć", file));
    EXPECT_EQ(ReadBytes(file), Utf8ToCp1250("; Stacja gazowa\r\n[Main]\r\nLabel=DÓŁ\r\nNote=x\r\nGroupLabel=Sieć\r\n"));
}

TEST(IniEncoding, Utf8FilesStayUtf8) {
    TempFolder dir;
    const struct {
        const char* name;
        const char* key;     // written with the value "NO", then read back
        const char* value;   // of Label, written first
        std::string bytes;   // the file then
    } rows[] = {
        {"Polish text, as the program writes it", "Flag", "Łódź", "[Main]\r\nLabel=Łódź\r\nFlag=NO\r\n"},
        {"text Polish Windows-1250 could not give keeps a byte order mark", "Flag", "Жёлтая",
         "\xEF\xBB\xBF[Main]\r\nLabel=Жёлтая\r\nFlag=NO\r\n"},
        {"Windows-1250 bytes handed in go in as UTF-8", "Obj\xEAto\x9C\xE6", "Łódź",
         "[Main]\r\nLabel=Łódź\r\nObjętość=NO\r\n"},
    };
    for (const auto& r : rows) {
        const std::string file = dir.File(std::string(r.name) + ".ini");
        ASSERT_TRUE(WriteIniString("Main", "Label", r.value, file)) << r.name;
        ASSERT_TRUE(WriteIniString("Main", r.key, "NO", file)) << r.name;
        EXPECT_EQ(ReadBytes(file), r.bytes) << r.name;
        EXPECT_EQ(ReadIniString("Main", "Label", "", file), r.value) << r.name;
        EXPECT_FALSE(ReadIniBool("Main", r.key, true, file)) << r.name;
    }
}

// A data folder may hold "]" itself: every reader takes a section name to the
// last "]" of its header line, so lookups find the section and saves do not
// append a second one.
TEST(IniSectionName, RunsToTheLastBracketInEveryReader) {
    TempFolder dir;
    const std::string folder = "/data/[2024]/";
    const std::string section = VirtualSectionName(folder);
    const std::string header = "[" + section + "]\n";
    const std::string text = "[A]\nSum1=x\n" + header + "Sum1=a@+00001@0\nSum2=b@+00002@0\n[B]\nY=2\n";
    const auto headers = [](const std::string& bytes) {
        std::size_t count = 0;
        for (std::size_t at = bytes.find("[Virtual-"); at != std::string::npos; at = bytes.find("[Virtual-", at + 1))
            ++count;
        return std::to_string(count);
    };
    const struct {
        const char* reader;
        std::function<std::string(const std::string&)> run;
        std::string expected;
    } rows[] = {
        {"read string", [&](const std::string& f) { return ReadIniString(section, "Sum2", "", f); }, "b@+00002@0"},
        {"write string",
         [&](const std::string& f) {
             EXPECT_TRUE(WriteIniString(section, "Sum2", "c", f));
             EXPECT_TRUE(WriteIniString(section, "Sum3", "d", f));
             return ReadBytes(f);
         },
         "[A]\nSum1=x\n" + header + "Sum1=a@+00001@0\nSum2=c\nSum3=d\n[B]\nY=2\n"},
        {"clear section",
         [&](const std::string& f) {
             EXPECT_TRUE(ClearIniSection(section, false, f));
             return ReadBytes(f);
         },
         "[A]\nSum1=x\n" + header + "[B]\nY=2\n"},
        {"renumber list",
         [&](const std::string& f) {
             EXPECT_TRUE(RenumberIniList(section, "Sum", "a@", true, true, f));
             return ReadBytes(f);
         },
         "[A]\nSum1=x\n" + header + "Sum1=b@+00002@0\n[B]\nY=2\n"},
        {"cached reader", [&](const std::string& f) { return TIni(f).ReadString(section, "Sum1", ""); }, "a@+00001@0"},
        {"virtual stations saved twice",
         [&](const std::string& f) {
             const TProgramSettings settings(f);
             EXPECT_TRUE(settings.SetVirtualEntries(folder, {"Suma@+00003@0"}));
             EXPECT_TRUE(settings.SetVirtualEntries(folder, {"Suma@+00003@0", "Druga@+00004@0"}));
             const std::vector<std::string> entries = settings.VirtualEntries(folder);
             return (entries.size() == 2 ? entries[1] : "?") + " " + headers(ReadBytes(f));
         },
         "Druga@+00004@0 1"},
    };
    for (const auto& r : rows) {
        const std::string file = dir.File(std::string(r.reader) + ".ini");
        WriteBytes(file, text);
        EXPECT_EQ(r.run(file), r.expected) << r.reader;
    }
}

} // namespace

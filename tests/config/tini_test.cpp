#include "config/tini.h"

#include "config_test_util.h"
#include "support/text_encoding.h"

using namespace kiv;
using kiv::test::TempFolder;
using kiv::test::WriteBytes;

namespace {

TEST(TIni, MissingSectionIsScannedOnce) {
    TempFolder dir;
    WriteBytes(dir.File("a.evt"), "[Events]\r\nE1=Alarm\r\n");
    TIni ini(dir.File("a.evt"));
    EXPECT_EQ(ini.ReadString("Nothing", "E1", "d"), "d");
    EXPECT_EQ(ini.ReadString("nothing", "E2", "d"), "d");
    EXPECT_EQ(ini.SectionScans(), 1u);
    EXPECT_EQ(ini.ReadString("EVENTS", "e1", "d"), "Alarm");
    EXPECT_EQ(ini.ReadString("Events", "E1", "d"), "Alarm");
    EXPECT_EQ(ini.SectionScans(), 2u);
}

TEST(TIni, KeyLookupStopsAtTheNextSection) {
    TempFolder dir;
    WriteBytes(dir.File("a.evt"), "[A]\n\n\nX= one \n[B]\nY=two\n");
    TIni ini(dir.File("a.evt"));
    EXPECT_EQ(ini.ReadString("A", "X", "d"), " one ");
    EXPECT_EQ(ini.ReadString("A", "Y", "d"), "d");
    EXPECT_EQ(ini.ReadString("B", "Y", "d"), "two");
    EXPECT_EQ(ini.ReadInteger("B", "Y", 5), 5);
}

TEST(TIni, ListsAndWindows1250Text) {
    TempFolder dir;
    WriteBytes(dir.File("a.evt"), Utf8ToCp1250("[L]\nT1=Zawór\nT2=Ciśnienie\nT4=x\n"));
    TIni ini(dir.File("a.evt"));
    EXPECT_EQ(ini.ReadList("L", "T"), (std::vector<std::string>{"Zawór", "Ciśnienie"}));
}

TEST(TIni, MissingFileAndEmptyReaderGiveDefaults) {
    TIni missing("/nonexistent/kiv/a.evt");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.ReadString("A", "B", "d"), "d");
    TIni empty;
    EXPECT_EQ(empty.ReadInteger("A", "B", 3), 3);
}

TEST(TIni, ReadsOnlyTheFirst100001Bytes) {
    TempFolder dir;
    std::string text = "[A]\nFirst=1\n";
    text += std::string(TIni::kBufferSize - text.size() - 2, ';') + "\nź\n[B]\nLate=2\n";
    WriteBytes(dir.File("big.evt"), text);
    TIni ini(dir.File("big.evt"));
    EXPECT_TRUE(ini.Truncated());
    EXPECT_EQ(ini.ReadString("a", "first", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "Late", "d"), "d");
}

} // namespace

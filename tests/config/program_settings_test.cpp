#include "config/program_settings.h"

#include "config/ini_file.h"
#include "config_test_util.h"

using namespace kiv;
using kiv::test::TempFolder;
using kiv::test::WriteBytes;

namespace {

TEST(ProgramSettings, DefaultsOfAMissingFile) {
    TempFolder dir;
    const TProgramSettings s(KivIniPath(dir.path.string()));
    EXPECT_EQ(s.Path(), dir.Folder() + "Kiv.ini");
    EXPECT_EQ(s.DataPath(), "");
    EXPECT_TRUE(s.ModemNames().empty());
    EXPECT_EQ(s.ModemPort(1), "COM1");
    EXPECT_EQ(s.ModemSpeed(1), 9600);
    EXPECT_EQ(s.EventsMaxNumber(), 100);
    EXPECT_EQ(s.ModemConnMaxTimeForDialog(), 15);
    EXPECT_EQ(s.ModemConnMaxTimeForAutoRound(), 10);
    EXPECT_EQ(s.RepBaseHourShift(), -2);
    EXPECT_EQ(s.AutoStartTime(), "00:00:00");
    EXPECT_EQ(s.AutoMinimumAge(), 10);
    EXPECT_EQ(s.AutoRepeats(), 3);
    EXPECT_FALSE(s.DumpDP());
    EXPECT_FALSE(s.DumpTZ());
    EXPECT_EQ(s.ReportColumnsToPrint(), "0&1&2&3&4&5&6&7&8&9&10&11&12&13&14&15");
    EXPECT_EQ(s.KivGazAddress(), 65534);
    EXPECT_EQ(s.KivGazComNumber(), "");
}

TEST(ProgramSettings, RangesOfHourShiftAndTransporterAddress) {
    TempFolder dir;
    const TProgramSettings s(KivIniPath(dir.path.string()));
    const struct {
        int written;
        int shift;
        int address;
    } rows[] = {{24, -2, 24}, {-24, -2, 65534}, {23, 23, 23}, {-23, -23, 65534}, {0, 0, 65534},
                {1, 1, 1},    {65535, -2, 65535}, {65536, -2, 65534}};
    for (const auto& r : rows) {
        ASSERT_TRUE(s.SetRepBaseHourShift(r.written));
        ASSERT_TRUE(s.SetKivGazAddress(r.written));
        EXPECT_EQ(s.RepBaseHourShift(), r.shift) << r.written;
        EXPECT_EQ(s.KivGazAddress(), r.address) << r.written;
    }
}

TEST(ProgramSettings, ModemConnMaxTimeWrittenServesBoth) {
    TempFolder dir;
    const TProgramSettings s(KivIniPath(dir.path.string()));
    ASSERT_TRUE(s.SetModemConnMaxTime(7));
    EXPECT_EQ(s.ModemConnMaxTimeForDialog(), 7);
    EXPECT_EQ(s.ModemConnMaxTimeForAutoRound(), 7);
}

TEST(ProgramSettings, ShorterModemListHidesTheOldTail) {
    TempFolder dir;
    const TProgramSettings s(KivIniPath(dir.path.string()));
    ASSERT_TRUE(s.SetModemNames({"A", "B", "C"}));
    ASSERT_TRUE(s.SetModemNames({"X"}));
    EXPECT_EQ(s.ModemNames(), std::vector<std::string>{"X"});
}

TEST(ProgramSettings, DataPathHistoryStopsAtFirstEmpty) {
    TempFolder dir;
    WriteBytes(dir.File("Kiv.ini"), "[Catalogues]\nDataPath=/d/\nDataPath1=/h1/\nDataPath2=/h2/\nDataPath4=/h4/\n");
    const TProgramSettings s(dir.File("Kiv.ini"));
    EXPECT_EQ(s.DataPath(0), "/d/");
    EXPECT_EQ(s.DataPathHistory(), (std::vector<std::string>{"/h1/", "/h2/"}));
}

TEST(VirtualEntry, FieldsSplitAtAtSignAndLaterFieldsCarried) {
    const struct {
        const char* text;
        const char* label;
        const char* formula;
        const char* capacity;
        const char* tariff;
        std::size_t extra;
    } rows[] = {
        {"Suma@+00012+00013-00020@150", "Suma", "+00012+00013-00020", "150", "", 0},
        {"Suma@@0@Taryfa A", "Suma", "", "0", "Taryfa A", 0},
        {"Suma@+00001@5@T@x@y", "Suma", "+00001", "5", "T", 2},
        {"Suma@+00001@5@@x", "Suma", "+00001", "5", "", 1},
    };
    for (const auto& r : rows) {
        const TVirtualEntry e = ParseVirtualEntry(r.text);
        EXPECT_EQ(e.label, r.label);
        EXPECT_EQ(e.formula, r.formula);
        EXPECT_EQ(e.capacity, r.capacity);
        EXPECT_EQ(e.tariffSet, r.tariff);
        EXPECT_EQ(e.extra.size(), r.extra);
        EXPECT_EQ(FormatVirtualEntry(e), r.text);
    }
    TVirtualEntry changed = ParseVirtualEntry("Suma@+00001@5");
    changed.tariffSet = "Nowa";
    EXPECT_EQ(FormatVirtualEntry(changed), "Suma@+00001@5@Nowa");
}

TEST(VirtualEntry, SectionPerDataFolderAndLookupByExactLabel) {
    TempFolder dir;
    const TProgramSettings s(KivIniPath(dir.path.string()));
    EXPECT_EQ(VirtualSectionName("/dane/kiv"), "Virtual-/dane/kiv/");
    ASSERT_TRUE(s.SetVirtualEntries("/dane/", {"Suma@+00001@0", "suma@+00002@0", "Suma 2@+00003@7@T"}));
    ASSERT_TRUE(s.SetVirtualEntries("/inne/", {"Suma@+00009@0"}));
    TVirtualEntry e;
    int number = 0;
    ASSERT_TRUE(s.FindVirtualEntry("/dane/", "suma", e, number));
    EXPECT_EQ(number, 2);
    EXPECT_EQ(e.formula, "+00002");
    e.capacity = "40";
    ASSERT_TRUE(s.SetVirtualEntry("/dane/", number, e));
    EXPECT_EQ(s.VirtualEntries("/dane/")[1], "suma@+00002@40");
    ASSERT_TRUE(s.SetVirtualEntries("/dane/", {"Suma 2@+00003@7@T"}));
    EXPECT_EQ(s.VirtualEntries("/dane/"), std::vector<std::string>{"Suma 2@+00003@7@T"});
    EXPECT_EQ(s.VirtualEntries("/inne/"), std::vector<std::string>{"Suma@+00009@0"});
    EXPECT_FALSE(s.FindVirtualEntry("/dane/", "Brak", e, number));
}

TEST(Ports, MappedDeviceElseSerialPortNumberedFromZero) {
    TempFolder dir;
    const std::string ini = dir.File("Kiv.ini");
    WriteBytes(ini, "[Ports]\nCOM3=/dev/ttyUSB0\n");
    EXPECT_EQ(PortDeviceName(ini, "COM3"), "/dev/ttyUSB0");
    EXPECT_EQ(PortDeviceName(ini, "com3"), "/dev/ttyUSB0");
    EXPECT_EQ(PortDeviceName(ini, "COM1"), "/dev/ttyS0");
    EXPECT_EQ(PortDeviceName(ini, "COM12"), "/dev/ttyS11");
    EXPECT_EQ(PortDeviceName(ini, "COM0"), "COM0");
    EXPECT_EQ(PortDeviceName(ini, "/dev/ttyACM0"), "/dev/ttyACM0");
    EXPECT_EQ(PortDeviceName(ini, ""), "");
    EXPECT_EQ(TProgramSettings(ini).PortDeviceName("COM2"), "/dev/ttyS1");
}

} // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "common/param_item.h"
#include "common/temp_folder.h"
#include "data_loader.h"
#include "event_loader.h"
#include "datafiles/archive.h"
#include "request_handlers.h"

namespace kiv::devsim {
namespace {

namespace fs = std::filesystem;

void AddRecord(Bytes& records, uint32_t time, uint16_t interval, uint32_t value, uint8_t validity = 1) {
    const uint8_t record[16] = {static_cast<uint8_t>(time),       static_cast<uint8_t>(time >> 8),
                                static_cast<uint8_t>(time >> 16), static_cast<uint8_t>(time >> 24),
                                static_cast<uint8_t>(interval),   static_cast<uint8_t>(interval >> 8),
                                6,                                validity,
                                static_cast<uint8_t>(value),      static_cast<uint8_t>(value >> 8),
                                static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    records.insert(records.end(), record, record + 16);
}

class DevsimData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.empty());
        profile_.protocol = 1;
        profile_.items = {{"Vn", 0, 6, 0, 6, 3, 6}, {"p", 1, 7, 1, 7, -1, 0}};
    }

    void Store(const Bytes& records, const std::string& name = "Vn", int hourIndex = 0, int dayIndex = 3) {
        const TParamItem item = test::MakeItem(
            {.shortName = name, .param = 0, .hour = hourIndex, .hourType = 6, .day = dayIndex, .dayType = 6});
        TDevSign sign{"Plum", "0012345", "MacMAT", "FW", "", ""};
        TArchive archive;
        ASSERT_EQ(archive.StoreSamples(Folder(), 12, item, records.data(), records.size(), sign, name), 0);
    }
    std::string Folder() const { return temp_.Folder(); }

    test::TempFolder temp_{"kiv-devsim-data"};
    const fs::path folder_ = temp_.path;
    SimProfile profile_;
};

TEST_F(DevsimData, ArchivesComeFromTheMonthFiles) {
    const uint32_t t0 = EncodeTime({2026, 1, 31, 20, 0, 0}); // the hours run into February
    Bytes records;
    for (uint32_t h = 0; h < 6; ++h) AddRecord(records, t0 + h * 3600, 60, 100 + h, h == 2 ? 0 : 1);
    AddRecord(records, t0 + 8 * 3600, 60, 108);
    const uint32_t d0 = EncodeTime({2026, 1, 30, 6, 0, 0});
    AddRecord(records, d0, 1440, 5000);
    AddRecord(records, d0 + 86400, 1440, 5100);
    Store(records);

    DeviceData data;
    data.address = 12;
    std::string error;
    ASSERT_TRUE(LoadArchives(folder_.string(), profile_, data, error)) << error;

    ASSERT_EQ(data.hourly.times.size(), 7u);
    EXPECT_EQ(data.hourly.intervalMinutes, 60);
    EXPECT_EQ(data.hourly.times.front(), t0);
    const ArchiveChannel& vn = data.hourly.channels.at(0);
    EXPECT_EQ(vn.values[0], (Bytes{1, 100, 0, 0, 0}));
    EXPECT_EQ(vn.values[2][0], 0) << "the stored validity is the status byte";
    EXPECT_EQ(vn.values[6], (Bytes{1, 108, 0, 0, 0}));
    // A parameter without files has its channel, every value without status.
    const ArchiveChannel& p = data.hourly.channels.at(1);
    ASSERT_EQ(p.values.size(), 7u);
    EXPECT_EQ(p.values[0], Bytes(5, 0));

    ASSERT_EQ(data.daily.times.size(), 2u);
    EXPECT_EQ(data.daily.times[0], d0);
    EXPECT_EQ(data.daily.channels.at(3).values[1], (Bytes{1, 0xEC, 0x13, 0, 0})); // 5100

    // The gap after the sixth hour ends a block.
    SimDevice device(data, {});
    ASSERT_EQ(device.Handle({12, 0, code::kHourPosition, WireTime(t0, 5)}, t0 + 86400)->code, 0x9A);
    const auto block = device.Handle({12, 0, code::kHourBlock, {24, 0, 0}}, t0 + 86400);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->data[0], 6);
}

// What the device shows now continues its archive: a counter its newest
// reading plus the hourly increments stamped after it (the daily increment
// only repeats them), a measured value its newest sample; a parameter
// without an archive keeps the value it had.
TEST_F(DevsimData, CurrentValuesContinueTheArchive) {
    profile_.items = {{"Vn", 0, 6, -1, 0, 0, 6, "V", "dVn"},
                      {"dVn", -1, 0, 1, 6, 1, 6, "dV", "Vn"},
                      {"p", 1, 7, 2, 6, -1, 0, "m"},
                      {"T", 2, 6}};
    const uint32_t reading = EncodeTime({2026, 1, 31, 22, 0, 0}); // the hours run into February
    Bytes vn;
    AddRecord(vn, reading - 86400, 1440, 4900);
    AddRecord(vn, reading, 1440, 5000);
    Store(vn, "Vn", -1, 0);
    Bytes dvn;
    for (uint32_t h = 0; h < 5; ++h) AddRecord(dvn, reading - 3600 + h * 3600, 60, 10 + h, h == 2 ? 0 : 1);
    AddRecord(dvn, reading + 86400, 1440, 900);
    Store(dvn, "dVn", 1, 1);
    Bytes p;
    AddRecord(p, reading, 60, 41);
    AddRecord(p, reading + 3600, 60, 42);
    Store(p, "p", 2, -1);

    DeviceData data;
    data.address = 12;
    data.current[2] = MakeValue(6, 7);
    std::string error;
    ASSERT_TRUE(LoadArchives(folder_.string(), profile_, data, error)) << error;
    EXPECT_EQ(data.current.at(0), MakeValue(6, 5000 + 12 + 13 + 14)) << "an increment flagged invalid still counts";
    EXPECT_EQ(data.current.at(1), MakeValue(7, 42));
    EXPECT_EQ(data.current.at(2), MakeValue(6, 7));
}

TEST_F(DevsimData, EmptyFolderGivesEmptyArchives) {
    DeviceData data;
    data.address = 12;
    std::string error;
    ASSERT_TRUE(LoadArchives(folder_.string(), profile_, data, error)) << error;
    EXPECT_TRUE(data.hourly.times.empty());
    SimDevice device(data, {});
    EXPECT_EQ(device.Handle({12, 0, code::kHourPosition, {0, 0, 1, 1, 26}}, 0)->code, code::kNoMore);
}

TEST_F(DevsimData, DamagedMonthFileIsReported) {
    const fs::path station = folder_ / "FC_00012";
    fs::create_directories(station);
    std::FILE* f = std::fopen((station / "00012_2026_01_Vn.FCD").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("ZQFCD not really an archive file", f);
    std::fclose(f);
    DeviceData data;
    data.address = 12;
    std::string error;
    EXPECT_FALSE(LoadArchives(folder_.string(), profile_, data, error));
    EXPECT_NE(error.find("Vn"), std::string::npos);
}

TEST_F(DevsimData, EventsFollowTheDefinitionFile) {
    std::FILE* f = std::fopen((folder_ / "PLUM.EVT").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Identity]\nBrand=Plum\nType=Mac MAT\n\n[3]\nEventDescription=Bateria\n"
               "ParamDescription0=Stan\nParamTypeCode0=4\nParamDescription1=Napięcie\nParamTypeCode1=7\n\n"
               "[200]\nEventDescription=Kasowanie\n",
               f);
    std::fclose(f);
    const auto kinds = LoadEventKinds(folder_.string(), "PLUM", "macmat");
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0].code, 3);
    EXPECT_EQ(kinds[0].paramTypes, (std::vector<uint8_t>{4, 7}));
    EXPECT_EQ(kinds[1].code, 200);
    EXPECT_TRUE(LoadEventKinds(folder_.string(), "Other", "Device").empty());

    GenerateOptions g;
    g.now = EncodeTime({2026, 5, 1, 12, 0, 0});
    g.eventCount = 20;
    g.eventKinds = kinds;
    for (const Bytes& event : GenerateData(profile_, 12, g).events) {
        // Length as the definition expects: 13 bytes of code and times (the
        // stored record adds its own length field), 2 + 5 for the parameters.
        if (event[0] == 3) EXPECT_EQ(event.size(), 13u + 2 + 5);
        else EXPECT_EQ(event.size(), 13u) << "code " << int(event[0]);
        EXPECT_TRUE(event[0] == 3 || event[0] == 200);
    }
}

} // namespace
} // namespace kiv::devsim

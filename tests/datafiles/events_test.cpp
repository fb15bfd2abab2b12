#include "datafiles/events.h"

#include "config/tini.h"
#include "datafiles/plik.h"

#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kiv {
namespace {

namespace fs = std::filesystem;

const TIdentLines kBrandA = {"GazTech", "KX 200", "SN 0042", "line four", "v1.07", ""};
const TIdentLines kBrandB = {"Other", "KX 200", "SN 0042", "line four", "v1.07", "line six"};
constexpr int kAddress = 12;

// A record with the given code, first stamp second, extra parameter bytes and
// an open (zero) or closed second stamp.
Bytes Record(uint8_t code, uint8_t second, bool open = false, Bytes params = {}) {
    Bytes r = {0, 0, code, second, 30, 10, 8, 12, 26};
    const Bytes closed = {5, 31, 10, 8, 12, 26};
    for (int i = 0; i < 6; ++i) r.push_back(open ? 0 : closed[static_cast<std::size_t>(i)]);
    r.insert(r.end(), params.begin(), params.end());
    PutU16(r, 0, static_cast<uint16_t>(r.size()));
    return r;
}

Bytes Join(std::initializer_list<Bytes> records) {
    Bytes all;
    for (const auto& r : records) all.insert(all.end(), r.begin(), r.end());
    return all;
}

Bytes ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteRaw(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root_.empty());
        ASSERT_TRUE(fs::create_directories(root_ / "FC_00012"));
    }

    std::string Name(int generation = 0) const { return EventsFileName(folder_, kAddress, generation); }
    void Store(const Bytes& records, const TIdentLines& lines = kBrandA) {
        ASSERT_EQ(StoreEvents(folder_, kAddress, records.data(), records.size(), lines), 0);
    }
    // The event area of the current file, unscrambled.
    Bytes Area(int generation = 0, const TIdentLines& lines = {}) const {
        TEventsFile file;
        if (ReadEventsFile(folder_, kAddress, generation, lines, file) < 0) return {};
        return Bytes(file.image.begin() + static_cast<long>(file.areaStart), file.image.end());
    }
    // Rewrites the current file's event area (given unscrambled) with a valid checksum.
    void RewriteArea(const Bytes& area) {
        Bytes image = ReadRaw(Name());
        const std::size_t start = GetU16(image, 7);
        const long key = FindSection(image, 0, kEventsKey2Id);
        image.resize(start);
        Bytes scrambled = area;
        Scramble(scrambled.data(), scrambled.size(), image.data() + key + kSectionHeadSize);
        image.insert(image.end(), scrambled.begin(), scrambled.end());
        PutU32(image, 11, static_cast<uint32_t>(image.size()));
        PutU32(image, 15, Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize));
        WriteRaw(Name(), image);
    }

    test::TempFolder temp_{"kiv-events"};
    const fs::path root_ = temp_.path;
    const std::string folder_ = temp_.Folder();
};

TEST_F(EventsTest, FirstStoreWritesCheckedFileWithKeysAndIdentification) {
    const Bytes records = Join({Record(1, 0), Record(2, 1, false, {1, 0x10, 0x20}), Record(3, 2, true)});
    Store(records);
    EXPECT_EQ(Name(), folder_ + "FC_00012/00012.FCE");
    const Bytes image = ReadRaw(Name());
    ASSERT_GT(image.size(), kHeaderSize);
    EXPECT_EQ(std::memcmp(image.data(), "ZQFCE", 5), 0);
    EXPECT_EQ(GetU16(image, 5), 1);
    EXPECT_EQ(GetU16(image, 9), 0);
    EXPECT_EQ(GetU32(image, 11), image.size());
    EXPECT_EQ(GetU32(image, 15), Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize));
    for (int id = 1001; id <= 1007; ++id) EXPECT_GE(FindSection(image, 0, id), 0) << id;
    EXPECT_LT(FindSection(image, 0, 1008), 0) << "empty line 6 gets no section";
    for (int id : {kEventsKey1Id, kEventsKey2Id}) {
        const long at = FindSection(image, 0, id);
        EXPECT_EQ(GetU16(image, static_cast<std::size_t>(at)), 16);
        for (std::size_t i = 0; i < kKeySize; ++i) EXPECT_LT(image[static_cast<std::size_t>(at) + 6 + i], 255);
    }
    EXPECT_EQ(GetU16(image, 7) + records.size(), image.size());

    TEventsFile file;
    ASSERT_EQ(ReadEventsFile(folder_, kAddress, 0, kBrandA, file), 3);
    EXPECT_EQ(Bytes(file.image.begin() + static_cast<long>(file.areaStart), file.image.end()), records);
    EXPECT_EQ(file.identLines, (TIdentLines{"GazTech", "KX 200", "SN 0042", "", "v1.07", ""}));
    EXPECT_EQ(file.records[1].length, 18u);
}

TEST_F(EventsTest, StoringTheSameReadOutTwiceChangesNothing) {
    const Bytes records = Join({Record(1, 0), Record(2, 1, false, {1, 7}), Record(3, 2, true)});
    Store(records);
    const Bytes first = ReadRaw(Name());
    Store(records);
    EXPECT_EQ(ReadRaw(Name()), first);
}

TEST_F(EventsTest, MergeOverwritesMatchesInOrderAndAppendsTheRest) {
    Store(Join({Record(1, 0), Record(2, 1), Record(3, 2, true, {1, 5}), Record(4, 3, true)}));
    const Bytes closed3 = Record(3, 2, false, {1, 6});
    Store(Join({closed3, Record(4, 3), Record(5, 4), Record(6, 5)}));
    EXPECT_EQ(Area(), Join({Record(1, 0), Record(2, 1), closed3, Record(4, 3), Record(5, 4), Record(6, 5)}));
}

TEST_F(EventsTest, SameKeyWithAnotherLengthKeepsTheStoredRecord) {
    Store(Join({Record(1, 0), Record(2, 1, false, {1, 9})}));
    Store(Join({Record(2, 1, false, {1, 9, 9, 9}), Record(3, 2)}));
    EXPECT_EQ(Area(), Join({Record(1, 0), Record(2, 1, false, {1, 9}), Record(3, 2)}));
}

TEST_F(EventsTest, FileOverTwoMillionBytesIsRotatedAndGenerationNineDropped) {
    WriteRaw(Name(), Bytes(2000001, 0xAB));
    WriteRaw(Name(1), Bytes{1, 1});
    WriteRaw(Name(9), Bytes{9, 9});
    Store(Record(7, 0));
    EXPECT_EQ(fs::file_size(Name(1)), 2000001u);
    EXPECT_EQ(ReadRaw(Name(2)), (Bytes{1, 1}));
    EXPECT_FALSE(fs::exists(Name(9)));
    EXPECT_EQ(Area(), Record(7, 0));
}

TEST_F(EventsTest, FileOfExactlyTwoMillionBytesIsStillMerged) {
    Store(Record(1, 0));
    const std::size_t header = fs::file_size(Name()) - kEventHeadSize;
    Bytes big;
    for (uint8_t i = 0; big.size() + 60000 + header < 2000000; ++i) big = Join({big, Record(10, i, false, Bytes(60000 - 15, 1))});
    const std::size_t last = 2000000 - header - big.size();
    big = Join({Record(1, 0), big, Record(11, 0, false, Bytes(last - 30, 2))});
    Store(big);
    ASSERT_EQ(fs::file_size(Name()), 2000000u);
    Store(Record(12, 0));
    EXPECT_FALSE(fs::exists(Name(1)));
    ASSERT_EQ(fs::file_size(Name()), 2000000u + kEventHeadSize);
    Store(Record(13, 0));
    EXPECT_EQ(fs::file_size(Name(1)), 2000000u + kEventHeadSize);
    EXPECT_EQ(Area(), Record(13, 0));
}

TEST_F(EventsTest, IdentificationDecidesBetweenMergeAndRotation) {
    struct Case {
        const char* what;
        TIdentLines lines;
        bool rotated;
    };
    const Case cases[] = {
        {"same device", kBrandA, false},
        {"empty lines match anything", {"", "", "", "", "", ""}, false},
        {"short list", {"GazTech"}, false},
        {"lines 4 and 6 are not compared", {"GazTech", "KX 200", "SN 0042", "x", "v1.07", "y"}, false},
        {"another brand", kBrandB, true},
        {"another type", {"GazTech", "KX 300"}, true},
        {"another line 3", {"", "", "SN 0043"}, true},
        {"another line 5", {"", "", "", "", "v1.08"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root_ / "FC_00012");
        Store(Record(1, 0));
        const Bytes before = ReadRaw(Name());
        Store(Record(2, 0), c.lines);
        EXPECT_EQ(fs::exists(Name(1)), c.rotated);
        if (c.rotated) {
            EXPECT_EQ(ReadRaw(Name(1)), before);
            EXPECT_EQ(Area(), Record(2, 0));
        } else {
            EXPECT_EQ(Area(), Join({Record(1, 0), Record(2, 0)}));
        }
    }
}

TEST_F(EventsTest, DamagedFileIsRotatedAwayNotOverwritten) {
    Store(Record(1, 0));
    Bytes image = ReadRaw(Name());
    image.back() ^= 0xFF; // checksum no longer matches
    WriteRaw(Name(), image);
    Store(Record(2, 0));
    EXPECT_EQ(ReadRaw(Name(1)), image);
    EXPECT_EQ(Area(), Record(2, 0));
}

TEST_F(EventsTest, FailedRotationKeepsTheCurrentFile) {
    Store(Record(1, 0));
    const Bytes before = ReadRaw(Name());
    WriteRaw(Name(8), Bytes{8});
    fs::create_directories(Name(9) + "/blocker"); // cannot be deleted nor renamed over
    EXPECT_EQ(StoreEvents(folder_, kAddress, Record(2, 0).data(), kEventHeadSize, kBrandB), 17);
    EXPECT_EQ(ReadRaw(Name()), before);
}

TEST_F(EventsTest, ReadingMissingOrForeignGenerationsGivesMinusOne) {
    TEventsFile file;
    EXPECT_EQ(ReadEventsFile(folder_, kAddress, 0, {}, file), -1);
    Store(Record(1, 0));
    EXPECT_EQ(ReadEventsFile(folder_, kAddress, 0, kBrandB, file), -1);
    EXPECT_TRUE(file.records.empty());
    EXPECT_EQ(ReadEventsFile(folder_, kAddress, 10, {}, file), -1);
    Store(Record(1, 0), kBrandB);
    EXPECT_EQ(ReadEventsFile(folder_, kAddress, 1, kBrandA, file), 1);
    EXPECT_EQ(EventsFileName(folder_, kAddress, 1), folder_ + "FC_00012/00012.FCE1");
}

TEST_F(EventsTest, FindOpenEventPicksFirstOpenElseLastRecord) {
    const TOpenEvent none{};
    auto open = [&] { return FindOpenEvent(folder_, kAddress, kBrandA); };
    EXPECT_EQ(std::memcmp(open().bytes, none.bytes, kOpenEventSize), 0) << "missing file";
    WriteRaw(Name(), Bytes(19, 0));
    EXPECT_EQ(std::memcmp(open().bytes, none.bytes, kOpenEventSize), 0) << "short file";

    const Bytes withOpen = Join({Record(1, 0), Record(2, 1, true), Record(3, 2, true), Record(4, 3)});
    fs::remove(Name());
    Store(withOpen);
    EXPECT_EQ(std::memcmp(open().bytes, Record(2, 1, true).data() + 2, kOpenEventSize), 0);

    fs::remove(Name());
    Store(Join({Record(1, 0), Record(4, 3, false, {1, 2})}));
    EXPECT_EQ(std::memcmp(open().bytes, Record(4, 3).data() + 2, kOpenEventSize), 0);

    EXPECT_EQ(std::memcmp(FindOpenEvent(folder_, kAddress, kBrandB).bytes, none.bytes, kOpenEventSize), 0)
        << "another device";
}

TEST_F(EventsTest, EventAreaIsScrambledWithTheSecondKeyFromItsStart) {
    const Bytes record = Record(9, 0, false, Bytes(10, 0x5A));
    ASSERT_EQ(record.size(), 25u);
    Store(record);
    const Bytes image = ReadRaw(Name());
    const std::size_t key = static_cast<std::size_t>(FindSection(image, 0, kEventsKey2Id)) + kSectionHeadSize;
    const std::size_t start = GetU16(image, 7);
    ASSERT_EQ(image.size() - start, 25u);
    for (std::size_t j = 0; j < 25; ++j) EXPECT_EQ(image[start + j] ^ record[j], image[key + j % 10]) << j;
}

TEST(EventRecordsWalk, EndsAtRecordsTooShortOrRunningPastTheEnd) {
    const Bytes good = Record(1, 0);
    for (uint16_t bad : {0, 3, 14, 65535}) {
        SCOPED_TRACE(bad);
        Bytes area = Join({good, good, Record(2, 0)});
        PutU16(area, 2 * good.size(), bad);
        const auto records = EventRecords(area.data(), area.size());
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1].offset, good.size());
    }
    const Bytes oneByte = {15};
    EXPECT_TRUE(EventRecords(oneByte.data(), oneByte.size()).empty());
}

TEST_F(EventsTest, CorruptRecordLengthEndsEveryWalkAndKeepsEarlierRecords) {
    for (uint16_t bad : {0, 3, 65535}) {
        SCOPED_TRACE(bad);
        fs::remove_all(root_ / "FC_00012");
        Store(Join({Record(1, 0), Record(2, 1), Record(3, 2, true)}));
        Bytes area = Area();
        PutU16(area, 2 * kEventHeadSize, bad);
        RewriteArea(area);
        const Bytes damaged = ReadRaw(Name());

        TEventsFile file;
        EXPECT_EQ(ReadEventsFile(folder_, kAddress, 0, kBrandA, file), 2);
        EXPECT_EQ(std::memcmp(FindOpenEvent(folder_, kAddress, kBrandA).bytes, Record(2, 1).data() + 2,
                              kOpenEventSize), 0);

        Store(Join({Record(2, 1), Record(4, 3)}));
        EXPECT_EQ(ReadRaw(Name(1)), damaged) << "the damaged file is kept whole";
        EXPECT_EQ(Area(), Join({Record(1, 0), Record(2, 1), Record(4, 3)}));

        Bytes incoming = Join({Record(5, 0), Record(6, 0)});
        PutU16(incoming, kEventHeadSize, bad);
        Store(incoming);
        EXPECT_EQ(Area(), Join({Record(1, 0), Record(2, 1), Record(4, 3), Record(5, 0)}));
        const Bytes stored = ReadRaw(Name());
        Store(Bytes(incoming.begin() + kEventHeadSize, incoming.end()));
        EXPECT_EQ(ReadRaw(Name()), stored) << "no usable record, no rewrite";
    }
}

class EventDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) /
                  ("kiv_evt_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path) << text;
        return path;
    }
    fs::path folder_;
};

TEST_F(EventDefinitionTest, FindsFileByBrandAndTypeWithoutBlanksAndCase) {
    Write("a_decoy.txt", "[Identity]\nBrand=Gaz Tech\nType=KX 200\n");
    Write("a_other.EVT", "[Identity]\nBrand=Other\nType=KX 200\n");
    const std::string match = Write("b_gaz.evt", "[Identity]\r\nBrand = Gaz Tech \r\nType=kx200\r\n");
    Write("c_gaz.EVT", "[Identity]\nBrand=GazTech\nType=KX 200\n");
    EXPECT_EQ(FindEventDefinition(folder_.string(), std::string("GAZTECH") + "KX 200"), match);
    EXPECT_EQ(FindEventDefinition(folder_.string(), "gaz techKx 2 0 0"), match);
    EXPECT_EQ(FindEventDefinition(folder_.string(), "OtherKX 200"), (folder_ / "a_other.EVT").string());
    EXPECT_EQ(FindEventDefinition(folder_.string(), "GazTechKX 300"), "");
    EXPECT_EQ(FindEventDefinition((folder_ / "missing").string(), "GazTechKX 200"), "");
}

TEST_F(EventDefinitionTest, ExpectedLengthFallbackAndDefinitionErrors) {
    TIni ini(Write("d.EVT", "[Identity]\nBrand=B\nType=T\n"
                            "[12]\nEventDescription=Zmiana ciśnienia\n"
                            "ParamDescription0=P\nParamUnit0=bar\nParamTypeCode0=5\n"
                            "ParamDescription1=T\nParamUnit1=C\nParamTypeCode1=7\n"
                            "ParamUnit2=x\nParamTypeCode2=3\n"
                            "[13]\nParamDescription0=a\nParamTypeCode0=abc\n"
                            "ParamDescription1=b\nParamTypeCode1=10\n"
                            "ParamDescription2=c\nParamTypeCode2= 8 \n"));
    const TEventDefinition twelve = ReadEventDefinition(ini, 12);
    EXPECT_EQ(twelve.description, "Zmiana ciśnienia");
    ASSERT_EQ(twelve.params.size(), 2u);
    EXPECT_EQ(twelve.params[1].unit, "C");
    EXPECT_EQ(ExpectedEventLength(twelve), 23u);

    const TEventDefinition thirteen = ReadEventDefinition(ini, 13);
    ASSERT_EQ(thirteen.params.size(), 3u);
    EXPECT_EQ(thirteen.params[0].typeCode, 0);
    EXPECT_EQ(thirteen.params[1].typeCode, 0);
    EXPECT_EQ(thirteen.params[2].typeCode, 8);
    EXPECT_EQ(ExpectedEventLength(thirteen), 15u + 1 + 1 + 7);

    std::vector<TEventParamDef> params;
    EXPECT_TRUE(ParamsForRecord(twelve, 23, params));
    EXPECT_EQ(params.size(), 2u);
    EXPECT_TRUE(ParamsForRecord(twelve, 20, params));
    ASSERT_EQ(params.size(), 1u);
    EXPECT_EQ(params[0].description, "Liczba m3 w warunkach normalnych");
    EXPECT_EQ(params[0].unit, "m3");
    EXPECT_EQ(params[0].typeCode, 7);
    EXPECT_FALSE(ParamsForRecord(twelve, 22, params));
    EXPECT_TRUE(params.empty());
    EXPECT_TRUE(ParamsForRecord(ReadEventDefinition(ini, 99), 15, params));
}

TEST(EventParamValues, DecodingAndTexts) {
    float value = 1234.7f;
    uint8_t fbytes[4];
    std::memcpy(fbytes, &value, 4);
    const uint8_t nan[4] = {0, 0, 0xC0, 0x7F};
    Bytes record = Record(12, 0, false, {0, 0x34, 0x12, 1, fbytes[0], fbytes[1], fbytes[2], fbytes[3],
                                        1, nan[0], nan[1], nan[2], nan[3], 1, 0x87, 0, 0, 0, 0, 0xC8});
    const std::vector<TEventParamDef> params = {{"a", "", 5}, {"b", "", 7}, {"c", "", 0}, {"d", "", 7}, {"e", "", 8}};
    const auto values = DecodeEventParams(record.data(), record.size(), params);
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(ParamValueText(values[0]), "! 4660");
    EXPECT_EQ(ParamValueText(values[1]), "1235");
    EXPECT_EQ(ParamValueText(values[2]), "");
    EXPECT_EQ(ParamValueText(values[3]), "? 0.00000");
    EXPECT_EQ(ParamValueText(values[4]), "-100.00");

    const std::vector<TEventParamDef> tooMany = {{"a", "", 9}};
    EXPECT_FALSE(DecodeEventParams(record.data(), 20, tooMany)[0].hasValue);

    for (const auto& [number, text] : std::vector<std::pair<double, std::string>>{
             {0.05, "0.05000"}, {0.5, "0.5000"}, {5, "5.000"}, {50, "50.00"}, {500, "500.0"}, {-5000, "-5000"},
             {1234.5, "1235"}, {-1234.5, "-1235"}, {100.25, "100.3"}, {-0.000001, "0.00000"}})
        EXPECT_EQ(ParamValueText({true, true, true, number}), text);
    const uint8_t stamp[6] = {5, 4, 3, 2, 1, 26};
    EXPECT_EQ(EventStampText(stamp), "26-01-02   03:04:05");
}

} // namespace
} // namespace kiv

#include "datafiles/archive.h"
#include "datafiles/real48.h"
#include "datafiles/sample_value.h"
#include "support/message_recorder.h"

#include "common/param_item.h"
#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace kiv {
namespace {

namespace fs = std::filesystem;
using Sample = std::array<uint8_t, kSampleSize>;

Sample MakeSample(TimeStamp time, uint32_t value, uint8_t type = VtUInt32, uint8_t flag = 1,
                  uint16_t interval = 60) {
    Sample s{};
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<uint8_t>(time >> (8 * i));
    s[4] = static_cast<uint8_t>(interval);
    s[5] = static_cast<uint8_t>(interval >> 8);
    s[6] = type;
    s[7] = flag;
    for (int i = 0; i < 4; ++i)
        s[8 + i] = static_cast<uint8_t>(value >> (8 * i));
    return s;
}

TimeStamp At(int year, int month, int day, int hour = 0, int minute = 0) {
    return EncodeTime({static_cast<uint16_t>(year), static_cast<uint16_t>(month), static_cast<uint16_t>(day),
                       static_cast<uint16_t>(hour), static_cast<uint16_t>(minute), 0});
}

std::vector<Sample> Hourly(TimeStamp from, int count, uint32_t firstValue = 100) {
    std::vector<Sample> out;
    for (int i = 0; i < count; ++i)
        out.push_back(MakeSample(from + 3600u * i, firstValue + i));
    return out;
}

TDevSign Device(const std::string &serial) {
    return {"Plum", serial, "MacMat", "GM-2", "", ""};
}

TParamItem Channel(const std::string &unit = "m3") {
    return test::MakeItem({.shortName = "dVn", .unit = unit, .kind = "dV", .column = 1});
}

Bytes ReadRaw(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t ValueOf(const uint8_t *sample) {
    return GetU32(Bytes(sample, sample + kSampleSize), 8);
}
TimeStamp TimeOf(const Sample &s) {
    return GetU32(Bytes(s.begin(), s.end()), 0);
}

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(temp_.path.empty()); }

    int Store(const std::vector<Sample> &samples, const TDevSign &sign = Device("100"), int address = 12,
              const TParamItem &item = Channel(), std::vector<TMonthStoreFailure> *failures = nullptr) {
        TArchive archive;
        return archive.StoreSamples(folder_, address, item, samples.empty() ? nullptr : samples[0].data(),
                                    samples.size() * kSampleSize, sign, "dVn", failures);
    }
    std::string Path(int year, int month, int address = 12) {
        return ArchiveFilePath(folder_, address, year, month, "dVn");
    }
    // Every sample of one month file, as stored.
    std::vector<Sample> MonthSamples(int year, int month) {
        TFcdContent content;
        EXPECT_EQ(ReadFcdContent(Path(year, month), content), 0);
        std::vector<Sample> out(content.samples.size() / kSampleSize);
        for (std::size_t i = 0; i < out.size(); ++i)
            std::copy_n(content.samples.begin() + static_cast<long>(i * kSampleSize), kSampleSize,
                        out[i].begin());
        return out;
    }

    test::TempFolder temp_{"kiv-archive"};
    const std::string folder_ = temp_.Folder();
    MessageRecorder messages_;
};

TEST(ArchiveNames, YearFromLastTwoDigits) {
    EXPECT_EQ(ArchiveFileName(12, 2005, 3, "Vn"), "00012_2005_03_Vn.FCD");
    EXPECT_EQ(ArchiveFileName(65535, 1985, 12, "dVn"), "65535_1985_12_dVn.FCD");
    EXPECT_EQ(ArchiveFileName(1, 2069, 1, "P"), "00001_2069_01_P.FCD");
    EXPECT_EQ(ArchiveFileName(1, 2079, 1, "P"), "00001_2079_01_P.FCD");
    EXPECT_EQ(ArchiveFileName(1, 1975, 1, "P"), "00001_2075_01_P.FCD");
    EXPECT_EQ(StationFolder("/data/", 12), "/data/FC_00012/");
    EXPECT_EQ(StationFolder("/data", 12), "/data/FC_00012/");
}

TEST_F(ArchiveTest, MonthBoundarySplitsIntoTwoFiles) {
    ASSERT_EQ(Store({MakeSample(At(2005, 4, 1), 2), MakeSample(At(2005, 3, 31, 23), 1)}), 0);
    ASSERT_EQ(MonthSamples(2005, 3).size(), 1u);
    ASSERT_EQ(MonthSamples(2005, 4).size(), 1u);
    EXPECT_EQ(ValueOf(MonthSamples(2005, 3)[0].data()), 1u);
    EXPECT_EQ(ValueOf(MonthSamples(2005, 4)[0].data()), 2u);
    TArchive archive;
    TimeStamp start = At(2005, 3, 1), end = At(2005, 4, 30);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.SampleCount(), 2u);
    EXPECT_EQ(start, At(2005, 3, 31, 23));
    EXPECT_EQ(end, At(2005, 4, 1));
    EXPECT_EQ(messages_.Count(), 0u);
}

TEST_F(ArchiveTest, StoringTwiceKeepsTheSamples) {
    const auto samples = Hourly(At(2005, 3, 30), 72);
    ASSERT_EQ(Store(samples), 0);
    TFcdContent before, after;
    ASSERT_EQ(ReadFcdContent(Path(2005, 3), before), 0);
    ASSERT_EQ(Store(samples), 0);
    ASSERT_EQ(ReadFcdContent(Path(2005, 3), after), 0);
    EXPECT_EQ(after.samples, before.samples);
    EXPECT_EQ(after.identities, before.identities);
    EXPECT_EQ(after.descriptors, before.descriptors);
    EXPECT_EQ(MonthSamples(2005, 4).size(), 24u);

    // A later read-out overlapping the stored hours adds only the new ones.
    ASSERT_EQ(Store(Hourly(At(2005, 4, 1), 48, 148)), 0);
    const auto april = MonthSamples(2005, 4);
    ASSERT_EQ(april.size(), 48u);
    for (std::size_t i = 0; i < april.size(); ++i)
        EXPECT_EQ(ValueOf(april[i].data()), 148 + i) << i;
}

TEST_F(ArchiveTest, SameTimeDifferentValueIsKeptBesideStored) {
    ASSERT_EQ(Store({MakeSample(At(2005, 3, 2), 5), MakeSample(At(2005, 3, 3), 6)}), 0);
    ASSERT_EQ(Store({MakeSample(At(2005, 3, 2), 9)}), 0);
    const auto stored = MonthSamples(2005, 3);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(ValueOf(stored[0].data()), 5u);
    EXPECT_EQ(ValueOf(stored[1].data()), 9u);
    EXPECT_EQ(ValueOf(stored[2].data()), 6u);
}

TEST_F(ArchiveTest, EqualTimesKeepArrivalOrderAndUnusedBytesAreIgnored) {
    Sample a = MakeSample(At(2005, 3, 2), 1, VtUInt8);
    Sample b = MakeSample(At(2005, 3, 2), 2, VtUInt8);
    ASSERT_EQ(Store({MakeSample(At(2005, 3, 9), 3), a, a, b}), 0); // a delivered twice is stored once
    ASSERT_EQ(MonthSamples(2005, 3).size(), 3u);
    Sample aNoise = a;
    aNoise[12] = 0x77; // beyond the one byte a type-4 value uses
    Sample bNoise = b;
    bNoise[15] = 0x55;
    ASSERT_EQ(Store({bNoise, aNoise}), 0);
    const auto stored = MonthSamples(2005, 3);
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0][8], 1);
    EXPECT_EQ(stored[1][8], 2);
    // a's time matches the last stored sample b, which differs: a goes after it.
    EXPECT_EQ(stored[2][8], 1);
    EXPECT_EQ(stored[3][8], 3);
}

// The merge must give what inserting the new samples one by one gives.
TEST_F(ArchiveTest, MergeMatchesOneByOneInsertion) {
    std::mt19937 random(7);
    auto randomSamples = [&](int count) {
        std::vector<Sample> out;
        for (int i = 0; i < count; ++i)
            out.push_back(MakeSample(At(2005, 6, 1) + 3600u * (random() % 40), random() % 3));
        return out;
    };
    const auto first = randomSamples(60);
    const auto second = randomSamples(60);
    ASSERT_EQ(Store(first), 0);
    ASSERT_EQ(Store(second), 0);

    std::vector<Sample> expected;
    for (const auto *batch : {&first, &second}) {
        auto ordered = *batch;
        std::stable_sort(ordered.begin(), ordered.end(),
                         [](const Sample &x, const Sample &y) { return TimeOf(x) < TimeOf(y); });
        for (const auto &s : ordered) {
            std::size_t pos = expected.size();
            while (pos > 0 && TimeOf(expected[pos - 1]) > TimeOf(s))
                --pos;
            if (pos > 0 && std::equal(s.begin(), s.begin() + 12, expected[pos - 1].begin()))
                continue;
            expected.insert(expected.begin() + static_cast<long>(pos), s);
        }
    }
    EXPECT_EQ(MonthSamples(2005, 6), expected);
}

TEST_F(ArchiveTest, PeriodStartingInMissingMonthLoadsLaterMonths) {
    ASSERT_EQ(Store(Hourly(At(2005, 5, 10), 24)), 0);
    ASSERT_EQ(Store(Hourly(At(2005, 7, 10), 24)), 0);
    TArchive archive;
    TimeStamp start = At(2005, 4, 1), end = At(2005, 8, 1);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.SampleCount(), 48u);
    EXPECT_EQ(start, At(2005, 5, 10));
    EXPECT_EQ(end, At(2005, 7, 10, 23));

    start = At(2005, 5, 10, 5);
    end = At(2005, 5, 10, 7);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.SampleCount(), 3u);
}

TEST_F(ArchiveTest, EmptyResultsEndBeforeStart) {
    ASSERT_EQ(Store(Hourly(At(2005, 5, 10), 24)), 0);
    TArchive archive;
    TimeStamp start = At(2005, 5, 20), end = At(2005, 5, 21);
    EXPECT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(end, start - 1);
    start = At(2006, 5, 20);
    end = At(2006, 6, 21);
    EXPECT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), ArcNoFile);
    EXPECT_EQ(end, start - 1);
    EXPECT_EQ(archive.SampleCount(), 0u);
    // An end far beyond the encodable years still ends the month walk.
    start = At(2069, 11, 1);
    end = 0xFFFFFFFFu;
    EXPECT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), ArcNoFile);
}

TEST_F(ArchiveTest, FileMovedToAnotherStationOpens) {
    ASSERT_EQ(Store(Hourly(At(2005, 3, 10), 5)), 0);
    fs::create_directories(StationFolder(folder_, 44));
    fs::rename(Path(2005, 3), Path(2005, 3, 44));
    TArchive archive;
    TimeStamp start = At(2005, 3, 1), end = At(2005, 3, 31);
    EXPECT_EQ(archive.OpenPeriod(folder_, 44, start, end, "dVn"), 0);
    EXPECT_EQ(archive.SampleCount(), 5u);
    EXPECT_EQ(messages_.Count(), 0u);
}

struct Damage {
    const char *what;
    void (*apply)(Bytes &file);
    int code;
    const char *text;
};

TEST_F(ArchiveTest, ValidationFailuresInOrderWithTheirMessages) {
    const Damage cases[] = {
        {"crc xor ffff",
         [](Bytes &f) {
             f[15] ^= 0xFF;
             f[16] ^= 0xFF;
         },
         0, nullptr},
        {"size and crc", [](Bytes &f) { f.push_back(0); }, ArcBadSize, "Niewłaściwy rozmiar pliku"},
        {"crc", [](Bytes &f) { f.back() ^= 1; }, ArcBadCrc, "Błąd CRC pliku"},
        {"crc high half",
         [](Bytes &f) {
             f[17] ^= 0xFF;
             f[18] ^= 0xFF;
         },
         ArcBadCrc, "Błąd CRC pliku"},
        {"version and crc",
         [](Bytes &f) {
             f[5] = 2;
             f.back() ^= 1;
         },
         ArcBadCrc, "Błąd CRC pliku"},
        {"version", [](Bytes &f) { f[5] = 2; }, ArcBadVersion, "Wersja programu niezgodna z wersją pliku"},
        {"name and size",
         [](Bytes &f) {
             f[19 + 6 + 10] ^= 1;
             f.push_back(0);
         },
         ArcBadName, "Nieprawidłowa nazwa pliku"},
    };
    ASSERT_EQ(Store(Hourly(At(2005, 3, 10), 5)), 0);
    const Bytes good = ReadRaw(Path(2005, 3));
    for (const auto &c : cases) {
        Bytes damaged = good;
        c.apply(damaged);
        WriteRaw(Path(2005, 3), damaged);
        messages_.Clear();
        TArchive archive;
        TimeStamp start = At(2005, 3, 1), end = At(2005, 3, 31);
        EXPECT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), c.code) << c.what;
        if (c.text == nullptr) {
            EXPECT_EQ(messages_.Count(), 0u) << c.what;
            EXPECT_EQ(archive.SampleCount(), 5u) << c.what;
            continue;
        }
        ASSERT_EQ(messages_.Count(), 1u) << c.what;
        EXPECT_EQ(messages_.Last().text, std::string(c.text) + " \"" + Path(2005, 3) + "\"") << c.what;
        EXPECT_EQ(messages_.Last().kind, MsgError);
        EXPECT_EQ(archive.SampleCount(), 0u) << c.what;
    }
}

TEST_F(ArchiveTest, InvalidMonthIsLeftAloneAndReported) {
    ASSERT_EQ(Store(Hourly(At(2005, 3, 10), 5)), 0);
    Bytes damaged = ReadRaw(Path(2005, 3));
    damaged.back() ^= 1;
    WriteRaw(Path(2005, 3), damaged);
    std::vector<TMonthStoreFailure> failures;
    EXPECT_EQ(Store({MakeSample(At(2005, 3, 20), 1), MakeSample(At(2005, 4, 2), 2)}, Device("100"), 12,
                    Channel(), &failures),
              ArcBadCrc);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].year, 2005);
    EXPECT_EQ(failures[0].month, 3);
    EXPECT_EQ(failures[0].code, ArcBadCrc);
    EXPECT_EQ(failures[0].fileName, Path(2005, 3));
    EXPECT_TRUE(messages_.Saw("Błąd CRC pliku"));
    EXPECT_EQ(ReadRaw(Path(2005, 3)), damaged);
    EXPECT_EQ(MonthSamples(2005, 4).size(), 1u);
}

TEST_F(ArchiveTest, DeviceSwapDropsSamplesOfTheOtherDevicesWindow) {
    ASSERT_EQ(Store(Hourly(At(2005, 1, 1), 240, 1000), Device("A")), 0);                    // 1..10 January
    ASSERT_EQ(Store(Hourly(At(2005, 1, 11), 240, 5000), Device("B"), 12, Channel("l")), 0); // 11..20
    // Device A again, with other values over 5..15 January.
    ASSERT_EQ(Store(Hourly(At(2005, 1, 5), 240, 9000), Device("A")), 0);
    const auto stored = MonthSamples(2005, 1);
    std::size_t fromA = 0;
    for (const auto &s : stored) {
        const uint32_t value = ValueOf(s.data());
        const TimeStamp time = TimeOf(s);
        if (value >= 9000) {
            ++fromA;
            EXPECT_LT(time, At(2005, 1, 11)) << StampText(time);
        }
    }
    EXPECT_EQ(fromA, 144u); // 5..10 January
    EXPECT_EQ(stored.size(), 480u + 144u);

    TArchive archive;
    TimeStamp start = At(2005, 1, 1), end = At(2005, 1, 31);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    ASSERT_EQ(archive.IdentityCount(), 2);
    ASSERT_EQ(archive.DescriptorCount(), 2);
    TimeStamp validFrom = 0;
    TDevSign sign;
    ASSERT_TRUE(archive.IdentityEntry(2, validFrom, sign));
    EXPECT_EQ(validFrom, At(2005, 1, 11));
    EXPECT_EQ(sign, Device("B"));
    ASSERT_TRUE(archive.IdentityEntry(1, validFrom, sign));
    EXPECT_EQ(validFrom, At(2005, 1, 1));
    TParamItem item;
    ASSERT_TRUE(archive.DescriptorEntry(2, validFrom, item));
    EXPECT_EQ(item.Unit(), "l");
    EXPECT_FALSE(archive.IdentityEntry(3, validFrom, sign));

    // Entry numbers change at the second entries' valid-from time.
    std::vector<TReportSample> report;
    archive.ReportSamples(report);
    ASSERT_EQ(report.size(), stored.size());
    for (const auto &r : report) {
        const int expected = r.time >= At(2005, 1, 11) ? 2 : 1;
        EXPECT_EQ(r.identityIndex, expected) << StampText(r.time);
        EXPECT_EQ(r.descriptorIndex, expected) << StampText(r.time);
    }
}

TEST_F(ArchiveTest, EntryNumbersAcrossMonthsAndBeforeTheFloorTime) {
    // Every month file brings its own entry; the number follows the months.
    ASSERT_EQ(Store(Hourly(At(2005, 1, 31, 22), 4)), 0);
    TArchive archive;
    TimeStamp start = At(2005, 1, 1), end = At(2005, 2, 28);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.IdentityCount(), 2);
    std::vector<TReportSample> report;
    archive.ReportSamples(report);
    ASSERT_EQ(report.size(), 4u);
    const int16_t expected[] = {1, 1, 2, 2};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(report[i].identityIndex, expected[i]) << i;

    // Valid-from times before 1 000 000 000 (September 2001) are no boundaries.
    ASSERT_EQ(Store(Hourly(At(1999, 3, 1), 24), Device("A")), 0);
    ASSERT_EQ(Store(Hourly(At(1999, 3, 2), 24, 500), Device("B")), 0);
    start = At(1999, 3, 1);
    end = At(1999, 3, 31);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.IdentityCount(), 2);
    report.clear();
    archive.ReportSamples(report);
    ASSERT_EQ(report.size(), 48u);
    for (const auto &r : report)
        EXPECT_EQ(r.identityIndex, 1);
}

TEST_F(ArchiveTest, SameIdentityAndDescriptorAddNoEntries) {
    ASSERT_EQ(Store(Hourly(At(2005, 1, 1), 24)), 0);
    ASSERT_EQ(Store(Hourly(At(2005, 1, 2), 24, 200)), 0);
    TArchive archive;
    TimeStamp start = At(2005, 1, 1), end = At(2005, 1, 31);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    EXPECT_EQ(archive.IdentityCount(), 1);
    EXPECT_EQ(archive.DescriptorCount(), 1);
    uint8_t record[kDescriptorRecordSize];
    ASSERT_TRUE(archive.DescriptorRecord(1, record));
    EXPECT_EQ(GetU32(Bytes(record, record + 4), 0), At(2005, 1, 1));
    EXPECT_EQ(record[8], 3); // "dVn" length at descriptor offset 8
}

TEST_F(ArchiveTest, ReportSamplesConvertValues) {
    Sample real = MakeSample(At(2005, 2, 1, 1), 0, VtReal48, 0);
    DoubleToReal48(-100.0, real.data() + 8);
    Sample badFloat = MakeSample(At(2005, 2, 1, 2), 0x7F800001u, VtFloat32, 1, 1440);
    Sample text = MakeSample(At(2005, 2, 1, 3), 0x00414243u, VtText, 1);
    ASSERT_EQ(Store({real, badFloat, text}), 0);
    TArchive archive;
    TimeStamp start = At(2005, 2, 1), end = At(2005, 2, 2);
    ASSERT_EQ(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0);
    std::vector<TReportSample> report;
    archive.ReportSamples(report);
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0].value, -100.0);
    EXPECT_EQ(report[0].status, 1);
    EXPECT_EQ(report[0].validity, 0);
    EXPECT_EQ(report[1].status, 0);
    EXPECT_EQ(report[1].value, 0.0);
    EXPECT_EQ(report[1].interval, 1440);
    EXPECT_EQ(report[2].status, 0);
    EXPECT_EQ(report[2].identityIndex, 1);
}

// The newest month file that a period read accepts answers; one it refuses
// for its name, length or version says so and gives way to the month
// before. Only header, sections and the last record are read, so damage
// that only the CRC shows goes unseen.
TEST_F(ArchiveTest, NewestSampleTimeTakesTheNewestSoundMonth) {
    EXPECT_EQ(TArchive::NewestSampleTime(folder_, 12, "dVn"), -1);
    ASSERT_EQ(Store(Hourly(At(2005, 4, 2), 5)), 0);
    const Bytes april = ReadRaw(Path(2005, 4));
    const std::size_t headerLength = GetU16(april, 7);
    ASSERT_EQ(TArchive::NewestSampleTime(folder_, 12, "dVn"), At(2005, 4, 2, 4));
    EXPECT_EQ(TArchive::NewestSampleTime(folder_, 12, "Vn"), -1);
    EXPECT_EQ(TArchive::NewestSampleTime(folder_, 12 + 1, "dVn"), -1);

    auto with = [&](auto change) {
        Bytes image = april;
        change(image);
        return image;
    };
    // A bit flipped in the scrambled bytes flips it in the clear ones; the CRC
    // starts from 0 without a final inversion, so it is linear and changes by
    // the CRC of the change alone: the file stays sound.
    auto soundChange = [](Bytes &b, std::size_t at, uint8_t bits) {
        b[at] ^= bits;
        Bytes change(b.size() - 19, 0);
        change[at - 19] = bits;
        PutU32(b, 15, GetU32(b, 15) ^ Crc32(change.data(), change.size()));
    };
    const int64_t march = At(2005, 3, 1, 9);
    const char *const badName = "Nieprawidłowa nazwa pliku";
    const struct {
        const char *what;
        Bytes april;
        bool olderMonths;
        int64_t expected;
        const char *message;
    } cases[] = {
        {"sound", april, true, At(2005, 4, 2, 4), nullptr},
        {"no older months", april, false, At(2005, 4, 2, 4), nullptr},
        {"empty file", {}, true, march, nullptr},
        {"no samples",
         with([&](Bytes &b) {
             b.resize(headerLength);
             PutU32(b, 11, static_cast<uint32_t>(b.size()));
         }),
         true, march, nullptr},
        {"one byte short", Bytes(april.begin(), april.end() - 1), true, march, "Niewłaściwy rozmiar pliku"},
        {"header only", Bytes(april.begin(), april.begin() + 19), true, march, badName},
        {"three bytes", {1, 2, 3}, true, march, badName},
        {"version 2", with([](Bytes &b) { PutU16(b, 5, 2); }), true, march, "Wersja programu niezgodna"},
        {"section table past the file", with([](Bytes &b) { PutU16(b, 7, 0xFFFF); }), true, march, badName},
        {"stored name of another month", with([](Bytes &b) { b[19 + 6 + 12] ^= 1; }), true, march, badName},
        {"damaged and nothing older", {1, 2, 3}, false, -1, badName},
        {"CRC spoilt in the first sample", with([&](Bytes &b) { b[headerLength + 8] ^= 0x55; }), true,
         At(2005, 4, 2, 4), nullptr},
        {"last record of another month, read whole", with([&](Bytes &b) { soundChange(b, b.size() - 13, 0x10); }),
         true, At(2005, 4, 2, 3), nullptr},
    };
    for (const auto &c : cases) {
        fs::remove_all(StationFolder(folder_, 12));
        if (c.olderMonths) {
            ASSERT_EQ(Store(Hourly(At(2005, 3, 1), 10)), 0);
            ASSERT_EQ(Store(Hourly(At(2005, 2, 1), 10)), 0);
        }
        fs::create_directories(StationFolder(folder_, 12));
        WriteRaw(Path(2005, 4), c.april);
        messages_.Clear();
        EXPECT_EQ(TArchive::NewestSampleTime(folder_, 12, "dVn"), c.expected) << c.what;
        EXPECT_EQ(messages_.Count(), c.message ? 1u : 0u) << c.what;
        if (c.message) {
            EXPECT_TRUE(messages_.Saw(c.message) && messages_.Saw(Path(2005, 4))) << c.what;
        }
    }
}

TEST_F(ArchiveTest, DamagedFilesAreRejectedWithoutCrash) {
    ASSERT_EQ(Store(Hourly(At(2005, 3, 10), 20)), 0);
    const Bytes good = ReadRaw(Path(2005, 3));
    for (std::size_t length = 1; length < good.size(); ++length) {
        WriteRaw(Path(2005, 3), Bytes(good.begin(), good.begin() + static_cast<long>(length)));
        TArchive archive;
        TimeStamp start = At(2005, 3, 1), end = At(2005, 3, 31);
        EXPECT_LT(archive.OpenPeriod(folder_, 12, start, end, "dVn"), 0) << length;
        EXPECT_EQ(archive.SampleCount(), 0u);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        Bytes junk(random() % 700);
        for (auto &b : junk)
            b = static_cast<uint8_t>(random());
        if (round % 2 == 0) {
            // Keep a plausible header and section table and damage the rest.
            const std::size_t keep = std::min(good.size(), static_cast<std::size_t>(random() % 400));
            std::copy_n(good.begin(), std::min(keep, junk.size()), junk.begin());
        }
        WriteRaw(Path(2005, 3), junk);
        TArchive archive;
        TimeStamp start = At(2005, 3, 1), end = At(2005, 3, 31);
        const int rc = archive.OpenPeriod(folder_, 12, start, end, "dVn");
        TFcdContent content;
        if (!junk.empty()) {
            EXPECT_LT(rc, 0) << round;
            EXPECT_EQ(ReadFcdContent(Path(2005, 3), content), 0);
        }
    }
}

} // namespace
} // namespace kiv

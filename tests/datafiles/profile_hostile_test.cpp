// Damaged and hostile profile and current data files: every one must be
// refused cleanly, without a crash and without reading outside the file
// (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "profile_test_util.h"
#include "support/message_recorder.h"

using namespace kiv;
using namespace kiv::test;

namespace {

Bytes ValidProfile() {
    TRecProfParams params;
    params.profileByte = 1;
    params.profileNumber = 3;
    params.texts = {"Kivmet KM-100", "Kivmet", "KM-100", "1", "5"};
    const std::vector<TParamItem> items = {MakeItem("Vn", 0, 8, -1, 1), MakeItem("P", 1, 7, 2)};
    TFCProfileRdWr rw;
    return rw.BuildProfile(params, items.data(), 2, {"LICZ=Liczniki", "POM=Pomiary"});
}

// Reads an image every way a caller can; true when ReadProfile accepted it.
bool ReadEveryWay(const std::string& name) {
    TFCProfileRdWr rw;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    std::string t1, t2, t3, t4;
    const int count = rw.ItemCount(name);
    const bool texts = rw.ReadProfileTexts(name, t1, t2, t3, t4);
    const bool read = rw.ReadProfile(name, params, items, groups);
    EXPECT_EQ(read, texts);
    if (read) {
        EXPECT_EQ(static_cast<std::size_t>(count), items.size());
        for (TParamItem& item : items) {
            (void)item.ShortName();
            (void)item.FlowUnit();
        }
    }
    return read;
}

TEST(HostileProfile, EveryTruncationIsRefused) {
    TempFolder folder;
    MessageRecorder messages;
    const Bytes good = ValidProfile();
    const std::string name = folder.File("T.FCP");
    for (std::size_t size = 0; size < good.size(); ++size) {
        WriteRaw(name, Bytes(good.begin(), good.begin() + static_cast<long>(size)));
        EXPECT_FALSE(ReadEveryWay(name)) << size;
    }
    WriteRaw(name, good);
    EXPECT_TRUE(ReadEveryWay(name));
}

TEST(HostileProfile, RandomBytesAreRefused) {
    TempFolder folder;
    MessageRecorder messages;
    std::mt19937 random(4711);
    const std::string name = folder.File("R.FCP");
    for (int round = 0; round < 200; ++round) {
        Bytes noise(random() % 1200);
        for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
        if (round % 2 == 0 && noise.size() >= 19) {
            // A plausible header leads the reader further in.
            std::copy_n("ZQFCP", 5, noise.begin());
            PutU16(noise, 5, 1);
            PutU32(noise, 11, static_cast<uint32_t>(noise.size()));
        }
        WriteRaw(name, noise);
        ReadEveryWay(name);
    }
}

// The checksum covers only the data area, so a damaged section table still
// passes it: the section walk itself must hold.
TEST(HostileProfile, DamagedSectionTableBehindAValidChecksum) {
    TempFolder folder;
    MessageRecorder messages;
    std::mt19937 random(815);
    const Bytes good = ValidProfile();
    const std::size_t headerLength = GetU16(good, 7);
    const std::string name = folder.File("S.FCP");
    for (int round = 0; round < 600; ++round) {
        Bytes bad = good;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            bad[19 + random() % (headerLength - 19)] = static_cast<uint8_t>(random());
        if (round % 5 == 0) PutU16(bad, 7, static_cast<uint16_t>(random() % (bad.size() + 40)));
        WriteRaw(name, bad);
        ReadEveryWay(name);
    }
    EXPECT_EQ(0u, messages.Count());
}

// Parameter numbers come from the file and drive the current-data requests:
// one outside what the device addresses leaves its item without a current
// value (its archive stays), and the profile still reads.
TEST(HostileProfile, ParameterNumbersBeyondSixteenBitsMeanNone) {
    const struct {
        int32_t stored;
        int32_t read;
    } cases[] = {{-1, -1}, {0, 0}, {65535, 65535}, {65536, -1}, {0x7FFFFFF0, -1}, {0x7FFFFFFF, -1}, {-2, -1},
                 {INT32_MIN, -1}};
    std::vector<TParamItem> written;
    for (const auto& c : cases) written.push_back(MakeItem("X" + std::to_string(written.size()), c.stored, 6, 0));
    TempFolder folder;
    const std::string name = folder.File("N.FCP");
    TFCProfileRdWr rw;
    ASSERT_EQ(0, rw.WriteProfile(name, TRecProfParams{1, 0, {"N", "Kivmet"}}, written.data(),
                                 static_cast<int>(written.size()), {}));
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(rw.ReadProfile(name, params, items, groups));
    std::vector<TParamItem> copied(written.size());
    ASSERT_TRUE(rw.ReadProfile(name, params, static_cast<int>(copied.size()), copied.data(), groups));
    ASSERT_EQ(items.size(), std::size(cases));
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].ParamNumber(), cases[i].read) << cases[i].stored;
        EXPECT_EQ(copied[i], items[i]) << cases[i].stored;
        EXPECT_EQ(items[i].HourIndex(), 0) << cases[i].stored;
    }
    EXPECT_EQ(TFCProfileRdWr::CompactItems(items.data(), static_cast<int>(items.size())), 2);
}

TEST(HostileProfile, RandomItemsAndValuesNeverOverrun) {
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        std::vector<TParamItem> items(1 + random() % 8);
        for (TParamItem& item : items) {
            for (uint8_t& b : item.raw) b = static_cast<uint8_t>(random());
            item.SetTypeCode(static_cast<uint8_t>(random() % 14));
            item.SetParamNumber(static_cast<int32_t>(random() % 6));
        }
        // Exactly sized heap buffer so any overrun is caught.
        std::vector<uint8_t> values(random() % 24);
        for (uint8_t& b : values) b = static_cast<uint8_t>(random() % 3 == 0 ? 0xFF : random());
        const long at = TFCProfileRdWr::ValueOffset(items.data(), static_cast<int>(items.size()), values.data(),
                                                    values.size(), static_cast<int32_t>(random() % 6));
        if (at >= 0) {
            ASSERT_LT(static_cast<std::size_t>(at), values.size());
            for (uint8_t type = 0; type < 14; ++type)
                (void)TFCProfileRdWr::ValueText(values.data() + at, values.size() - static_cast<std::size_t>(at), type);
        }
        for (uint8_t type = 0; type < 14; ++type) (void)TFCProfileRdWr::ValueText(values.data(), values.size(), type);
    }
}

TEST(HostileFcc, TruncatedAndRandomFilesAreRefused) {
    TempFolder folder;
    MessageRecorder messages;
    TFileFCC writer;
    const Bytes values = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_EQ(0, writer.WriteCurrentData(folder.Folder(), 3, values.size(), values.data(), 1'600'000'000, "Kivmet KM-100",
                                         {"Kivmet", "KM-100", "9", "", "", "x"}));
    const std::string name = FccFileName(folder.Folder(), 3);
    const Bytes good = ReadRaw(name);
    TFileFCC reader;
    std::size_t count = 0;
    const uint8_t* read = nullptr;
    TimeStamp time = 0;
    std::string profile;
    for (std::size_t size = 1; size < good.size(); ++size) {
        WriteRaw(name, Bytes(good.begin(), good.begin() + static_cast<long>(size)));
        EXPECT_EQ(0, reader.ReadCurrentData(folder.Folder(), 3, count, read, time, profile));
        EXPECT_EQ(nullptr, read) << size;
    }
    // Random damage with the checksum put right, so the section walk runs.
    std::mt19937 random(2026);
    const std::size_t headerLength = GetU16(good, 7);
    for (int round = 0; round < 600; ++round) {
        Bytes bad = good;
        if (round % 3 == 0) {
            bad.resize(random() % 400);
            for (uint8_t& b : bad) b = static_cast<uint8_t>(random());
        } else {
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
                bad[19 + random() % (headerLength - 19)] = static_cast<uint8_t>(random());
        }
        if (bad.size() >= 19) {
            if (round % 2 == 0) PutU32(bad, 11, static_cast<uint32_t>(bad.size()));
            PutU32(bad, 15, Crc32(bad.data() + 19, bad.size() - 19));
        }
        WriteRaw(name, bad);
        const int result = reader.ReadCurrentData(folder.Folder(), 3, count, read, time, profile);
        EXPECT_TRUE(result == 0 || (result == -1 && bad.empty()));
        if (read != nullptr) {
            ASSERT_LE(count, bad.size());
            for (std::size_t i = 0; i < count; ++i) (void)read[i];
            EXPECT_EQ(6u, reader.identity.size());
        }
    }
    EXPECT_EQ(0u, messages.Count());
}

} // namespace

#include "datafiles/fcc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "profile_test_util.h"
#include "support/message_recorder.h"

using namespace kiv;
using namespace kiv::test;

namespace {

const std::vector<std::string> kProtocol2Identity = {"Kivmet", "KM-200", "00123", "Ext A", "Ext B", "Last"};
const std::vector<std::string> kProtocol1Identity = {"Kivmet", "KM-100", "00077", "", "", "Last"};
const Bytes kValues = {1, 0x00, 0x00, 0xC0, 0x3F, 0, 7, 1, 0x20, 0x26, 0xFF};
constexpr TimeStamp kTime = 1'700'000'000;

class FccFile : public ::testing::Test {
protected:
    int Write(const std::vector<std::string>& identity, TimeStamp time = kTime, const std::string& profile = "Kivmet KM-200",
              const Bytes& values = kValues) {
        return fcc.WriteCurrentData(folder.Folder(), 12, values.size(), values.data(), time, profile, identity);
    }
    int Read() { return reader.ReadCurrentData(folder.Folder(), 12, count, values, time, profile); }
    std::string Name() const { return folder.Folder() + "FC_00012/00012.FCC"; }
    Bytes Values() const { return values ? Bytes(values, values + count) : Bytes(); }

    TempFolder folder;
    MessageRecorder messages;
    TFileFCC fcc;
    TFileFCC reader;
    std::size_t count = 99;
    const uint8_t* values = nullptr;
    TimeStamp time = 0;
    std::string profile;
};

TEST_F(FccFile, WrittenFileReadsBack) {
    ASSERT_EQ(0, Write(kProtocol2Identity));
    EXPECT_EQ(Name(), FccFileName(folder.Folder(), 12));
    ASSERT_EQ(0, Read());
    EXPECT_EQ(kValues, Values());
    EXPECT_EQ(kTime, time);
    EXPECT_EQ("Kivmet KM-200", profile);
    // Texts 5 and 6 are written but not read back.
    EXPECT_EQ((std::vector<std::string>{"Kivmet", "KM-200", "00123", "Ext A", "", ""}), reader.identity);
    const Bytes image = ReadRaw(Name());
    for (int32_t id = 2001; id <= 2010; ++id) EXPECT_GE(FindSection(image, 0, id), 0) << id;
    EXPECT_EQ(0, std::memcmp(reader.key2, fcc.key2, kKeySize));
    EXPECT_EQ(0u, messages.Count());
}

TEST_F(FccFile, LayoutOfTheStoredFile) {
    ASSERT_EQ(0, Write(kProtocol2Identity));
    const Bytes image = ReadRaw(Name());
    TFileHeader header;
    ASSERT_TRUE(ReadHeader(image, header));
    EXPECT_EQ(0, std::memcmp(header.magic, "ZQFCC", 5));
    EXPECT_EQ(1, header.version);
    EXPECT_EQ(0, header.recordLength);
    EXPECT_EQ(image.size(), header.fileLength);
    EXPECT_EQ(image.size() - kValues.size(), header.headerLength);
    EXPECT_EQ(Crc32(image.data() + 19, image.size() - 19), header.crc);
    // Strings carry no terminator; the values are scrambled with key two.
    EXPECT_EQ(6 + 6, GetU16(image, static_cast<std::size_t>(FindSection(image, 0, 2003))));
    Bytes stored(image.begin() + header.headerLength, image.end());
    Scramble(stored.data(), stored.size(), fcc.key2);
    EXPECT_EQ(kValues, stored);
    for (uint8_t k : fcc.key1) EXPECT_LT(k, 255);
}

TEST_F(FccFile, ProtocolOneReadOutWritesNoExtraTexts) {
    ASSERT_EQ(0, Write(kProtocol1Identity));
    const Bytes image = ReadRaw(Name());
    EXPECT_EQ(-1, FindSection(image, 0, 2006));
    EXPECT_EQ(-1, FindSection(image, 0, 2007));
    EXPECT_GE(FindSection(image, 0, 2008), 0);
    ASSERT_EQ(0, Read());
    ASSERT_EQ(6u, reader.identity.size());
    EXPECT_EQ("", reader.identity[3]);
    EXPECT_EQ("", reader.identity[5]);
    EXPECT_EQ(kValues, Values());
}

TEST_F(FccFile, EmptySerialNumberStillReads) {
    ASSERT_EQ(0, Write({"Kivmet", "KM-100", "", "", "", ""}));
    ASSERT_EQ(0, Read());
    EXPECT_EQ(kValues, Values());
    EXPECT_EQ("", reader.identity[2]);
}

TEST_F(FccFile, FilesThatDoNotValidateAreFoundButEmpty) {
    ASSERT_EQ(0, Write(kProtocol2Identity));
    const Bytes good = ReadRaw(Name());
    struct Damage {
        const char* what;
        std::size_t offset;
        uint8_t value;
        bool fixCrc;
    };
    const Damage damages[] = {
        {"data area byte", good.size() - 3, static_cast<uint8_t>(good[good.size() - 3] ^ 1), false},
        {"version 2", 5, 2, false},
        {"version 2, checksum fixed", 5, 2, true},
        {"magic", 0, 'X', false},
        {"length field", 11, static_cast<uint8_t>(good[11] - 1), false},
        {"stored checksum", 15, static_cast<uint8_t>(good[15] ^ 1), false},
        {"profile section renamed", static_cast<std::size_t>(FindSection(good, 0, 2009)) + 2, 0x7F, true},
    };
    for (const Damage& d : damages) {
        Bytes bad = good;
        bad[d.offset] = d.value;
        if (d.fixCrc) PutU32(bad, 15, Crc32(bad.data() + 19, bad.size() - 19));
        WriteRaw(Name(), bad);
        values = kValues.data();
        count = 5;
        EXPECT_EQ(0, Read()) << d.what;
        EXPECT_EQ(nullptr, values) << d.what;
        EXPECT_EQ(0u, count) << d.what;
        EXPECT_TRUE(reader.identity.empty()) << d.what;
    }
    EXPECT_EQ(0u, messages.Count());
}

TEST_F(FccFile, ZeroTimeOrEmptyProfileNameDoNotValidate) {
    ASSERT_EQ(0, Write(kProtocol2Identity, 0));
    EXPECT_EQ(-1, FindSection(ReadRaw(Name()), 0, 2010));
    EXPECT_EQ(0, Read());
    EXPECT_EQ(nullptr, values);
    ASSERT_EQ(0, Write(kProtocol2Identity, kTime, ""));
    EXPECT_EQ(-1, FindSection(ReadRaw(Name()), 0, 2009));
    EXPECT_EQ(0, Read());
    EXPECT_EQ(nullptr, values);
}

TEST_F(FccFile, MissingOrEmptyFileIsNotFound) {
    EXPECT_EQ(-1, Read());
    std::filesystem::create_directories(folder.Folder() + "FC_00012");
    WriteRaw(Name(), {});
    EXPECT_EQ(-1, Read());
    EXPECT_EQ(0u, messages.Count());
}

} // namespace

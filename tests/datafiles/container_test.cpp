#include "datafiles/plik.h"

#include "common/file_size_limit.h"
#include "common/temp_folder.h"
#include "support/messages.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kiv;
using kiv::test::TempFolder;
namespace fs = std::filesystem;

namespace {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

void WriteRaw(const std::string& name, const Bytes& content) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                 static_cast<std::streamsize>(content.size()));
}

Bytes ReadRaw(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Recorder : IMessageSink {
    std::vector<std::string> captions, texts;
    std::vector<int> kinds;
    int Show(const std::string& caption, const std::string& text, int kind, unsigned) override {
        captions.push_back(caption);
        texts.push_back(text);
        kinds.push_back(kind);
        return ResOk;
    }
};

// A header with the given sections laid out as stored; the header length
// covers exactly the sections.
Bytes ImageWithSections(const std::vector<std::pair<int32_t, std::string>>& sections) {
    Bytes image(kHeaderSize, 0);
    for (const auto& [id, payload] : sections)
        AppendSection(image, id, reinterpret_cast<const uint8_t*>(payload.data()), payload.size());
    PutU16(image, 7, static_cast<uint16_t>(image.size()));
    return image;
}

} // namespace

TEST(Crc, CheckValues) {
    struct Case {
        std::string input;
        uint32_t crc32;
        uint16_t crc16;
    };
    const Case cases[] = {
        {"", 0u, 0u},
        {"abc", 0xCA6598D0u, 0x9DD6u},
        {"123456789", 0x2DFD2D88u, 0x31C3u},
    };
    for (const auto& c : cases) {
        const Bytes b = ToBytes(c.input);
        EXPECT_EQ(Crc32(b.data(), b.size()), c.crc32) << c.input;
        EXPECT_EQ(Crc16(b.data(), b.size()), c.crc16) << c.input;
    }
}

TEST(Crc, LongRunsMatchByteWiseUpdates) {
    // The folding and eight-bytes-at-a-time paths must agree with feeding
    // single bytes, for every length around their block boundaries and at odd alignments.
    Bytes data(300);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
    for (std::size_t start : {0u, 1u, 3u})
        for (std::size_t len = 0; start + len <= data.size(); ++len) {
            uint32_t slow = 0;
            for (std::size_t i = 0; i < len; ++i) slow = Crc32Update(slow, &data[start + i], 1);
            ASSERT_EQ(Crc32(data.data() + start, len), slow) << start << " " << len;
        }
}

TEST(Scramble, TwiceGivesInputBackAndKeyRestartsEveryTenBytes) {
    const uint8_t key[kKeySize] = {1, 2, 4, 8, 16, 32, 64, 128, 3, 5};
    Bytes run(25, 0);
    Scramble(run.data(), run.size(), key);
    for (std::size_t i = 0; i < run.size(); ++i) EXPECT_EQ(run[i], key[i % 10]) << i;
    EXPECT_EQ(run[24], key[4]);

    Bytes text = ToBytes("Stacja pomiarowa gazu 00012");
    const Bytes original = text;
    Scramble(text.data(), text.size(), key);
    EXPECT_NE(text, original);
    Scramble(text.data(), text.size(), key);
    EXPECT_EQ(text, original);
}

TEST(Scramble, NewKeysStayBelow255) {
    for (int round = 0; round < 200; ++round) {
        uint8_t key[kKeySize];
        std::memset(key, 0xFF, sizeof key);
        NewScrambleKey(key);
        for (uint8_t b : key) ASSERT_LE(b, 254);
    }
}

TEST(Header, RoundTripIsLittleEndian) {
    TFileHeader h;
    std::memcpy(h.magic, "ZQFCD", 5);
    h.headerLength = 0x0123;
    h.recordLength = 16;
    h.fileLength = 0x0A0B0C0D;
    h.crc = 0xCA6598D0u;
    Bytes image;
    WriteHeader(image, h);
    ASSERT_EQ(image.size(), kHeaderSize);
    EXPECT_EQ(image[7], 0x23);
    EXPECT_EQ(image[8], 0x01);
    EXPECT_EQ(image[11], 0x0D);
    EXPECT_EQ(image[14], 0x0A);
    TFileHeader back;
    ASSERT_TRUE(ReadHeader(image, back));
    EXPECT_EQ(std::string(back.magic, 5), "ZQFCD");
    EXPECT_EQ(back.version, 1);
    EXPECT_EQ(back.headerLength, 0x0123);
    EXPECT_EQ(back.fileLength, 0x0A0B0C0Du);
    EXPECT_EQ(back.crc, 0xCA6598D0u);
    image.pop_back();
    EXPECT_FALSE(ReadHeader(image, back));
}

TEST(Header, FieldReadsOutsideTheImageGiveZero) {
    const Bytes image = {0x34, 0x12, 0xFF};
    EXPECT_EQ(GetU16(image, 0), 0x1234);
    EXPECT_EQ(GetU16(image, 2), 0);
    EXPECT_EQ(GetU32(image, 0), 0u);
    EXPECT_EQ(GetI32(image, static_cast<std::size_t>(-1)), 0);
}

TEST(Sections, FindsEachIdentifierAndWalksToTheNext) {
    const Bytes image = ImageWithSections({{1001, "abc"}, {1002, ""}, {1001, "xyzzy"}});
    EXPECT_EQ(FindSection(image, 0, 1001), 19);
    EXPECT_EQ(FindSection(image, 0, 1002), 19 + 9);
    EXPECT_EQ(FindSection(image, 19 + 9, 1001), 19 + 9 + 6);
    EXPECT_EQ(FindSection(image, 0, 7), -1);
    EXPECT_EQ(GetU16(image, 19 + 15), 11);
}

TEST(Sections, HeaderWithoutSectionsFindsNothing) {
    Bytes image(kHeaderSize, 0);
    PutU16(image, 7, kHeaderSize);
    for (int32_t id : {0, 1, 1001, 2001, 3001, -1}) EXPECT_EQ(FindSection(image, 0, id), -1) << id;
}

TEST(Sections, DamagedLengthsEndTheWalk) {
    // Each case damages the second section's stored length; the search for an
    // identifier behind it must end with -1, neither looping nor overrunning.
    struct Case {
        const char* name;
        uint16_t secondLength;
        uint16_t headerLength; // 0: keep the real one
        std::size_t cutImageTo; // 0: keep the whole image
        int32_t sought;
    };
    const Case cases[] = {
        {"zero length", 0, 0, 0, 3},
        {"below the section head", 3, 0, 0, 3},
        {"past the header length", 40, 0, 0, 3},
        {"huge", 0xFFFF, 0, 0, 3},
        {"header length past the image", 9, 0x4000, 0, 99},
        {"image cut inside a section head", 9, 0, 19 + 9 + 3, 3},
    };
    for (const auto& c : cases) {
        Bytes image = ImageWithSections({{1, "abc"}, {2, "abc"}, {3, "abc"}});
        PutU16(image, 19 + 9, c.secondLength);
        if (c.headerLength) PutU16(image, 7, c.headerLength);
        if (c.cutImageTo) image.resize(c.cutImageTo);
        EXPECT_EQ(FindSection(image, 0, c.sought), -1) << c.name;
        EXPECT_EQ(FindSection(image, 0, 1), 19) << c.name;
    }
    EXPECT_EQ(FindSection(Bytes(5, 0), 0, 0), -1);
}

TEST(Sections, OversizedPayloadIsRefused) {
    Bytes image(kHeaderSize, 0);
    const Bytes payload(kMaxSectionPayload + 1, 0);
    EXPECT_EQ(AppendSection(image, 1, payload.data(), payload.size()), kNoSection);
    EXPECT_EQ(image.size(), kHeaderSize);
    EXPECT_EQ(AppendSection(image, 1, payload.data(), kMaxSectionPayload), kHeaderSize);
    EXPECT_EQ(GetU16(image, kHeaderSize), 0xFFFF);
}

TEST(FileErrors, MessagesCarryTheirCode) {
    const std::pair<int, const char*> cases[] = {
        {2, "Nie znaleziono pliku (2)"},
        {-1, "Nie znaleziono pliku (-1)"},
        {5, "Zabroniony dostęp do pliku (5)"},
        {-2, "Błędna pozycja w pliku (-2)"},
        {39, "Dysk jest pełny (39)"},
        {101, "Błąd zapisu (101)"},
        {-100, "Nieprawidłowa suma kontrolna pliku (-100)"},
        {-200, "Nieprawidłowy rozmiar pliku (-200)"},
        {1013, "Błąd wejścia/wyjścia (1013)"},
        {0, "Błąd wejścia/wyjścia (0)"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(FileErrorMessage(code), text);
}

TEST(FileErrors, ShownAsErrorBoxWithoutOwnCaption) {
    Recorder recorder;
    IMessageSink* previous = SetMessageSink(&recorder);
    ShowFileError(2);
    SetMessageSink(previous);
    ASSERT_EQ(recorder.texts.size(), 1u);
    EXPECT_EQ(recorder.captions[0], "");
    EXPECT_EQ(recorder.kinds[0], MsgError);
    EXPECT_EQ(recorder.texts[0], "Nie znaleziono pliku (2)");
}

TEST(TPlikRead, ResultCodes) {
    TempFolder dir;
    WriteRaw(dir.File("empty"), {});
    WriteRaw(dir.File("ten"), ToBytes("0123456789"));
    struct Case {
        const char* file;
        std::size_t start, max;
        int code;
        std::string content;
    };
    const Case cases[] = {
        {"missing", 0, 0, 2, ""},
        {"empty", 0, 0, -2, ""},
        {"ten", 10, 0, -2, ""},
        {"ten", 0, 0, 0, "0123456789"},
        {"ten", 4, 0, 0, "456789"},
        {"ten", 4, 3, 0, "456"},
        {"ten", 8, 30, 0, "89"},
    };
    TPlik plik;
    for (const auto& c : cases) {
        Bytes buffer = ToBytes("stale");
        EXPECT_EQ(plik.ReadWholeFile(dir.File(c.file), c.start, buffer, c.max), c.code) << c.file << " " << c.start;
        EXPECT_EQ(buffer, ToBytes(c.content)) << c.file << " " << c.start;
    }
    Bytes buffer;
    EXPECT_EQ(plik.ReadWholeFile(dir.path.string(), 0, buffer), 5);
}

TEST(TPlikSize, SizeAndData) {
    TempFolder dir;
    WriteRaw(dir.File("empty"), {});
    WriteRaw(dir.File("three"), ToBytes("abc"));
    EXPECT_EQ(TPlik::FileSize(dir.File("three")), 3);
    EXPECT_EQ(TPlik::FileSize(dir.File("empty")), 0);
    EXPECT_EQ(TPlik::FileSize(dir.File("missing")), -1);
    EXPECT_EQ(TPlik::FileSize(dir.path.string()), -1);
    EXPECT_TRUE(TPlik::FileHasData(dir.File("three")));
    EXPECT_FALSE(TPlik::FileHasData(dir.File("empty")));
    EXPECT_FALSE(TPlik::FileHasData(dir.File("missing")));
}

TEST(TPlikWrite, ReplaceAndAppend) {
    TempFolder dir;
    const std::string name = dir.File("00012.FCD");
    const Bytes first = ToBytes("first content");
    const Bytes more = ToBytes("+more");
    TPlik plik;
    std::size_t written = 99;
    ASSERT_EQ(plik.WriteWholeFile(name, false, first.data(), first.size(), written), 0);
    EXPECT_EQ(written, first.size());
    ASSERT_EQ(plik.WriteWholeFile(name, true, more.data(), more.size(), written), 0);
    EXPECT_EQ(written, more.size());
    EXPECT_EQ(ReadRaw(name), ToBytes("first content+more"));
    ASSERT_EQ(plik.WriteWholeFile(name, false, more.data(), more.size(), written), 0);
    EXPECT_EQ(ReadRaw(name), more);
    ASSERT_EQ(plik.WriteWholeFile(dir.File("new"), true, more.data(), more.size(), written), 0);
    EXPECT_EQ(ReadRaw(dir.File("new")), more);
    EXPECT_EQ(plik.WriteWholeFile(dir.File("no/such/folder"), false, more.data(), more.size(), written), 2);
    EXPECT_EQ(written, 0u);
}

TEST(TPlikWrite, FailedWritesLeaveThePreviousFileIntact) {
    TempFolder dir;
    const std::string name = dir.File("00012.FCC");
    Bytes old(64);
    for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<uint8_t>(i * 13);
    TPlik plik;
    std::size_t written = 0;
    ASSERT_EQ(plik.WriteWholeFile(name, false, old.data(), old.size(), written), 0);
    const Bytes big(4096, 0xAB);
    int replaceCode = 0;
    int appendCode = 0;
    {
        const test::FileSizeLimit limit(100);
        replaceCode = plik.WriteWholeFile(name, false, big.data(), big.size(), written);
        appendCode = plik.WriteWholeFile(name, true, big.data(), big.size(), written);
    }
    EXPECT_EQ(replaceCode, 39);
    EXPECT_EQ(appendCode, 39);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(ReadRaw(name), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

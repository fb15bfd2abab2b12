// Byte-exact golden files of the four data file kinds. Each folder under
// tests/data/<kind>/<case>/ holds input.txt (what to write) and the files the
// program's writer must make of it, byte for byte, with the random source of
// keys and fill bytes seeded. Every expected file must read back, and copies
// damaged the two ways a crash or a bad disk leaves them (a CRC byte flipped,
// the last byte lost) must be refused with the code the reader gives for that
// damage. The damaged copies are made from the expected files here, so they
// never go stale. KIV_UPDATE_GOLDEN=1 writes the expected files anew from
// what the writer makes now; look at the diff before committing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/param_item.h"
#include "common/temp_folder.h"
#include "datafiles/archive.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"
#include "datafiles/profile.h"
#include "profile_source.h"
#include "support/message_recorder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kGoldenSeed = 20260101;
constexpr std::size_t kCrcOffset = 15;
// What the test makes of a current data file that is found but does not
// validate: the reader answers 0 with no values.
constexpr int kFccRefused = 1;

struct TDamage {
    const char *what;
    std::function<void(Bytes &)> apply;
};

const TDamage kDamages[] = {
    {"CRC byte flipped", [](Bytes &b) { b[kCrcOffset] ^= 0xFF; }},
    {"last byte lost", [](Bytes &b) { b.pop_back(); }},
};

// The reader's codes for an intact file and for each damage of kDamages.
struct TCodes {
    int intact;
    int damaged[std::size(kDamages)];
};

Bytes ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path &path, const Bytes &bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Bytes Hex(const std::string &text) {
    Bytes bytes;
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c != ' '; });
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    EXPECT_EQ(digits.size() % 2, 0u) << text;
    return bytes;
}

std::vector<std::string> Fields(const std::string &text) {
    std::vector<std::string> fields;
    std::stringstream in(text);
    for (std::string field; std::getline(in, field, '|');)
        fields.push_back(field);
    if (!text.empty() && text.back() == '|')
        fields.emplace_back();
    return fields;
}

TimeStamp Stamp(const std::string &text) {
    TimeStamp stamp = 0;
    EXPECT_TRUE(ParseStamp(text, stamp)) << text;
    return stamp;
}

// The lines of input.txt as key and rest, comments and blank lines left out.
std::vector<std::pair<std::string, std::string>> InputLines(const fs::path &folder) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::stringstream in(ReadText(folder / "input.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t blank = line.find(' ');
        lines.emplace_back(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return lines;
}

// ---- the writers, driven by input.txt ----

void WriteArchive(const fs::path &input, const std::string &out) {
    int address = 0;
    std::string channel;
    TParamItem item;
    TDevSign sign;
    Bytes samples;
    for (const auto &[key, value] : InputLines(input)) {
        std::stringstream in(value);
        if (key == "address") {
            address = std::stoi(value);
        } else if (key == "channel") {
            channel = value;
        } else if (key == "item") {
            const auto f = Fields(value);
            item = test::MakeItem({.shortName = f.at(0), .hour = 0, .hourType = 7, .fullName = f.at(1),
                                   .unit = f.at(2), .kind = f.at(3)});
        } else if (key == "sign") {
            const auto f = Fields(value);
            sign = {f.at(0), f.at(1), f.at(2), f.at(3), f.at(4), f.at(5)};
        } else if (key == "sample") {
            std::string date, time, slot;
            int interval = 0, type = 0;
            in >> date >> time >> interval >> type;
            std::getline(in, slot);
            const Bytes bytes = Hex(slot);
            uint8_t record[kSampleSize];
            EncodeSample(record, Stamp(date + " " + time), static_cast<uint16_t>(interval),
                         static_cast<uint8_t>(type), bytes.data(), bytes.size());
            samples.insert(samples.end(), record, record + kSampleSize);
        } else if (key == "store") {
            TArchive archive;
            ASSERT_EQ(archive.StoreSamples(out, address, item, samples.data(), samples.size(), sign, channel), 0);
            samples.clear();
        }
    }
}

void WriteCurrent(const fs::path &input, const std::string &out) {
    int address = 0;
    TimeStamp time = 0;
    std::string profile;
    std::vector<std::string> ident;
    Bytes values;
    for (const auto &[key, value] : InputLines(input)) {
        if (key == "address")
            address = std::stoi(value);
        else if (key == "time")
            time = Stamp(value);
        else if (key == "profile")
            profile = value;
        else if (key == "ident")
            ident = Fields(value);
        else if (key == "values")
            values = Hex(value);
    }
    TFileFCC fcc;
    ASSERT_EQ(fcc.WriteCurrentData(out, address, values.size(), values.data(), time, profile, ident), 0);
}

void WriteEvents(const fs::path &input, const std::string &out) {
    int address = 0;
    TIdentLines ident;
    Bytes records;
    for (const auto &[key, value] : InputLines(input)) {
        if (key == "address") {
            address = std::stoi(value);
        } else if (key == "ident") {
            ident = Fields(value);
        } else if (key == "event") {
            const Bytes record = Hex(value);
            records.insert(records.end(), record.begin(), record.end());
        } else if (key == "store") {
            ASSERT_EQ(StoreEvents(out, address, records.data(), records.size(), ident), 0);
            records.clear();
        }
    }
}

void WriteProfileFile(const fs::path &input, const std::string &out) {
    TProfileSource source;
    std::string error;
    ASSERT_TRUE(CompileProfileSource(ReadText(input / "input.txt"), source, error)) << error;
    TFCProfileRdWr writer;
    ASSERT_EQ(writer.WriteProfile(out + "PROFILE.FCP", source.params, source.items.data(),
                                  static_cast<int>(source.items.size()), source.groups),
              0);
}

// ---- the readers: a code for the file at `path` inside data folder `folder` ----

int ReadArchiveCode(const std::string &folder, const fs::path &path) {
    const std::string name = path.filename().string(); // nnnnn_yyyy_mm_C.FCD
    const int year = std::stoi(name.substr(6, 4));
    const int month = std::stoi(name.substr(11, 2));
    TimeStamp start = MonthStart(year, month);
    TimeStamp end = MonthEnd(year, month);
    TArchive archive;
    const int code =
        archive.OpenPeriod(folder, std::stoi(name.substr(0, 5)), start, end, name.substr(14, name.size() - 18));
    EXPECT_TRUE(code != 0 || archive.SampleCount() > 0) << name;
    return code;
}

int ReadCurrentCode(const std::string &folder, const fs::path &path) {
    TFileFCC fcc;
    std::size_t count = 0;
    const uint8_t *values = nullptr;
    TimeStamp time = 0;
    std::string profile;
    const int code = fcc.ReadCurrentData(folder, std::stoi(path.filename().string()), count, values, time, profile);
    return code == 0 && values == nullptr ? kFccRefused : code;
}

int ReadEventsCode(const std::string &folder, const fs::path &path) {
    const std::string name = path.filename().string(); // nnnnn.FCE, then the generation digit
    const int generation = name.size() > 9 ? name.back() - '0' : 0;
    TEventsFile file;
    const int count = ReadEventsFile(folder, std::stoi(name), generation, {}, file);
    return count < 0 ? count : 0;
}

int ReadProfileCode(const std::string &, const fs::path &path) {
    TFCProfileRdWr reader;
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    return reader.ReadProfile(path.string(), params, items, groups) && !items.empty() ? 0 : -1;
}

// ---- the test ----

struct TKind {
    std::function<void(const fs::path &, const std::string &)> write;
    std::function<int(const std::string &, const fs::path &)> read;
    TCodes codes;
};

const std::map<std::string, TKind> &Kinds() {
    static const std::map<std::string, TKind> kinds = {
        {"fcd", {WriteArchive, ReadArchiveCode, {0, {ArcBadCrc, ArcBadSize}}}},
        {"fcc", {WriteCurrent, ReadCurrentCode, {0, {kFccRefused, kFccRefused}}}},
        {"fce", {WriteEvents, ReadEventsCode, {0, {-1, -1}}}},
        {"fcp", {WriteProfileFile, ReadProfileCode, {0, {-1, -1}}}},
    };
    return kinds;
}

// Files below a folder by their path relative to it.
std::map<std::string, Bytes> FilesBelow(const fs::path &folder) {
    std::map<std::string, Bytes> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
    return files;
}

// Offset of the first byte that differs, or the shorter size.
std::size_t FirstDifference(const Bytes &a, const Bytes &b) {
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.begin() + static_cast<long>(std::min(a.size(), b.size())),
                                                  b.begin())
                                        .first -
                                    a.begin());
}

std::vector<std::string> Cases(const std::string &kind) {
    std::vector<std::string> cases;
    for (const auto &entry : fs::directory_iterator(fs::path(KIV_TEST_DATA_DIR) / kind))
        if (entry.is_directory())
            cases.push_back(kind + "/" + entry.path().filename().string());
    std::sort(cases.begin(), cases.end());
    return cases;
}

class GoldenFile : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { SeedDataRandom(kGoldenSeed); }
    MessageRecorder messages_;
};

TEST_P(GoldenFile, WrittenByteForByteAndDamageRefused) {
    const fs::path caseFolder = fs::path(KIV_TEST_DATA_DIR) / GetParam();
    const TKind &kind = Kinds().at(GetParam().substr(0, GetParam().find('/')));
    test::TempFolder out("kiv-golden");
    kind.write(caseFolder, out.Folder());
    if (HasFatalFailure())
        return;
    const std::map<std::string, Bytes> written = FilesBelow(out.path);
    ASSERT_FALSE(written.empty());

    std::map<std::string, Bytes> expected = FilesBelow(caseFolder);
    expected.erase("input.txt");
    if (std::getenv("KIV_UPDATE_GOLDEN") != nullptr) {
        for (const auto &[name, bytes] : expected)
            fs::remove(caseFolder / name);
        for (const auto &[name, bytes] : written)
            WriteBytes(caseFolder / name, bytes);
        expected = written;
    }
    ASSERT_EQ(written.size(), expected.size()) << "the writer made other files than the case folder holds";
    for (const auto &[name, bytes] : written) {
        const auto found = expected.find(name);
        ASSERT_NE(found, expected.end()) << name << " is not expected";
        EXPECT_EQ(bytes.size(), found->second.size()) << name;
        EXPECT_TRUE(bytes == found->second) << name << " differs from byte " << FirstDifference(bytes, found->second);

        EXPECT_EQ(kind.read(out.Folder(), out.path / name), kind.codes.intact) << name;
        for (std::size_t d = 0; d < std::size(kDamages); ++d) {
            test::TempFolder damagedFolder("kiv-golden-damaged");
            Bytes damaged = found->second;
            kDamages[d].apply(damaged);
            WriteBytes(damagedFolder.path / name, damaged);
            EXPECT_EQ(kind.read(damagedFolder.Folder(), damagedFolder.path / name), kind.codes.damaged[d])
                << name << ": " << kDamages[d].what;
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<std::string> &info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fcd, GoldenFile, ::testing::ValuesIn(Cases("fcd")), CaseName);
INSTANTIATE_TEST_SUITE_P(Fcc, GoldenFile, ::testing::ValuesIn(Cases("fcc")), CaseName);
INSTANTIATE_TEST_SUITE_P(Fce, GoldenFile, ::testing::ValuesIn(Cases("fce")), CaseName);
INSTANTIATE_TEST_SUITE_P(Fcp, GoldenFile, ::testing::ValuesIn(Cases("fcp")), CaseName);

} // namespace
} // namespace kiv

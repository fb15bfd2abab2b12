// kiv-cli check on a demo folder made by kiv-demodata over a fixed half year:
// exactly the gaps the demo manifest plants, then the same folder with a
// truncated month file, a flipped byte in an events file and in an older
// generation of one, a station file without [Main], empty files and a
// hand-made month file whose samples are out of order and out of their month;
// the check leaves every byte as it was.
#include "cli/cli_run.h"
#include "datafiles/archive.h"
#include "datafiles/sample_value.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace kiv::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

// A month file with keys of zeros (so stored and clear bytes agree) and
// hourly samples at the given times, in the given order.
void WriteMonthFile(const std::string& path, const std::vector<TimeStamp>& times) {
    Bytes image(kHeaderSize, 0);
    const std::string name = fs::path(path).filename().string();
    const uint8_t zeros[kKeySize] = {};
    AppendSection(image, 0, reinterpret_cast<const uint8_t*>(name.c_str()), name.size() + 1);
    AppendSection(image, 2, zeros, kKeySize);
    AppendSection(image, 3, zeros, kKeySize);
    const std::size_t header = image.size();
    for (TimeStamp time : times) {
        uint8_t record[kSampleSize];
        const uint8_t slot[5] = {1, 7, 0, 0, 0};
        EncodeSample(record, time, 60, VtUInt32, slot, sizeof slot);
        image.insert(image.end(), record, record + kSampleSize);
    }
    WriteHeader(image, {{'Z', 'Q', 'F', 'C', 'D'}, 1, static_cast<uint16_t>(header), 16,
                        static_cast<uint32_t>(image.size()), Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize)});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
}

TimeStamp At(const std::string& text) {
    TimeStamp stamp = 0;
    EXPECT_TRUE(ParseStamp(text, stamp)) << text;
    return stamp;
}

// Every file below the folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().string()] = ReadText(entry.path().string());
    return files;
}

struct CliCheckTest : ::testing::Test {
    TempFolder dir{"kiv-cli-check"};
    std::string demo = dir.File("demo");

    void SetUp() override {
        ASSERT_EQ(std::system((KIV_PROGRAM_DIR "/kiv-demodata " + demo +
                               " --from 2025-01-01 --until 2025-06-30 >/dev/null").c_str()),
                  0);
    }

    // Each gap line must be a planted gap, its bounding samples one interval
    // outside the manifest's first and last missing sample, and each planted
    // gap must be seen. Returns the other lines.
    std::vector<std::string> CheckGaps(const std::string& out) {
        std::set<std::string> planted, seen;
        for (const std::string& line : Lines(ReadText(demo + "/demo-manifest.txt"))) {
            const auto f = Fields(line);
            if (f.size() == 4 && f[0] == "gap") planted.insert(f[1] + " " + f[2] + " " + f[3]);
        }
        std::vector<std::string> rest;
        for (const std::string& line : Lines(out)) {
            const auto f = Fields(line);
            if (f.size() != 7 || f[1] != "luka") {
                rest.push_back(line);
                continue;
            }
            const TimeStamp step = 60u * static_cast<TimeStamp>(std::stoi(f[3]));
            const std::string gap = std::to_string(std::stoi(f[0])) + " " + StampText(At(f[4]) + step) + " " +
                                    StampText(At(f[5]) - step);
            EXPECT_TRUE(planted.contains(gap)) << line;
            seen.insert(gap);
        }
        EXPECT_EQ(seen, planted);
        return rest;
    }
};

TEST_F(CliCheckTest, DemoFolderShowsThePlantedGapsOnly) {
    const Outcome run = RunCli({"check", demo}, dir);
    EXPECT_EQ(run.code, 1) << run.err;
    // Station 11 keeps Vn and Vr daily: its 19 missing hours are no gap there.
    EXPECT_EQ(run.out, "00007\tluka\tP\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00007\tluka\tVn\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00007\tluka\tVr\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00007\tluka\tdVn\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00007\tluka\tdVr\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00007\tluka\tt\t60\t2025-03-18 08:00:00\t2025-03-19 16:00:00\t32 h\n"
                       "00011\tluka\tP\t60\t2025-05-09 00:00:00\t2025-05-09 21:00:00\t21 h\n"
                       "00011\tluka\tdVn\t60\t2025-05-09 00:00:00\t2025-05-09 21:00:00\t21 h\n"
                       "00011\tluka\tdVr\t60\t2025-05-09 00:00:00\t2025-05-09 21:00:00\t21 h\n"
                       "00011\tluka\tt\t60\t2025-05-09 00:00:00\t2025-05-09 21:00:00\t21 h\n"
                       "Sprawdzono stacji: 12, plików: 505; znaleziono: 10\n");
    EXPECT_EQ(CheckGaps(run.out).size(), 1u);

    const Outcome clean = RunCli({"check", demo, "1", "2", "1"}, dir);
    EXPECT_EQ(clean.code, 0) << clean.out;
    EXPECT_EQ(clean.out, "Sprawdzono stacji: 2, plików: 86; znaleziono: 0\n");
}

TEST_F(CliCheckTest, DamagedFilesAreNamedAndTheRestStillChecked) {
    fs::resize_file(demo + "/FC_00002/00002_2025_03_dVn.FCD", 5000);
    const auto flip = [](const std::string& path) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(100);
        const char byte = static_cast<char>(file.get() ^ 0x01);
        file.seekp(100);
        file.put(byte);
    };
    flip(demo + "/FC_00003/00003.FCE");
    fs::copy_file(demo + "/FC_00006/00006.FCE", demo + "/FC_00006/00006.FCE1");
    flip(demo + "/FC_00006/00006.FCE1");
    std::ofstream(demo + "/FC_00004/00004.INI", std::ios::trunc) << "[Hardware]\r\nDeviceProfile=Kivmet KM-100\r\n";
    fs::resize_file(demo + "/FC_00009/00009.FCC", 0);
    fs::resize_file(demo + "/FC_00010/00010_2025_02_P.FCD", 0); // no gap is made up around it
    WriteMonthFile(demo + "/FC_00005/00005_2025_03_Q.FCD",
                   {At("2025-03-04 10:00:00"), At("2025-03-04 12:00:00"), At("2025-03-04 11:00:00"),
                    At("2025-04-01 00:00:00")});
    const auto before = Snapshot(demo);

    const Outcome run = RunCli({"check", demo}, dir);
    EXPECT_EQ(run.code, 1) << run.err;
    auto rest = CheckGaps(run.out);
    ASSERT_FALSE(rest.empty());
    rest.pop_back(); // the summary
    EXPECT_EQ(rest, (std::vector<std::string>{
                        "00002\tplik\t00002_2025_03_dVn.FCD\tNiewłaściwy rozmiar pliku",
                        "00003\tplik\t00003.FCE\tNieprawidłowa suma kontrolna pliku (-100)",
                        "00004\tplik\t00004.INI\tbrak sekcji [Main]",
                        "00005\tkolejność\t00005_2025_03_Q.FCD\t1 próbka nie po kolei, pierwsza 2025-03-04 11:00:00",
                        "00005\tpoza miesiącem\t00005_2025_03_Q.FCD\t1 próbka spoza miesiąca pliku",
                        "00006\tplik\t00006.FCE1\tNieprawidłowa suma kontrolna pliku (-100) (starsza generacja zdarzeń)",
                        "00009\tplik\t00009.FCC\tplik jest pusty (0 bajtów)",
                        "00010\tplik\t00010_2025_02_P.FCD\tplik jest pusty (0 bajtów)",
                    }));
    EXPECT_TRUE(Snapshot(demo) == before) << "the check changed the folder";
}

TEST_F(CliCheckTest, RefusedCalls) {
    EXPECT_EQ(RunCli({"check", demo, "0"}, dir).code, 64);
    EXPECT_EQ(RunCli({"check", demo, "--fix"}, dir).code, 64);
    EXPECT_EQ(RunCli({"check"}, dir).code, 64);
    const Outcome missing = RunCli({"check", demo, "99"}, dir);
    EXPECT_EQ(missing.code, 66);
    EXPECT_NE(missing.err.find("nie ma stacji 00099"), std::string::npos) << missing.err;
    EXPECT_EQ(RunCli({"check", dir.File("none")}, dir).code, 66);
}

} // namespace
} // namespace kiv::test

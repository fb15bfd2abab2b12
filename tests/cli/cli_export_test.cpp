// kiv-cli export run on the export tests' data folder: the files it prints
// and writes (the DZN day file the same bytes as the window's export), the
// doubling of CSV files, a write failure and an unreadable archive that
// still write the rest, the refused station above 700 and the checks of the
// call.
#include "cli/cli_run.h"
#include "export/export_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kiv::test {
namespace {

namespace fs = std::filesystem;

struct CliExportTest : ::testing::Test {
    TempFolder dir{"kiv-cli-export"};
    std::string data = dir.File("data");
    std::string out = dir.File("out");

    void SetUp() override {
        fs::create_directories(data);
        WriteExportFolder(data + "/");
    }

    Outcome Export(const std::string &format, std::vector<std::string> keys, std::vector<std::string> more = {}) {
        std::vector<std::string> args{"export", format, data};
        args.insert(args.end(), keys.begin(), keys.end());
        for (const char *option : {"--from", "2005-03-12", "--to", "2005-03-12", "--out", out.c_str(), "--shift", "-2"})
            args.emplace_back(option);
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args, dir);
    }
};

TEST_F(CliExportTest, CsvTwiceThenDzn) {
    const Outcome csv = Export("csv", {"12", "13"}, {"--param", "dVn", "--param", "Vn", "--sep", ","});
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(csv.out, out + "/00012_Vn.CSV\n" + out + "/00012_dVn.CSV\n" + out + "/00013_dVn.CSV\n");
    const std::string once = ReadText(out + "/00013_dVn.CSV");
    EXPECT_EQ(once, "2005-03-11/23:00;1,000;1\r\n2005-03-12/00:00;2,000;1\r\n");
    ASSERT_EQ(Export("csv", {"13"}, {"--sep", ","}).code, 0);
    EXPECT_EQ(ReadText(out + "/00013_dVn.CSV"), once + once);

    const Outcome dzn = Export("dzn", {"12"});
    ASSERT_EQ(dzn.code, 0) << dzn.err;
    EXPECT_EQ(dzn.out, out + "/Kiv012/L_CFG.INI\n" + out + "/Kiv012/L050312.dzn\n" + out + "/Kiv012/L0503.msc\n");
    EXPECT_EQ(ReadText(out + "/Kiv012/L050312.dzn"), ReadText(KIV_TEST_DATA_DIR "/export/L050312.dzn"));
}

TEST_F(CliExportTest, FailedWriteAndRefusedStation) {
    fs::create_directories(out);
    { std::ofstream blocker(out + "/Kiv013"); } // a file where the station folder goes
    const Outcome run = Export("dzn", {"13", "701", "12"});
    EXPECT_EQ(run.code, 66);
    EXPECT_NE(run.err.find("Dane z przelicznikow o numerach większych od 700 nie mogą być zapisywane w plikach *.DZN"),
              std::string::npos);
    EXPECT_NE(run.err.find("nie zapisano pliku " + out + "/Kiv013/"), std::string::npos);
    EXPECT_TRUE(fs::exists(out + "/Kiv012/L050312.dzn"));
    EXPECT_FALSE(fs::exists(out + "/Kiv012/L0503.msc")) << "the monthly files went with the first station";
    EXPECT_EQ(Export("dzn", {"701"}).code, 65);
}

TEST_F(CliExportTest, UnreadableArchive) {
    { std::ofstream broken(data + "/FC_00012/00012_2005_03_dP.FCD"); broken << "no archive"; }
    for (const char *format : {"dzn", "csv"}) {
        const Outcome run = Export(format, {"12"});
        EXPECT_EQ(run.code, 66) << format;
        EXPECT_NE(run.err.find("nie wyeksportowano archiwum 00012 dP"), std::string::npos) << run.err;
        EXPECT_NE(run.out.find(std::string(format) == "dzn" ? "L050312.dzn" : "00012_dVn.CSV"), std::string::npos);
    }
}

TEST_F(CliExportTest, CallChecks) {
    struct Row {
        std::vector<std::string> args;
        int code;
        const char *message;
    } rows[] = {
        {{"export", "csv", data, "12", "--from", "2005-03-12", "--to", "2005-03-12"}, 64, "brak opcji --out"},
        {{"export", "xls", data, "12"}, 64, "nieznany format"},
        {{"export", "dzn", data, "12", "--from", "2005-03-12", "--to", "2005-03-11", "--out", out}, 64, "odwrócony"},
        {{"export", "dzn", data, "12", "--from", "2005-03-12", "--to", "2005-03-12", "--out", out, "--param", "P"},
         64, "tylko eksportu csv"},
        {{"export", "csv", data, "12", "--from", "2005-03-12", "--to", "2005-03-12", "--out", out, "--param", "Q"},
         66, "nie ma parametru \"Q\""},
        {{"export", "csv", data, "14", "--from", "2005-03-12", "--to", "2005-03-12", "--out", out}, 66, "brak stacji 00014"},
        {{"export", "csv", data, "12", "--from", "2005-03-1", "--to", "2005-03-12", "--out", out}, 64, "data --from"},
    };
    for (const char *separator : {";", "5", "\t", ",,", "\xC2\x85"}) {
        const Outcome run = Export("csv", {"12"}, {"--sep", separator});
        EXPECT_EQ(run.code, 64) << separator;
        EXPECT_NE(run.err.find("niepoprawny separator"), std::string::npos) << run.err;
    }
    for (const Row &row : rows) {
        const Outcome run = RunCli(row.args, dir);
        EXPECT_EQ(run.code, row.code) << row.message;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(out + "/00012_P.CSV"));
}

} // namespace
} // namespace kiv::test

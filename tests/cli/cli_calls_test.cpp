// kiv-cli over good and bad calls: each row runs the built program and checks
// the exit code and the first line the user reads (stdout for the help and
// listings, stderr for a refusal, which must name what was wrong and leave
// stdout empty).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_run.h"
#include "config/station_db.h"
#include "datafiles/archive.h"

namespace kiv {
namespace {

using test::FirstLine;
using test::Outcome;
using test::ReadText;
using test::RunCli;

void AddSample(Bytes& records, uint32_t time, uint32_t value) {
    uint8_t record[kSampleSize] = {static_cast<uint8_t>(time), static_cast<uint8_t>(time >> 8),
                                   static_cast<uint8_t>(time >> 16), static_cast<uint8_t>(time >> 24), 60, 0, 6, 1,
                                   static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    records.insert(records.end(), record, record + kSampleSize);
}

// Station 12 with a station file and three hourly samples of Vn in January
// 2026; no current data or events file. Beside it a settings file and a
// folder without stations.
class CliCalls : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.path / "data" / "FC_00012");
        std::filesystem::create_directories(dir_.path / "empty");
        std::ofstream(StationFilePath(Data(), 12)) << "[Main]\r\nLabel=Stacja dwunasta\r\n";
        std::ofstream(Data() + "Kiv.ini") << "[Catalogues]\r\nDataPath=" << Data() << "\r\n";
        TParamItem item;
        item.SetShortName("Vn");
        item.SetHourIndex(0);
        item.SetHourTypeCode(6);
        item.SetFactorBelow(1.0f);
        item.SetFactorAbove(1.0f);
        Bytes records;
        for (uint32_t h = 0; h < 3; ++h) AddSample(records, EncodeTime({2026, 1, 10, 0, 0, 0}) + h * 3600, 100 + h);
        TArchive archive;
        ASSERT_EQ(archive.StoreSamples(Data(), 12, item, records.data(), records.size(),
                                       {"Kivmet", "1", "KM-100", "", "", ""}, "Vn"),
                  0);
    }
    std::string Data() const { return dir_.Folder() + "data/"; }
    // "{data}", "{empty}", "{fcd}", "{fcp}" and "{ini}" stand for the paths of the fixture.
    std::string Expand(std::string text) const {
        const std::pair<std::string, std::string> names[] = {
            {"{data}", dir_.Folder() + "data"},
            {"{empty}", dir_.Folder() + "empty"},
            {"{fcd}", Data() + "FC_00012/00012_2026_01_Vn.FCD"},
            {"{fcp}", KIV_PROGRAM_DIR "/KM100.FCP"},
            {"{ini}", Data() + "Kiv.ini"}};
        for (const auto& [name, path] : names)
            for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, name.size(), path);
        return text;
    }

    test::TempFolder dir_{"kiv-cli-calls"};
};

constexpr const char* kFrom = "2026-01-01 00:00:00";
constexpr const char* kTo = "2026-02-01 00:00:00";

TEST_F(CliCalls, ExitCodeAndFirstLine) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int code;
        const char* line; // in the first line of stdout on exit 0, else of stderr
    };
    const Row rows[] = {
        {"help switch", {"--help"}, 0, "Użycie: kiv-cli POLECENIE"},
        {"short help switch", {"-h"}, 0, "Użycie: kiv-cli POLECENIE"},
        {"help command", {"help"}, 0, "Użycie: kiv-cli POLECENIE"},
        {"help on a command", {"help", "archive"}, 0, "kiv-cli archive FOLDER ADRES KANAŁ OD DO"},
        {"help switch after a command", {"events", "{data}", "--help"}, 0, "kiv-cli events FOLDER ADRES [GENERACJA]"},
        {"help on an unknown command", {"help", "frob"}, 64, "\"frob\""},
        {"no command", {}, 64, "Użycie: kiv-cli POLECENIE"},
        {"unknown command", {"frob"}, 64, "nieznane polecenie \"frob\""},
        {"unknown option", {"archive", "{data}", "12", "Vn", kFrom, kTo, "--bogus"}, 64, "\"--bogus\""},
        {"missing argument", {"stations"}, 64, "brak argumentu FOLDER"},
        {"surplus argument", {"fcc", "{data}", "12", "13"}, 64, "\"13\""},
        {"address zero", {"fcc", "{data}", "0"}, 64, "\"0\""},
        {"address past 65535", {"events", "{data}", "65536"}, 64, "\"65536\""},
        {"address not a number", {"archive", "{data}", "12x", "Vn", kFrom, kTo}, 64, "\"12x\""},
        {"time not a date", {"archive", "{data}", "12", "Vn", "2026-13-01 00:00:00", kTo}, 64, "\"2026-13-01 00:00:00\""},
        {"reversed period", {"archive", "{data}", "12", "Vn", kTo, kFrom}, 64, "odwrócony zakres czasu"},
        {"generation past 9", {"events", "{data}", "12", "10"}, 64, "\"10\""},
        {"no data folder", {"stations", "{data}/nowhere"}, 66, "{data}/nowhere"},
        {"folder without stations", {"stations", "{empty}"}, 66, "{empty}"},
        {"no such station", {"fcc", "{data}", "99"}, 66, "brak stacji 00099"},
        {"no such channel", {"archive", "{data}", "12", "Nope", kFrom, kTo}, 66, "\"Nope\""},
        {"no current data file", {"fcc", "{data}", "12"}, 66, "00012.FCC"},
        {"no events file", {"events", "{data}", "12"}, 66, "00012.FCE"},
        {"archive-info on the settings file", {"archive-info", "{ini}"}, 65, "{ini} nie jest plikiem archiwum"},
        {"archive-info on no file", {"archive-info", "{data}/none.FCD"}, 66, "{data}/none.FCD"},
        {"profile on a month file", {"profile", "{fcd}"}, 65, "{fcd} nie jest profilem urządzenia"},
        {"profile on no file", {"profile", "{data}/none.FCP"}, 66, "{data}/none.FCP"},
        {"stations", {"stations", "{data}"}, 0, "00012\tStacja dwunasta"},
        {"archive", {"archive", "{data}", "12", "Vn", kFrom, kTo}, 0, "status 0, 3 samples"},
        {"archive-info", {"archive-info", "{fcd}"}, 0, "magic \"ZQFCD\""},
        {"profile", {"profile", "{fcp}"}, 0, "Kivmet KM-100"},
        {"series: formula that does not parse", {"series", "{data}", "12x", "Vn", kFrom, kTo}, 64, "\"12x\""},
        {"series: no such member station", {"series", "{data}", "12-99", "Vn", kFrom, kTo}, 66, "brak stacji 00099"},
        {"series: no such channel", {"series", "{data}", "12", "Nope", kFrom, kTo}, 66, "\"Nope\""},
        {"series: reversed period", {"series", "{data}", "12", "Vn", kTo, kFrom}, 64, "odwrócony zakres czasu"},
        {"series: outside the accepted range", {"series", "{data}", "12", "Vn", kFrom, kTo, "--upper", "2025-06-01"},
         64, "Zakres czasowy danych nie mieści się w akceptowanych limitach"},
        {"series of a counter", {"series", "{data}", "00012", "Vn", "2026-01-10", "2026-01-11", "--counter"}, 0,
         "2026-01-10 00:00:00\t60\t1\t100\t1"},
        {"help on read", {"help", "read"}, 0, "kiv-cli read FOLDER ADRES [opcje]"},
        {"read: unknown option", {"read", "{data}", "12", "--speed", "9600"}, 64, "\"--speed\""},
        {"read: option without its value", {"read", "{data}", "12", "--baud"}, 64, "--baud"},
        {"read: baud rate not in the list", {"read", "{data}", "12", "--baud", "14400"}, 64, "\"14400\""},
        {"read: parity not in the list", {"read", "{data}", "12", "--parity", "even"}, 64, "\"even\""},
        {"read: port text", {"read", "{data}", "12", "--port", "LPT1"}, 64, "\"LPT1\""},
        {"read: block past 250", {"read", "{data}", "12", "--block", "300"}, 64, "\"300\""},
        {"read: negative attempts", {"read", "{data}", "12", "--attempts", "-1"}, 64, "\"-1\""},
        {"read: time not a date", {"read", "{data}", "12", "--from", "2026-02-30 00:00:00"}, 64, "\"2026-02-30 00:00:00\""},
        {"read: time past 2038", {"read", "{data}", "12", "--to", "2040-01-01 00:00:00"}, 64, "2040-01-01 00:00:00"},
        {"read: reversed range", {"read", "{data}", "12", "--from", kTo, "--to", kFrom}, 64, "odwrócony zakres czasu"},
        {"read: address zero", {"read", "{data}", "0"}, 64, "\"0\""},
        {"read: no data folder", {"read", "{data}/nowhere", "12"}, 66, "{data}/nowhere"},
        {"read: no such station", {"read", "{data}", "99"}, 66, "brak stacji 00099"},
        {"read: station without a profile", {"read", "{data}", "12"}, 65, "nie ma przypisanego profilu"},
        {"report: unknown kind", {"report", "monthly", "{data}", "12", "2026-01-10"}, 64, "\"monthly\""},
        {"report: date with a time", {"report", "daily", "{data}", "12", kFrom}, 64, "RRRR-MM-DD"},
        {"report: shift past 23", {"report", "daily", "{data}", "12", "2026-01-10", "--shift", "24"}, 64, "\"24\""},
        {"report: no days", {"report", "daily", "{data}", "12", "2026-01-10", "--days", "0"}, 64, "\"0\""},
        {"report: no such station", {"report", "daily", "{data}", "99", "2026-01-10"}, 66, "brak stacji 00099"},
        {"report: no such virtual station", {"report", "daily", "{data}", "Nikt", "2026-01-10"}, 66, "\"Nikt\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args;
        for (const std::string& a : row.args) args.push_back(Expand(a));
        const Outcome got = RunCli(args, dir_);
        EXPECT_EQ(got.code, row.code) << got.err;
        EXPECT_NE(FirstLine(row.code == 0 ? got.out : got.err).find(Expand(row.line)), std::string::npos)
            << "stdout:\n" << got.out << "stderr:\n" << got.err;
        EXPECT_EQ(row.code == 0 ? got.err : got.out, "") << "a refusal lists nothing, a listing warns of nothing";
    }
}

// Names, sizes and times of everything in the folder.
std::string Listing(const std::filesystem::path& folder) {
    std::string text;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        text += entry.path().string() + " " + (entry.is_regular_file() ? std::to_string(entry.file_size()) : "") + " " +
                std::to_string(entry.last_write_time().time_since_epoch().count()) + "\n";
    return text;
}

TEST_F(CliCalls, VirtualSumOfTwoStations) {
    TParamItem item;
    item.SetShortName("Vn");
    item.SetFactorBelow(1.0f);
    item.SetFactorAbove(1.0f);
    Bytes records;
    for (uint32_t h = 0; h < 3; ++h) AddSample(records, EncodeTime({2026, 1, 10, 0, 0, 0}) + h * 3600, 10 * (h + 1));
    TArchive archive;
    ASSERT_EQ(archive.StoreSamples(Data(), 13, item, records.data(), records.size(), {"Kivmet", "2", "KM-100", "", "", ""},
                                   "Vn"),
              0);
    std::ofstream(StationFilePath(Data(), 13)) << "[Main]\r\nLabel=Stacja trzynasta\r\n";
    const std::string before = Listing(dir_.path / "data");
    const Outcome hours = RunCli({"series", Data(), "12-13", "Vn", "2026-01-10 00:00:01", "2026-01-10 03:00:00"}, dir_);
    EXPECT_EQ(hours.code, 0) << hours.err;
    EXPECT_EQ(hours.out, "2026-01-10 01:00:00\t60\t1\t81\t1\n"
                         "2026-01-10 02:00:00\t60\t1\t72\t1\n"
                         "2026-01-10 03:00:00\t60\t0\t0\t1\n");
    const Outcome days =
        RunCli({"series", Data(), "+00012+00013", "Vn", "2026-01-10 00:00:01", "2026-01-11", "--counter"}, dir_);
    EXPECT_EQ(days.code, 0) << days.err;
    EXPECT_EQ(days.out, "2026-01-10 00:00:00\t1440\t1\t110\t1\n"
                        "2026-01-11 00:00:00\t1440\t0\t0\t1\n");
    EXPECT_EQ(Listing(dir_.path / "data"), before) << "the data folder is only read";
}

// The whole text of two report days of a station with hourly increments
// and the day-boundary counter readings.
TEST_F(CliCalls, DailyReportText) {
    TParamItem dvn;
    dvn.SetShortName("dVn");
    dvn.SetUnit("m3");
    dvn.SetKind("dV");
    dvn.SetFactorBelow(1.0f);
    dvn.SetFactorAbove(1.0f);
    TParamItem vn = dvn;
    vn.SetShortName("Vn");
    vn.SetKind("V");
    vn.SetColumnIndex(1);
    Bytes increments, counters;
    AddSample(increments, EncodeTime({2026, 1, 10, 1, 0, 0}), 5);
    AddSample(increments, EncodeTime({2026, 1, 11, 0, 0, 0}), 7);
    AddSample(counters, EncodeTime({2026, 1, 10, 0, 0, 0}), 1000);
    AddSample(counters, EncodeTime({2026, 1, 11, 0, 0, 0}), 1012);
    TArchive archive;
    const TDevSign sign{"Kivmet", "7", "KM-100", "", "", ""};
    ASSERT_EQ(archive.StoreSamples(Data(), 14, dvn, increments.data(), increments.size(), sign, "dVn"), 0);
    ASSERT_EQ(archive.StoreSamples(Data(), 14, vn, counters.data(), counters.size(), sign, "Vn"), 0);
    std::ofstream(StationFilePath(Data(), 14)) << "[Main]\r\nLabel=Czternasta\r\n";
    std::string day1 = "Stacja nr:00014. Raport dobowy Czternasta KM-100 Nr fabr.7\n"
                       "10.01.2026\tdVn\tdVr\tP\tt\tdP\trez1\trez2\n";
    std::string day2 = "Stacja nr:00014. Raport dobowy Czternasta KM-100 Nr fabr.7\n"
                       "11.01.2026\tdVn\tdVr\tP\tt\tdP\trez1\trez2\n";
    for (int h = 0; h < 24; ++h) {
        char label[16];
        std::snprintf(label, sizeof label, "  %02d - %02d", h, (h + 1) % 24);
        day1 += std::string(label) + (h == 0 ? "\t5.00\t\t\t\t\t\t\n" : h == 23 ? "\t7.00\t\t\t\t\t\t\n" : "\t\t\t\t\t\t\t\n");
        day2 += std::string(label) + "\t\t\t\t\t\t\t\n";
    }
    day1 += "Przyrost stanu licznika Vn za okres raportu:000000001000 / 000000001012 = 12 m3\n\n";
    day2 += "\n\n";
    const Outcome got = RunCli({"report", "daily", Data(), "14", "2026-01-10", "--shift", "0", "--days", "2"}, dir_);
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, day1 + "--\n" + day2);
    const Outcome pdf = RunCli({"report", "daily", Data(), "14", "2026-01-10", "--days", "2", "--pdf",
                                dir_.File("days.pdf")}, dir_);
    EXPECT_EQ(pdf.code, 0) << pdf.err;
    EXPECT_EQ(pdf.out, "");
    const std::string pages = ReadText(dir_.File("days.pdf"));
    EXPECT_EQ(pages.substr(0, 5), "%PDF-");
    std::size_t count = 0;
    for (std::size_t at = 0; (at = pages.find("/Type /Page\n", at)) != std::string::npos; ++at) ++count;
    EXPECT_EQ(count, 2u) << "one page a day";
}

} // namespace
} // namespace kiv

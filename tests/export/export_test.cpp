// The CSV and DZN exports: the value texts, the DZN names and reals, the
// day loop, the backups of day files, and whole exports of the shared data
// folder, the day file compared byte for byte with tests/data/export
// (KIV_UPDATE_GOLDEN=1 writes it anew).
#include "export/csv_export.h"
#include "export/dzn_export.h"

#include "common/temp_folder.h"
#include "datafiles/real48.h"
#include "export/export_fixture.h"
#include "support/file_replace.h"
#include "support/message_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace kiv {
namespace {

namespace fs = std::filesystem;
using test::At;

const uint8_t kMinus100[6] = {0x87, 0, 0, 0, 0, 0xC8};

std::string Read(const std::string &path) {
    std::string content;
    (void)ReadWholeFile(path, content);
    return content;
}

template <class Bytes> float Cell(const Bytes &day, int row, int column) {
    float value = 0;
    std::memcpy(&value, day.data() + (row * 8 + column) * 4, 4);
    return value;
}

double Counter(const std::string &month, int day) {
    return Real48ToDouble(reinterpret_cast<const uint8_t *>(&month[(day - 1) * 14 + 6]));
}

TExportRequest Request(const std::string &folder, std::vector<std::string> keys, int dayOfMarch = 12) {
    const TimeStamp days = (dayOfMarch - 12) * 86400u;
    return {std::move(keys), folder, test::ExportDayStart() + days, test::ExportDayEnd() + days, 0, 0xFFFFFFFFu, -2,
            "."};
}

TExportOutcome RunDzn(const TExportRequest &request, const std::string &outFolder) {
    TExportPeriod period;
    EXPECT_TRUE(ShiftPeriod(request, period));
    return ExportDzn(request, period, [&](std::string &folder) {
        folder = outFolder;
        return true;
    });
}

TEST(ExportCsv, LineTexts) {
    struct Row {
        const char *name;
        TReportSample sample;
        bool counter;
        const char *separator;
        const char *line;
    } rows[] = {
        {"hourly dVn", {At(2005, 3, 5, 14), 60, 1, 12.5, 1}, false, ".", "2005-03-05/14:00;12.500;1\r\n"},
        {"12-digit counter", {At(2005, 3, 5, 22), 60, 1, 123456789012.4, 1}, true, ".", "2005-03-05/22:00;123456789012;1\r\n"},
        {"9 digits, comma", {At(2005, 3, 5, 1, 30), 30, 2, 1234567.891, 1}, false, ",", "2005-03-05/01:30;1234567,890;2\r\n"},
        {"tiny negative", {At(2005, 3, 5), 60, 1, -0.0001, 1}, false, ".", "2005-03-05/00:00;0.000;1\r\n"},
        {"no number", {At(2005, 3, 5), 60, 1, 0.0, 0}, false, ".", "2005-03-05/00:00;0.000;0\r\n"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(CsvLine(row.sample, row.counter, row.separator), row.line) << row.name;
}

TEST(ExportDzn, NamesAndReals) {
    for (const auto &[address, letters, folder] : {std::tuple{1, "A", "o/Kiv001/"}, {27, "AA", "o/Kiv027/"},
                                                   {53, "BA", "o/Kiv053/"}, {700, "ZX", "o/Kiv700/"}}) {
        EXPECT_EQ(DznLetters(address), letters);
        EXPECT_EQ(DznStationFolder("o/", address), folder);
    }
    EXPECT_EQ(DznLetters(701), "");
    uint8_t bytes[6];
    EXPECT_TRUE(EncodeReal48(-100.0, bytes));
    EXPECT_EQ(std::memcmp(bytes, kMinus100, 6), 0);
    for (const double value : {0.0, 1.0, -0.5, 323293.33, 1e30})
        EXPECT_TRUE(EncodeReal48(value, bytes) && std::fabs(Real48ToDouble(bytes) - value) <= std::fabs(value) * 1e-11);
    for (const double value : {1e39, std::nan("")})
        EXPECT_FALSE(EncodeReal48(value, bytes) || std::memcmp(bytes, kMinus100, 6) != 0);
}

// Days without "dVn" and parameters on different days each get their file.
TEST(ExportDzn, DayLoop) {
    TDznColumnSamples columns;
    columns[2] = {{At(2005, 3, 11, 22, 30), 30, 4.0f}, {At(2005, 3, 12, 22), 30, 5.0f}, {At(2005, 3, 12, 9), 60, 6.0f}};
    columns[1] = {{At(2005, 3, 14, 8), 60, 3.0f}};
    const TDznDays days = BuildDayFiles(columns, -7200);
    ASSERT_EQ(days.days.size(), 2u);
    EXPECT_EQ(days.days[0].date, "050312");
    EXPECT_EQ(days.days[0].content.size(), 48u * 32);
    EXPECT_EQ(Cell(days.days[0].content, 0, 2), 4.0f);
    EXPECT_EQ(Cell(days.days[0].content, 47, 2), 5.0f);
    EXPECT_EQ(days.days[1].date, "050314");
    EXPECT_EQ(Cell(days.days[1].content, 9, 1), 3.0f);
    EXPECT_EQ(days.skipped, 1);
}

// Contents of 1 .. 11 rows, each of its own size after one of the same size:
// the newest ten stay, the oldest in .dz9.
TEST(ExportDzn, DayFileBackups) {
    test::TempFolder temp("kiv-dzn-backup");
    const std::string path = temp.File("A050312.dzn");
    ASSERT_EQ(WriteDayFile(path, std::vector<uint8_t>(32, 0)), 0);
    for (uint8_t rows = 1; rows <= 11; ++rows)
        ASSERT_EQ(WriteDayFile(path, std::vector<uint8_t>(rows * 32u, rows)), 0);
    EXPECT_EQ(Read(path), std::string(11 * 32, 11));
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(Read(temp.File("A050312.dz" + std::to_string(n))), std::string((11 - n) * 32u, char(11 - n))) << n;
    EXPECT_FALSE(fs::exists(temp.File("A050312.dz0")));
}

TEST(ExportDzn, ThreeStations) {
    test::TempFolder data("kiv-dzn-data"), out("kiv-dzn-out");
    test::WriteExportFolder(data.Folder());
    MessageRecorder messages;
    TExportPeriod period;
    ASSERT_TRUE(ShiftPeriod(Request(data.Folder(), {"00012@Kotłownia", "00701@Daleka", "00013@Łaźnia"}), period));
    int asked = 0;
    const TExportOutcome outcome =
        ExportDzn(Request(data.Folder(), {"00012@Kotłownia", "00701@Daleka", "00013@Łaźnia"}), period,
                  [&](std::string &folder) {
                      ++asked;
                      folder = out.Folder();
                      return true;
                  });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(outcome.refused, 1);
    EXPECT_TRUE(outcome.failed.empty());
    ASSERT_EQ(messages.Count(), 2u);
    EXPECT_EQ(messages.Messages()[0].kind, MsgWarning) << "the stray 15-minute dVn";
    EXPECT_EQ(messages.Messages()[1].text, kDznRefusedMessage);
    EXPECT_EQ(messages.Messages()[1].kind, MsgInformation);

    const std::string day = Read(out.File("Kiv012/L050312.dzn"));
    ASSERT_EQ(day.size(), 24u * 32);
    EXPECT_EQ(Cell(day, 0, 0), 10.0f) << "23:00:00 of 11 March is row 0";
    EXPECT_EQ(Cell(day, 23, 0), 33.0f);
    EXPECT_EQ(Cell(day, 5, 0), -100.0f) << "invalid";
    EXPECT_EQ(Cell(day, 0, 5), 7.0f) << "REZ1 matched without regard to case";
    const std::string golden = std::string(KIV_TEST_DATA_DIR) + "/export/L050312.dzn";
    if (std::getenv("KIV_UPDATE_GOLDEN") != nullptr) {
        ASSERT_EQ(ReplaceFile(golden, day), 0);
    }
    EXPECT_EQ(day, Read(golden));

    const std::string month = Read(out.File("Kiv012/L0503.msc"));
    ASSERT_EQ(month.size(), 434u);
    EXPECT_EQ(Counter(month, 11), 1000.0) << "an invalid reading is still the reading";
    EXPECT_EQ(Counter(month, 12), 1024.0) << "a counter keeps its daily archive";
    EXPECT_EQ(std::memcmp(&month[6], kMinus100, 6), 0) << "1 March unknown";
    EXPECT_EQ(month.substr(0, 6), std::string(6, '\0'));
    EXPECT_TRUE(fs::exists(out.File("Kiv013/M050312.dzn")));
    EXPECT_TRUE(fs::exists(out.File("Kiv013/M_CFG.INI")));
    EXPECT_FALSE(fs::exists(out.File("Kiv013/M0503.msc"))) << "monthly files go to the first station only";
    EXPECT_FALSE(fs::exists(out.File("Kiv701")));
    EXPECT_NE(Read(out.File("Kiv012/L_CFG.INI")).find("Label=Kotłownia\r\nAddress=12\r\n[Hardware]\r\nBrand=Plum"),
              std::string::npos);
}

// Station 14 has a counter reading in the chosen day but nothing for a day
// file; station 16 is exported for 12 and then 20 March into one month file.
TEST(ExportDzn, MonthlyFiles) {
    test::TempFolder data("kiv-dzn-month"), out("kiv-dzn-month-out");
    test::WriteExportFolder(data.Folder());
    CreateStation(data.Folder(), 14, "Pusta");
    test::StoreFloats(data.Folder(), 14, test::ChannelItem("dVn", 1), {{At(2005, 3, 1, 10), 1.0f}});
    test::StoreFloats(data.Folder(), 14, test::ChannelItem("Vn", 0, "V"), {{At(2005, 3, 12, 22), 5.0f}});
    CreateStation(data.Folder(), 16, "Dwie doby");
    test::StoreFloats(data.Folder(), 16, test::ChannelItem("dVn", 1),
                      {{At(2005, 3, 12, 9), 1.0f}, {At(2005, 3, 20, 9), 2.0f}});
    test::StoreFloats(data.Folder(), 16, test::ChannelItem("Vn", 0, "V"),
                      {{At(2005, 3, 12, 22), 100.0f}, {At(2005, 3, 20, 22), 200.0f}});
    MessageRecorder messages;

    const TExportOutcome first = RunDzn(Request(data.Folder(), {"00014@Pusta", "00012@Kotłownia"}), out.Folder());
    EXPECT_FALSE(fs::exists(out.File("Kiv014"))) << "no day file, so no folder, configuration or month";
    EXPECT_EQ(first.written.back(), out.File("Kiv012/L0503.msc"));

    const std::string month = out.File("Kiv016/P0503.msc");
    (void)RunDzn(Request(data.Folder(), {"00016@Dwie doby"}), out.Folder());
    (void)RunDzn(Request(data.Folder(), {"00016@Dwie doby"}, 20), out.Folder());
    const std::string both = Read(month);
    ASSERT_EQ(both.size(), 434u);
    EXPECT_EQ(Counter(both, 12), 100.0) << "kept from the first export";
    EXPECT_EQ(Counter(both, 20), 200.0);
    EXPECT_EQ(std::memcmp(&both[18 * 14 + 6], kMinus100, 6), 0);
    EXPECT_EQ(messages.Count(), 1u) << "the stray 15-minute dVn of station 12";

    ASSERT_EQ(ReplaceFile(month, std::string(100, 'x')), 0);
    const TExportOutcome third = RunDzn(Request(data.Folder(), {"00016@Dwie doby"}), out.Folder());
    EXPECT_EQ(Read(month), std::string(100, 'x')) << "not a month file: kept";
    EXPECT_EQ(third.failed, std::vector<std::string>{month});
    EXPECT_TRUE(messages.Saw("Plik " + month + " nie jest miesięcznym plikiem liczników"));
}

TEST(ExportCsv, TwiceDoublesTheLines) {
    test::TempFolder data("kiv-csv-data"), out("kiv-csv-out");
    test::WriteExportFolder(data.Folder());
    const TExportRequest request = Request(data.Folder(), {"00012@Kotłownia", "00013@Łaźnia"});
    TExportPeriod period;
    ASSERT_TRUE(ShiftPeriod(request, period));
    EXPECT_EQ(ExportPeriodText(period), "Za okres:12.03.2005 - 12.03.2005");
    const TCsvNames offered = CsvParameterNames(request, period);
    EXPECT_EQ(offered.names, (std::vector<std::string>{"Vn", "dVn", "P", "REZ1"}));
    const auto folder = [&](std::string &chosen) {
        chosen = out.Folder();
        return true;
    };
    const TExportOutcome once = ExportCsv(request, period, offered, {"Vn", "dVn"}, folder);
    EXPECT_EQ(once.written, (std::vector<std::string>{out.File("00012_Vn.CSV"), out.File("00012_dVn.CSV"),
                                                      out.File("00013_dVn.CSV")}));
    const std::string first = Read(out.File("00012_dVn.CSV"));
    EXPECT_EQ(first.substr(0, 27), "2005-03-11/23:00;10.000;1\r\n");
    EXPECT_EQ(Read(out.File("00012_Vn.CSV")), "2005-03-11/22:00;1000;0\r\n2005-03-12/22:00;1024;1\r\n");
    (void)ExportCsv(request, period, offered, {"dVn"}, folder);
    EXPECT_EQ(Read(out.File("00012_dVn.CSV")), first + first);
}

} // namespace
} // namespace kiv

// The period report over one data folder of a few stations (see
// period_report_fixture.h): daily rows, marks, status, summary and title of
// each case, the day limits, the print selection in the station file, the
// two CSV layouts (the Standard one against its expected file) and the
// printed document's page break, underlines and summary.
#include "reports/period_report.h"

#include "common/temp_folder.h"
#include "period_report_fixture.h"
#include "support/message_recorder.h"
#include "support/print_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kiv {
namespace {

class PeriodReport : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        temp_ = new test::TempFolder("kiv-period");
        test::BuildPeriodFolder(temp_->Folder());
    }
    static void TearDownTestSuite() { delete temp_; }

    static std::string Folder() { return temp_->Folder(); }
    static TPeriodRequest Request(const std::string &entry, int lastDay = 31) {
        return {entry, Folder(), test::MayStart(), test::MayEnd(lastDay), -2, 0, 0xFFFFFFFFu, Folder() + "Kiv.ini", ","};
    }
    static TPeriodReport Built(const std::string &entry, int lastDay = 31) {
        TPeriodReport report;
        EXPECT_EQ(BuildPeriodReport(Request(entry, lastDay), report), TPeriodBuild::Built);
        return report;
    }
    static std::string StationFile(int address) { return ReadAll(StationFilePath(Folder(), address)); }
    static std::string ReadAll(const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static test::TempFolder *temp_;
};

test::TempFolder *PeriodReport::temp_ = nullptr;

struct TCellCase {
    const char *column;
    int row;
    const char *text;
    const char *marks = nullptr; // the day's marks of a daily column
};

TEST_F(PeriodReport, CasesOfMay) {
    struct Row {
        const char *name;
        const char *entry;
        std::vector<std::string> columns;
        std::vector<TCellCase> cells;
        std::array<const char *, kPeriodSumColumns> sum;
        const char *title;
    };
    const Row rows[] = {
        {"counters and hours; 1003 against 1000 is \"!\" with criterion 0; 1380 minutes \"?\"; "
         "100.4 does not count over 100, 100.6 does; a falling counter still sums",
         "00012@Kotłownia",
         {"Data", "Vn", "Vnd", "dVnhmin", "dVnhmax", "Pmin", "Pmax"},
         {{"Data", 3, "2024.04.30"},
          {"Data", 4, "2024.05.01"},
          {"Data", 34, "2024.05.31"},
          {"Vn", 3, "000000100000"},
          {"Vn", 4, "000000100240"},
          {"Vnd", 3, ""},
          {"Vnd", 4, "240", ""},
          {"Vnd", 6, "1000!", "!"},
          {"Vnd", 10, "230?", "?"},
          {"Vnd", 18, "-50!", "!"},
          {"dVnhmin", 6, "14/21"},
          {"dVnhmax", 13, "101/04"},
          {"dVnhmin", 13, "10/22"},
          {"Pmin", 4, "1,5/10:30"},
          {"Pmax", 4, "2,1/16:15"},
          {"Pmax", 5, ""}},
         {"8081", "!?", "0", "100", "101", "2024.05.10/04", "1"},
         "Stacja nr:00012 Kotłownia MacMat Nr fabr.100. Raport okresowy za okres: 2024.05.01 - 2024.05.31 (-2h)"},
        {"criterion 1.0 sets no \"!\"; no PeakFlow is 1",
         "00013@Łaźnia",
         {"Data", "Vn", "Vnd", "dVnhmin", "dVnhmax"},
         {{"Vnd", 6, "1000", ""}, {"Vnd", 18, "-50", ""}},
         {"8081", "?", "0", "1", "101", "2024.05.10/04", "743"},
         nullptr},
        {"without readings the hours' 1003 stand in, marked \"*\"; of equal maxima the first",
         "00014@Łąka",
         {"Data", "Vnd", "dVnhmin", "dVnhmax"},
         {{"Vnd", 6, "1003*", "*"}, {"Vnd", 10, "230*?", "*?"}, {"dVnhmax", 23, "101/01"}},
         {"8556", "*?", "0", "1", "101", "2024.05.10/04", "743"},
         nullptr},
        {"an increment listed before its counter shares the counter's daily column",
         "00015@Szkoła",
         {"Data", "Vrd", "dVrhmin", "dVrhmax", "Vr"},
         {{"Vrd", 4, "240", ""}, {"Vr", 3, "000000100000"}},
         {"0", "OK", "7440", "1", "10", "2024.05.01/22", "0"},
         "Stacja nr:00015 Szkoła Łódź Nr fabr.100. Raport okresowy za okres: 2024.05.01 - 2024.05.31 (-2h)"},
        {"a virtual station: the four fixed parameters, the capacity of its entry, criterion 0.001",
         "+00012+00013@Suma",
         {"Data", "Vn", "Vnd", "dVnhmin", "dVnhmax", "Vr", "Vrd", "dVrhmin", "dVrhmax"},
         {{"Vnd", 4, "480", ""}, {"Vnd", 6, "2000!", "!"}, {"Vnd", 10, "460", ""}, {"Vr", 4, ""}},
         {"16162", "!", "0", "250", "201", "2024.05.10/04", "0"},
         "Stacja nr:+00012+00013 Suma. Raport okresowy za okres: 2024.05.01 - 2024.05.31 (-2h)"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const TPeriodReport report = Built(row.entry);
        EXPECT_EQ(report.days, 31);
        EXPECT_EQ(report.Rows(), 35);
        std::vector<std::string> names;
        for (const TPeriodColumn &column : report.columns)
            names.push_back(column.name);
        EXPECT_EQ(names, row.columns);
        for (const TCellCase &cell : row.cells) {
            const TPeriodColumn *column = report.Find(cell.column);
            ASSERT_NE(column, nullptr) << cell.column;
            EXPECT_EQ(column->cells[static_cast<std::size_t>(cell.row)].text, cell.text)
                << cell.column << " row " << cell.row;
            if (cell.marks) {
                EXPECT_EQ(column->cells[static_cast<std::size_t>(cell.row)].note, cell.marks)
                    << cell.column << " row " << cell.row;
            }
        }
        for (int k = 0; k < kPeriodSumColumns; ++k)
            EXPECT_EQ(report.sum[static_cast<std::size_t>(k)], row.sum[static_cast<std::size_t>(k)])
                << kPeriodSumHeaders[k];
        if (row.title) {
            EXPECT_EQ(report.title, row.title);
        }
    }
}

TEST_F(PeriodReport, ExtremesWidthsAndRefusals) {
    const TPeriodReport report = Built("00012@Kotłownia");
    EXPECT_EQ(report.Find("dVnhmax")->extremeRow, 13);
    EXPECT_EQ(report.Find("dVnhmin")->extremeRow, 4) << "the first of the days with a 10";
    EXPECT_EQ(report.Find("Pmax")->extremeRow, 34) << "2.0 + 31/10 on the last day";
    EXPECT_EQ(report.Find("Vn")->description, "Objętość normalna");
    EXPECT_EQ(Built("00015@Szkoła").Find("dVrhmin")->description, "Przyrost objętości roboczej") << "Windows-1250";
    EXPECT_EQ(report.statusLines[0],
              "Doba gazowa od 22:00, dni: 31, moc zamówiona: 100 m3/h, kryterium: 0,0001");
    // 7 a character: "000000100000" is 84 wide, "Data" stays at 50.
    const std::vector<int> widths =
        PeriodColumnWidths(report, [](const std::string &text) { return 7 * static_cast<int>(text.size()); });
    EXPECT_EQ(widths[0], 7 * 10 + 5);
    EXPECT_EQ(widths[1], 7 * 12 + 5);

    MessageRecorder messages;
    TPeriodReport kept = report;
    EXPECT_EQ(BuildPeriodReport(Request("00016@Pusta"), kept),
              TPeriodBuild::NoData);
    EXPECT_EQ(messages.Last().text, "Brak danych, lub dane ze stacji nr 00016 niepoprawne");
    EXPECT_EQ(messages.Last().kind, MsgInformation);
    TPeriodRequest outside = Request("00012@K");
    outside.lower = test::At(2024, 7, 1);
    EXPECT_EQ(BuildPeriodReport(outside, kept), TPeriodBuild::OutsideRange);
    EXPECT_EQ(kept.title, report.title) << "a refused build leaves the report alone";

    struct Limit {
        int days;
        bool drop;
        bool add;
    };
    for (const Limit limit : {Limit{1, false, true}, Limit{2, true, true}, Limit{61, true, true}, Limit{62, true, false}}) {
        EXPECT_EQ(MayDropDay(test::MayStart(), test::MayEnd(limit.days)), limit.drop) << limit.days;
        EXPECT_EQ(MayAddDay(test::MayStart(), test::MayEnd(limit.days)), limit.add) << limit.days;
    }
    EXPECT_EQ(FixedText(123456789, 0, 8, "."), "123456790");
    EXPECT_EQ(FixedText(-0.04, 1, 12, ","), "0,0");
}

TEST_F(PeriodReport, PrintSelectionInTheStationFile) {
    const TPrintSelection parsed = ParseToPrint("1&x&5&&101&0&-3& 7 &2.5&100");
    for (int c = 0; c <= 100; ++c)
        EXPECT_EQ(parsed[static_cast<std::size_t>(c)], c == 1 || c == 5 || c == 7 || c == 100) << c;
    EXPECT_EQ(FormatToPrint(parsed), "1&5&7&100&");

    const TPeriodReport report = Built("00013@Łaźnia");
    TPrintSelection selection = ReadPrintSelection(Folder(), report);
    EXPECT_EQ(selection, ParseToPrint(kDefaultToPrint)) << "no ToPrint: columns 1 to 15";
    EXPECT_TRUE(selection[15] && !selection[16]);
    const TPrintSelection before = selection;
    ASSERT_TRUE(TogglePrintColumn(Folder(), report, 3, selection));
    EXPECT_NE(StationFile(13).find("ToPrint=1&2&4&5&6&7&8&9&10&11&12&13&14&15&\r\n"), std::string::npos)
        << StationFile(13);
    EXPECT_EQ(ReadPrintSelection(Folder(), report), selection);
    ASSERT_TRUE(TogglePrintColumn(Folder(), report, 3, selection));
    EXPECT_EQ(selection, before);
    EXPECT_NE(StationFile(13).find("ToPrint=1&2&3&4&5&6&7&8&9&10&11&12&13&14&15&\r\n"), std::string::npos);
    EXPECT_FALSE(TogglePrintColumn(Folder(), report, 5, selection)) << "past the last column";

    const TPeriodReport sum = Built("+00012+00013@Suma");
    TPrintSelection all = ReadPrintSelection(Folder(), sum);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](bool b) { return b; }));
    EXPECT_FALSE(TogglePrintColumn(Folder(), sum, 3, all));
    EXPECT_TRUE(all[3]);
}

TEST_F(PeriodReport, CsvLayouts) {
    const std::string standard = PeriodCsvText(Built("00012@Kotłownia", 3), TCsvLayout::Standard);
    const std::string expected = std::string(KIV_TEST_DATA_DIR) + "/period_report/standard_00012.csv";
    if (std::getenv("KIV_UPDATE_GOLDEN"))
        std::ofstream(expected, std::ios::binary) << standard;
    EXPECT_EQ(standard, ReadAll(expected));

    const std::string settlement = PeriodCsvText(Built("00014@Łąka"), TCsvLayout::Rozliczenie);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = settlement.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(settlement.substr(at, end - at));
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines.front(), "Łąka;;00014;2024.05.01;;;240;1;10;10;;;;");
    EXPECT_EQ(lines.back(), "Łąka;;00014;2024.05.31;;;240;1;10;10;101;;743;");
    EXPECT_EQ(PeriodCsvText(Built("00012@Kotłownia", 1), TCsvLayout::Rozliczenie),
              "Kotłownia;;00012;2024.05.01;100000;100240;240;100;10;10;10;;0;\r\n");

    // The chosen folder keeps its letters; the key goes before the name.
    EXPECT_EQ(PeriodCsvPath("/home/Ela/Dane/Raport.CSV", "00012"), "/home/Ela/Dane/00012Raport.CSV");
    EXPECT_EQ(PeriodCsvPath("/home/Ela/Dane/maj.csv.old", "+00012+00013"), "/home/Ela/Dane/+00012+00013maj.CSV");
    EXPECT_EQ(PeriodCsvPath("/home/Ela/Maj", "00012"), "/home/Ela/00012Maj.CSV");
    EXPECT_EQ(PeriodCsvPath("", "00012"), "") << "a cancelled dialog";
    test::TempFolder out("kiv-period-csv");
    EXPECT_EQ(WritePeriodCsv(Built("00012@Kotłownia", 3), TCsvLayout::Standard, ""), "");
    const std::string written = WritePeriodCsv(Built("00012@Kotłownia", 3), TCsvLayout::Standard, out.File("Maj.csv"));
    EXPECT_EQ(written, out.File("00012Maj.CSV"));
    EXPECT_EQ(ReadAll(written), standard);
}

TEST_F(PeriodReport, PrintedDocument) {
    const TPeriodReport report = Built("00012@Kotłownia", 62);
    ASSERT_EQ(report.days, 62);
    TPrintSelection selection = ParseToPrint("1&2&4&");
    const auto width = [](const std::string &text) { return 7 * static_cast<int>(text.size()); };
    TPrintRecorder recorder({.pageWidth = 7016, .pageHeight = 4960});
    ASSERT_TRUE(recorder.BeginDocument(kPeriodDocumentTitle));
    DrawPeriodPage(recorder, MakePeriodPage(report, selection, width), "31.05.2024");
    const std::vector<std::string> &lines = recorder.Lines();
    const auto at = [&lines](const std::string &line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    const auto has = [&](const std::string &line) { return at(line) < static_cast<long>(lines.size()); };
    const auto y = [](int line) { return std::to_string(496 + 96 * line) + " "; };
    // Landscape 7016 x 4960: X0 = 350, Y0 = 496, L = round(1.2 * 80) = 96, C = 4464 / 96 - 8 = 38.
    // "1234567890" is 320 printed and 70 on screen: f = 32/7, d = 32.
    EXPECT_TRUE(has("text 350 496 " + report.title));
    EXPECT_TRUE(has("text 350 688 Data"));
    // Column 0 is 32/7 * 75 = 343 wide; "Vn" ends the next column of 32 + 32/7 * 89 = 439.
    EXPECT_TRUE(has("text " + std::to_string(693 + 439 - 64) + " 688 Vn"));
    EXPECT_TRUE(has("text 350 " + y(5) + report.Text(0, 3))) << "row r on line r + 2";
    EXPECT_EQ(recorder.Pages(), 2);
    // Row 36 would be on line 38: it starts the second page on line 1.
    EXPECT_EQ(at("page"), at("text 350 " + y(1) + report.Text(0, 36)) - 1);
    EXPECT_TRUE(has("text 350 " + y(37) + report.Text(0, 35)));
    // The largest hour, underlined; the summary at X0 + u * offset (u = 320 / 6).
    const long underline = at("font Arial Narrow 8 underline");
    ASSERT_LT(underline + 1, static_cast<long>(lines.size()));
    EXPECT_NE(lines[static_cast<std::size_t>(underline + 1)].find(" 101/04"), std::string::npos);
    // Rows 36..65 take lines 1..30 of the second page, the rule line 31.
    EXPECT_TRUE(has("text 2750 " + y(32) + "Maks pobór/h [m3]"));
    EXPECT_TRUE(has("text 2750 " + y(33) + "101"));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string &l) { return l.find("Pmin") != std::string::npos; }),
              0)
        << "unselected columns are left out";
    // The status lines under the summary; the print date half a line above the line after them.
    EXPECT_TRUE(has("text 350 " + y(35) + report.statusLines[1]));
    EXPECT_NE(lines.back().find(" " + std::to_string(496 + 96 * 36 - 48) + " Wydruk wykonano: 31.05.2024"),
              std::string::npos)
        << lines.back();

    // A text too wide for its column loses whole characters from its end: "Ćwą1" in room for three.
    TPeriodPage narrow = MakePeriodPage(report, ParseToPrint("1&"), width);
    narrow.report.columns[1].cells[0].text = "Ćwą1";
    narrow.screenDigitsWidth = 320; // f = 1, d = 32
    narrow.screenWidths[1] = 64;    // 32 + 64 = three characters of 32
    TPrintRecorder cut({.pageWidth = 7016, .pageHeight = 4960});
    ASSERT_TRUE(cut.BeginDocument(kPeriodDocumentTitle));
    DrawPeriodPage(cut, narrow, "");
    EXPECT_EQ(std::count(cut.Lines().begin(), cut.Lines().end(), "text 425 688 Ćwą"), 1);
}

} // namespace
} // namespace kiv

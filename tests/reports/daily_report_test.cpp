// The daily report's table and counter lines, built from month files: the
// gas day of the shift, hour labels, sums and averages with their " ?",
// counter readings and differences, a virtual station; the right-alignment
// by blanks and the printed page.
#include "reports/daily_report.h"

#include "archive_fixture.h"
#include "common/temp_folder.h"
#include "config/station_db.h"
#include "support/print_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace kiv {
namespace {

using test::At;
using test::TSampleSpec;

const TimeStamp kDay = At(2024, 5, 10, 0, 0, 1);
// The end of the first hour of the default gas day: 9 May 23:00.
const TimeStamp kFirstHourEnd = At(2024, 5, 9, 23);

// Samples of `minutes` each, ending at the first hour's end, going back.
std::vector<TSampleSpec> Quarter(std::initializer_list<float> values, uint16_t minutes = 15) {
    std::vector<TSampleSpec> out;
    TimeStamp t = kFirstHourEnd - static_cast<TimeStamp>(values.size() - 1) * minutes * 60;
    for (const float v : values) {
        out.push_back({t, v, minutes});
        t += minutes * 60;
    }
    return out;
}

std::vector<TSampleSpec> Readings(float atStart, float atEnd) {
    return {{At(2024, 5, 9, 22), atStart, 1440}, {At(2024, 5, 10, 22), atEnd, 1440}};
}

struct TChannel {
    int address;
    const char *name;
    const char *kind;
    std::vector<TSampleSpec> samples;
};

TEST(BuildDailyReport, Cells) {
    struct Row {
        const char *name;
        const char *entry;
        int shift;
        std::vector<TChannel> channels;
        std::map<std::pair<int, int>, std::string> cells; // (row, column) -> text
        std::array<std::string, 2> counters;
    };
    std::vector<TSampleSpec> edges = {{At(2024, 5, 9, 22), 7.0f, 60},   // ends the day before
                                      {At(2024, 5, 9, 22, 0, 2), 1.0f, 30},
                                      {kFirstHourEnd, 2.0f, 30},
                                      {At(2024, 5, 10, 22), 9.0f, 60}}; // the last hour
    std::vector<TSampleSpec> invalid = {{kFirstHourEnd, 3.0f, 60, 0}};
    const Row rows[] = {
        {"shift -2 on 10 May: the first hour holds 22:00:02 .. 23:00:00",
         "00012@Kotłownia",
         -2,
         {{12, "dVn", "dV", edges}},
         {{{0, 0}, "10.05.2024"},
          {{1, 0}, "  Godzina"},
          {{2, 0}, "  22 - 23"},
          {{3, 0}, "  23 - 00"},
          {{25, 0}, "  21 - 22"},
          {{0, 1}, "dVn"},
          {{1, 1}, "m3"},
          {{0, 3}, "P"},
          {{1, 3}, ""},
          {{2, 1}, "3.00"},
          {{3, 1}, ""},
          {{25, 1}, "9.00"},
          {{2, 3}, ""}},
         {"", ""}},
        {"shift +6 rows run from 06 - 07",
         "00012@Kotłownia",
         6,
         {},
         {{{2, 0}, "  06 - 07"}, {{25, 0}, "  05 - 06"}, {{1, 1}, ""}},
         {"", ""}},
        {"four quarters sum and average",
         "00012@x",
         -2,
         {{12, "dVn", "dV", Quarter({1, 2, 3, 4})}, {12, "P", "m", Quarter({1, 2, 3, 4})}},
         {{{2, 1}, "10.00"}, {{2, 3}, "2.50"}},
         {"", ""}},
        {"three quarters are short of the hour",
         "00012@x",
         -2,
         {{12, "dVn", "dV", Quarter({1, 2, 3})}, {12, "P", "m", Quarter({1, 2, 3})}},
         {{{2, 1}, "6.00 ?"}, {{2, 3}, "2.00 ?"}},
         {"", ""}},
        {"an hour whose only sample is invalid",
         "00012@x",
         -2,
         {{12, "dVn", "dV", invalid}, {12, "P", "m", invalid}},
         {{{2, 1}, "0.00 ?"}, {{2, 3}, "0.00 ?"}},
         {"", ""}},
        {"counter readings are cut to whole numbers",
         "00012@x",
         -2,
         {{12, "Vn", "V", Readings(123456.7f, 123500.2f)}, {12, "Vr", "V", Readings(1000.0f, 900.0f)}},
         {},
         {"Przyrost stanu licznika Vn za okres raportu:000000123456 / 000000123500 = 44 m3",
          "Przyrost stanu licznika Vr za okres raportu:000000001000 / 000000000900 = -100 m3"}},
        {"a missing reading leaves the line empty",
         "00012@x",
         -2,
         {{12, "Vn", "V", {{At(2024, 5, 9, 22), 100.0f, 1440}}}},
         {},
         {"", ""}},
        {"a virtual station shows dVn, dVr and both counters",
         "+00012+00013@Suma",
         -2,
         {{12, "dVn", "dV", Quarter({1, 1, 1, 1})},
          {13, "dVn", "dV", Quarter({2, 2, 2})},
          {12, "dVr", "dV", Quarter({1, 1, 1, 1})},
          {13, "dVr", "dV", Quarter({1, test::kNoNumber, 1, 1})},
          {12, "P", "m", Quarter({1})},
          {13, "P", "m", Quarter({1})},
          {12, "Vn", "V", Readings(100.0f, 200.0f)},
          {13, "Vn", "V", Readings(1000.0f, 1500.0f)},
          {12, "Vr", "V", Readings(10.0f, 20.0f)},
          {13, "Vr", "V", Readings(10.0f, 20.0f)}},
         {{{1, 1}, "m3"}, {{2, 1}, "10.00"}, {{2, 2}, "0.00 ?"}, {{0, 3}, "P"}, {{2, 3}, ""}, {{1, 3}, ""}},
         {"Przyrost stanu licznika Vn za okres raportu:000000001100 / 000000001700 = 600 m3",
          "Przyrost stanu licznika Vr za okres raportu:000000000020 / 000000000040 = 20 m3"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder temp("kiv-daily");
        CreateStation(temp.Folder(), 12, "Kotłownia");
        int column = 1;
        for (const TChannel &c : row.channels) {
            TParamItem item = test::ChannelItem(c.name, column++, c.kind);
            item.SetUnit("m3");
            test::StoreSamples(temp.Folder(), c.address, item, c.samples);
        }
        TDailyReport report;
        ASSERT_TRUE(BuildDailyReport({row.entry, temp.Folder(), kDay, row.shift}, report));
        for (const auto &[at, text] : row.cells)
            EXPECT_EQ(report.cells[at.first][at.second], text) << "row " << at.first << " column " << at.second;
        EXPECT_EQ(report.counterLines, row.counters);
        // Without a column's parameter the title stays as it was.
        const bool columns = std::any_of(row.channels.begin(), row.channels.end(),
                                         [](const TChannel &c) { return std::string(c.kind) != "V"; });
        const bool sum = std::string(row.entry).find('+') != std::string::npos;
        EXPECT_EQ(report.title, !columns ? ""
                                : sum    ? "Stacja nr:+00012+00013. Raport dobowy Suma"
                                         : "Stacja nr:00012. Raport dobowy Kotłownia MacMat Nr fabr.100");
    }
}

TEST(DailyReport, EntriesAlignmentAndPage) {
    EXPECT_EQ(DailyListText(SplitDailyEntry("00012@Kotłownia")), "00012 Kotłownia");
    EXPECT_EQ(DailyListText(SplitDailyEntry("+00012-00013@Suma")), "SUMA  Suma");
    const auto width = [](const std::string &text) { return static_cast<int>(text.size()) * 4; };
    // (100 - 16) / 4 = 21 blanks, 7 kept for a cell, 12 for a header.
    EXPECT_EQ(AlignDailyText("1.00", 100, false, width), std::string(14, ' ') + "1.00");
    EXPECT_EQ(AlignDailyText("1.00", 100, true, width), std::string(9, ' ') + "1.00");
    EXPECT_EQ(AlignDailyText("1.00", 40, false, width), "1.00");

    TDailyReport report;
    report.title = "Stacja nr:00012. Raport dobowy";
    report.cells[0][0] = "10.05.2024";
    report.cells[2][1] = "1.00";
    report.counterLines[1] = "Vr";
    TPrintRecorder recorder;
    ASSERT_TRUE(PrintDailyReports(recorder, {report, report}));
    EXPECT_EQ(recorder.Pages(), 2);
    // Page 4960 x 7016: X0 = pitch = 551, Y0 = 701, L = round(1.2 * 120) = 144,
    // 93 dashes of 48 dots.
    const std::vector<std::string> &lines = recorder.Lines();
    const auto has = [&lines](const std::string &line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_EQ(lines.front(), "begin Kiv-raport dobowy");
    EXPECT_TRUE(has("font Arial Narrow 12 bold"));
    EXPECT_TRUE(has("text 551 701 Stacja nr:00012. Raport dobowy"));
    EXPECT_TRUE(has("text 551 989 " + std::string(93, '-')));
    EXPECT_TRUE(has("text 551 1421 " + std::string(93, '-')));
    EXPECT_TRUE(has("text 551 1133 10.05.2024"));
    EXPECT_TRUE(has("text 1102 1565 1.00"));
    EXPECT_TRUE(has("text 551 5453 Vr"));
    EXPECT_EQ(lines.back(), "end");
}

} // namespace
} // namespace kiv

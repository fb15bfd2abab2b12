// The optimisation's computation, its archive loading, the tariff sets and
// the printout's layout, without windows.
#include "capacity/optimal_printout.h"
#include "capacity/optimisation.h"
#include "capacity/tariff_sets.h"

#include "common/temp_folder.h"
#include "config/ini_file.h"
#include "config/program_settings.h"
#include "config/station_db.h"
#include "config/virtual_stations.h"
#include "reports/archive_fixture.h"
#include "support/message_recorder.h"
#include "support/print_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kiv {
namespace {

std::vector<TMonthRow> Months(int startMonth, int year, const std::vector<std::string> &qmax) {
    std::vector<TMonthRow> rows = PeriodMonths(startMonth, year, static_cast<int>(qmax.size()));
    for (std::size_t k = 0; k < rows.size(); ++k)
        rows[k].qmax = qmax[k];
    return rows;
}

std::vector<TMonthFigures> Figures(const std::vector<TMonthRow> &rows) {
    std::vector<TMonthFigures> figures;
    for (const TMonthRow &r : rows)
        figures.push_back({MonthHours(r.year, r.month), std::stoll(r.qmax)});
    return figures;
}

TEST(OptimiseSearch, BoundsFirstTableAndRefinement) {
    struct Row {
        const char *name;
        std::vector<std::string> qmax;
        long long total;
        int32_t lower, upper, step, firstBest, best;
        int tables;
    };
    const std::vector<std::string> q300(12, "300");
    const Row rows[] = {
        // 300 lies on the first grid (200 + 10 i); the last runs from 268 by 3, and its
        // point nearest 300, 301, is the best.
        {"all Qmax 300", q300, 1000000, 200, 400, 10, 300, 301, 4},
        {"all Qmax 10: step 0", std::vector<std::string>(12, "10"), 1000000, 7, 13, 0, 7, 7, 1},
        {"one month above the others", {"100", "100", "160"}, 200000, 67, 213, 7, 102, 100, 4},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const TCapacitySearch s = SearchCapacity(Figures(Months(1, 2023, r.qmax)), r.total);
        EXPECT_EQ(s.lower, r.lower);
        EXPECT_EQ(s.upper, r.upper);
        EXPECT_EQ(s.step, r.step);
        EXPECT_EQ(s.firstBest, r.firstBest);
        EXPECT_EQ(s.candidates[static_cast<std::size_t>(s.best)].capacity, r.best);
        EXPECT_EQ(s.tables, r.tables);
    }
    const TCapacitySearch flat = SearchCapacity(Figures(Months(1, 2023, rows[1].qmax)), 1000000);
    EXPECT_EQ(flat.best, 0);
    EXPECT_EQ(flat.candidates[20].capacity, 7);
}

TEST(OptimiseSearch, FactorOfTwoLongMonths) {
    EXPECT_EQ(MonthHours(2023, 1), 744);
    EXPECT_EQ(MonthHours(2024, 2), 696);
    EXPECT_DOUBLE_EQ(CapacityFactor({{744, 100}, {744, 120}}, 100000, 110), 1.7856);
}

TEST(Optimise, StatusesAndShownRows) {
    const TRateTexts rates = {"12,5", "0.1", "0,08", "1,2", "100"};
    const char *const missing = "Brak kompletu danych wejściowych  dla zadanego przedziału czasu";
    struct Row {
        const char *name;
        std::vector<std::string> qmax;
        std::string winter, summer;
        TRateTexts rates;
        const char *status;
        bool searched, priced;
    };
    // clang-format off
    const Row rows[] = {
        {"both quantities empty", {"100", "120"}, "", "", rates, missing, false, false},
        {"a Qmax empty", {"100", ""}, "100000", "", rates, missing, false, false},
        {"both quantities 0", {"100", "120"}, "0", "0", rates, missing, false, false},
        {"a negative total", {"100", "120"}, "-100000", "50000", rates, missing, false, false},
        {"all Qmax 0: every factor 0", {"0", "0"}, "100000", "", rates, missing, false, false},
        {"winter only", {"100", "120"}, "100000", "", rates, "OK", true, true},
        {"summer only", {"100", "120"}, "", "100000", rates, "OK", true, true},
        {"a rate no number", {"100", "120"}, "100000", "", {"12,5", "", "1", "1", "1"},
         "Brak kompletu danych taryfowych", true, false},
        {"a rate with two separators", {"100", "120"}, "100000", "", {"1,2,5", "1", "1", "1", "1"},
         "Brak kompletu danych taryfowych", true, false},
        {"total below the Qmax sum", {"100", "120"}, "200", "", rates, "Za mała liczba m3 za okres analizy", true,
         false},
        {"total above Qmax x hours", {"100", "120"}, "200000", "", rates,
         "Liczba m3 za okres analizy niezgodna z miesięcznymi wartościami maksymalnymi", true, false},
    };
    // clang-format on
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const TOptimisation o = Optimise({Months(1, 2023, r.qmax), r.winter, r.summer}, r.rates);
        EXPECT_STREQ(StatusText(o.status), r.status);
        EXPECT_EQ(o.searched, r.searched);
        EXPECT_EQ(o.priced, r.priced);
        EXPECT_EQ(ResultRows(o, ",").size(), r.searched ? std::size_t{12} : 0);
        EXPECT_STREQ(ResultUnit(o), r.priced ? "  zł/m3" : "  %");
    }
    EXPECT_STREQ(StatusText(OptimiseStatus::Running), "Obliczenia w toku ...");

    const TOptimisation o = Optimise({Months(1, 2023, {"100", "120"}), "60000", "40000"}, rates);
    const std::vector<TResultRow> shown = ResultRows(o, ",");
    const int first = FirstShownCandidate(o.search.best);
    EXPECT_EQ(shown.front().capacity,
              std::to_string(o.search.candidates[static_cast<std::size_t>(first)].capacity));
    // 2 x 100 / 100000 + 12.5 x factor + (60000 x 0.1 + 40000 x 0.08) / 100000 + 1.2
    const float factor = o.search.candidates[10].factor;
    EXPECT_FLOAT_EQ(o.prices[10], 0.002f + 12.5f * factor + 0.092f + 1.2f);
    EXPECT_EQ(SignificantText(100.0546, 2, ","), "100,05"); // rounded once
    EXPECT_EQ(SignificantText(12345.6789, 4, ","), "12345,7000");
    EXPECT_EQ(SignificantText(123456.789, 2, "."), "123457.00");
    EXPECT_EQ(SignificantText(1234567.0, 2, ","), "1,23457E+06");
    EXPECT_EQ(SignificantText(std::nan(""), 2, ","), "");
    EXPECT_EQ(SignificantText(HUGE_VAL, 4, ","), "");
    EXPECT_EQ(ChartTitle(o, "Kotłownia"), "Kotłownia - średnia cena netto za 1m3 w funkcji mocy zamówionej");
}

// Station 1: March 2024 of 10 m3 hours with one hour of 50 and counters
// rising by 240 a day, one reading invalid; April counters rising by 100, no
// hours. Station 2, subtracted: hours of 2 m3 in March, no counter.
class OptimiseArchive : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const int address : {1, 2})
            CreateStation(data_, address, "S" + std::to_string(address));
        const TimeStamp boundary = test::At(2024, 2, 29, 22);
        std::vector<test::TSampleSpec> hours1, hours2, counter;
        for (int h = 0; h < 744; ++h) {
            const TimeStamp t = boundary + static_cast<TimeStamp>(h + 1) * 3600;
            hours1.push_back({t, h == 100 ? 50.0f : 10.0f});
            hours2.push_back({t, 2.0f});
        }
        for (int k = 0; k <= 61; ++k)
            counter.push_back({boundary + static_cast<TimeStamp>(k) * 86400,
                               1000.0f + static_cast<float>(k <= 31 ? 240 * k : 7440 + 100 * (k - 31)), 60,
                               static_cast<uint8_t>(k == 10 ? 0 : 1)});
        test::StoreSamples(data_, 1, test::ChannelItem("Vn", 0, "V"), counter);
        test::StoreSamples(data_, 1, test::ChannelItem("dVn", 1), hours1);
        test::StoreSamples(data_, 2, test::ChannelItem("dVn", 1), hours2);
    }
    test::TempFolder temp_{"kiv-optimise"};
    std::string data_ = temp_.Folder();
};

TEST_F(OptimiseArchive, MonthsQuantitiesAndFlows) {
    TOptimiseInputs inputs{Months(3, 2024, {"", "77"}), "", "5"};
    std::vector<double> flows;
    ASSERT_TRUE(LoadFromArchive({data_, {1, -2}, -2}, inputs, flows));
    EXPECT_EQ(inputs.months[0].qmax, "48");
    EXPECT_EQ(inputs.months[1].qmax, "77"); // no valid hour in April: kept
    // 31 counter days of 240 (two from the hours: the reading between them is invalid), less 744 hours of 2.
    EXPECT_EQ(inputs.winter, "5952");
    EXPECT_EQ(inputs.summer, "3000");
    ASSERT_EQ(flows.size(), 744u);
    EXPECT_EQ(flows.front(), 48);
    EXPECT_EQ(flows.back(), 8);

    // One member alone is that station, its sign dropped.
    inputs = {Months(3, 2024, {"", ""}), "", ""};
    ASSERT_TRUE(LoadFromArchive({data_, {-2}, -2}, inputs, flows));
    EXPECT_EQ(inputs.months[0].qmax, "2");
    EXPECT_EQ(inputs.months[1].qmax, "");
    EXPECT_EQ(inputs.winter, "1488");
    EXPECT_EQ(inputs.summer, "");

    MessageRecorder recorder;
    inputs = {Months(3, 2024, {"", ""}), "", ""};
    EXPECT_FALSE(LoadFromArchive({data_, {1}, -2, 0, test::At(2024, 3, 31)}, inputs, flows));
    EXPECT_EQ(inputs.months[0].qmax, "50");
    EXPECT_EQ(inputs.winter, "");
    EXPECT_EQ(flows.front(), 50); // March's hours still sorted
    EXPECT_EQ(recorder.Last().text, "Zakres czasowy danych nie mieści się w akceptowanych limitach");
}

TEST(TariffSets, StorageAndChosenNames) {
    test::TempFolder temp("kiv-tariff");
    const std::string ini = temp.File("Kiv.ini");
    const std::string data = temp.Folder() + "dane/";
    std::filesystem::create_directories(data);
    CreateStation(data, 12, "Kotłownia");
    ASSERT_TRUE(WriteIniString("Main", "CursorPosition", "00012 Kotłownia", ini));
    ASSERT_TRUE(AddTariffSet(ini, {"Taryfa", {"1,5", "0,1", "0,2", "1,3", "10"}}));
    ASSERT_TRUE(AddTariffSet(ini, {"Taryfa2", {"2", "3", "4", "5", "6"}}));
    EXPECT_TRUE(TariffNameTaken(ReadTariffSets(ini), "taryfa"));
    EXPECT_FALSE(TariffNameTaken(ReadTariffSets(ini), "Taryfa 3"));
    EXPECT_EQ(ReadIniString("Tariff", "Set1", "", ini), "Taryfa@1,5@0,1@0,2@1,3@10");
    ASSERT_TRUE(WriteIniString("Tariff", "Set3", "Ręczna", ini)); // written by hand: a name, no rates
    struct Deletion {
        const char *name, *set1, *set2;
    };
    for (const Deletion &d : {Deletion{"Taryfa", "Taryfa2@2@3@4@5@6", "Ręczna"},
                              Deletion{"Ręczna", "Taryfa2@2@3@4@5@6", ""}}) {
        ASSERT_TRUE(DeleteTariffSet(ini, d.name));
        EXPECT_EQ(ReadIniString("Tariff", "Set1", "", ini), d.set1) << d.name;
        EXPECT_EQ(ReadIniString("Tariff", "Set2", "", ini), d.set2) << d.name;
    }
    EXPECT_EQ(ReadIniString("Main", "CursorPosition", "", ini), "00012 Kotłownia");
    TTariffSet found;
    ASSERT_TRUE(FindTariffSet(ini, "Taryfa2", found));
    EXPECT_EQ(found.rates[4], "6");

    EXPECT_EQ(EntryField("a@b@@d", 1), "b");
    EXPECT_EQ(EntryField("a@b@@d", 2), "");
    EXPECT_EQ(EntryField("a@b", 3), "");
    struct Row {
        const char *entry;
        const char *expected;
    };
    for (const Row &r :
         {Row{"Suma@+00012+00013@150", "Suma@+00012+00013@150@Nowa"}, Row{"Pusta@@0", "Pusta@@0@Nowa"},
          Row{"Suma@+00012@150@Stara@x@y", "Suma@+00012@150@Nowa@x@y"}, Row{"Sama", "Sama@@@Nowa"}})
        EXPECT_EQ(EntryWithTariff(r.entry, "Nowa"), r.expected) << r.entry;

    (void)WriteIniString(VirtualSectionName(data), "Sum1", "Suma@+00012-00013@150@Stara@x", ini);
    const TTariffOwner virtualOwner{ini, data, true, 0, "Suma"};
    EXPECT_EQ(ChosenTariffName(virtualOwner), "Stara");
    ASSERT_TRUE(WriteChosenTariffName(virtualOwner, "Taryfa2"));
    EXPECT_EQ(ReadSumEntry(ini, data, 1), "Suma@+00012-00013@150@Taryfa2@x");
    const TTariffOwner plain{ini, data, false, 12, "Kotłownia"};
    ASSERT_TRUE(WriteChosenTariffName(plain, "Taryfa2"));
    EXPECT_EQ(ReadIniString("Tariff", "TariffSetName", "", StationFilePath(data, 12)), "Taryfa2");
    EXPECT_EQ(ChosenTariffName(plain), "Taryfa2");
}

TEST(OptimalPrintout, PageAsRecorded) {
    TOptimalPage page;
    page.caption = "Optymalizacja mocy zamówionej stacji : 00012 Kotłownia";
    page.inputRows = {{"  Okres", "  Qmax"}, {" m-c/rok", "  m3/h"}, {"01/2023", "100"}, {"02/2023", "120"}};
    page.resultRows = {{"  Moc", "  Cena"}, {"  m3/h", "  zł/m3"}, {"105", "1,5000"}, {"110", "1,4000"}};
    page.bestRow = 3;
    page.winter = "100000";
    page.rates = {"1", "2", "3", "4", "5"};
    page.chartPicture = "chart.png";
    page.durationPicture = "curve.png";
    page.durationLines = DurationLines({130, 120, 100, 90}, 100, 110);
    TPrintRecorder recorder;
    ASSERT_TRUE(recorder.BeginDocument(kOptimalDocumentTitle));
    DrawOptimalPages(recorder, page);
    ASSERT_TRUE(recorder.EndDocument());
    std::ostringstream lines;
    for (const std::string &line : recorder.Lines())
        lines << line << "\n";
    std::ifstream golden(KIV_CAPACITY_TEST_DIR "/optimal_printout.txt");
    std::ostringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(lines.str(), expected.str());
}

} // namespace
} // namespace kiv

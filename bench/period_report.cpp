// The period report over 62 days: of one station with 15-minute dVn, dVr
// and P samples and hourly Vn and Vr readings (goal: under 50 ms), and of a
// virtual station of 20 such members without P (goal: under 200 ms); each
// as the report window builds it, columns, marks, summary and texts.
#include "bench_archive.h"
#include "reports/period_report.h"

#include <benchmark/benchmark.h>

namespace kiv {
namespace {

constexpr int kMembers = 20;
constexpr int kStation = 21;
constexpr int kDays = 62;

// From 30 April 2024 22:00 on, 62 gas days and one hour, for stations 1..21.
struct TBenchData : bench::TBenchFolder {
    TBenchData() : TBenchFolder("kiv_period_bench") {
        const TimeStamp from = MonthStart(2024, 5) - 2 * 3600;
        const int hours = kDays * 24 + 1;
        for (int station = 1; station <= kStation; ++station) {
            SeedDataRandom(static_cast<uint32_t>(station));
            Store(station, bench::ChannelItem("Vn", "V", 0), bench::Samples(from, hours, 60, 100000));
            Store(station, bench::ChannelItem("dVn", "dV", 1), bench::Samples(from + 900, hours * 4, 15, 1));
            Store(station, bench::ChannelItem("Vr", "V", 2), bench::Samples(from, hours, 60, 90000));
            Store(station, bench::ChannelItem("dVr", "dV", 3), bench::Samples(from + 900, hours * 4, 15, 1));
        }
        Store(kStation, bench::ChannelItem("P", "m", 4), bench::Samples(from + 900, hours * 4, 15, 1));
    }
};

const TBenchData &Data() {
    static const TBenchData data;
    return data;
}

void Run(benchmark::State &state, const std::string &entry) {
    const TPeriodRequest request{entry,         Data().Folder(), EncodeTime({2024, 5, 1, 0, 0, 1}),
                                 EncodeTime({2024, 7, 2, 0, 0, 0}), -2, 0, 0xFFFFFFFFu, "", "."};
    for (auto _ : state) {
        TPeriodReport report;
        if (BuildPeriodReport(request, report) != TPeriodBuild::Built || report.days != kDays ||
            report.Find("Vnd") == nullptr || report.Find("Vnd")->cells[kPeriodFirstDayRow].present <= 0)
            state.SkipWithError("no report");
        benchmark::DoNotOptimize(report.columns.data());
    }
}

void BM_PeriodReportOfOneStation(benchmark::State &state) { Run(state, "00021@Stacja"); }
BENCHMARK(BM_PeriodReportOfOneStation)->Unit(benchmark::kMillisecond);

void BM_PeriodReportOfTwentyMembers(benchmark::State &state) {
    std::string formula;
    for (int member = 1; member <= kMembers; ++member)
        formula += "+" + std::to_string(member);
    Run(state, formula + "@Suma");
}
BENCHMARK(BM_PeriodReportOfTwentyMembers)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiv

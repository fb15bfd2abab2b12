// One daily report of a virtual station of 20 members, each with a month of
// 15-minute dVn and dVr samples and hourly Vn and Vr readings: the columns'
// hourly sums and both counter lines, as the report window builds them.
#include "bench_archive.h"
#include "reports/daily_report.h"

#include <benchmark/benchmark.h>

namespace kiv {
namespace {

constexpr int kMembers = 20;

// May 2024 for stations 1..20, made once per run and removed at exit.
struct TBenchData : bench::TBenchFolder {
    TBenchData() : TBenchFolder("kiv_daily_bench") {
        const TimeStamp may = MonthStart(2024, 5);
        for (int member = 1; member <= kMembers; ++member) {
            SeedDataRandom(static_cast<uint32_t>(member));
            Store(member, bench::ChannelItem("Vn", "V", 0), bench::Samples(may, 31 * 24, 60, 1000));
            Store(member, bench::ChannelItem("dVn", "dV", 1), bench::Samples(may + 900, 31 * 96, 15, 1));
            Store(member, bench::ChannelItem("Vr", "V", 2), bench::Samples(may, 31 * 24, 60, 900));
            Store(member, bench::ChannelItem("dVr", "dV", 3), bench::Samples(may + 900, 31 * 96, 15, 1));
        }
    }
};

std::string Formula() {
    std::string formula;
    for (int member = 1; member <= kMembers; ++member)
        formula += "+" + std::to_string(member);
    return formula;
}

void BM_DailyReportOfTwentyMembers(benchmark::State &state) {
    static const TBenchData data;
    const TDailyRequest request{Formula() + "@Suma", data.Folder(), EncodeTime({2024, 5, 10, 0, 0, 1}), -2};
    for (auto _ : state) {
        TDailyReport report;
        if (!BuildDailyReport(request, report) || report.counterLines[0].empty())
            state.SkipWithError("no report");
        benchmark::DoNotOptimize(report.cells.data());
    }
}
BENCHMARK(BM_DailyReportOfTwentyMembers)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiv

// The optimisation of a virtual station of 10 members, each with a year of
// hourly dVn samples and hourly Vn readings: the archive loading of the 12
// month rows and the quantities, then the search and the prices, as
// "Archiwum" and "Oblicz" run them.
#include "bench_archive.h"
#include "capacity/optimisation.h"

#include <benchmark/benchmark.h>

namespace kiv {
namespace {

constexpr int kMembers = 10;
constexpr int kYearHours = 366 * 24;

// 2024 for stations 1..10, made once per run and removed at exit.
struct TBenchData : bench::TBenchFolder {
    TBenchData() : TBenchFolder("kiv_optimise_bench") {
        // From the last gas day of 2023 on, so that January's first hours under the shift are there too.
        const TimeStamp first = MonthStart(2023, 12) + 30 * 86400;
        for (int member = 1; member <= kMembers; ++member) {
            SeedDataRandom(static_cast<uint32_t>(member));
            Store(member, bench::ChannelItem("Vn", "V", 0),
                  bench::Samples(first, kYearHours + 24, 60, 100000));
            Store(member, bench::ChannelItem("dVn", "dV", 1),
                  bench::Samples(first + 3600, kYearHours + 24, 60, 1));
        }
    }
};

void BM_OptimiseTenMembersOverAYear(benchmark::State &state) {
    static const TBenchData data;
    TArchiveRequest request{data.Folder(), {}, -2};
    for (int member = 1; member <= kMembers; ++member)
        request.members.push_back(member);
    const TRateTexts rates = {"12,5", "0,1", "0,08", "1,2", "100"};
    for (auto _ : state) {
        TOptimiseInputs inputs{PeriodMonths(1, 2024, 12), "", ""};
        std::vector<double> flows;
        if (!LoadFromArchive(request, inputs, flows) || inputs.months.back().qmax.empty() ||
            flows.size() != kYearHours)
            state.SkipWithError("no inputs");
        const TOptimisation result = Optimise(inputs, rates);
        if (!result.searched)
            state.SkipWithError("no search");
        benchmark::DoNotOptimize(result.prices.data());
    }
}
BENCHMARK(BM_OptimiseTenMembersOverAYear)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiv

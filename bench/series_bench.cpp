// The series the analyses read: a year of 15-minute samples of one station
// loaded and scaled, against merely reading its month files and opening the
// period; and the hourly sum of a virtual station of 20 members over 62 days
// of 15-minute samples.
#include "bench_archive.h"
#include "reports/virtual_series.h"
#include "datafiles/sample_value.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace kiv {
namespace {


constexpr int kMembers = 20;
const char *const kChannel = "dVn";

Bytes QuarterHours(TimeStamp from, int count, int seed) {
    SeedDataRandom(static_cast<uint32_t>(seed));
    Bytes out(static_cast<std::size_t>(count) * kSampleSize);
    for (int i = 0; i < count; ++i) {
        uint8_t slot[5] = {1};
        const uint32_t value = 100u + static_cast<uint32_t>((i + seed) % 97);
        for (int k = 0; k < 4; ++k)
            slot[1 + k] = static_cast<uint8_t>(value >> (8 * k));
        EncodeSample(&out[static_cast<std::size_t>(i) * kSampleSize], from + 900u * static_cast<uint32_t>(i + 1), 15,
                     VtUInt32, slot, sizeof slot);
    }
    return out;
}

// A data folder made once per run and removed at exit: station 1 holds 2005
// in quarter hours, stations 1..20 hold January and February 2006 and the
// first two days of March.
struct TBenchData : bench::TBenchFolder {
    TBenchData() : TBenchFolder("kiv_series_bench") {
        const TParamItem item = bench::ChannelItem(kChannel, "dV");
        Store(1, item, QuarterHours(MonthStart(2005, 1), 365 * 96, 1));
        for (int member = 1; member <= kMembers; ++member)
            Store(member, item, QuarterHours(MonthStart(2006, 1), 62 * 96, member));
    }
};

const std::string &Folder() {
    static const TBenchData data;
    return data.Folder();
}

const TimeStamp kYearFrom = MonthStart(2005, 1) + 1;
const TimeStamp kYearTo = MonthStart(2006, 1);

// The floor: the twelve month files merely read into memory.
void BM_ReadYearFiles(benchmark::State &state) {
    std::vector<std::string> paths;
    for (int month = 1; month <= 12; ++month)
        paths.push_back(ArchiveFilePath(Folder(), 1, 2005, month, kChannel));
    TPlik plik;
    for (auto _ : state)
        for (const auto &path : paths) {
            Bytes image;
            if (plik.ReadWholeFile(path, 0, image) != 0)
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(image.data());
        }
}
BENCHMARK(BM_ReadYearFiles)->Unit(benchmark::kMillisecond);

void BM_OpenPeriodYear(benchmark::State &state) {
    for (auto _ : state) {
        TArchive archive;
        TimeStamp start = kYearFrom, end = kYearTo;
        if (archive.OpenPeriod(Folder(), 1, start, end, kChannel) != 0)
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(archive.Samples().data());
    }
}
BENCHMARK(BM_OpenPeriodYear)->Unit(benchmark::kMillisecond);

void BM_LoadStationSeriesYear(benchmark::State &state) {
    std::size_t count = 0;
    for (auto _ : state) {
        TStationSeries series;
        if (LoadStationSeries(Folder(), 1, kChannel, kYearFrom, kYearTo, false, series) != 0)
            state.SkipWithError("load failed");
        count = series.samples.size();
        benchmark::DoNotOptimize(series.samples.data());
    }
    state.counters["samples"] = static_cast<double>(count);
}
BENCHMARK(BM_LoadStationSeriesYear)->Unit(benchmark::kMillisecond);

void BM_BuildVirtualSeries20x62Days(benchmark::State &state) {
    TNumTab members;
    for (int member = 1; member <= kMembers; ++member)
        members.push_back(member % 4 == 0 ? -member : member);
    const TimeStamp from = MonthStart(2006, 1) + 1;
    const TimeStamp to = from - 1 + 62 * 86400;
    std::size_t complete = 0;
    for (auto _ : state) {
        const auto slots = BuildVirtualSeries(Folder(), members, kChannel, "dV", from, to);
        complete = static_cast<std::size_t>(
            std::count_if(slots.begin(), slots.end(), [](const TReportSample &s) { return s.validity == 1; }));
        benchmark::DoNotOptimize(slots.data());
    }
    state.counters["complete slots"] = static_cast<double>(complete);
}
BENCHMARK(BM_BuildVirtualSeries20x62Days)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiv

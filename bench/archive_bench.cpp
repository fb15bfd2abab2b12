// Period reads and stores over a generated data folder: a year of 15-minute
// samples of one channel, and 2 500 hourly samples stored again and afresh.
#include "datafiles/archive.h"
#include "datafiles/sample_value.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr int kAddress = 12;
const char *const kChannel = "dVn";

Bytes MakeSamples(TimeStamp from, uint32_t step, int count) {
    Bytes out(static_cast<std::size_t>(count) * kSampleSize, 0);
    for (int i = 0; i < count; ++i) {
        uint8_t *s = &out[static_cast<std::size_t>(i) * kSampleSize];
        const TimeStamp t = from + step * static_cast<uint32_t>(i);
        const uint32_t value = 1000u + static_cast<uint32_t>(i % 97);
        for (int k = 0; k < 4; ++k)
            s[k] = static_cast<uint8_t>(t >> (8 * k));
        s[4] = static_cast<uint8_t>(step / 60);
        s[6] = VtUInt32;
        s[7] = 1;
        for (int k = 0; k < 4; ++k)
            s[8 + k] = static_cast<uint8_t>(value >> (8 * k));
    }
    return out;
}

TDevSign Sign() {
    return {"Plum", "12345", "MacMat", "GM-2", "", ""};
}

TParamItem Item() {
    TParamItem item;
    item.SetShortName(kChannel);
    item.SetUnit("m3");
    return item;
}

std::string NewFolder() {
    char pattern[] = "/tmp/kiv_archive_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        std::abort();
    return std::string(pattern) + "/";
}

// A data folder holding 2005 in 15-minute samples, made once per run and
// removed at exit.
struct YearData {
    std::string folder = NewFolder();
    YearData() {
        const Bytes samples = MakeSamples(MonthStart(2005, 1), 900, 365 * 96);
        TArchive archive;
        if (archive.StoreSamples(folder, kAddress, Item(), samples.data(), samples.size(), Sign(),
                                 kChannel) != 0)
            std::abort();
    }
    ~YearData() { fs::remove_all(folder); }
};

const std::string &YearFolder() {
    static const YearData data;
    return data.folder;
}

void BM_OpenPeriodYear(benchmark::State &state) {
    const std::string &folder = YearFolder();
    std::size_t count = 0;
    for (auto _ : state) {
        TArchive archive;
        TimeStamp start = MonthStart(2005, 1), end = MonthEnd(2005, 12);
        if (archive.OpenPeriod(folder, kAddress, start, end, kChannel) != 0)
            state.SkipWithError("open failed");
        count = archive.SampleCount();
        benchmark::DoNotOptimize(archive.Samples().data());
    }
    state.counters["samples"] = static_cast<double>(count);
}
BENCHMARK(BM_OpenPeriodYear)->Unit(benchmark::kMillisecond);

// The floor: the same twelve files merely read into memory.
void BM_ReadYearFiles(benchmark::State &state) {
    const std::string &folder = YearFolder();
    std::vector<std::string> paths;
    for (int month = 1; month <= 12; ++month)
        paths.push_back(ArchiveFilePath(folder, kAddress, 2005, month, kChannel));
    TPlik plik;
    for (auto _ : state) {
        for (const auto &path : paths) {
            Bytes image;
            if (plik.ReadWholeFile(path, 0, image) != 0)
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(image.data());
        }
    }
}
BENCHMARK(BM_ReadYearFiles)->Unit(benchmark::kMillisecond);

const Bytes &HourlySamples() {
    static const Bytes samples = MakeSamples(MonthStart(2006, 1), 3600, 2500);
    return samples;
}

void BM_StoreAllDuplicates(benchmark::State &state) {
    const std::string folder = NewFolder();
    const Bytes &samples = HourlySamples();
    TArchive archive;
    if (archive.StoreSamples(folder, kAddress, Item(), samples.data(), samples.size(), Sign(), kChannel) != 0)
        state.SkipWithError("first store failed");
    for (auto _ : state) {
        if (archive.StoreSamples(folder, kAddress, Item(), samples.data(), samples.size(), Sign(),
                                 kChannel) != 0)
            state.SkipWithError("store failed");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_StoreAllDuplicates)->Unit(benchmark::kMillisecond);

void BM_StoreIntoEmptyMonths(benchmark::State &state) {
    const std::string folder = NewFolder();
    const Bytes &samples = HourlySamples();
    TArchive archive;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(StationFolder(folder, kAddress));
        state.ResumeTiming();
        if (archive.StoreSamples(folder, kAddress, Item(), samples.data(), samples.size(), Sign(),
                                 kChannel) != 0)
            state.SkipWithError("store failed");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_StoreIntoEmptyMonths)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kiv

// `kiv-cli check` over a data folder of 200 stations, each with two years of
// hourly samples in six channels (28 800 month files), against the floor of
// merely reading every one of those files whole. The folder is made once per
// run, in memory when /dev/shm is there, and removed at exit.
#include "bench_archive.h"
#include "config/station_db.h"
#include "datafiles/folder_check.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr int kStations = 200;
constexpr int kHours = 2 * 365 * 24;
const char* const kChannels[] = {"Vn", "dVn", "Vr", "dVr", "P", "t"};

struct TCheckData {
    std::string folder;
    TCheckData() {
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        folder = (base / ("kiv_check_bench_" + std::to_string(::getpid()))).string() + "/";
        fs::create_directories(folder);
        const TimeStamp from = MonthStart(2024, 1);
        for (int address = 1; address <= kStations; ++address) {
            CreateStation(folder, address, "Stacja " + std::to_string(address));
            SeedDataRandom(static_cast<uint32_t>(address));
            for (const char* channel : kChannels) {
                const Bytes samples = bench::Samples(from + 3600, kHours, 60, 1000);
                TArchive archive;
                if (archive.StoreSamples(folder, address, bench::ChannelItem(channel, "dV"), samples.data(),
                                         samples.size(), {"Plum", "1", "MacMat", "GM-2", "", ""}, channel) != 0)
                    std::abort();
            }
        }
    }
    ~TCheckData() { fs::remove_all(folder); }
};

const std::string& Folder() {
    static const TCheckData data;
    return data.folder;
}

void BM_CheckFolder(benchmark::State& state) {
    const std::string& folder = Folder();
    TCheckSummary summary;
    for (auto _ : state) {
        summary = CheckDataFolder(folder, {});
        if (summary.stations != kStations || !summary.findings.empty()) state.SkipWithError("unexpected result");
    }
    state.counters["files"] = static_cast<double>(summary.files);
}
BENCHMARK(BM_CheckFolder)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor: every file of the station folders read whole, nothing decoded.
void BM_ReadFolderFiles(benchmark::State& state) {
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(Folder()))
        if (entry.is_regular_file()) paths.push_back(entry.path().string());
    TPlik plik;
    for (auto _ : state) {
        for (const auto& entry : fs::directory_iterator(Folder())) benchmark::DoNotOptimize(entry);
        for (const std::string& path : paths) {
            Bytes image;
            if (plik.ReadWholeFile(path, 0, image) != 0) state.SkipWithError("read failed");
            benchmark::DoNotOptimize(image.data());
        }
    }
    state.counters["files"] = static_cast<double>(paths.size());
}
BENCHMARK(BM_ReadFolderFiles)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
} // namespace kiv

// `kiv-cli check` over a data folder of 200 stations, each with two years of
// hourly samples in six channels (28 800 month files), its current data and
// events files, against the floor of merely reading every one of those files
// whole. The folder is made once per run, in memory when /dev/shm is there,
// and removed at exit.
#include "bench_archive.h"
#include "config/station_db.h"
#include "datafiles/events.h"
#include "datafiles/fcc.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kiv {
namespace {

namespace fs = std::filesystem;

constexpr int kStations = 200;
constexpr int kHours = 2 * 365 * 24;
const char* const kChannels[] = {"Vn", "dVn", "Vr", "dVr", "P", "t"};
constexpr int kEvents = 500;

// Records of the shortest kind, one an hour from `from` on: length, code and
// both time stamps (second, minute, hour, day, month, two-digit year).
Bytes EventRecords(TimeStamp from) {
    Bytes records;
    for (int n = 0; n < kEvents; ++n) {
        const TDateTime t = DecodeTime(from + 3600u * static_cast<TimeStamp>(n));
        const uint8_t stamp[6] = {static_cast<uint8_t>(t.second), static_cast<uint8_t>(t.minute),
                                  static_cast<uint8_t>(t.hour),   static_cast<uint8_t>(t.day),
                                  static_cast<uint8_t>(t.month),  static_cast<uint8_t>(t.year % 100)};
        records.insert(records.end(), {15, 0, static_cast<uint8_t>(n % 7 + 1)});
        records.insert(records.end(), stamp, stamp + 6);
        records.insert(records.end(), stamp, stamp + 6);
    }
    return records;
}

void WriteStationFiles(const std::string& folder, int address, TimeStamp from) {
    const Bytes events = EventRecords(from);
    const TIdentLines lines = {"Kivmet", "KM-100", "1", "", "FW 3.04"};
    const uint8_t values[64] = {1};
    TFileFCC fcc;
    if (StoreEvents(folder, address, events.data(), events.size(), lines) != 0 ||
        fcc.WriteCurrentData(folder, address, sizeof values, values, from, "KM100.FCP",
                             {"Kivmet", "KM-100", "1", "", "", ""}) != 0)
        std::abort();
}

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
            WriteStationFiles(folder, address, from);
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

// The program as an operator runs it, its output thrown away.
int RunCheck(const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = KIV_PROGRAM_DIR "/kiv-cli", command = "check", where = folder;
    char* argv[] = {program.data(), command.data(), where.data(), nullptr};
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0) ::waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_KivCliCheck(benchmark::State& state) {
    const std::string& folder = Folder();
    for (auto _ : state)
        if (RunCheck(folder) != 0) state.SkipWithError("kiv-cli check did not find the folder whole");
}
BENCHMARK(BM_KivCliCheck)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

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

// Opening the events viewer on a full events file (2 000 000 bytes, 23-byte
// records of two parameters each) with the parameter lines shown: the
// generation list, the file read and sorted into rows, and the cells of one
// screen. With the windows, also the viewer window itself until it is
// painted. Goal: under 100 ms.
#include "bench_archive.h"
#include "reports/events_view.h"

#ifdef KIV_BENCH_WINDOW
#include "reports/events_window.h"
#include "support/message_recorder.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace kiv {
namespace {

constexpr int kAddress = 12;
constexpr std::size_t kRecordSize = 23;
constexpr std::size_t kFileSize = 2000000;

// Station 12 with a file of exactly 2 000 000 bytes and the device's definitions.
struct TEventsData : bench::TBenchFolder {
    TEventsData() : TBenchFolder("kiv_events_bench") {
        TIdentLines device = {"GazTech", "KX 200", "SN 0042", "", "v1.07", ""};
        std::filesystem::create_directories(StationFolder(Folder(), kAddress));
        // The header of a file for these lines: its length once one record is
        // stored. The serial number is lengthened until the records fill the rest.
        const uint8_t probe[kRecordSize] = {kRecordSize, 0, 12};
        (void)StoreEvents(Folder(), kAddress, probe, sizeof probe, device);
        std::size_t header = std::filesystem::file_size(EventsFileName(Folder(), kAddress)) - kRecordSize;
        device[2] += std::string((kFileSize - header) % kRecordSize, '0');
        header += (kFileSize - header) % kRecordSize;
        const std::size_t records = (kFileSize - header) / kRecordSize;
        Bytes area(records * kRecordSize, 0);
        for (std::size_t r = 0; r < records; ++r) {
            uint8_t *record = &area[r * kRecordSize];
            record[0] = static_cast<uint8_t>(kRecordSize);
            record[2] = 12;
            for (int b = 0; b < 12; ++b)
                record[3 + b] = static_cast<uint8_t>((r >> (b % 4)) % 28 + 1);
            record[15] = 1;
            record[16] = static_cast<uint8_t>(r);
            record[18] = 1;
            record[22] = 0x42;
        }
        std::filesystem::remove(EventsFileName(Folder(), kAddress));
        (void)StoreEvents(Folder(), kAddress, area.data(), area.size(), device);
        if (std::filesystem::file_size(EventsFileName(Folder(), kAddress)) != kFileSize)
            std::abort();
        std::ofstream(Folder() + "kx200.evt") << "[Identity]\nBrand=GazTech\nType=KX 200\n"
                                                 "[12]\nEventDescription=Otwarcie obudowy\n"
                                                 "ParamDescription0=Licznik\nParamTypeCode0=5\n"
                                                 "ParamDescription1=Temperatura\nParamUnit1=C\nParamTypeCode1=7\n";
    }
};

const TEventsData &Data() {
    static const TEventsData data;
    return data;
}

void BM_EventsViewOfFullFile(benchmark::State &state) {
    const TEventsData &data = Data();
    for (auto _ : state) {
        const auto generations = ListEventGenerations(data.Folder(), kAddress);
        TEventsView view;
        if (generations.empty() || !view.Load(data.Folder(), kAddress, 0, data.Folder()))
            state.SkipWithError("no events file");
        view.ShowParameters(true);
        for (int row = 0; row < 40; ++row)
            benchmark::DoNotOptimize(view.Row(row));
        state.counters["rows"] = view.RowCount();
    }
}
BENCHMARK(BM_EventsViewOfFullFile)->Unit(benchmark::kMillisecond);

#ifdef KIV_BENCH_WINDOW
QApplication &App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "events_view_bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void BM_EventsWindowOpensOnFullFile(benchmark::State &state) {
    const TEventsData &data = Data();
    App();
    MessageRecorder messages;
    TFEvents window(nullptr, data.Folder());
    for (auto _ : state) {
        window.Open(data.Folder(), kAddress);
        window.ParametersAction()->trigger();
        QApplication::processEvents();
        if (!window.ParametersAction()->isChecked() || messages.Count() != 0)
            state.SkipWithError("parameters not shown");
    }
}
BENCHMARK(BM_EventsWindowOpensOnFullFile)->Unit(benchmark::kMillisecond);
#endif

} // namespace
} // namespace kiv

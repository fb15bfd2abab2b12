// A 31-day graph of a virtual station of 10 members, each with 15-minute dVn
// samples for May 2024: opening it (parameter list, capacity, the hourly
// sums of all members) and drawing it onto an image of 1600 x 900 as the
// graph window does. Goal for the drawing: under 40 ms.
#include "bench_archive.h"
#include "datafiles/sample_value.h"
#include "reports/graph.h"

#ifdef KIV_BENCH_PICTURE
#include "reports/grafika.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <algorithm>

namespace kiv {
namespace {

constexpr int kMembers = 10;

struct TGraphData : bench::TBenchFolder {
    TGraphData() : TBenchFolder("kiv_graph_bench") {
        const TimeStamp from = MonthStart(2024, 4) + 30 * 86400; // 30 April, for the shifted first day
        const int count = 32 * 96;
        for (int member = 1; member <= kMembers; ++member) {
            SeedDataRandom(static_cast<uint32_t>(member));
            Bytes samples(static_cast<std::size_t>(count) * kSampleSize);
            for (int i = 0; i < count; ++i) {
                const uint32_t value = static_cast<uint32_t>(1 + (i + member) % 29);
                uint8_t slot[5] = {1};
                for (int k = 0; k < 4; ++k)
                    slot[1 + k] = static_cast<uint8_t>(value >> (8 * k));
                EncodeSample(&samples[static_cast<std::size_t>(i) * kSampleSize], from + 900u * (i + 1), 15, VtUInt32,
                             slot, sizeof slot);
            }
            Store(member, bench::ChannelItem("dVn", "dV", 1), samples);
        }
    }

    TGraphRequest Request() const {
        TGraphRequest request;
        request.dataFolder = Folder();
        for (int member = 1; member <= kMembers; ++member)
            request.key += "+" + std::to_string(member);
        request.label = "Suma";
        request.start = EncodeTime({2024, 5, 1, 0, 0, 1});
        request.end = EncodeTime({2024, 6, 1, 0, 0, 0});
        request.kivIni = Folder() + "Kiv.ini";
        return request;
    }
};

const TGraphData &Data() {
    static const TGraphData data;
    return data;
}

void BM_OpenVirtualGraphOf31Days(benchmark::State &state) {
    const TGraphRequest request = Data().Request();
    for (auto _ : state) {
        TGraph graph;
        if (OpenGraph(request, graph) != TGraphOpen::Shown)
            state.SkipWithError("no graph");
        state.counters["slots"] = static_cast<double>(graph.Records().size());
        state.counters["complete"] = static_cast<double>(std::count_if(
            graph.Records().begin(), graph.Records().end(), [](const TReportSample &s) { return s.validity > 0; }));
    }
}
BENCHMARK(BM_OpenVirtualGraphOf31Days)->Unit(benchmark::kMillisecond);

#ifdef KIV_BENCH_PICTURE
QApplication &App() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "graph_bench";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

void BM_DrawVirtualGraphOf31Days(benchmark::State &state) {
    App();
    TGraph graph;
    if (OpenGraph(Data().Request(), graph) != TGraphOpen::Shown)
        state.SkipWithError("no graph");
    for (auto _ : state) {
        const QImage picture = GraphPicture(graph, QSize(1600, 900), 22, 100);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_DrawVirtualGraphOf31Days)->Unit(benchmark::kMillisecond);
#endif

} // namespace
} // namespace kiv

// A complete read-out at 9600 Bd against kiv-devsim on a pseudo-terminal
// (bench_readout.h), for protocol 1 and protocol 2. The simulator paces its
// replies at 10 bits a byte; the counters set the read-out time against the
// wire time of every byte sent and received (goal: at most 1.15 times).
#include <benchmark/benchmark.h>

#include "bench_readout.h"

namespace {

using namespace kiv;
using namespace kiv::bench;

void BM_ReadOut(benchmark::State& state) {
    BenchApp();
    const auto protocol = static_cast<uint8_t>(state.range(0));
    for (auto _ : state) {
        const TReadOutRun run = ReadWholeDevice(protocol, true, false);
        if (!run.failure.empty()) {
            state.SkipWithError(run.failure.c_str());
            return;
        }
        const double wire = double(run.stats.bytesSent + run.stats.bytesReceived) * 10.0 / kReadOutBaud;
        state.SetIterationTime(run.seconds);
        state.counters["readout_s"] = run.seconds;
        state.counters["wire_s"] = wire;
        state.counters["ratio"] = run.seconds / wire;
        state.counters["reply_wire_s"] = double(run.stats.bytesReceived) * 10.0 / kReadOutBaud;
        state.counters["requests"] = double(run.stats.requests);
        state.counters["bytes"] = double(run.stats.bytesSent + run.stats.bytesReceived);
    }
}

BENCHMARK(BM_ReadOut)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

// The complete read-out of the read-out benchmark (bench_readout.h) over TCP
// on the loopback against kiv-devsim --tcp, set against the same read-out
// over the pseudo-terminal in the same run. With --baud 9600 the simulator
// paces its replies on both roads as the device's line would, so the ratio
// shows what the TCP link adds (goal: about 1); the unpaced TCP run shows
// the exchange engine's own cost on a socket.
#include <benchmark/benchmark.h>

#include "bench_readout.h"

namespace {

using namespace kiv;
using namespace kiv::bench;

// Arg 0: protocol; arg 1: 1 to pace both roads at 9600 Bd and compare, 0 for
// the unpaced TCP read-out alone.
void BM_ReadOutTcp(benchmark::State& state) {
    BenchApp();
    const auto protocol = static_cast<uint8_t>(state.range(0));
    const bool paced = state.range(1) != 0;
    for (auto _ : state) {
        const TReadOutRun tcp = ReadWholeDevice(protocol, paced, true);
        const TReadOutRun pty = paced ? ReadWholeDevice(protocol, true, false) : TReadOutRun{};
        for (const TReadOutRun* run : {&tcp, &pty})
            if (!run->failure.empty()) {
                state.SkipWithError(run->failure.c_str());
                return;
            }
        state.SetIterationTime(tcp.seconds);
        state.counters["tcp_s"] = tcp.seconds;
        state.counters["requests"] = double(tcp.stats.requests);
        state.counters["bytes"] = double(tcp.stats.bytesSent + tcp.stats.bytesReceived);
        if (!paced) continue;
        state.counters["pty_s"] = pty.seconds;
        state.counters["tcp_to_pty"] = tcp.seconds / pty.seconds;
        state.counters["wire_s"] = double(tcp.stats.bytesSent + tcp.stats.bytesReceived) * 10.0 / kReadOutBaud;
    }
}

BENCHMARK(BM_ReadOutTcp)
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

// Clock exchanges on a line paced at 9600 Bd, through the real serial port
// path: what one exchange costs beyond the time its bytes need on the wire.
// Counters: mean_ms per exchange, wire_ms of request and reply at 10 bits a
// byte, paced_ms the far end actually spends delivering, overhead_ms =
// mean_ms - paced_ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

#include "comm/comm_module.h"
#include "devsim_process.h"
#include "pty_peer.h"

// Link settings with the test's changes to the defaults.
template <typename Change>
kiv::TLinkSettings LinkOf(Change change) {
    kiv::TLinkSettings link;
    change(link);
    return link;
}

namespace {

constexpr int kBaud = 9600;
constexpr double kByteMs = 10.0 * 1000.0 / kBaud;
constexpr int kRequestBytes = 11;
constexpr int kReplyBytes = 17;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "comm_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the exchanges on an open module and fills the counters.
void RunExchanges(benchmark::State& state, kiv::TFCommModule& module, double pacedMs) {
    QElapsedTimer total;
    int64_t exchanges = 0;
    int64_t failures = 0;
    total.start();
    for (auto _ : state) {
        module.SendFrame(7, 0, 0, nullptr, 1);
        if (module.WaitForExchange() != kiv::TxResult::Good)
            ++failures;
        ++exchanges;
    }
    const double meanMs = exchanges > 0 ? total.nsecsElapsed() / 1e6 / static_cast<double>(exchanges) : 0;
    state.counters["mean_ms"] = meanMs;
    state.counters["wire_ms"] = (kRequestBytes + kReplyBytes) * kByteMs;
    state.counters["paced_ms"] = pacedMs;
    state.counters["overhead_ms"] = meanMs - pacedMs;
    state.counters["failures"] = static_cast<double>(failures);
}

bool OpenTo(kiv::TFCommModule& module, const QTemporaryDir& dir, const std::string& port) {
    const std::string settings = dir.filePath("Kiv.ini").toStdString();
    std::ofstream(settings) << "[Ports]\r\nCOM1=" << port << "\r\n";
    module.SetSettingsFile(settings);
    return module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM1"; link.baud = kBaud; link.parity = "None"; link.charTimeout = 100; link.answerTimeout = 1000; }));
}

// kiv-devsim --baud 9600: the reply's bytes are paced, the first one goes at once.
void BM_ClockExchangeDevsim(benchmark::State& state) {
    App();
    QTemporaryDir dir;
    const std::string profile = kivtest::WriteDevsimProfile(dir.path().toStdString(), 1);
    kivtest::DevsimProcess sim(KIV_PROGRAM_DIR "/kiv-devsim",
                               {"--profile", profile, "--address", "1", "--baud", std::to_string(kBaud)});
    kiv::TFCommModule module;
    if (sim.PortPath().empty() || !OpenTo(module, dir, sim.PortPath())) {
        state.SkipWithError("kiv-devsim did not start");
        return;
    }
    RunExchanges(state, module, (kReplyBytes - 1) * kByteMs);
    module.ClosePort();
}
BENCHMARK(BM_ClockExchangeDevsim)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

// The in-test peer paces the request's arrival and every reply byte: the
// whole wire time is spent.
void BM_ClockExchangePacedPeer(benchmark::State& state) {
    App();
    QTemporaryDir dir;
    kivtest::PtyPeer peer;
    const kivtest::Bytes reply = kivtest::ReplyFrame(1, 0xCB, {5, 4, 3, 2, 1, 26});
    peer.Serve([&](const kivtest::Bytes&) { return kivtest::Script{{reply, 0}}; }, kBaud);
    kiv::TFCommModule module;
    if (!peer.Ok() || !OpenTo(module, dir, peer.SlavePath())) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    RunExchanges(state, module, (kRequestBytes + kReplyBytes) * kByteMs);
    module.ClosePort();
}
BENCHMARK(BM_ClockExchangePacedPeer)->Iterations(200)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

// The complete read-out of readout_bench.cpp (four hourly archived
// parameters over 150 days, 100 events, the current data, protocol 1 and
// 2) over TCP on the loopback against kiv-devsim --tcp, set against the same
// read-out over the pseudo-terminal in the same run. With --baud 9600 the
// simulator paces its replies on both roads as the device's line would, so
// the ratio shows what the TCP link adds (goal: about 1); the unpaced TCP
// run shows the exchange engine's own cost on a socket.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "comm/progress_recorder.h"
#include "config/station_db.h"
#include "datafiles/profile.h"

namespace {

using namespace kiv;
constexpr int kAddress = 7;
constexpr int kBaud = 9600;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "readout_tcp_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

std::vector<TParamItem> Items() {
    std::vector<TParamItem> items;
    for (int i = 0; i < 20; ++i) {
        const bool archived = i < 4;
        TParamItem item;
        item.SetShortName((archived ? "A" : "C") + std::to_string(i));
        item.SetFullName(item.ShortName());
        item.SetParamNumber(i);
        item.SetTypeCode(archived ? 8 : 7);
        item.SetHourIndex(archived ? i : -1);
        item.SetHourTypeCode(archived ? 7 : 0);
        item.SetDayIndex(-1);
        item.SetCondFirst(-1);
        item.SetCondSecond(-1);
        items.push_back(item);
    }
    return items;
}

struct TRun {
    TxResult result = TxResult::NoReply;
    double seconds = 0;
    TLinkStats stats;
};

// One whole read-out into a fresh data folder; `tcp` serves it on a TCP
// port, `paced` at kBaud.
TRun ReadOnce(uint8_t protocol, bool tcp, bool paced) {
    TRun run;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    TReadOutInput input;
    input.profile.profileByte = protocol;
    input.profile.texts[0] = "Bench";
    input.items = Items();
    TFCProfileRdWr writer;
    const std::string profile = root + "BENCH.FCP";
    if (writer.WriteProfile(profile, input.profile, input.items.data(), static_cast<int>(input.items.size()),
                            {"G=Grupa"}) != 0)
        return run;
    const TimeStamp now = NowStamp();
    QStringList args{"--profile", QString::fromStdString(profile), "--address", QString::number(kAddress),
                     "--events", "100", "--clock", QString::fromStdString(StampText(now - now % 86400 + 1800))};
    if (paced) args += {"--baud", QString::number(kBaud)};
    if (tcp) args += {"--tcp", "0"};
    QProcess sim;
    sim.start(QString::fromStdString(std::string(KIV_PROGRAM_DIR) + "/kiv-devsim"), args);
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(5000)) return run;
    const std::string line = sim.readLine().trimmed().toStdString();
    input.address = kAddress;
    input.attempts = 3;
    input.samplesPerBlock = 250;
    input.dataFolder = root + "data/";
    std::filesystem::create_directories(StationFolderPath(input.dataFolder, kAddress));
    const std::string kivIni = root + "Kiv.ini";
    std::ofstream(kivIni) << "[Ports]\r\nCOM1=" << line << "\r\n";
    input.settings = ReadOutSettingsFrom(kivIni, StationFilePath(input.dataFolder, kAddress), input.items);

    TLinkSettings link;
    link.port = "COM1";
    link.baud = kBaud;
    link.charTimeout = 300;
    link.answerTimeout = 2000;
    link.tcp = tcp;
    link.host = "127.0.0.1";
    link.tcpPort = std::atoi(line.c_str());
    TTxProgressRecorder progress;
    TFCommModule module;
    module.SetProgress(&progress);
    module.SetSettingsFile(kivIni);
    if (tcp ? module.OpenTcp(link) : module.OpenDirect(link)) {
        TReadLink readLink{module, progress, &run.stats};
        TReadOutReport report;
        QElapsedTimer clock;
        clock.start();
        run.result = ReadDevice(readLink, input, report);
        run.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        module.ClosePort();
    }
    sim.terminate();
    sim.waitForFinished(5000);
    return run;
}

// Arg 0: protocol; arg 1: 1 to pace both roads at 9600 Bd and compare, 0 for
// the unpaced TCP read-out alone.
void BM_ReadOutTcp(benchmark::State& state) {
    App();
    const auto protocol = static_cast<uint8_t>(state.range(0));
    const bool paced = state.range(1) != 0;
    for (auto _ : state) {
        const TRun tcp = ReadOnce(protocol, true, paced);
        const TRun pty = paced ? ReadOnce(protocol, false, true) : TRun{TxResult::Good, 0, {}};
        if (tcp.result != TxResult::Good || pty.result != TxResult::Good) {
            state.SkipWithError("read-out failed");
            return;
        }
        state.SetIterationTime(tcp.seconds);
        state.counters["tcp_s"] = tcp.seconds;
        state.counters["requests"] = double(tcp.stats.requests);
        state.counters["bytes"] = double(tcp.stats.bytesSent + tcp.stats.bytesReceived);
        if (!paced) continue;
        state.counters["pty_s"] = pty.seconds;
        state.counters["tcp_to_pty"] = tcp.seconds / pty.seconds;
        state.counters["wire_s"] = double(tcp.stats.bytesSent + tcp.stats.bytesReceived) * 10.0 / kBaud;
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

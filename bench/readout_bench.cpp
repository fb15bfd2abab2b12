// A complete read-out at 9600 Bd against kiv-devsim on a pseudo-terminal: a
// device with four hourly archived parameters over 150 days, 100 events and
// its current data, for protocol 1 and protocol 2. The simulator paces its
// replies at 10 bits a byte; the counters set the read-out time against the
// wire time of every byte sent and received (goal: at most 1.15 times).
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

// Link settings with the test's changes to the defaults.
template <typename Change>
kiv::TLinkSettings LinkOf(Change change) {
    kiv::TLinkSettings link;
    change(link);
    return link;
}

namespace {

using namespace kiv;
constexpr int kAddress = 7;
constexpr int kBaud = 9600;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "readout_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

TParamItem Item(const std::string& name, int32_t param, uint8_t type, int32_t hour) {
    TParamItem item;
    item.SetShortName(name);
    item.SetFullName(name);
    item.SetParamNumber(param);
    item.SetTypeCode(type);
    item.SetHourIndex(hour);
    item.SetHourTypeCode(hour >= 0 ? 7 : 0);
    item.SetDayIndex(-1);
    item.SetCondFirst(-1);
    item.SetCondSecond(-1);
    return item;
}

std::vector<TParamItem> Items() {
    std::vector<TParamItem> items;
    for (int i = 0; i < 4; ++i) items.push_back(Item("A" + std::to_string(i), i, 8, i));
    for (int i = 4; i < 20; ++i) items.push_back(Item("C" + std::to_string(i), i, 7, -1));
    return items;
}

void BM_ReadOut(benchmark::State& state) {
    App();
    const auto protocol = static_cast<uint8_t>(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        const std::string root = dir.path().toStdString() + "/";
        TReadOutInput input;
        input.profile.profileByte = protocol;
        input.profile.texts[0] = "Bench";
        input.items = Items();
        TFCProfileRdWr writer;
        const std::string profile = root + "BENCH.FCP";
        if (writer.WriteProfile(profile, input.profile, input.items.data(), static_cast<int>(input.items.size()),
                                {"G=Grupa"}) != 0) {
            state.SkipWithError("profile not written");
            return;
        }
        const TimeStamp now = NowStamp();
        QProcess sim;
        sim.start(QString::fromStdString(std::string(KIV_PROGRAM_DIR) + "/kiv-devsim"),
                  {"--profile", QString::fromStdString(profile), "--address", QString::number(kAddress), "--baud",
                   QString::number(kBaud), "--events", "100", "--clock",
                   QString::fromStdString(StampText(now - now % 86400 + 1800))});
        while (!sim.canReadLine())
            if (!sim.waitForReadyRead(5000)) {
                state.SkipWithError("simulator did not start");
                return;
            }
        const std::string port = sim.readLine().trimmed().toStdString();
        input.address = kAddress;
        input.attempts = 3;
        input.samplesPerBlock = 250;
        input.dataFolder = root + "data/";
        std::filesystem::create_directories(StationFolderPath(input.dataFolder, kAddress));
        const std::string kivIni = root + "Kiv.ini";
        std::ofstream(kivIni) << "[Ports]\r\nCOM1=" << port << "\r\n";
        input.settings = ReadOutSettingsFrom(kivIni, StationFilePath(input.dataFolder, kAddress), input.items);

        TTxProgressRecorder progress;
        TFCommModule module;
        module.SetProgress(&progress);
        module.SetSettingsFile(kivIni);
        if (!module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM1"; link.baud = kBaud; link.parity = "None"; link.charTimeout = 300; link.answerTimeout = 2000; }))) {
            state.SkipWithError("port not opened");
            return;
        }
        TLinkStats stats;
        TReadLink link{module, progress, &stats};
        TReadOutReport report;
        QElapsedTimer clock;
        clock.start();
        const TxResult result = ReadDevice(link, input, report);
        const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        module.ClosePort();
        sim.terminate();
        sim.waitForFinished(5000);
        if (result != TxResult::Good) {
            state.SkipWithError("read-out failed");
            return;
        }
        const double wire = double(stats.bytesSent + stats.bytesReceived) * 10.0 / kBaud;
        state.SetIterationTime(seconds);
        state.counters["readout_s"] = seconds;
        state.counters["wire_s"] = wire;
        state.counters["ratio"] = seconds / wire;
        state.counters["reply_wire_s"] = double(stats.bytesReceived) * 10.0 / kBaud;
        state.counters["requests"] = double(stats.requests);
        state.counters["bytes"] = double(stats.bytesSent + stats.bytesReceived);
    }
}

BENCHMARK(BM_ReadOut)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

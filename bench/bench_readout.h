#pragma once
// What the read-out benchmarks share: one complete read-out of a device with
// four hourly archived parameters over 150 days, 100 events and its current
// data, against kiv-devsim started for it, into a fresh data folder. The
// caller chooses the protocol, the simulator's pacing and the road (its
// pseudo-terminal through [Ports] COM1, or its TCP port on the loopback).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "comm/comm_module.h"
#include "comm/device_readout.h"
#include "comm/progress_recorder.h"
#include "config/station_db.h"
#include "datafiles/profile.h"

namespace kiv::bench {

inline constexpr int kReadOutAddress = 7;
inline constexpr int kReadOutBaud = 9600;

// The application the module's timers and the simulator's process need.
inline QCoreApplication& BenchApp() {
    static int argc = 1;
    static char name[] = "readout_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Four hourly archived parameters, then sixteen current values.
inline std::vector<TParamItem> ReadOutItems() {
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

struct TReadOutRun {
    TxResult result = TxResult::NoReply;
    double seconds = 0; // ReadDevice alone, the link already open
    TLinkStats stats;
    std::string failure; // why there was no read-out; empty once one ran
};

// One whole read-out; `paced` has the simulator reply at kReadOutBaud, `tcp`
// reads over its TCP port instead of its pseudo-terminal.
inline TReadOutRun ReadWholeDevice(uint8_t protocol, bool paced, bool tcp) {
    TReadOutRun run;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    TReadOutInput input;
    input.profile.profileByte = protocol;
    input.profile.texts[0] = "Bench";
    input.items = ReadOutItems();
    const std::string profile = root + "BENCH.FCP";
    if (TFCProfileRdWr().WriteProfile(profile, input.profile, input.items.data(), static_cast<int>(input.items.size()),
                                      {"G=Grupa"}) != 0) {
        run.failure = "profile not written";
        return run;
    }
    const TimeStamp now = NowStamp();
    QStringList args{"--profile", QString::fromStdString(profile), "--address", QString::number(kReadOutAddress),
                     "--events", "100", "--clock", QString::fromStdString(StampText(now - now % 86400 + 1800))};
    if (paced) args += {"--baud", QString::number(kReadOutBaud)};
    if (tcp) args += {"--tcp", "0"};
    QProcess sim;
    sim.start(QString::fromStdString(std::string(KIV_PROGRAM_DIR) + "/kiv-devsim"), args);
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(5000)) {
            run.failure = "simulator did not start";
            return run;
        }
    const std::string line = sim.readLine().trimmed().toStdString(); // its pseudo-terminal or its TCP port
    input.address = kReadOutAddress;
    input.attempts = 3;
    input.samplesPerBlock = 250;
    input.dataFolder = root + "data/";
    std::filesystem::create_directories(StationFolderPath(input.dataFolder, kReadOutAddress));
    const std::string kivIni = root + "Kiv.ini";
    std::ofstream(kivIni) << "[Ports]\r\nCOM1=" << line << "\r\n";
    input.settings = ReadOutSettingsFrom(kivIni, StationFilePath(input.dataFolder, kReadOutAddress), input.items);

    TLinkSettings link;
    link.port = "COM1";
    link.baud = kReadOutBaud;
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
    } else {
        run.failure = "port not opened: " + module.OpenError();
    }
    sim.terminate();
    sim.waitForFinished(5000);
    if (run.failure.empty() && run.result != TxResult::Good) run.failure = "read-out failed";
    return run;
}

} // namespace kiv::bench

// The automatic round with stations behind serial-device servers: found
// without a telephone number or a modem and read over kiv-devsim --tcp, a
// refusing server tried again as a busy number is, one without an address
// not tried; and the round's window refusing a data folder another running
// program holds, on "OK" and again when the start comes.
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "comm/comm_module.h"
#include "comm/modem_round.h"
#include "comm/progress_recorder.h"
#include "support/folder_lock.h"
#include "support/message_recorder.h"
#include "transmission/tx_init_fixture.h"
#include "transmission/tx_modem_a.h"
#include "transmission/tx_progress.h"

extern char** environ;

namespace kiv {

class TcpRoundTest : public QObject {
    Q_OBJECT

    static TRoundFolder Folder(const test::TxFolder& folder) {
        return {folder.KivIni(), folder.Data(), {test::kProfileName}, {"KM100.FCP"}, test::kProgramDir};
    }
    static std::vector<std::string> LogTexts(const std::string& file) {
        std::vector<std::string> texts;
        std::istringstream lines(test::ReadText(file));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            texts.push_back(line.substr(std::min<std::size_t>(24, line.size()))); // without its time
        }
        return texts;
    }

  private slots:
    void tcpStationsAreReadWithoutDialling() {
        test::TxFolder folder;
        MessageRecorder recorder;
        test::Simulator sim({"--tcp", "0"});
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        test::WriteText(folder.KivIni(), "[Ports]\nCOM1=/dev/null\n");
        const std::pair<int, std::string> servers[] = {
            {12, "IPAddr=127.0.0.1\nPortRemote=" + sim.Port()}, {13, "IPAddr=127.0.0.1\nPortRemote=1"}, {14, ""}};
        for (const auto& [address, server] : servers)
            folder.WriteStation(test::kProfileName, address, "ConnType=tcp\n" + server + "\n");
        StationDb().Build(folder.Data());
        TRoundJob job;
        job.folder = Folder(folder);
        job.stations = SearchRoundStations(job.folder, StationDb().Stations(), NowStamp(), 0);
        QCOMPARE(job.stations.size(), std::size_t{3});
        job.repeats = 2;
        job.pauseMs = 0;
        job.runLog = folder.Root() + "Modem.log";
        TFCommModule module;
        TTxProgressRecorder progress;
        const TRoundOutcome outcome = RunModemRound(module, progress, job);
        QCOMPARE(int(outcome.end), int(TRoundEnd::Completed));
        QVERIFY(outcome.stations[0].read && outcome.stations[0].readOut == TxResult::Good);
        const std::string refused = "błąd połączenia 127.0.0.1:1: połączenie odrzucone";
        QCOMPARE(outcome.stations[1].dials, 2);
        QCOMPARE(outcome.stations[1].failure, refused);
        QCOMPARE(outcome.stations[2].dials, 0);
        QCOMPARE(outcome.stations[2].failure, std::string(kNoStationAddress));
        const std::string station = "Dla stacji \"Stacja testowa\" ";
        QCOMPARE(LogTexts(job.runLog),
                 (std::vector<std::string>{"Rozpoczęto odczyt automatyczny", station + refused, station + refused,
                                           station + kNoStationAddress, "Zakończono odczyt automatyczny"}));
    }

    void roundWindowRefusesAFolderHeldByAnotherProgram() {
        test::TxFolder folder;
        MessageRecorder recorder;
        folder.WriteStation(test::kProfileName, 12, "ConnType=TCP\nIPAddr=127.0.0.1\nPortRemote=1\n");
        StationDb().Build(folder.Data());
        char sleep[] = "/bin/sleep", seconds[] = "60";
        char* argv[] = {sleep, seconds, nullptr};
        pid_t live = -1;
        QVERIFY(posix_spawn(&live, argv[0], nullptr, nullptr, argv, environ) == 0);
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const std::string lock = folder.Data() + kFolderLockName,
                          planted = "Host=" + std::string(host) + "\nPid=" + std::to_string(live) + "\n";
        TFCommModule comm;
        TFTxProgress progress;
        TFTxModemA window(comm, progress);
        TimeStamp now = EncodeTime({2026, 5, 4, 12, 0, 0});
        window.SetClock([&now] { return now; });
        window.Open(Folder(folder));
        window.StartEdit()->setTime(QTime(12, 0, 5));
        window.SearchButton()->click();
        QCOMPARE(window.StationList()->count(), 1);
        test::WriteText(lock, planted);
        window.OkButton()->click();
        QCOMPARE(window.CurrentState(), TFTxModemA::State::Idle);
        QCOMPARE(recorder.Count(), std::size_t{1});
        QVERIFY(recorder.Last().text.find("jest używany przez inny działający program:\nkomputer ") != std::string::npos);
        std::filesystem::remove(lock);
        window.OkButton()->click();
        QCOMPARE(window.CurrentState(), TFTxModemA::State::Armed);
        test::WriteText(lock, planted); // another program opens the folder before the start
        now += 5;
        QTRY_COMPARE(recorder.Count(), std::size_t{2});
        QCOMPARE(window.CurrentState(), TFTxModemA::State::Idle);
        QVERIFY(window.isVisible() && window.OkButton()->isEnabled());
        QVERIFY2(!std::filesystem::exists(folder.Root() + "Modem.log"), "no round ran");
        window.CancelButton()->click();
        ::kill(live, SIGKILL);
        ::waitpid(live, nullptr, 0);
    }
};

} // namespace kiv

QTEST_MAIN(kiv::TcpRoundTest)
#include "tcp_round_test.moc"

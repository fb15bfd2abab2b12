// The direct transmission window for a station behind a serial-device
// server: it shows the server's address instead of the serial fields and
// reads the station over kiv-devsim --tcp; a server that refuses leaves the
// reason on the progress window's connection line. With KIV_ARTIFACT_DIR set
// the window is saved there as tx_init_tcp.png.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "comm/comm_module.h"
#include "support/message_recorder.h"
#include "transmission/tx_init.h"
#include "transmission/tx_init_fixture.h"
#include "transmission/tx_progress.h"

namespace kiv {

class TcpWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void TcpStationIsReadOverItsServer() {
        test::TxFolder folder;
        MessageRecorder recorder;
        TFCommModule comm;
        TFTxProgress progress;
        TFTxInit window(comm, progress);
        test::Simulator sim({"--tcp", "0"});
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        folder.WriteKivIni("/dev/null");
        const TTxInitArgs args{test::kStation, folder.KivIni(), {"Kivmet KM-100"}, {"KM100.FCP"}, folder.Data(),
                               folder.StationFile()};
        struct Case {
            const char* name;
            std::string port;
            int result; // 0: the connection is not made
            QString connection;
        };
        const Case cases[] = {
            {"server answers", sim.Port(), ResultCode(TxResult::Good), "Połączenie zamknięte"},
            {"nothing listens", "1", 0, "Błąd połączenia 127.0.0.1:1: połączenie odrzucone"},
        };
        for (const Case& c : cases) {
            folder.WriteStation(test::kProfileName, test::kStation,
                                "ConnType=TCP\nIPAddr=127.0.0.1\nPortRemote=" + c.port + "\n");
            window.Open(args);
            QVERIFY2(window.IpAddressLabel()->isVisible() && window.RemotePortLabel()->isVisible(), c.name);
            QCOMPARE(window.IpAddressLabel()->text(), QStringLiteral("127.0.0.1"));
            QCOMPARE(window.RemotePortLabel()->text(), QString::fromStdString(c.port));
            QVERIFY(!window.PortCombo()->isVisible() && !window.ParityCombo()->isVisible());
            if (const char* dir = std::getenv("KIV_ARTIFACT_DIR"); dir && c.result != 0)
                window.grab().save(QString(dir) + "/tx_init_tcp.png");
            window.OkButton()->click();
            QCOMPARE(window.LastResult(), c.result);
            QCOMPARE(progress.ConnectionText(), c.connection);
            QCOMPARE(recorder.Count(), std::size_t{0});
            progress.ExitButton()->click();
            QTRY_VERIFY(!window.Busy());
        }
    }
};

} // namespace kiv

QTEST_MAIN(kiv::TcpWindowTest)
#include "tcp_window_test.moc"

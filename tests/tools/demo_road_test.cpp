// The newcomer's first run, end to end: the program starts on a demo data
// folder, shows every kind of node, reads the station on COM1 from kiv-devsim
// (whose archive continues the demo archive) through "&Transmisja", and the
// simulator is gone once it is stopped.
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

#include "datafiles/archive.h"
#include "demo_writer.h"
#include "common/tree_click.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/station_tree_view.h"
#include "support/helpers.h"
#include "support/message_recorder.h"
#include "transmission/tx_init.h"
#include "transmission/tx_progress.h"

using namespace kiv;

class DemoRoadTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunReadsTheCom1Station() {
        const std::string programDir = KIV_PROGRAM_DIR "/";
        SetProgramFolder(programDir);
        QTemporaryDir dir;
        const std::string demo = dir.path().toStdString() + "/demo/";
        const TimeStamp today = NowStamp() - NowStamp() % 86400;
        demo::DemoOptions options;
        options.outFolder = demo;
        options.profileFolder = programDir;
        options.from = today - 40 * 86400;
        options.until = today;
        std::string error;
        QVERIFY2(demo::WriteDemo(options, error) == 0, error.c_str());
        // The device's memory reaches up to the current hour.
        demo::DemoOptions device = options;
        device.outFolder = dir.path().toStdString() + "/device/";
        device.onlyAddress = 1;
        device.until = NowStamp() - NowStamp() % 3600;
        QVERIFY2(demo::WriteDemo(device, error) == 0, error.c_str());

        QProcess sim;
        sim.start(QString::fromStdString(programDir + "kiv-devsim"),
                  {"--profile", QString::fromStdString(programDir + "KM100.FCP"), "--address", "1", "--data",
                   QString::fromStdString(device.outFolder), "--serial", "KM1-00001", "--last",
                   demo::kLastNameplateText, "--baud", "115200"});
        while (!sim.canReadLine())
            QVERIFY2(sim.waitForReadyRead(5000), "kiv-devsim did not start");
        QVERIFY(demo::SetPortMapping(demo, "COM1", sim.readLine().trimmed().toStdString()));

        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(demo));
        MessageRecorder recorder;
        {
            TStartupWindows windows = CreateStartupWindows(demo + "Kiv.ini", demo);
            TF_Main& main = *windows.main;
            main.show();
            std::multiset<int> kinds;
            for (const TNodeRef ref : main.Tree().InTreeOrder()) kinds.insert(main.Tree().Node(ref)->kind);
            QCOMPARE(main.Tree().NodeCount(), 3 + 12 + 2);
            QCOMPARE(kinds.count(KindVirtual), 2u);
            QCOMPARE(kinds.count(KindNoProfile), 1u);
            QCOMPARE(kinds.count(KindModem), 1u);
            QCOMPARE(kinds.count(KindPhone), 1u);
            QVERIFY(main.Tree().Find("00011 Magazyn Portowy").child < 0); // no group

            QVERIFY2(test::ClickNode(main, "00001 Rozdzielnia Centrum"), "00001 Rozdzielnia Centrum");
            main.CommandButton("BitBtn_TxData")->click();
            auto* txInit = main.findChild<TFTxInit*>();
            auto* progress = main.findChild<TFTxProgress*>();
            QVERIFY(txInit && progress && txInit->isVisible());
            txInit->OkButton()->click();
            QCOMPARE(progress->StatusText(), QString("Odczyt zakończony"));
            progress->ExitButton()->click();
            QTRY_VERIFY(!txInit->Busy());
            main.close();
        }
        QDir::setCurrent(previous);
        QCOMPARE(recorder.Count(), 0u);
        // The read-out carried the archive on from where the demo ended.
        QCOMPARE(static_cast<TimeStamp>(TArchive::NewestSampleTime(demo, 1, "dVn")), device.until);

        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);
        QCOMPARE(sim.state(), QProcess::NotRunning);
    }
};

QTEST_MAIN(DemoRoadTest)
#include "demo_road_test.moc"

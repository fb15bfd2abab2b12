// From the main window to the device and back to the screen: the program's
// start-up windows over a data folder whose station 12 is wired (through
// Kiv.ini's [Ports]) to kiv-devsim. "&Transmisja" reads it, "Dane &bieżące"
// shows what was read.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <csignal>
#include <filesystem>
#include <set>

#include "comm/comm_module.h"
#include "comm/device_request.h"
#include "datafiles/archive.h"
#include "export/cur_data.h"
#include "common/tree_click.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/station_tree_view.h"
#include "support/message_recorder.h"
#include "transmission/tx_init.h"
#include "transmission/tx_progress.h"
#include "tx_init_fixture.h"

using namespace kiv;

class TxRoadTest : public QObject {
    Q_OBJECT

private slots:
    void readThenShowCurrentData() {
        test::TxFolder folder;
        MessageRecorder recorder;
        test::Simulator sim;
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        folder.WriteKivIni(sim.Port());
        folder.WriteStation();
        folder.WriteStation("Obcy profil", 13);

        TStartupWindows windows = CreateStartupWindows(folder.KivIni(), folder.Root());
        TF_Main& main = *windows.main;
        main.show();
        auto* txInit = main.findChild<TFTxInit*>();
        auto* progress = main.findChild<TFTxProgress*>();
        QVERIFY(txInit && progress);

        // A station whose profile the program folder lacks never gets the window.
        QVERIFY2(test::ClickNode(main, "00013 Stacja testowa"), "00013 Stacja testowa");
        main.CommandButton("BitBtn_TxData")->click();
        QCOMPARE(recorder.Last().text, std::string("Nie znaleziono profilu dla urządzenia \"Obcy profil\""));
        QVERIFY(!txInit->isVisible());

        QVERIFY2(test::ClickNode(main, "00012 Stacja testowa"), "00012 Stacja testowa");
        main.CommandButton("BitBtn_TxData")->click();
        QVERIFY(txInit->isVisible());
        QCOMPARE(txInit->ProtocolText(), QString("GazModem 1"));
        txInit->OkButton()->click();
        QCOMPARE(progress->StatusText(), QString("Odczyt zakończony"));
        QCOMPARE(progress->ExitButton()->text(), QString("OK"));
        QCOMPARE(progress->windowTitle(), QString("Postęp transmisji - Stacja testowa"));
        progress->ExitButton()->click();
        QTRY_VERIFY(!txInit->Busy());
        const std::size_t messages = recorder.Count();

        QStringList names;
        QStringList values;
        QString caption;
        QTimer::singleShot(0, this, [&] {
            auto* view = qobject_cast<TFCurData*>(QApplication::activeModalWidget());
            if (!view) return;
            caption = view->windowTitle();
            for (int r = 0; r < view->Grid()->rowCount(); ++r) {
                names << view->Grid()->item(r, 0)->text();
                values << view->Grid()->item(r, 2)->text();
            }
            view->close();
        });
        main.CommandButton("BitBtn_CurData")->click();
        QVERIFY(caption.startsWith("Dane bieżące - " + QDate::currentDate().toString("yyyy-MM-dd")));
        QVERIFY(names.contains("Objętość w warunkach normalnych"));
        QVERIFY(!values.isEmpty());
        for (const QString& value : values) QVERIFY(!value.isEmpty());
        QCOMPARE(recorder.Count(), messages);
    }

    // The window and kiv-cli read are one road: the same device gives the same
    // data files, compared through kiv-cli's listings (the bytes differ only in
    // scrambling keys and fill bytes, the read-out time in the current data).
    void windowAndCommandLineStoreTheSameData() {
        test::TxFolder folder;
        MessageRecorder recorder;
        // Today 00:30 on both devices, so that they hold the same events and archives.
        const QStringList clock{"--clock", QDate::currentDate().toString("yyyy-MM-dd") + " 00:30:00"};
        folder.WriteStation();
        const std::string second = folder.Root() + "dane2/";
        std::filesystem::create_directories(StationFolderPath(second, test::kStation));
        std::filesystem::copy_file(folder.StationFile(), StationFilePath(second, test::kStation));
        {
            test::Simulator sim(clock);
            folder.WriteKivIni(sim.Port());
            TStartupWindows windows = CreateStartupWindows(folder.KivIni(), folder.Root());
            TF_Main& main = *windows.main;
            main.show();
            auto* txInit = main.findChild<TFTxInit*>();
            auto* progress = main.findChild<TFTxProgress*>();
            QVERIFY(test::ClickNode(main, "00012 Stacja testowa"));
            main.CommandButton("BitBtn_TxData")->click();
            txInit->OkButton()->click();
            QCOMPARE(progress->StatusText(), QString("Odczyt zakończony"));
            progress->ExitButton()->click();
            QTRY_VERIFY(!txInit->Busy());
        }
        {
            test::Simulator sim(clock);
            folder.WriteKivIni(sim.Port());
            QCOMPARE(Cli({"read", second, "12"}).first, 0);
        }
        const auto names = [](const std::string& data) {
            std::set<std::string> found;
            for (const auto& entry : std::filesystem::directory_iterator(StationFolderPath(data, test::kStation)))
                found.insert(entry.path().filename().string());
            return found;
        };
        QCOMPARE(names(second), names(folder.Data()));
        QVERIFY(names(second).size() > 3);
        for (const std::string& file : names(second)) {
            if (file.size() < 4 || file.substr(file.size() - 4) != ".FCD") continue;
            const std::string channel = file.substr(file.rfind('_') + 1, file.size() - 4 - file.rfind('_') - 1);
            const std::vector<std::string> args{"archive", "", "12", channel, "2000-01-01 00:00:00", "2037-12-31 23:00:00"};
            auto first = args, other = args;
            first[1] = folder.Data();
            other[1] = second;
            QCOMPARE(Cli(other).second, Cli(first).second);
        }
        QCOMPARE(Cli({"events", second, "12"}).second, Cli({"events", folder.Data(), "12"}).second);
        QCOMPARE(Cli({"fcc", second, "12"}).second, Cli({"fcc", folder.Data(), "12"}).second);
    }

    // Closing the main window, or SIGTERM, while a read-out runs: the read-out
    // stops at its next request, the port is released, what reached the data
    // folder is whole, and then the program's window closes.
    void quittingDuringAReadOutEndsItCleanly_data() {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("closing the main window") << false;
        QTest::newRow("SIGTERM") << true;
    }
    void quittingDuringAReadOutEndsItCleanly() {
        QFETCH(bool, bySignal);
        test::TxFolder folder;
        MessageRecorder recorder;
        test::Simulator sim({"--baud", "9600", "--hourly-days", "20"});
        folder.WriteKivIni(sim.Port());
        folder.WriteStation(test::kProfileName, test::kStation, "ArcSamplesPerBlock=5\n");
        TStartupWindows windows = CreateStartupWindows(folder.KivIni(), folder.Root());
        TF_Main& main = *windows.main;
        CloseOnStopSignals(main);
        main.show();
        auto* txInit = main.findChild<TFTxInit*>();
        auto* progress = main.findChild<TFTxProgress*>();
        auto* comm = main.findChild<TFCommModule*>();
        QVERIFY(test::ClickNode(main, "00012 Stacja testowa"));
        main.CommandButton("BitBtn_TxData")->click();
        QTimer quit;
        quit.setInterval(5);
        connect(&quit, &QTimer::timeout, this, [&] {
            if (!progress->StatusText().startsWith("Odebrany blok")) return;
            quit.stop();
            if (bySignal)
                ::raise(SIGTERM);
            else
                main.close();
        });
        quit.start();
        txInit->OkButton()->click();
        QCOMPARE(txInit->LastResult(), ResultCode(TxResult::Cancelled));
        QCOMPARE(comm->GetPortState(), uint8_t{PortClosed});
        QTRY_VERIFY(!main.isVisible());
        QVERIFY(!progress->isVisible());
        std::size_t months = 0;
        for (const auto& entry : std::filesystem::directory_iterator(StationFolderPath(folder.Data(), test::kStation))) {
            const std::string name = entry.path().filename().string();
            QVERIFY2(name.find(".tmp-") == std::string::npos, name.c_str());
            if (entry.path().extension() != ".FCD") continue;
            ++months;
            TArchive archive;
            TimeStamp from = 0, to = 0xFFFFFFFEu;
            const std::string channel = name.substr(name.rfind('_') + 1, name.size() - 4 - name.rfind('_') - 1);
            QCOMPARE(archive.OpenPeriod(folder.Data(), test::kStation, from, to, channel), 0);
        }
        QVERIFY(months >= 1);
    }

    // A stop request outlives a failed check otherwise, and cancels every later read-out.
    void cleanup() { ClearStopRequest(); }

private:
    // Exit code and stdout of kiv-cli, without the lines that name the file or the read-out time.
    static std::pair<int, QString> Cli(const std::vector<std::string>& args) {
        QStringList list;
        for (const std::string& a : args) list << QString::fromStdString(a);
        QProcess cli;
        cli.start(QString::fromStdString(test::kProgramDir + "kiv-cli"), list);
        if (!cli.waitForFinished(60000)) return {-1, {}};
        QStringList kept;
        for (const QString& line : QString::fromUtf8(cli.readAllStandardOutput()).split('\n'))
            if (!line.startsWith("Plik:") && !line.startsWith("time\t")) kept << line;
        return {cli.exitCode(), kept.join('\n')};
    }
};

QTEST_MAIN(TxRoadTest)
#include "tx_road_test.moc"

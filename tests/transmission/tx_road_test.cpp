// From the main window to the device and back to the screen: the program's
// start-up windows over a data folder whose station 12 is wired (through
// Kiv.ini's [Ports]) to kiv-devsim. "&Transmisja" reads it, "Dane &bieżące"
// shows what was read.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

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
};

QTEST_MAIN(TxRoadTest)
#include "tx_road_test.moc"

// The progress window as the read-out and the front-ends drive it.
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "transmission/tx_progress.h"

using namespace kiv;

class TxProgressTest : public QObject {
    Q_OBJECT
private slots:
    void resetPreparesANewReadOut() {
        TFTxProgress window;
        window.SetStatus("Odczyt zegara");
        window.SetBar(70);
        window.SetLamp(TxLamp::Receive, true);
        window.FillCheckList({"zdarzenia"});
        window.SetExitEnabled(true);
        window.SetExitCaption(kExitOk);
        window.Reset("Stacja 12");
        QCOMPARE(window.windowTitle(), QString("Postęp transmisji - Stacja 12"));
        QVERIFY(window.isVisible());
        QVERIFY(!window.isModal());
        QCOMPARE(window.StatusText(), QString());
        QCOMPARE(window.ConnectionText(), QString());
        QCOMPARE(window.ClockText(), QString());
        QCOMPARE(window.BarValue(), 0);
        QCOMPARE(window.CheckList()->count(), 0);
        QVERIFY(!window.LampOn(TxLamp::Receive));
        QCOMPARE(window.CounterText(), QString("0:00:00"));
        QVERIFY(!window.ExitButton()->isEnabled());
        QCOMPARE(window.ExitButton()->text(), QString("Anuluj"));
        QVERIFY(!window.CancelRequested());
        QVERIFY(!window.ClosedByUser());
    }

    void exitButtonCancelsThenCloses() {
        TFTxProgress window;
        window.Reset("A");
        QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
        QVERIFY2(!window.CancelRequested(), "disabled while the port opens");
        window.SetExitEnabled(true);
        QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
        QVERIFY(window.CancelRequested());
        QVERIFY(window.isVisible());

        window.Reset("A");
        window.SetStatus("Odczyt zakończony");
        window.SetExitEnabled(true);
        window.SetExitCaption(kExitOk);
        QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
        QVERIFY(window.ClosedByUser());
        QVERIFY(!window.CancelRequested());
        QVERIFY(!window.isVisible());
    }

    void escapeDoesNotHideARunningReadOut() {
        TFTxProgress window;
        window.Reset("A");
        window.SetExitEnabled(true);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(window.CancelRequested());
    }

    void checkListStates() {
        TFTxProgress window;
        window.FillCheckList({"zdarzenia", "Objętość normalna", "Temperatura gazu"});
        QCOMPARE(window.CheckList()->currentRow(), 0);
        window.MarkItem(0, TxCheck::Checked);
        QCOMPARE(window.CheckList()->currentRow(), 1);
        window.MarkItem(1, TxCheck::Grayed);
        window.MarkItem(3, TxCheck::Checked); // past the end: ignored
        QCOMPARE(window.CheckList()->item(0)->checkState(), Qt::Checked);
        QCOMPARE(window.CheckList()->item(1)->checkState(), Qt::PartiallyChecked);
        QCOMPARE(window.CheckList()->item(2)->checkState(), Qt::Unchecked);
        QCOMPARE(window.CheckList()->currentRow(), 2);
        QVERIFY(!(window.CheckList()->item(0)->flags() & Qt::ItemIsUserCheckable));
    }

    void linesLampsAndBar() {
        TFTxProgress window;
        window.SetConnection("Port otwarty, 9600Bd");
        window.SetClock("2026-01-02 03:04:05 [system +0 sek]");
        window.SetBar(140);
        QCOMPARE(window.BarValue(), 100);
        window.SetBar(-1);
        QCOMPARE(window.BarValue(), 0);
        window.SetLamp(TxLamp::Transmit, true);
        QVERIFY(window.LampOn(TxLamp::Transmit));
        window.LampsOff();
        QVERIFY(!window.LampOn(TxLamp::Transmit));
        QCOMPARE(window.ConnectionText(), QString("Port otwarty, 9600Bd"));
        QCOMPARE(window.ClockText(), QString("2026-01-02 03:04:05 [system +0 sek]"));
    }

    void counterLimitSetsItsFlag() {
        TFTxProgress window;
        window.Reset("A");
        window.SetCounterLimit(1);
        QVERIFY(!window.LimitReached());
        QTRY_VERIFY_WITH_TIMEOUT(window.LimitReached(), 3000);
        QVERIFY(window.CounterText() != QString("0:00:00"));
        window.StopCounter();
        const QString stopped = window.CounterText();
        QTest::qWait(300);
        QCOMPARE(window.CounterText(), stopped);
    }

    void frontEndCloseSetsNoFlag() {
        TFTxProgress window;
        window.Reset("A");
        window.CloseWindow();
        QVERIFY(!window.isVisible());
        QVERIFY(!window.ClosedByUser());
        QVERIFY(!window.CancelRequested());
    }
};

QTEST_MAIN(TxProgressTest)
#include "tx_progress_test.moc"

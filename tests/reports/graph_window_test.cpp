// The graph window on the data of graph_fixture.h: windows opened per
// command and by a double click, the parameter list and the switch, day
// steps that fall back, keys stepping past the ends, the mouse read-out,
// "Ostatni dzień", printing, and its look under Xvfb.
#include "reports/grafika.h"

#include "common/save_shot.h"
#include "graph_fixture.h"
#include "support/gui/open_winds.h"
#include "support/message_recorder.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QtTest>

namespace kiv {

class GraphWindowTest : public QObject {
    Q_OBJECT

    test::TGraphData data_;

    static int XAt(TFGrafika &w, TimeStamp time) {
        const TGraph &g = w.Graph();
        const TPlotArea a = w.PlotArea();
        return a.left + static_cast<int>((double(time) - g.rs + 60) * (a.right - a.left) / (double(g.re) - g.rs + 60));
    }
    static QStringList Items(const TFGrafika &w) {
        QStringList items;
        for (const QAction *action : w.ParameterMenu()->actions())
            items << action->text();
        return items;
    }

  private slots:
    void opensWindowsPerCommandAndByDoubleClick() {
        MessageRecorder messages;
        TFGrafika *tenDays = TFGrafika::OpenNew(data_.Request("00012", 5, 1, 5, 10));
        QVERIFY(tenDays);
        QCOMPARE(TFGrafika::OpenGraphs().size(), std::size_t{1});
        QVERIFY(OpenWindows().IndexOf(tenDays) >= 0);
        QCOMPARE(Items(*tenDays), (QStringList{"Qn", "P"})); // P of April reaches into the period
        QVERIFY(tenDays->SwitchAction()->isVisible() && tenDays->SwitchAction()->isEnabled());
        QCOMPARE(tenDays->SwitchAction()->text(), QString("Godziny"));
        QVERIFY(tenDays->windowTitle().startsWith("Stacja nr:00012. Wykres Qn za okres:01.05.2024 - 10.05.2024"));

        TFGrafika *third = tenDays->DoubleClickAt(XAt(*tenDays, test::At(2024, 5, 3, 9)));
        QVERIFY(third);
        QCOMPARE(TFGrafika::OpenGraphs().size(), std::size_t{2});
        QCOMPARE(third->Graph().days, 1);
        QCOMPARE(third->Graph().request.start, test::At(2024, 5, 3, 0, 0, 1));
        QVERIFY(!third->DoubleClickAt(XAt(*third, test::At(2024, 5, 3, 9))));

        tenDays->Action("&Ostatni dzień")->trigger();
        QCOMPARE(tenDays->Graph().request.start, test::At(2024, 5, 17, 0, 0, 1));
        tenDays->Action(">")->trigger(); // 18 May has no files: the graph stays
        QCOMPARE(tenDays->Graph().request.start, test::At(2024, 5, 17, 0, 0, 1));
        tenDays->Action("<")->trigger();
        QCOMPARE(tenDays->Graph().request.start, test::At(2024, 5, 16, 0, 0, 1));
        QCOMPARE(messages.Count(), std::size_t{0});

        // P, found again by its name: not in the lists of 3 May or of 2..11 May.
        QVERIFY(tenDays->Open(data_.Request("00012", 5, 1, 5, 10)));
        tenDays->ParameterMenu()->actions()[1]->trigger();
        QCOMPARE(tenDays->Graph().Shown().name, std::string("P"));
        QVERIFY(!tenDays->DoubleClickAt(XAt(*tenDays, test::At(2024, 5, 3, 9))));
        QVERIFY(messages.Saw("Brak danych za okres 3.5.2024-3.5.2024"));
        tenDays->Action(">")->trigger();
        QVERIFY(messages.Saw("Brak danych za okres 2.5.2024-11.5.2024"));
        QCOMPARE(tenDays->Graph().Shown().name, std::string("P"));
        QCOMPARE(tenDays->Graph().request.start, test::At(2024, 5, 1, 0, 0, 1));

        QVERIFY(!TFGrafika::OpenNew(data_.Request("+00012+00013", 6, 1, 6, 1)));
        QVERIFY(messages.Saw("Brak danych za okres 1.6.2024-1.6.2024"));
        QVERIFY(!TFGrafika::OpenNew(data_.Request("00012", 6, 2, 6, 2))); // no month file at all
        QVERIFY(messages.Saw("Brak danych za okres 2.6.2024-2.6.2024"));
        QCOMPARE(TFGrafika::OpenGraphs().size(), std::size_t{2});
        tenDays->close();
        third->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(TFGrafika::OpenGraphs().size(), std::size_t{0});
    }

    void keysMouseAndSwitch() {
        MessageRecorder messages;
        TFGrafika w;
        QVERIFY(w.Open(data_.Request("00012", 5, 10, 5, 10)));
        w.resize(1000, 600);
        QCoreApplication::processEvents();
        w.MouseAt(XAt(w, test::At(2024, 5, 10, 6, 30)));
        QCOMPARE(w.Text("Panel1") + "/" + w.Text("Panel2"), QString("???" "/brak"));
        QVERIFY(w.Text("Label1").startsWith("10.05.2024   06:"));
        w.MouseAt(XAt(w, test::At(2024, 5, 10, 8, 10)));
        QCOMPARE(w.Text("Panel2"), QString("NAN/INF"));

        QCOMPARE(w.Text("Panel4"), QString("09.05.2024   22:15"));
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(w.Cursor(), 4);
        QCOMPARE(w.Text("Panel4"), QString("09.05.2024   23:15"));
        QTest::keyClick(&w, Qt::Key_Home);
        QTest::keyClick(&w, Qt::Key_Left); // past the first sample: the day before, at its last sample
        QCOMPARE(w.Graph().request.start, test::At(2024, 5, 9, 0, 0, 1));
        QCOMPARE(w.Text("Panel4"), QString("09.05.2024   22:00"));
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(w.Graph().request.start, test::At(2024, 5, 10, 0, 0, 1));
        QCOMPARE(w.Cursor(), 0);

        TGraphRequest pressure = data_.Request("00012", 4, 1, 4, 30);
        QVERIFY(w.Open(pressure));
        QCOMPARE(Items(w), (QStringList{"Qn", "P"}));
        w.ParameterMenu()->actions()[1]->trigger();
        QCOMPARE(w.Graph().Shown().name, std::string("P"));
        QVERIFY(w.SwitchAction()->isVisible() && w.SwitchAction()->isEnabled());
        QCOMPARE(w.SwitchAction()->text(), QString("Dokładnie"));
        w.SwitchAction()->trigger();
        QCOMPARE(w.SwitchAction()->text(), QString("Zgrubnie"));
        QVERIFY(w.Graph().zoom);

        const QString pdf = QString::fromStdString(data_.temp.File("graph.pdf"));
        QCOMPARE(w.Print({TPrintTarget::PdfFile, pdf.toStdString(), true}), TPrintResult::Printed);
        QVERIFY(QFile::exists(pdf));
        QVERIFY(w.Action("&Drukuj")->isEnabled());
    }

    // The window's look, kept where KIV_ARTIFACT_DIR points (run under Xvfb).
    void screenshot() {
        const QString keep = test::ArtifactDir();
        if (keep.isEmpty())
            QSKIP("KIV_ARTIFACT_DIR names no folder for the picture");
        MessageRecorder messages;
        TFGrafika flow;
        QVERIFY(flow.Open(data_.Request("00012", 5, 10, 5, 10)));
        flow.resize(1000, 600);
        QVERIFY(QTest::qWaitForWindowExposed(&flow));
        for (int i = 0; i < 55; ++i)
            QTest::keyClick(&flow, Qt::Key_Right);
        flow.MouseAt(XAt(flow, test::At(2024, 5, 10, 11, 55)));
        QVERIFY(flow.grab().save(keep + "/graph_window_flow.png"));

        TFGrafika pressure;
        TGraphRequest request = data_.Request("00012", 4, 1, 4, 30);
        request.parameter = 1;
        QVERIFY(pressure.Open(request));
        pressure.resize(1000, 600);
        pressure.SwitchAction()->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&pressure));
        QVERIFY(pressure.grab().save(keep + "/graph_window_pressure.png"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::GraphWindowTest)
#include "graph_window_test.moc"

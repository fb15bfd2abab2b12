// The events viewer window on the station of events_view_fixture.h: its
// generation list, the parameter lines keeping the current event, the
// column widths, what "Drukuj" prints, and its look under Xvfb.
#include "reports/events_window.h"

#include "common/save_shot.h"
#include "config/station_db.h"
#include "events_view_fixture.h"
#include "support/gui/open_winds.h"
#include "support/message_recorder.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QtTest>

namespace kiv {

class EventsWindowTest : public QObject {
    Q_OBJECT

    test::TempFolder temp_{"kiv-events-window"};
    std::string Data() const { return temp_.Folder() + "data/"; }
    std::string Program() const { return temp_.Folder() + "prog/"; }

    static int Rows(const TFEvents &w) { return w.Grid()->model()->rowCount(); }
    static int Current(const TFEvents &w) { return w.Grid()->currentIndex().row(); }
    static void Select(TFEvents &w, int first, int last) {
        QAbstractItemModel *model = w.Grid()->model();
        w.Grid()->setCurrentIndex(model->index(first, 0));
        w.Grid()->selectionModel()->select(QItemSelection(model->index(first, 0), model->index(last, 4)),
                                           QItemSelectionModel::ClearAndSelect);
    }

  private slots:
    void initTestCase() { test::MakeEventsFolders(temp_, true); }

    void listsGenerationsAndSwitchesBetweenThem() {
        MessageRecorder messages;
        TFEvents w(nullptr, Program());
        w.Open(Data(), test::kEventsStation);
        QCOMPARE(w.Generations()->count(), 2);
        QVERIFY(w.Generations()->itemText(0).startsWith("0."));
        QVERIFY(w.Generations()->itemText(1).startsWith("1."));
        QCOMPARE(w.Generation(), 0);
        QCOMPARE(w.windowTitle(), QString::fromStdString("Zdarzenia " + StationBaseName(Data(), 12)));
        QCOMPARE(Rows(w), 5);
        QVERIFY(w.ParametersAction()->isEnabled());
        QCOMPARE(messages.Count(), std::size_t{1});
        QVERIFY(messages.Saw("(2)"));

        emit w.Generations()->activated(1);
        QCOMPARE(w.Generation(), 1);
        QCOMPARE(Rows(w), 1);
        QVERIFY(!w.ParametersAction()->isEnabled());
        QCOMPARE(messages.Last().text, std::string("Nie znaleziono pliku definicji zdarzeń dla urządzenia:\nOther\nZX 9"));
        QVERIFY(OpenWindows().IndexOf(&w) >= 0);
        w.close();
        QCOMPARE(OpenWindows().IndexOf(&w), -1);
    }

    void parameterLinesKeepTheCurrentEvent() {
        MessageRecorder messages;
        TFEvents w(nullptr, Program());
        w.Open(Data(), test::kEventsStation);
        Select(w, 2, 2);
        w.ParametersAction()->trigger();
        QCOMPARE(Rows(w), 10);
        QCOMPARE(Current(w), 5); // the third event, now below the parameters of the first two
        Select(w, 7, 7);          // its second parameter line
        w.ParametersAction()->trigger();
        QCOMPARE(Rows(w), 5);
        QCOMPARE(Current(w), 2);
        QCOMPARE(w.Grid()->selectionModel()->selectedRows().size(), 1);

        w.resize(900, 500);
        QCoreApplication::processEvents();
        QCOMPARE(w.Grid()->columnWidth(0), 40);
        QCOMPARE(w.Grid()->columnWidth(1), 25);
        QCOMPARE(w.Grid()->columnWidth(2), w.Grid()->width() - 40 - 25 - 2 * 115 - 24);
        QCOMPARE(w.Grid()->columnWidth(4), 115);
    }

    void printsTheSelectedLinesOrAll() {
        MessageRecorder messages;
        TFEvents w(nullptr, Program());
        w.Open(Data(), test::kEventsStation);
        Select(w, 3, 3);
        QCOMPARE(w.PrintRows().size(), std::size_t{5});
        Select(w, 1, 2);
        QCOMPARE(w.PrintRows(), (std::vector<int>{1, 2}));
        Select(w, 0, 0);
        w.ParametersAction()->trigger();
        const QString pdf = QString::fromStdString(temp_.File("events.pdf"));
        QCOMPARE(w.Print({TPrintTarget::PdfFile, pdf.toStdString(), false}), TPrintResult::Printed);
        QVERIFY(QFile::exists(pdf));
        QVERIFY(w.PrintAction()->isEnabled());
        test::KeepFile(pdf, "events_list.pdf");
    }

    // The window's look, kept where KIV_ARTIFACT_DIR points (run under Xvfb).
    void screenshot() {
        const QString keep = test::ArtifactDir();
        if (keep.isEmpty())
            QSKIP("KIV_ARTIFACT_DIR names no folder for the picture");
        MessageRecorder messages;
        TFEvents w(nullptr, Program());
        w.Open(Data(), test::kEventsStation);
        Select(w, 2, 2);
        w.ParametersAction()->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(keep + "/events_window.png"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::EventsWindowTest)
#include "events_view_window_test.moc"

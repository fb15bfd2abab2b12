// The period report window on the fixture folder: the grid with its header,
// glyph row and white-on-red extremes, the hint, the day and station steps
// with their limits, a station without data, the click that writes the
// print selection, "Eksport" (a cancelled dialog writes nothing) and the
// 62-day landscape print of one and of every ticked station into a PDF.
#include "reports/rap_okres.h"

#include "common/save_shot.h"
#include "period_report_fixture.h"
#include "common/temp_folder.h"
#include "support/gui/open_winds.h"
#include "support/message_recorder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTableWidget>
#include <QtTest>

namespace kiv {

class PeriodReportWindowTest : public QObject {
    Q_OBJECT

    test::TempFolder temp_{"kiv-period-window"};

    TPeriodReportArgs Args(int lastDay = 31) {
        TPeriodReportArgs args;
        args.entries = {"00012@Kotłownia", "00013@Łaźnia", "+00012+00013@Suma", "00016@Pusta"};
        args.dataFolder = temp_.Folder();
        args.start = test::MayStart();
        args.end = test::MayEnd(lastDay);
        args.kivIni = temp_.Folder() + "Kiv.ini";
        return args;
    }
    static QString Cell(TFRapOkres &w, int reportRow, int column) {
        return w.Grid()->item(TFRapOkres::GridRow(reportRow), column)->text();
    }
    static bool Chosen(TFRapOkres &w, int column) { return w.Grid()->item(0, column)->data(Qt::UserRole + 1).toBool(); }
    static int PdfPages(const std::string &pdf) {
        QFile file(QString::fromStdString(pdf));
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return static_cast<int>(QString::fromLatin1(file.readAll()).count(QRegularExpression("/Type\\s*/Page[^s]")));
    }

  private slots:
    void initTestCase() { test::BuildPeriodFolder(temp_.Folder()); }

    void showsStepsAndLimits() {
        MessageRecorder messages;
        TFRapOkres w;
        QVERIFY(w.Open(Args()));
        QCOMPARE(w.PrintList()->List()->item(2)->text(), QString("SUMA  Suma"));
        QCOMPARE(w.PrintList()->List()->toolTip(), QString("2 x klik wybiera stację"));
        QVERIFY(w.windowTitle().startsWith("Stacja nr:00012 Kotłownia MacMat Nr fabr.100. Raport okresowy za okres: "));
        QCOMPARE(w.Grid()->horizontalHeaderItem(1)->text(), QString("Vn\nm3"));
        QCOMPARE(w.Grid()->rowCount(), 33);
        QCOMPARE(Cell(w, 3, 0), QString("2024.04.30"));
        QCOMPARE(Cell(w, 3, 1), QString("000000100000"));
        QCOMPARE(Cell(w, 6, 2), QString("1000!")); // the day's marks after its volume
        QCOMPARE(Cell(w, 13, 4).section('/', 1), QString("04"));
        QCOMPARE(w.Grid()->item(TFRapOkres::GridRow(13), 4)->background().color(), QColor(Qt::red));
        QCOMPARE(w.Grid()->item(TFRapOkres::GridRow(13), 4)->foreground().color(), QColor(Qt::white));
        QCOMPARE(w.Grid()->item(0, 1)->background().color(), w.palette().color(QPalette::Button));
        QCOMPARE(w.SumGrid()->item(0, 6)->text(), QString("1"));
        QVERIFY(w.StatusPanel(1)->text().startsWith("Status: !?"));
        w.Grid()->setCurrentCell(5, 5);
        QCOMPARE(w.Grid()->toolTip(), QString("Ciśnienie"));

        // 31 days: both day steps; "+Dzień" stops at 62 days, "-Dzień" at one.
        QVERIFY(w.Action("-Dzień")->isEnabled() && w.Action("+Dzień")->isEnabled());
        w.Action(">")->trigger();
        QCOMPARE(w.Start(), test::MayStart(2));
        QCOMPARE(Cell(w, 3, 0), QString("2024.05.01"));
        QVERIFY(w.Open(Args(61)));
        w.Action("+Dzień")->trigger();
        QCOMPARE(w.Shown().days, 62);
        QVERIFY(!w.Action("+Dzień")->isEnabled());
        QVERIFY(w.Open(Args(2)));
        w.Action("-Dzień")->trigger();
        QCOMPARE(w.Shown().days, 1);
        QVERIFY(!w.Action("-Dzień")->isEnabled());
        // A step out of the accepted range is refused and taken back.
        TPeriodReportArgs limited = Args(2);
        limited.start = test::MayStart(2);
        limited.lower = test::At(2024, 5, 1);
        limited.upper = test::At(2024, 5, 3);
        QVERIFY(w.Open(limited));
        w.Action(">")->trigger();
        QCOMPARE(messages.Last().text, std::string("Zakres czasowy danych nie mieści się w akceptowanych limitach"));
        QCOMPARE(w.Start(), test::MayStart(2));
        QCOMPARE(w.End(), test::MayEnd(2));
        messages.Clear();

        QVERIFY(!w.Action("-Stacja")->isEnabled());
        w.Action("+Stacja")->trigger();
        w.Action("+Stacja")->trigger();
        QCOMPARE(w.windowTitle().section('.', 0, 0), QString("Stacja nr:+00012+00013 Suma"));
        QCOMPARE(messages.Count(), std::size_t{0});
        w.Action("+Stacja")->trigger();
        QCOMPARE(messages.Last().text, std::string("Brak danych, lub dane ze stacji nr 00016 niepoprawne"));
        QVERIFY(!w.HasReport() && w.Grid()->rowCount() == 0);
        QVERIFY(!w.Action("+Stacja")->isEnabled() && !w.Action("Eksport")->isEnabled());
        w.show();
        QVERIFY(OpenWindows().IndexOf(&w) >= 0);
        w.close();
        QCOMPARE(OpenWindows().IndexOf(&w), -1);
    }

    void printSelectionAndExport() {
        TFRapOkres w;
        QVERIFY(w.Open(Args(3)));
        QVERIFY(Chosen(w, 3));
        emit w.Grid()->cellClicked(0, 3);
        QVERIFY(!Chosen(w, 3));
        QCOMPARE(ReadPrintSelection(temp_.Folder(), w.Shown()), w.Selection());
        emit w.Grid()->cellClicked(0, 3);
        QVERIFY(Chosen(w, 3));

        QCOMPARE(w.Export(TCsvLayout::Rozliczenie, ""), std::string());
        QCOMPARE(QDir(QString::fromStdString(temp_.Folder())).entryList({"*.CSV"}).size(), 0);
        const std::string written = w.Export(TCsvLayout::Standard, temp_.File("Maj.CSV"));
        QCOMPARE(written, temp_.File("00012Maj.CSV"));
        QFile csv(QString::fromStdString(written));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().toStdString(), PeriodCsvText(w.Shown(), TCsvLayout::Standard));
    }

    // Every ticked station is a report of its own; a PDF file takes them each from a new page.
    void printsEveryTickedStation() {
        MessageRecorder messages;
        TFRapOkres w;
        QVERIFY(w.Open(Args(62)));
        QCOMPARE(w.PrintPages().size(), std::size_t{3}); // the station without data is left out
        const std::string all = temp_.File("period-all.pdf");
        QCOMPARE(w.Print({TPrintTarget::PdfFile, all, true}), TPrintResult::Printed);
        for (int line = 1; line < w.PrintList()->Count(); ++line)
            w.PrintList()->SetTicked(line, false);
        const std::string one = temp_.File("period.pdf");
        QCOMPARE(w.Print({TPrintTarget::PdfFile, one, true}), TPrintResult::Printed);
        QVERIFY(PdfPages(one) >= 1);
        QCOMPARE(PdfPages(all), 3 * PdfPages(one)); // 62 days break alike for all three
        test::KeepFile(QString::fromStdString(one), "period-report.pdf");
        test::KeepFile(QString::fromStdString(all), "period-report-all.pdf");
        w.PrintList()->SetTicked(0, false);
        QCOMPARE(w.Print({TPrintTarget::PdfFile, temp_.File("none.pdf"), true}), TPrintResult::Cancelled);
        QCOMPARE(messages.Last().text, std::string("Na liście do wydruku nie zaznaczono żadnej stacji"));
    }

    // The window's look, kept where KIV_ARTIFACT_DIR points (run under Xvfb).
    void screenshot() {
        const QString keep = test::ArtifactDir();
        if (keep.isEmpty())
            QSKIP("KIV_ARTIFACT_DIR names no folder for the picture");
        TFRapOkres w;
        QVERIFY(w.Open(Args()));
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(keep + "/period-report-window.png"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::PeriodReportWindowTest)
#include "period_report_window_test.moc"

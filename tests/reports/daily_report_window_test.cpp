// The daily report window on a small data folder: day and station steps,
// the print list, and printing 3 days of 2 ticked stations, in order, into
// a PDF of 6 pages.
#include "reports/rap_dob.h"

#include "archive_fixture.h"
#include "common/save_shot.h"
#include "common/temp_folder.h"
#include "config/station_db.h"
#include "support/gui/open_winds.h"
#include "support/print_recorder.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>

namespace kiv {

class DailyReportWindowTest : public QObject {
    Q_OBJECT

    test::TempFolder temp_{"kiv-daily-window"};
    const TimeStamp day_ = test::At(2024, 5, 10, 0, 0, 1);

    // Stations 12 and 13 with one hourly dVn sample at 23:00 on 9..12 May,
    // the value telling the station and the day.
    TDailyReportArgs Args() {
        CreateStation(temp_.Folder(), 12, "Kotłownia Północ");
        CreateStation(temp_.Folder(), 13, "Łaźnia");
        for (const int address : {12, 13}) {
            std::vector<test::TSampleSpec> samples;
            for (int d = 9; d <= 12; ++d)
                samples.push_back({test::At(2024, 5, d, 23), static_cast<float>(address * 100 + d), 60});
            TParamItem item = test::ChannelItem("dVn");
            item.SetUnit("m3");
            test::StoreSamples(temp_.Folder(), address, item, samples);
        }
        TDailyReportArgs args;
        args.entries = {"00012@Kotłownia Północ", "00013@Łaźnia", "+00012+00013@Razem"};
        args.dataFolder = temp_.Folder();
        args.dayStart = day_;
        return args;
    }

    static QString Cell(TFRapDob &w, int row, int column) { return w.Table()->item(row, column)->text().trimmed(); }

  private slots:
    void stepsDaysAndStations() {
        TFRapDob w;
        w.Open(Args());
        QCOMPARE(w.PrintList()->Count(), 3);
        QCOMPARE(w.PrintList()->List()->item(2)->text(), QString("SUMA  Razem"));
        QCOMPARE(w.windowTitle(), QString("Stacja nr:00012. Raport dobowy Kotłownia Północ MacMat Nr fabr.100"));
        QCOMPARE(Cell(w, 0, 0), QString("10.05.2024"));
        QCOMPARE(Cell(w, 2, 0), QString("22 - 23"));
        QCOMPARE(Cell(w, 2, 1), QString("1209.00"));
        QVERIFY(w.Table()->item(2, 1)->text().startsWith(' '));
        QVERIFY(!w.Button("-Stacja")->isEnabled());
        w.Button(">")->click();
        QCOMPARE(Cell(w, 0, 0), QString("11.05.2024"));
        QCOMPARE(Cell(w, 2, 1), QString("1210.00"));
        w.Button("<")->click();
        w.Button("<")->click();
        QCOMPARE(Cell(w, 0, 0), QString("09.05.2024"));
        QCOMPARE(Cell(w, 2, 1), QString());
        w.Button(">")->click();
        w.Button("+Stacja")->click();
        QCOMPARE(Cell(w, 2, 1), QString("1309.00"));
        w.Button("+Stacja")->click();
        QCOMPARE(w.windowTitle(), QString("Stacja nr:+00012+00013. Raport dobowy Razem"));
        QCOMPARE(Cell(w, 2, 1), QString("2518.00"));
        QVERIFY(!w.Button("+Stacja")->isEnabled());
        w.Button("-Stacja")->click();
        QCOMPARE(w.PrintList()->Selected(), 1);
        QVERIFY(w.Button("+Stacja")->isEnabled());
        // The list's "-" unticks all and selects the first line; a double click shows a line.
        w.PrintList()->UntickAllButton()->click();
        QVERIFY(!w.PrintList()->Ticked(2));
        QCOMPARE(w.PrintList()->Selected(), 0);
        w.PrintList()->TickAllButton()->click();
        QVERIFY(w.PrintList()->Ticked(2));
        emit w.PrintList()->List()->itemDoubleClicked(w.PrintList()->List()->item(2));
        QCOMPARE(w.PrintList()->Selected(), 2);
        QVERIFY(!w.Button("+Stacja")->isEnabled());
        w.show();
        QVERIFY(OpenWindows().IndexOf(&w) >= 0);
        w.close();
        QCOMPARE(OpenWindows().IndexOf(&w), -1);
    }

    void printsDaysOfEveryTickedStation() {
        TFRapDob w;
        w.Open(Args());
        w.PrintList()->SetTicked(2, false);
        w.DaysEdit()->setValue(3);
        TPrintRecorder recorder;
        QVERIFY(PrintDailyReports(recorder, w.PrintPages()));
        QCOMPARE(recorder.Pages(), 6);
        std::vector<std::string> dates;
        for (const std::string &line : recorder.Lines())
            if (line.find(".05.2024") != std::string::npos)
                dates.push_back(line.substr(line.rfind(' ') + 1) +
                                (dates.size() < 3 ? " 12" : " 13"));
        const std::vector<std::string> expected = {"10.05.2024 12", "11.05.2024 12", "12.05.2024 12",
                                                   "10.05.2024 13", "11.05.2024 13", "12.05.2024 13"};
        QCOMPARE(dates, expected);
        const auto titles = std::count_if(recorder.Lines().begin(), recorder.Lines().end(), [](const std::string &l) {
            return l.find("Stacja nr:00013") != std::string::npos;
        });
        QCOMPARE(titles, 3);
        QCOMPARE(w.DayStart(), day_ + 2 * 86400);
        QCOMPARE(w.PrintList()->Selected(), 1);

        // From the first day again: the pages and the PDF's are the same.
        w.Open(Args());
        w.PrintList()->SetTicked(2, false);
        const QString pdf = QString::fromStdString(temp_.File("daily.pdf"));
        QCOMPARE(w.Print({TPrintTarget::PdfFile, pdf.toStdString(), false}), TPrintResult::Printed);
        QCOMPARE(w.DayStart(), day_ + 2 * 86400);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 6);
        test::KeepFile(pdf, "daily-report.pdf");
    }

    // The window's look, kept where KIV_ARTIFACT_DIR points (run under Xvfb).
    void screenshot() {
        const QString keep = test::ArtifactDir();
        if (keep.isEmpty())
            QSKIP("KIV_ARTIFACT_DIR names no folder for the picture");
        TFRapDob w;
        TDailyReportArgs args = Args();
        args.entries.erase(args.entries.begin());
        w.Open(args);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(keep + "/daily-report-window.png"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::DailyReportWindowTest)
#include "daily_report_window_test.moc"

// The optimisation window on its data folder, every message answered by the
// recorder and every name prompt from a list: the start and the refused
// virtual station, "Archiwum" then "Oblicz" into the grids and both charts,
// editing the Qmax cells and the rate fields, adding and deleting tariff
// sets, the closing question (also before another station is shown), and the
// printout, the window and the question as pictures for a person to look at.
#include "capacity/optymal.h"

#include "capacity/optimise_fixture.h"
#include "common/temp_folder.h"
#include "config/ini_file.h"
#include "support/gui/modal_helper.h"
#include "support/gui/pol_msg.h"
#include "support/message_recorder.h"

#include <QChart>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <deque>
#include <filesystem>
#include <memory>

namespace kiv {

class OptymalWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> temp_;
    std::unique_ptr<MessageRecorder> recorder_;
    std::unique_ptr<TFOptymal> window_;
    std::deque<std::string> names_;
    std::string promptTitle_;
    std::string data_;
    std::string kivIni_;

    TFOptymal &Open(const std::string &key, const std::string &label) {
        window_ = std::make_unique<TFOptymal>();
        window_->SetNamePrompt([this](const std::string &title) {
            promptTitle_ = title;
            std::string name = names_.empty() ? "" : names_.front();
            if (!names_.empty())
                names_.pop_front();
            return name;
        });
        window_->Start({key, label, 0, 0xFFFFFFFFu, 0, data_, kivIni_});
        return *window_;
    }
    static QString Cell(const QTableWidget *grid, int row, int column) {
        const QTableWidgetItem *item = grid->item(row, column);
        return item ? item->text() : QString();
    }

  private slots:
    void init() {
        temp_ = std::make_unique<test::TempFolder>("kiv-optymal-window");
        recorder_ = std::make_unique<MessageRecorder>();
        data_ = temp_->Folder() + "dane/";
        kivIni_ = temp_->File("Kiv.ini");
        test::BuildOptimiseFolder(data_, kivIni_);
    }
    void cleanup() {
        window_.reset();
        recorder_.reset();
        temp_.reset();
    }

    void startRefusesAVirtualStationWithoutMembers() {
        TFOptymal &w = Open("", "Pusta");
        QVERIFY(!w.isVisible());
        QCOMPARE(recorder_->Last().shownCaption, std::string("Błąd konfiguracji"));
        QCOMPARE(recorder_->Last().text, std::string("Stacja wirtualna \"Pusta\" nie jest skonfigurowana "));
    }

    void archiveThenCalculate() {
        TFOptymal &w = Open("00012", "Kotłownia");
        QCOMPARE(w.windowTitle(), QString("Optymalizacja mocy zamówionej stacji : 00012 Kotłownia"));
        QCOMPARE(w.MonthSpin()->value(), 1);
        QCOMPARE(w.YearSpin()->value(), QDate::currentDate().year() - 1);
        QCOMPARE(w.InputGrid()->rowCount(), 14);
        QCOMPARE(w.TariffList()->currentText(), QString("W-3"));
        QCOMPARE(w.RateEdit(0)->text(), QString("12,5"));
        QVERIFY(!w.WinterEdit()->isEnabled());
        w.MonthSpin()->stepDown(); // January wraps to December of the year before
        QCOMPARE(w.YearSpin()->value(), QDate::currentDate().year() - 2);
        w.SetPeriod(12, 2069, 2); // the archives' last year: December does not wrap on
        w.MonthSpin()->stepUp();
        QCOMPARE(w.MonthSpin()->value(), 12);
        QCOMPARE(w.YearSpin()->value(), 2069);
        QCOMPARE(w.YearSpin()->maximum(), 2069);
        w.SetPeriod(3, 2024, 2);
        w.Button("Oblicz")->click();
        QCOMPARE(w.StatusText(), QString("OK"));
        QCOMPARE(Cell(w.InputGrid(), 2, 0), QString("03/2024"));
        QCOMPARE(Cell(w.InputGrid(), 2, 1), QString("60"));
        QCOMPARE(Cell(w.InputGrid(), 3, 1), QString("40"));
        QCOMPARE(w.WinterEdit()->text(), QString("7440"));
        QCOMPARE(w.SummerEdit()->text(), QString("7200"));
        QCOMPARE(Cell(w.ResultGrid(), 1, 1), QString("  zł/m3"));
        QCOMPARE(w.ResultGrid()->currentRow(), 7);
        QCOMPARE(Cell(w.ResultGrid(), 7, 0), QString("59"));
        QCOMPARE(w.PriceChart()->title(),
                 QString("Kotłownia - średnia cena netto za 1m3 w funkcji mocy zamówionej"));
        const auto *series = qobject_cast<QLineSeries *>(w.PriceChart()->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->name(), QString("Cena 1 m3 netto w zł"));
        QVERIFY(series->pointsVisible());
        QCOMPARE(series->count(), 21);
        QCOMPARE(w.Flows().size(), std::size_t{1464});

        // Editing: the month rows take digits only, Enter walks down and on to the winter field.
        w.SetEditing(true);
        QVERIFY(w.WinterEdit()->isEnabled());
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.InputGrid(), Qt::Key_X); // opens the cell's editor, which refuses it
        QTest::keyClicks(QApplication::focusWidget(), "7");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Cell(w.InputGrid(), 2, 1), QString("7"));
        QCOMPARE(w.ResultGrid()->item(2, 0), nullptr);
        QCOMPARE(w.InputGrid()->currentRow(), 3);
        QTest::keyClick(w.InputGrid(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.WinterEdit()));

        w.RateEdit(1)->setFocus();
        w.RateEdit(1)->end(false);
        QTest::keyClicks(w.RateEdit(1), "a");
        QCOMPARE(w.RateEdit(1)->text(), QString("0,1"));
        QCOMPARE(w.StatusText(), QString("Akceptowane są tylko cyfry i przecinek"));
        w.RateEdit(1)->clear();
        w.Button("Oblicz")->click();
        QCOMPARE(w.StatusText(), QString("Brak kompletu danych taryfowych"));
        QCOMPARE(Cell(w.ResultGrid(), 1, 1), QString("  %"));
    }

    // "Suma" is station 12 alone: a plain station, its set kept in the station file.
    void tariffSetsAndTheClosingQuestion() {
        TFOptymal &w = Open("+00012", "Suma");
        QCOMPARE(w.windowTitle(), QString("Optymalizacja mocy zamówionej stacji : +00012 Suma"));
        QCOMPARE(w.TariffList()->currentText(), QString("W-3"));
        names_ = {"w-3", "Zima 2024"};
        w.Button("Dodaj grupę")->click();
        QCOMPARE(promptTitle_, std::string("Nazwa grupy taryfowej:"));
        QCOMPARE(recorder_->Last().text,
                 std::string("Grupa stawek taryfowych o takiej nazwie już istnieje. Wpisz inną nazwę ?"));
        QCOMPARE(ReadIniString("Tariff", "Set2", "", kivIni_),
                 std::string("Zima 2024@12,5@0,1@0,08@1,2@100"));
        QCOMPARE(w.TariffList()->currentText(), QString("Zima 2024"));
        QCOMPARE(w.StatusText(), QString("OK"));
        w.RateEdit(2)->clear();
        names_ = {"Lato"};
        w.Button("Dodaj grupę")->click();
        QCOMPARE(w.StatusText(), QString("Wpisz wartości liczbowe do wszystkich okienek grupy taryfowej"));
        QCOMPARE(ReadIniString("Tariff", "Set3", "", kivIni_), std::string());

        w.TariffList()->setCurrentIndex(1);
        recorder_->Answer(ResYes);
        w.Button("Usuń grupę")->click();
        QCOMPARE(recorder_->Last().text, std::string("Usunąć grupę taryfową\"W-3\" ?"));
        QCOMPARE(ReadIniString("Tariff", "Set1", "", kivIni_),
                 std::string("Zima 2024@12,5@0,1@0,08@1,2@100"));
        QCOMPARE(w.TariffList()->count(), 2);
        QCOMPARE(w.TariffList()->currentIndex(), 0);
        QCOMPARE(w.RateEdit(4)->text(), QString());

        // Started for another station meanwhile: the same question first; Anuluj keeps the old station.
        recorder_->Answer(ResCancel);
        QVERIFY(!w.Start({"00012", "Kotłownia", 0, 0xFFFFFFFFu, 0, data_, kivIni_}));
        QCOMPARE(recorder_->Last().text, std::string("Zapamiętać dane jako grupę stawek taryfowych tej stacji?"));
        QVERIFY(w.windowTitle().endsWith("+00012 Suma"));

        // The empty item while "W-3" is remembered: the question; Anuluj stays, Tak with no name stores none.
        recorder_->Answer(ResCancel);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(recorder_->Last().text,
                 std::string("Zapamiętać dane jako grupę stawek taryfowych tej stacji?"));
        QCOMPARE(recorder_->Last().buttons, unsigned(BtnYes | BtnNo | BtnCancel));
        recorder_->Answer(ResYes);
        w.Button("Zakończ")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(ReadIniString("Tariff", "TariffSetName", "?", StationFilePath(data_, 12)), std::string());
        QCOMPARE(ReadIniString("Virtual-" + data_, "Sum1", "", kivIni_), std::string("Suma@+00012@50@W-3"));
    }

    void printoutAndScreenshots() {
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        TFOptymal &w = Open("00012", "Kotłownia");
        w.SetPeriod(3, 2024, 2);
        w.Button("Oblicz")->click();
        const QString pdf = folder + "/optymal_print.pdf";
        QCOMPARE(w.Print({TPrintTarget::PdfFile, pdf.toStdString(), false}), TPrintResult::Printed);
        QVERIFY(QFileInfo(pdf).size() > 10000);
        for (const auto &entry : std::filesystem::recursive_directory_iterator(temp_->path))
            QVERIFY2(entry.path().filename().string().find("~wykres") == std::string::npos,
                     "a picture left behind");
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(folder + "/optymal_window.png"));
        w.ChartTabs()->setCurrentIndex(1);
        QVERIFY(w.grab().save(folder + "/optymal_curve.png"));

        // The real question when another station comes while the empty set is chosen.
        w.TariffList()->setCurrentIndex(0);
        QtMessageSink sink;
        IMessageSink *recorder = SetMessageSink(&sink);
        test::OnModal<TFPolMsg>([&](TFPolMsg *box) {
            QVERIFY(QTest::qWaitForWindowExposed(box));
            QTest::qWait(300); // painted over the window
            (void)w.screen()->grabWindow(0).save(folder + "/optymal_question.png");
            box->Button(3)->click();
        });
        QVERIFY(!w.Start({"+00012", "Suma", 0, 0xFFFFFFFFu, 0, data_, kivIni_}));
        SetMessageSink(recorder);
        QVERIFY(w.windowTitle().endsWith("00012 Kotłownia"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::OptymalWindowTest)
#include "optymal_window_test.moc"

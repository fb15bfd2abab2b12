// The import and data copy windows on generated folders: "OK" following the
// folders, the import's count and message, the check-all range, the save
// dialog refusing the data folder and asking again, and screenshots.
#include "config/station_db.h"
#include "shell/file_copy.h"
#include "shell/import_cfg.h"
#include "shell_test_util.h"
#include "support/message_recorder.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <deque>

using namespace kiv;

class ToolsWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ShellTempFolder> temp_;
    std::string data_;

    void WriteTenStations() {
        for (int a = 1; a <= 10; ++a) test::WriteStation(data_, {a, "Stacja " + std::to_string(a), ""});
        test::WriteText(StationFolderPath(data_, 3) + "/00003.FCC", "fcc");
        StationDb().Build(data_);
    }
    static void Tick(QListWidget* list, int row) { list->item(row)->setCheckState(Qt::Checked); }
    static QString Ticked(const QListWidget* list) {
        QString rows;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) rows += QString::number(i + 1) + " ";
        return rows.trimmed();
    }

private slots:
    void init() {
        temp_ = std::make_unique<test::ShellTempFolder>();
        data_ = temp_->Sub("dane");
    }
    void cleanup() { temp_.reset(); }

    void importFollowsTheFoldersAndCounts() {
        MessageRecorder messages;
        test::WriteText(temp_->Sub("dane/KIV5") + "E__CFG.INI", "[Main]\nLabel=Pięć\n");
        TFImportCfg w;
        w.Setup({data_, {}, {}, {}, {}});
        QCOMPARE(w.SourceEdit()->text(), QString::fromStdString(data_));
        QVERIFY(w.OkButton()->isEnabled());
        w.DestinationEdit()->setText(w.DestinationEdit()->text() + "brak");
        QVERIFY(!w.OkButton()->isEnabled());
        w.DestinationEdit()->setText(QString::fromStdString(data_));
        w.OverwriteButton()->setChecked(true);

        std::string destination;
        QTimer::singleShot(0, &w, [&] { w.OkButton()->click(); });
        QVERIFY(w.Execute({data_, {}, {}, {}, {}}, destination));
        QCOMPARE(destination, data_);
        QCOMPARE(w.StatusText(), QString("Liczba skopiowanych katalogów: 001"));
        QCOMPARE(messages.Count(), std::size_t{1});
        QCOMPARE(messages.Last().text, std::string("Skopiowano 1 katalog"));
        QCOMPARE(messages.Last().kind, int(MsgInformation));
        QVERIFY(!w.OverwriteButton()->isChecked()); // each opening starts at "Tylko nowe"
        QCOMPARE(ReadStationEntry(StationFilePath(data_, 5), 5).label, std::string("Pięć"));

        // Nothing new to import: the message says 0 and nothing is reported.
        QTimer::singleShot(0, &w, [&] { w.OkButton()->click(); });
        QVERIFY(!w.Execute({data_, {}, {}, {}, {}}, destination));
        QCOMPARE(messages.Last().text, std::string("Skopiowano 0 katalogów"));
    }

    void checkAllFillsTheRangeAndCopyRefusesTheDataFolder() {
        MessageRecorder messages;
        WriteTenStations();
        TFFileCopy w;
        w.Setup(data_);
        QCOMPARE(w.StationList()->count(), 10);
        QCOMPARE(w.StationList()->item(2)->text(), QString("00003  Stacja 3"));
        QCOMPARE(w.MonthList()->item(11)->text(), QString("12"));
        QCOMPARE(w.YearSpin()->value(), QDate::currentDate().year());
        Tick(w.StationList(), 2);
        Tick(w.StationList(), 6);
        w.CheckAllButton()->click();
        QCOMPARE(Ticked(w.StationList()), QString("3 4 5 6 7"));

        // The data folder first: refused, and the dialog comes again.
        const std::string out = temp_->Sub("kopia");
        std::deque<std::string> answers{data_, out};
        QStringList titles;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || answers.empty()) return;
            titles << dialog->windowTitle();
            dialog->selectFile(QString::fromStdString(answers.front()) + "Pliki FCD+FCC+FCE");
            answers.pop_front();
            static_cast<QDialog*>(dialog)->accept();
        });
        answer.start(10);
        w.show();
        w.CopyButton()->click();
        answer.stop();
        QCOMPARE(titles, QStringList({"Zapisz pliki do katalogu: ", "Zapisz pliki do katalogu: "}));
        QCOMPARE(messages.Count(), std::size_t{1});
        QCOMPARE(messages.Last().text, std::string("Katalog docelowy musi byc różny od źródłowego"));
        QCOMPARE(messages.Last().kind, int(MsgError));
        QCOMPARE(test::ReadText(out + "FC_00003/00003.FCC"), std::string("fcc"));
        QVERIFY(!w.isVisible());
    }

    // Pictures of both windows for a person to look at.
    void screenshots() {
        const QString folder = qEnvironmentVariable("KIV_ARTIFACT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        TFImportCfg import;
        import.Setup({data_, {}, {}, {}, {}});
        import.show();
        QVERIFY(QTest::qWaitForWindowExposed(&import));
        QVERIFY(import.grab().save(folder + "/import_cfg.png"));
        WriteTenStations();
        TFFileCopy copy;
        copy.Setup(data_);
        Tick(copy.StationList(), 1);
        Tick(copy.MonthList(), 0);
        Tick(copy.MonthList(), 1);
        copy.show();
        QVERIFY(QTest::qWaitForWindowExposed(&copy));
        for (const QPushButton* button : copy.findChildren<QPushButton*>()) { // captions clear of the edges
            const QFontMetrics metrics(button->font());
            QVERIFY(button->width() >= metrics.horizontalAdvance(button->text()) + 2 * metrics.averageCharWidth());
        }
        QVERIFY(copy.grab().save(folder + "/filecopy_window.png"));
    }
};

QTEST_MAIN(ToolsWindowsTest)
#include "tools_windows_test.moc"

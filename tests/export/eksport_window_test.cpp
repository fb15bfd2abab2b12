// The export window on the shared data folder: the names of both stations,
// "OK" without a tick exporting nothing, and a ticked export asking for the
// folder once, from the data folder, and a closing message that counts the
// archives it could not read.
#include "export/eksport.h"

#include "common/save_shot.h"
#include "common/temp_folder.h"
#include "export/export_fixture.h"
#include "support/gui/modal_helper.h"
#include "support/message_recorder.h"

#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <memory>

namespace kiv {

class ExportWindowTest : public QObject {
    Q_OBJECT

    test::TempFolder data_{"kiv-export-window"};
    test::TempFolder out_{"kiv-export-window-out"};

    TExportArgs Args(const std::string &format) {
        return {{"00012@Kotłownia", "00013@Łaźnia"}, data_.Folder(), test::ExportDayStart(), test::ExportDayEnd(),
                0, 0xFFFFFFFFu, -2, format};
    }

    // Confirms the folder chooser with the output folder once it opens; the
    // folder it opened in lands in `start`. Deleting the timer stops it.
    QTimer *AnswerFolder(QString *start) {
        auto *timer = new QTimer(qApp);
        connect(timer, &QTimer::timeout, qApp, [this, timer, start] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer->stop();
            *start = dialog->directory().absolutePath();
            dialog->setDirectory(QString::fromStdString(out_.path.string()));
            static_cast<QDialog *>(dialog)->accept();
        });
        timer->start(10);
        return timer;
    }

  private slots:
    void initTestCase() { test::WriteExportFolder(data_.Folder()); }

    void okNeedsATick() {
        MessageRecorder messages;
        TFEksport w;
        QStringList names;
        QString asked;
        const std::unique_ptr<QTimer> folderAnswer(AnswerFolder(&asked));
        test::OnModal<TFEksport>([&](TFEksport *d) {
            QCOMPARE(d->Lstacja()->text(), QString("Konwersja do formatu CSV"));
            QCOMPARE(d->LOkres()->text(), QString("Za okres:12.03.2005 - 12.03.2005"));
            for (int i = 0; i < d->ListaNazw()->count(); ++i)
                names << d->ListaNazw()->item(i)->text();
            d->OkButton()->click();
        });
        const TExportOutcome outcome = w.Run(Args("CSV"));
        QCOMPARE(names, QStringList({"Vn", "dVn", "P", "REZ1"}));
        QVERIFY(outcome.written.empty());
        QVERIFY2(asked.isEmpty(), "no folder is asked for");
        QCOMPARE(messages.Count(), std::size_t{0});
    }

    void tickedExportAsksOnce() {
        MessageRecorder messages;
        TFEksport w;
        QString start;
        const std::unique_ptr<QTimer> folderAnswer(AnswerFolder(&start));
        test::OnModal<TFEksport>([&](TFEksport *d) {
            d->CheckAllButton()->click();
            d->CheckNonButton()->click();
            d->ListaNazw()->item(1)->setCheckState(Qt::Checked);
            d->OkButton()->click();
        });
        const TExportOutcome outcome = w.Run(Args("CSV"));
        QCOMPARE(start, QDir(QString::fromStdString(data_.path.string())).absolutePath());
        QCOMPARE(outcome.written, (std::vector<std::string>{out_.File("00012_dVn.CSV"), out_.File("00013_dVn.CSV")}));
        QVERIFY(messages.Saw("Zapisano plików: 2 w katalogu " + out_.Folder()));
    }

    void noDataNoWindow() {
        MessageRecorder messages;
        TFEksport w;
        TExportArgs args = Args("CSV");
        args.start += 30 * 86400;
        args.end += 30 * 86400;
        QVERIFY(w.Run(args).written.empty());
        QCOMPARE(messages.Last().text, std::string("Brak danych do eksportu w wybranym okresie"));
    }

    // The window's look, kept where KIV_ARTIFACT_DIR points (run under Xvfb).
    void screenshot() {
        const QString keep = test::ArtifactDir();
        if (keep.isEmpty())
            QSKIP("KIV_ARTIFACT_DIR names no folder for the picture");
        TFEksport w;
        TExportRequest request{Args("CSV").keyLabels, data_.Folder(), test::ExportDayStart(), test::ExportDayEnd()};
        TExportPeriod period;
        QVERIFY(ShiftPeriod(request, period));
        w.Setup("CSV", period, CsvParameterNames(request, period).names);
        w.ListaNazw()->item(1)->setCheckState(Qt::Checked);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(keep + "/export_window.png"));
    }

    // Breaks an archive of the shared folder, so it runs after the others.
    void unreadableArchiveCounted() {
        std::ofstream(data_.File("FC_00012/00012_2005_03_dP.FCD")) << "no archive";
        MessageRecorder messages;
        TFEksport w;
        QString start;
        const std::unique_ptr<QTimer> folderAnswer(AnswerFolder(&start));
        QCOMPARE(w.Run(Args("DZN")).unreadable, std::vector<std::string>{"00012 dP"});
        QCOMPARE(messages.Last().kind, MsgWarning);
        QVERIFY(messages.Last().text.ends_with("\nNie wyeksportowano archiwów, których nie udało się odczytać: 1"));
    }
};

} // namespace kiv

QTEST_MAIN(kiv::ExportWindowTest)
#include "eksport_window_test.moc"

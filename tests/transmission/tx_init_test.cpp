// The direct transmission window against kiv-devsim on a pseudo-terminal:
// opening checks, the fields and their limits, "Zastosuj" and the two
// questions, a complete read-out with its log, a failing one, a port that
// does not open, and what the current data window then shows.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include "comm/device_readout.h"
#include "datafiles/profile.h"
#include "device_model.h"
#include "export/cur_data.h"
#include "profile_loader.h"
#include "support/text_encoding.h"
#include "transmission/tx_filter.h"
#include "transmission/tx_init.h"
#include "tx_window_fixture.h"

using namespace kiv;

namespace {

int CountLines(const std::string& text, const std::string& marker) {
    int count = 0;
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) ++count;
    return count;
}

} // namespace

class TxInitTest : public QObject, test::TxWindows<TFTxInit> {
    Q_OBJECT

    static std::vector<TParamItem> Items() {
        TRecProfParams params;
        std::vector<TParamItem> items;
        std::vector<std::string> groups;
        TFCProfileRdWr reader;
        if (!reader.ReadProfile(test::kProgramDir + "KM100.FCP", params, items, groups)) qFatal("no demo profile");
        return items;
    }

private slots:
    void init() {
        OpenWindows();
        folder_->WriteStation();
    }
    void cleanup() { CloseWindows(); }

    void openingShowsTheStationAndItsLimits() {
        folder_->WriteKivIni("/dev/null");
        window_->Open(Args());
        QVERIFY(window_->isVisible());
        QCOMPARE(window_->windowTitle(), QString("Transmisja danych"));
        QCOMPARE(window_->AddressText(), QString("00012"));
        QCOMPARE(window_->LabelText(), QString("Stacja testowa"));
        QCOMPARE(window_->ProtocolText(), QString("GazModem 1"));
        QCOMPARE(window_->PortCombo()->currentText(), QString("COM1"));
        QCOMPARE(window_->PortCombo()->count(), 128);
        QCOMPARE(window_->BaudCombo()->currentText(), QString("115200"));
        QCOMPARE(window_->ParityCombo()->currentText(), QString("None"));
        QVERIFY(window_->DtrBox()->isChecked() && window_->RtsBox()->isChecked());
        QCOMPARE(window_->RepeatsSpin()->value(), 2);
        struct Limits {
            QSpinBox* spin;
            int low, high, step;
        };
        for (const Limits& l : {Limits{window_->BlockSpin(), 1, 250, 10}, Limits{window_->RepeatsSpin(), 0, 25, 1},
                                Limits{window_->SilenceSpin(), 0, 1000, 100},
                                Limits{window_->StartTimeoutSpin(), 50, 10000, 100},
                                Limits{window_->CharsTimeoutSpin(), 50, 2000, 100}}) {
            QCOMPARE(l.spin->minimum(), l.low);
            QCOMPARE(l.spin->maximum(), l.high);
            QCOMPARE(l.spin->singleStep(), l.step);
        }
        QVERIFY(!window_->FromBox()->isChecked() && !window_->FromEdit()->isEnabled());
        QCOMPARE(window_->FromEdit()->date(), QDate::currentDate());
        QVERIFY(window_->OkButton()->isEnabled());
        QVERIFY(!window_->ApplyButton()->isEnabled());
        QCOMPARE(recorder_->Count(), std::size_t{0});
        test::SaveShot(window_.get(), "tx_init.png");
    }

    void profileProblemsKeepTheWindowClosed_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("message");
        QTest::newRow("not in the catalogue") << "Obcy-1" << false
                                              << "Nie znaleziono profilu dla urządzenia \"Obcy-1\"";
        QTest::newRow("no profile at all") << "" << false << "Nie znaleziono profilu dla urządzenia \"\"";
        QTest::newRow("file unreadable") << "Zepsuty" << true << "Błąd odczytu pliku profilu";
        QTest::newRow("file missing") << "Brakujący" << true << "Błąd odczytu pliku profilu";
    }
    void profileProblemsKeepTheWindowClosed() {
        QFETCH(QString, profile);
        QFETCH(bool, damaged);
        QFETCH(QString, message);
        folder_->WriteKivIni("/dev/null");
        folder_->WriteStation(profile.toStdString());
        TTxInitArgs args = Args();
        if (damaged) {
            test::WriteText(folder_->Root() + "ZEPSUTY.FCP", "to nie jest profil");
            SetProgramFolder(folder_->Root());
            args.profileNames.push_back(profile.toStdString());
            args.profileFiles.push_back(profile == "Zepsuty" ? "ZEPSUTY.FCP" : "BRAK.FCP");
        }
        window_->Open(args);
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->Busy());
        QCOMPARE(recorder_->Count(), std::size_t{1});
        QCOMPARE(QString::fromStdString(recorder_->Last().text), message);
        QCOMPARE(recorder_->Last().shownCaption, std::string("Transmisja"));
    }

    void applySavesAndQuestionsGuardChanges() {
        folder_->WriteKivIni("/dev/null");
        // A port and a time the fields cannot show are saved as they were.
        std::string station = test::ReadText(folder_->StationFile());
        station.replace(station.find("ComNumber=COM1"), 14, "ComNumber=/dev/ttyUSB0");
        station.replace(station.find("StartTimeout=1000"), 17, "StartTimeout=20000");
        test::WriteText(folder_->StationFile(), station);
        window_->Open(Args());
        window_->BaudCombo()->setCurrentText("9600");
        window_->SilenceSpin()->setValue(300);
        QVERIFY(window_->ApplyButton()->isEnabled());

        recorder_->Answer(ResNo); // "Czy porzucić zmiany?" - stay
        window_->CancelButton()->click();
        QCOMPARE(recorder_->Last().text, std::string("Czy porzucić zmiany?"));
        QVERIFY(window_->isVisible());

        recorder_->Answer(ResCancel); // "Czy zapisać zmiany?" - neither save nor read
        window_->OkButton()->click();
        QCOMPARE(recorder_->Last().text, std::string("Czy zapisać zmiany?"));
        QCOMPARE(recorder_->Last().buttons, unsigned(BtnYes | BtnNo | BtnCancel));
        QVERIFY(window_->isVisible());
        QVERIFY(!progress_->isVisible());
        QCOMPARE(window_->LastResult(), 0);
        QVERIFY(test::ReadText(folder_->StationFile()).find("BaudRate=115200") != std::string::npos);

        window_->ApplyButton()->click();
        QVERIFY(!window_->ApplyButton()->isEnabled());
        TRekStacjiFull saved;
        ReadFullStationRecord(folder_->StationFile(), test::kStation, saved);
        QCOMPARE(saved.BaudRate, std::string("9600"));
        QCOMPARE(saved.SilenceTime, 300);
        QCOMPARE(saved.ComNumber, std::string("/dev/ttyUSB0"));
        QCOMPARE(saved.StartTimeout, 20000);
        QCOMPARE(saved.Label, std::string("Stacja testowa"));

        const std::size_t before = recorder_->Count();
        window_->CancelButton()->click(); // nothing unsaved: no question
        QCOMPARE(recorder_->Count(), before);
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->Busy());
    }

    void filterOpensForTheStationsArchives() {
        folder_->WriteKivIni("/dev/null");
        window_->Open(Args());
        QString title;
        int entries = 0;
        QTimer::singleShot(0, this, [&] {
            auto* filter = qobject_cast<TFTxFilter*>(QApplication::activeModalWidget());
            if (!filter) return;
            title = filter->windowTitle();
            entries = filter->List()->count();
            filter->CancelButton()->click();
        });
        window_->FilterButton()->click();
        QCOMPARE(title, QString("Filtr - Stacja testowa"));
        QCOMPARE(entries, int(ArchiveList(Items()).size()));
        QVERIFY(entries > 0);
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->ApplyButton()->isEnabled());
    }

    void readOutEndsWithOkAndShowsCurrentData() {
        test::Simulator sim;
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        folder_->WriteKivIni(sim.Port());
        window_->Open(Args());
        window_->LogBox()->setChecked(true);
        QTimer::singleShot(400, this, [this] { test::SaveShot(progress_.get(), "tx_progress_running.png"); });
        window_->OkButton()->click();

        QCOMPARE(window_->LastResult(), ResultCode(TxResult::Good));
        QVERIFY(!window_->isVisible());
        QVERIFY(window_->Busy());
        QVERIFY(progress_->isVisible());
        QCOMPARE(progress_->StatusText(), QString("Odczyt zakończony"));
        QCOMPARE(progress_->ExitButton()->text(), QString("OK"));
        QVERIFY(progress_->ExitButton()->isEnabled());
        QCOMPARE(comm_->GetPortState(), uint8_t{PortClosed});
        QCOMPARE(recorder_->Count(), std::size_t{0});
        test::SaveShot(progress_.get(), "tx_progress_done.png");
        progress_->ExitButton()->click();
        QTRY_VERIFY(!window_->Busy());
        QVERIFY(!progress_->isVisible());

        const std::string log = test::ReadText(folder_->TxLog());
        const int sent = CountLines(log, " N: ");
        QVERIFY(sent > 3);
        QCOMPARE(CountLines(log, " O: "), sent);
        QCOMPARE(CountLines(log, "\r\n"), 2 * sent);

        // The current data window decodes what the simulator sent with the profile's names and units.
        devsim::SimProfile simProfile;
        std::string error;
        QVERIFY(devsim::LoadProfile(test::kProgramDir + "KM100.FCP", simProfile, error));
        devsim::GenerateOptions generate;
        generate.seed = test::kSeed;
        const devsim::DeviceData device = devsim::GenerateData(simProfile, test::kStation, generate);
        TFCurData view;
        QVERIFY(view.Setup({folder_->Data(), test::kStation, test::kCatalogueNames, test::kCatalogueFiles, test::kProfileName}, {}));
        QTableWidget* grid = view.Grid();
        int checked = 0;
        for (const TParamItem& item : Items()) {
            if (item.ParamNumber() < 0 || item.GroupName() != "LICZ") continue;
            const auto& value = device.current.at(item.ParamNumber());
            const std::string expected = TFCProfileRdWr::ValueText(value.data(), value.size(), item.TypeCode());
            QCOMPARE(grid->item(checked, 0)->text(), QString::fromStdString(DecodeText(item.FullName())));
            QCOMPARE(grid->item(checked, 1)->text(), QString::fromStdString(DecodeText(item.Unit())));
            QCOMPARE(grid->item(checked, 2)->text().toStdString(), expected);
            ++checked;
        }
        QVERIFY(checked >= 2);
        QCOMPARE(grid->rowCount(), checked);
        view.resize(700, 420);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        test::SaveShot(&view, "cur_data_after_readout.png");
    }

    void failingReadOutShowsItsMessageAndClosesBoth() {
        test::Simulator sim({"--silence", "1"});
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        folder_->WriteKivIni(sim.Port());
        folder_->WriteStation(test::kProfileName, test::kStation, "StartTimeout=50\n");
        window_->Open(Args());
        window_->OkButton()->click();
        QCOMPARE(window_->LastResult(), ResultCode(TxResult::NoReply));
        QCOMPARE(recorder_->Last().text, std::string("Brak komunikacji"));
        QCOMPARE(recorder_->Last().kind, int(MsgError));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Transmisja"));
        QVERIFY(!progress_->isVisible());
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->Busy());
        QCOMPARE(comm_->GetPortState(), uint8_t{PortClosed});
        QVERIFY(!QFile::exists(QString::fromStdString(folder_->TxLog())));
    }

    // "Czytaj od" after "Czytaj do": refused before the port is opened, the window stays for correcting it.
    void reversedRangeIsRefusedBeforeThePortOpens() {
        window_->Open(Args());
        window_->LogBox()->setChecked(true);
        window_->FromBox()->setChecked(true);
        window_->ToBox()->setChecked(true);
        window_->FromEdit()->setDateTime(QDateTime(QDate(2026, 6, 2), QTime(0, 0, 0)));
        window_->ToEdit()->setDateTime(QDateTime(QDate(2026, 6, 1), QTime(23, 59, 59)));
        window_->OkButton()->click();
        QCOMPARE(recorder_->Last().text, std::string(kReversedRangeText));
        QVERIFY(window_->isVisible());
        QVERIFY(!progress_->isVisible());
        QCOMPARE(comm_->GetPortState(), uint8_t{PortClosed});
        QVERIFY(!QFile::exists(QString::fromStdString(folder_->TxLog())));
        window_->ToEdit()->setDateTime(QDateTime(QDate(2026, 6, 2), QTime(0, 0, 0)));
        window_->CancelButton()->click();
        QVERIFY(!window_->Busy());
    }

    void portThatDoesNotOpenLetsTheUserCloseBoth() {
        folder_->WriteKivIni(folder_->Root() + "brak-portu");
        window_->Open(Args());
        window_->OkButton()->click();
        QVERIFY(progress_->isVisible());
        QCOMPARE(progress_->ConnectionText(),
                 QString::fromStdString("Błąd otwarcia portu COM1 (" + folder_->Root() +
                                        "brak-portu): nie ma takiego urządzenia"));
        QVERIFY(progress_->ExitButton()->isEnabled());
        QCOMPARE(progress_->ExitButton()->text(), QString("OK"));
        QVERIFY(window_->Busy());
        QCOMPARE(recorder_->Count(), std::size_t{0});
        progress_->ExitButton()->click();
        QTRY_VERIFY(!window_->Busy());
        QVERIFY(!progress_->isVisible());
        QVERIFY(!window_->isVisible());
    }
};

QTEST_MAIN(TxInitTest)
#include "tx_init_test.moc"

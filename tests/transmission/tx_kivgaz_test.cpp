// The transporter windows against kiv-devsim as a KivGAZ transporter: the
// settings shown and saved, "Wyszukaj" with an unknown device answered "Nie"
// and "Tak", "OK" reading the ticked devices, and the programming window
// holding the line open.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <filesystem>

#include "config/ini_file.h"
#include "transmission/tx_kivgaz.h"
#include "transmission/tx_kivgaz_db.h"
#include "transmission/tx_kivgaz_fields.h"
#include "transmission/tx_progress.h"
#include "tx_window_fixture.h"

using namespace kiv;

namespace {

// The progress window, keeping every connection line it was given.
class TLineWatch : public TFTxProgress {
  public:
    void SetConnection(const std::string& text) override {
        lines << QString::fromStdString(text);
        TFTxProgress::SetConnection(text);
    }
    QStringList lines;
};

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? " [x]" : " [ ]");
    return rows;
}

} // namespace

class TxKivGazTest : public QObject, test::TxWindows<TFTxKivGaz, TLineWatch> {
    Q_OBJECT

    // Station 12 (Kivmet KM-100) and 40 (a protocol-2 profile) in the data
    // folder; the transporter also holds 77, which has no station.
    void Prepare(const std::string& port) {
        folder_->WriteKivIni(port);
        test::WriteText(folder_->KivIni(), test::ReadText(folder_->KivIni()) + "[KivGAZ]\nAddress=0\n");
        folder_->WriteStation();
        folder_->WriteStation("Kivmet KM-200", 40);
        window_->Setup({folder_->KivIni(), folder_->Data(), test::kCatalogueNames, test::kCatalogueFiles});
        window_->show();
    }

    static QStringList TransporterArgs() {
        return {"--transporter",  "65534",
                "--extra-device", "40:" + QString::fromStdString(test::kProgramDir) + "KM200.FCP",
                "--extra-device", "77",
                "--device-name",  "77=Nowa kotłownia"};
    }

  private slots:
    void init() { OpenWindows(); }
    void cleanup() { CloseWindows(); }

    void openingShowsTheSettingsAndSavesThem() {
        Prepare("/dev/null");
        QCOMPARE(window_->Fields()->AddressSpin()->value(), 65534); // the stored 0
        QCOMPARE(window_->Fields()->PortCombo()->currentText(), QString("COM1"));
        QCOMPARE(window_->Fields()->findChild<QLabel*>("Label_Speed")->text(), QString("115200"));
        QCOMPARE(window_->Fields()->findChild<QLabel*>("Label_Parity")->text(), QString("None"));
        QVERIFY(!window_->OkButton()->isEnabled());
        QVERIFY(!window_->ApplyButton()->isEnabled());
        test::SaveShot(window_.get(), "kivgaz_open.png");
        window_->Search();
        const std::string shown = recorder_->Last().text; // the port's detail follows on the next line
        QCOMPARE(shown.substr(0, shown.find('\n')), std::string("Błąd otwarcia portu szeregowego"));
        window_->Fields()->PortCombo()->setCurrentText("COM3");
        QVERIFY(window_->ApplyButton()->isEnabled());
        recorder_->Answer(ResNo); // "Czy porzucić zmiany?": stay
        window_->reject();
        QVERIFY(window_->isVisible());
        window_->ApplyButton()->click();
        QCOMPARE(ReadIniString("KivGAZ", "ComNumber", "", folder_->KivIni()), std::string("COM3"));
        QCOMPARE(ReadIniString("KivGAZ", "Address", "", folder_->KivIni()), std::string("65534"));
        QVERIFY(!window_->ApplyButton()->isEnabled());
    }

    void searchDropsOrAddsTheUnknownDevice() {
        const test::Simulator transporter(TransporterArgs());
        Prepare(transporter.Port());
        recorder_->Answer(ResNo);
        window_->Search();
        QCOMPARE(recorder_->Last().text, std::string(kAddUnknownQuestion));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
        QCOMPARE(Rows(window_->List()), QStringList({"00012 Stacja 12 [x]", "00040 Stacja 40 [x]"}));
        QVERIFY(!window_->StationsAdded());
        QVERIFY(!std::filesystem::exists(StationFolderPath(folder_->Data(), 77)));

        recorder_->Answer(ResYes);
        window_->Search();
        QCOMPARE(recorder_->Last().text, std::string(kConfigureReminder));
        QCOMPARE(recorder_->Last().kind, int(MsgInformation));
        QCOMPARE(Rows(window_->List()),
                 QStringList({"00012 Stacja 12 [x]", "00040 Stacja 40 [x]", "00077+Nowa kotłownia [x]"}));
        QVERIFY(window_->StationsAdded());
        QVERIFY(window_->OkButton()->isEnabled());
        const std::string file = StationFilePath(folder_->Data(), 77);
        QCOMPARE(ReadIniString("Main", "Label", "", file), std::string("Nowa kotłownia"));
        QCOMPARE(ReadIniString("Hardware", "Brand", "", file), std::string("Kivmet"));
        test::SaveShot(window_.get(), "kivgaz_list.png");
    }

    void okReadsTheTickedDevicesAndCloses() {
        const test::Simulator transporter(TransporterArgs() << "--extra-device" << "13");
        Prepare(transporter.Port());
        folder_->WriteStation(test::kProfileName, 13);
        window_->LogBox()->setChecked(true);
        recorder_->Answer(ResNo);
        window_->Search();
        progress_->lines.clear();
        window_->OkButton()->click();
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->Reads().size(), std::size_t(3));
        QVERIFY(window_->Reads()[0].Good() && window_->Reads()[2].Good());
        QCOMPARE(window_->Reads()[1].check, TKivGazCheck::NotGazModem1);
        // One line for the whole run: opened once, kept open between the devices, closed at the end.
        QCOMPARE(progress_->lines.count("Port zamknięty"), 1);
        QCOMPARE(progress_->lines.last(), QString("Port zamknięty"));
        const std::string log = test::ReadText(folder_->Root() + kKivGazLogName);
        QVERIFY(log.find("Nie ustawiono protokołu GazModem-1. Adres urządzenia = 40") != std::string::npos);
        QVERIFY(log.find(" N: 68 08 00 FE FF") != std::string::npos); // the search's frames
        QVERIFY(test::ReadText(folder_->TxLog()).find(" N: ") != std::string::npos);
        QCOMPARE(progress_->StatusText(), QString("Odczyt zakończony"));
        QCOMPARE(progress_->ExitButton()->text(), QString("OK"));
        QVERIFY(progress_->ExitButton()->isEnabled());
        test::SaveShot(progress_.get(), "kivgaz_progress.png");
    }

    void cancelEndsTheWholeRun() {
        const test::Simulator transporter(TransporterArgs());
        Prepare(transporter.Port());
        recorder_->Answer(ResNo);
        window_->Search();
        QTimer::singleShot(400, progress_.get(), [this] { progress_->PressExit(); });
        window_->OkButton()->click();
        QCOMPARE(window_->Reads().size(), std::size_t(1)); // station 40 is not even looked at
        QCOMPARE(window_->Reads()[0].outcome.result, TxResult::Cancelled);
        QCOMPARE(progress_->StatusText(), QString("Odczyt przerwany przez użytkownika"));
    }

    void programmingWindowHoldsTheLine() {
        const test::Simulator transporter;
        folder_->WriteKivIni(transporter.Port());
        test::WriteText(folder_->KivIni(), test::ReadText(folder_->KivIni()) + "[KivGAZ]\nComNumber=COM2\n");
        TFTxKivGazDB programming(*comm_);
        programming.Setup(folder_->KivIni());
        programming.show();
        programming.OkButton()->click();
        QCOMPARE(programming.LineText(), QString("Błąd otwarcia portu"));
        QVERIFY(programming.findChild<QLabel*>("Label_Lacze")->toolTip().startsWith("COM2")); // what and why
        programming.Fields()->PortCombo()->setCurrentText("COM1");
        recorder_->Answer(ResNo); // "Czy zapisać zmiany?": use without saving
        programming.OkButton()->click();
        QCOMPARE(programming.LineText(), QString("Port otwarty, 115200Bd"));
        QCOMPARE(comm_->GetPortState(), uint8_t(PortDirect));
        QVERIFY(!programming.OkButton()->isEnabled() && !programming.CancelButton()->isEnabled());
        QVERIFY(programming.StopButton()->isEnabled() && !programming.Fields()->PortCombo()->isEnabled());
        programming.reject();
        QVERIFY(programming.isVisible());
        test::SaveShot(&programming, "kivgaz_programming.png");
        programming.StopButton()->click();
        QCOMPARE(programming.LineText(), QString("Port zamknięty"));
        QCOMPARE(comm_->GetPortState(), uint8_t(PortClosed));
        QCOMPARE(ReadIniString("KivGAZ", "ComNumber", "", folder_->KivIni()), std::string("COM2"));
    }
};

QTEST_MAIN(TxKivGazTest)
#include "tx_kivgaz_test.moc"

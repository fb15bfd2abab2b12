// The manual modem window against kiv-devsim answering as a Hayes modem:
// what opening shows, a choice that cannot be dialled, a busy number, and a
// read-out with the AT dialogue in Modem.log and the frames in Tx.log. The
// modem's waits are shortened; the program's own are tried in tests/comm.
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QtTest>

#include "common/sent_texts.h"
#include "support/gui/pol_msg.h"
#include "transmission/tx_modem.h"
#include "tx_window_fixture.h"

using namespace kiv;

namespace {

// Whether the message box draws anything on its first line beyond
// `firstLine`: a reason meant for a line of its own would show there.
bool InkBesideFirstLine(const QString& message, const QString& firstLine) {
    TFPolMsg box("Kiv", message, MsgError, BtnOk);
    QImage drawn(box.Text()->size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    box.Text()->render(&drawn, QPoint(), QRegion(), QWidget::RenderFlags());
    const QFontMetrics metrics(box.Text()->font());
    const int firstEnd = metrics.horizontalAdvance(firstLine) + metrics.averageCharWidth();
    for (int y = 0; y < metrics.height(); ++y)
        for (int x = firstEnd; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
}

} // namespace

class TxModemTest : public QObject, test::TxWindows<TFTxModem> {
    Q_OBJECT

    void WriteFiles(const std::string& port, const std::string& number, const std::string& modemProfile,
                    const std::string& deviceProfile = test::kProfileName) const {
        test::WriteText(folder_->KivIni(), "[Catalogues]\nDataPath=" + folder_->Data() + "\n[Ports]\nCOM2=" + port +
                                               "\n[Modems]\nModemName1=Modem biurowy\nModemPort1=COM2\n"
                                               "ModemSpeed1=19200\nModemInitString1=at&f\nModemName2=Zapasowy\n"
                                               "[CommSettings]\nExchangePrefix=0\n");
        std::filesystem::create_directories(StationFolderPath(folder_->Data(), test::kStation));
        test::WriteText(folder_->StationFile(),
                        "[Main]\nLabel=Stacja testowa\nTelephoneNumber=" + number + "\n[Hardware]\nDeviceProfile=" +
                            deviceProfile + "\n[Communication]\nModemProfile=" + modemProfile +
                            "\nPrefix=YES\nParity=Even\nRepeats=2\nStartTimeout=1000\nCharsTimeout=100\n");
    }

    static QStringList Modem(const QStringList& numbers) {
        QStringList args{"--modem", "--connect-speed", "19200", "--dial-time", "50"};
        for (const QString& number : numbers) args << "--number" << number;
        return args;
    }

private slots:
    void init() {
        OpenWindows();
        TModemTimes quick;
        quick.commandChar = 150;
        quick.dialChar = 150;
        comm_->SetModemTimes(quick);
    }
    void cleanup() { CloseWindows(); }

    void openingShowsTheNumberAndTheModemProfile() {
        WriteFiles("/dev/null", "123", "Modem biurowy");
        // A time above the field's range is saved back as read when the user changes something else.
        std::string station = test::ReadText(folder_->StationFile());
        station.replace(station.find("StartTimeout=1000"), 17, "StartTimeout=20000");
        test::WriteText(folder_->StationFile(), station);
        window_->Open(Args());
        QVERIFY(window_->isVisible());
        QCOMPARE(window_->windowTitle(), QString("Modem"));
        QCOMPARE(window_->AddressText(), QString("00012"));
        QCOMPARE(window_->ProtocolText(), QString("GazModem 1"));
        QCOMPARE(window_->TelephoneText(), QString("0123")); // the exchange prefix in front
        QCOMPARE(window_->ModemCombo()->count(), 2);
        QCOMPARE(window_->ModemCombo()->currentText(), QString("Modem biurowy"));
        QCOMPARE(window_->ParityCombo()->currentText(), QString("Even"));
        QVERIFY(!window_->ApplyButton()->isEnabled());
        test::SaveShot(window_.get(), "modem_window.png");

        window_->ModemCombo()->setCurrentIndex(1);
        window_->ApplyButton()->click();
        QVERIFY(test::ReadText(folder_->StationFile()).find("ModemProfile=Zapasowy") != std::string::npos);
        QVERIFY(test::ReadText(folder_->StationFile()).find("StartTimeout=20000") != std::string::npos);
        window_->CancelButton()->click();
        QVERIFY(!window_->Busy());

        WriteFiles("/dev/null", "123", "Modem biurowy", "Obcy-1");
        window_->Open(Args());
        QVERIFY(!window_->isVisible());
        QCOMPARE(recorder_->Last().text, std::string("Nie znaleziono profilu dla urządzenia \"Obcy-1\""));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
    }

    // Nothing is dialled without a modem profile or a number; the window stays for another choice.
    void choiceThatCannotBeDialledKeepsTheWindow() {
        WriteFiles("/dev/null", "", "Nieznany");
        window_->Open(Args());
        QCOMPARE(window_->ModemCombo()->currentIndex(), -1);
        window_->OkButton()->click();
        QCOMPARE(recorder_->Last().text, std::string(kNoModemProfileText));
        window_->ModemCombo()->setCurrentIndex(0);
        recorder_->Answer(ResNo); // "Czy zapisać zmiany?"
        window_->OkButton()->click();
        QCOMPARE(recorder_->Last().text, std::string(kNoTelephoneText));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
        QVERIFY(window_->isVisible());
        QVERIFY(!progress_->isVisible());
        QCOMPARE(window_->LastDialResult(), -1);
        recorder_->Answer(ResYes); // "Czy porzucić zmiany?"
        window_->CancelButton()->click();
        QVERIFY(!window_->Busy());
    }

    void failedDialIsToldAndBothClose_data() {
        QTest::addColumn<bool>("simulated");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kind");
        QTest::newRow("busy number") << true << ResultCode(TModemResult::Busy) << "Numer zajęty" << int(MsgInformation);
        QTest::newRow("no port") << false << ResultCode(TModemResult::PortFailed)
                                 << "Błąd inicjacji portu szeregowego\nCOM2 (/brak/portu): nie ma takiego urządzenia"
                                 << int(MsgError);
    }
    void failedDialIsToldAndBothClose() {
        QFETCH(bool, simulated);
        QFETCH(int, result);
        QFETCH(QString, message);
        QFETCH(int, kind);
        std::unique_ptr<test::Simulator> sim;
        if (simulated) sim = std::make_unique<test::Simulator>(Modem({"0555=BUSY"}));
        WriteFiles(sim ? sim->Port() : "/brak/portu", "555", "Modem biurowy");
        window_->Open(Args());
        window_->OkButton()->click();
        QCOMPARE(window_->LastDialResult(), result);
        QCOMPARE(QString::fromStdString(recorder_->Last().text), message);
        QCOMPARE(recorder_->Last().kind, kind);
        QCOMPARE(recorder_->Last().shownCaption, std::string("Kiv"));
        const std::string firstLine = ModemResultMessage(static_cast<TModemResult>(result)).text;
        QVERIFY(!InkBesideFirstLine(message, QString::fromStdString(firstLine)));
        QVERIFY(!progress_->isVisible());
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->Busy());
        QCOMPARE(comm_->GetPortState(), uint8_t{PortClosed});
    }

    void readOutThroughTheModemWithBothLogs() {
        test::Simulator sim(Modem({"0123=12"}));
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        WriteFiles(sim.Port(), "123", "Modem biurowy");
        window_->Open(Args());
        window_->LogBox()->setChecked(true);
        QTimer dialling; // the picture of the progress window while the number is dialled
        connect(&dialling, &QTimer::timeout, this, [&] {
            if (!progress_->ConnectionText().startsWith("Łączenie")) return;
            test::SaveShot(progress_.get(), "modem_progress_dialling.png");
            dialling.stop();
        });
        dialling.start(10);
        window_->OkButton()->click();

        QCOMPARE(window_->LastDialResult(), ResultCode(TModemResult::Connected));
        QCOMPARE(window_->LastResult(), ResultCode(TxResult::Good));
        QCOMPARE(recorder_->Count(), std::size_t{0});
        QVERIFY(progress_->isVisible());
        QCOMPARE(progress_->StatusText(), QString("Odczyt zakończony"));
        QCOMPARE(progress_->ConnectionText(), QString("Rozłączone"));
        QCOMPARE(progress_->ExitButton()->text(), QString("OK"));
        QCOMPARE(comm_->GetPortState(), uint8_t{PortClosed});
        test::SaveShot(progress_.get(), "modem_progress_done.png");
        progress_->ExitButton()->click();
        QTRY_VERIFY(!window_->Busy());

        const std::vector<std::string> dialogue = test::SentTexts(folder_->Root() + kModemLogName);
        QCOMPARE(dialogue, (std::vector<std::string>{"AT&FE0Q0V1&C1&D2\r", "ATD0123\r"}));
        const std::vector<std::string> frames = test::SentTexts(folder_->TxLog());
        QVERIFY(frames.size() > 3);
        for (const std::string& frame : frames) QCOMPARE(frame.front(), '\x68');
    }
};

QTEST_MAIN(TxModemTest)
#include "tx_modem_test.moc"

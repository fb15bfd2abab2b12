// The automatic modem window: what opening shows, the search with its ticks,
// arming (what it stores, the start tomorrow when the time is past today),
// "Stop" and the question before leaving, and the countdown reaching the
// start, which runs the round against kiv-devsim's modem and closes the window.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QtTest>

#include <functional>

#include "transmission/tx_modem_a.h"
#include "tx_window_fixture.h"

using namespace kiv;

namespace {

const TimeStamp kNoon = EncodeTime({2026, 5, 4, 12, 0, 0});

// Answers as the recorder does once `thinking` has run, as a user who takes
// a while over the question.
class SlowAnswer : public MessageRecorder {
public:
    explicit SlowAnswer(std::function<void()> thinking) : thinking_(std::move(thinking)) {}
    int Show(const std::string& caption, const std::string& text, int kind, unsigned buttons) override {
        thinking_();
        return MessageRecorder::Show(caption, text, kind, buttons);
    }

private:
    std::function<void()> thinking_;
};

} // namespace

class TxModemATest : public QObject, test::TxWindows<TFTxModemA> {
    Q_OBJECT

    TimeStamp now_ = kNoon;

    TRoundFolder Folder() const {
        return {folder_->KivIni(), folder_->Data(), {test::kProfileName}, {"KM100.FCP"}, test::kProgramDir};
    }

    void WriteFiles(const std::string& port, const std::string& autoRound) const {
        test::WriteText(folder_->KivIni(), "[Ports]\nCOM2=" + port +
                                               "\n[Modems]\nModemName1=Biuro\nModemPort1=COM2\nModemSpeed1=19200\n"
                                               "[Modem-auto]\n" + autoRound);
        for (int address : {12, 13}) {
            std::filesystem::create_directories(StationFolderPath(folder_->Data(), address));
            test::WriteText(folder_->StationFile(address),
                            "[Main]\nLabel=Stacja testowa\nTelephoneNumber=" + std::to_string(address) +
                                "\n[Hardware]\nDeviceProfile=" + test::kProfileName +
                                "\n[Communication]\nModemProfile=Biuro\nRepeats=2\n" +
                                (address == 13 ? "AutoModemCheck=NO\n" : ""));
        }
        StationDb().Build(folder_->Data());
    }

    QStringList Texts() const {
        QStringList texts;
        for (int i = 0; i < window_->StationList()->count(); ++i) {
            const QListWidgetItem* item = window_->StationList()->item(i);
            texts << item->text() + (item->checkState() == Qt::Checked ? " +" : " -");
        }
        return texts;
    }

private slots:
    void init() {
        now_ = kNoon;
        OpenWindows();
        window_->SetClock([this] { return now_; });
    }
    void cleanup() { CloseWindows(); }

    void openingShowsTheClampedSettings() {
        WriteFiles("/dev/null", "StartTime=25:00:30\nMinimumAge=45\nRepeats=12\n");
        window_->Open(Folder());
        QVERIFY(window_->isVisible());
        QCOMPARE(window_->windowTitle(), QString("Modem - odczyt automatyczny"));
        QVERIFY(!(window_->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window_->StartEdit()->time(), QTime(0, 0, 30));
        QCOMPARE(window_->AgeSpin()->value(), 30);
        QCOMPARE(window_->RepeatsSpin()->value(), 9);
        QCOMPARE(window_->Countdown()->text(), QString("00:00:00"));
        QVERIFY(!window_->OkButton()->isEnabled() && !window_->StopButton()->isEnabled());
        QVERIFY(window_->SearchButton()->isEnabled() && window_->CancelButton()->isEnabled());

        window_->AgeSpin()->setValue(0);
        window_->SearchButton()->click();
        QCOMPARE(Texts(), (QStringList{"00012 Stacja testowa +", "00013 Stacja testowa -"}));
        QVERIFY(window_->OkButton()->isEnabled());
        window_->CancelButton()->click();
        QVERIFY(!window_->isVisible());

        StationDb().Build(folder_->Root()); // no stations there
        window_->Open(Folder());
        window_->SearchButton()->click();
        QCOMPARE(recorder_->Last().text, std::string("Brak urządzeń do odczytu"));
        QCOMPARE(recorder_->Last().shownCaption, std::string("Modem - auto"));
        QCOMPARE(recorder_->Last().kind, int(MsgInformation));
        QVERIFY(!window_->OkButton()->isEnabled());
    }

    // Armed at noon for 10:00: the start is tomorrow, 22 hours away.
    void armingStoresTheRoundAndCountsDown() {
        WriteFiles("/dev/null", "");
        window_->Open(Folder());
        window_->StartEdit()->setTime(QTime(10, 0, 0));
        window_->SearchButton()->click();
        window_->StationList()->item(0)->setCheckState(Qt::Unchecked);
        window_->StationList()->item(1)->setCheckState(Qt::Checked);
        window_->OkButton()->click();
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Armed);
        QCOMPARE(window_->Start(), kNoon + 22 * 3600);
        QTest::qWait(150);
        QCOMPARE(window_->Countdown()->text(), QString("22:00:00"));
        QVERIFY(!window_->SearchButton()->isEnabled() && !window_->StationList()->isEnabled());
        QVERIFY(test::ReadText(folder_->StationFile(12)).find("AutoModemCheck=NO") != std::string::npos);
        QVERIFY(test::ReadText(folder_->StationFile(13)).find("AutoModemCheck=YES") != std::string::npos);
        const std::string ini = test::ReadText(folder_->KivIni());
        QVERIFY(ini.find("StartTime=10:00:00") != std::string::npos && ini.find("MinimumAge=10") != std::string::npos &&
                ini.find("Repeats=3") != std::string::npos);
        test::SaveShot(window_.get(), "modem_auto_armed.png");

        window_->StopButton()->click();
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Idle);
        QCOMPARE(window_->Countdown()->text(), QString("00:00:00"));
        QVERIFY(window_->OkButton()->isEnabled() && window_->SearchButton()->isEnabled());

        window_->OkButton()->click();
        {
            // While the question is open the start comes and goes: the round waits for the answer.
            TFTxModemA::State asking = TFTxModemA::State::Idle;
            SlowAnswer thinking([&] {
                now_ = window_->Start();
                QTest::qWait(300);
                asking = window_->CurrentState();
                now_ = kNoon;
            });
            thinking.Answer(ResNo);
            window_->close(); // closing an armed round asks
            QCOMPARE(thinking.Last().text, std::string(kStopRoundText));
            QCOMPARE(asking, TFTxModemA::State::Armed);
        }
        QVERIFY(window_->isVisible());
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Armed);
        now_ = kNoon + 3600; // counting down again after "Nie"
        QTRY_COMPARE(window_->Countdown()->text(), QString("21:00:00"));
        recorder_->Answer(ResYes);
        window_->close();
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Idle);

        window_->Open(Folder()); // "Anuluj" leaves an armed round without a question
        window_->SearchButton()->click();
        window_->OkButton()->click();
        const std::size_t asked = recorder_->Count();
        window_->CancelButton()->click();
        QVERIFY(!window_->isVisible());
        QCOMPARE(recorder_->Count(), asked);
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Idle);
    }

    void countdownReachingTheStartRunsTheRound() {
        test::Simulator sim({"--modem", "--number", "12=12", "--dial-time", "50"});
        QVERIFY2(!sim.Port().empty(), "kiv-devsim did not start");
        WriteFiles(sim.Port(), "Repeats=1\n");
        window_->Open(Folder());
        window_->StartEdit()->setTime(QTime(12, 0, 5));
        window_->SearchButton()->click();
        window_->OkButton()->click();
        QTimer running; // the picture of both windows while the station is read
        connect(&running, &QTimer::timeout, this, [&] {
            if (!progress_->ConnectionText().startsWith("Połączenie")) return;
            test::SaveShot(window_.get(), "modem_auto_running.png");
            test::SaveShot(progress_.get(), "modem_auto_progress.png");
            QCOMPARE(window_->StationList()->item(0)->text(), QString("00012 Stacja testowa [1]"));
            running.stop();
        });
        running.start(100);
        now_ += 5;
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 20000);
        QCOMPARE(window_->LastOutcome().stations.size(), std::size_t{1});
        QVERIFY(window_->LastOutcome().AllRead());
        QCOMPARE(progress_->StatusText(), QString("Odczyt zakończony"));
        QCOMPARE(progress_->ExitButton()->text(), QString("OK"));
        QCOMPARE(progress_->windowModality(), Qt::NonModal); // as the next read-out shows it
        QVERIFY(QGuiApplication::modalWindow() == nullptr);
        const std::string log = test::ReadText(folder_->Root() + "Modem.log");
        QVERIFY(log.find("Rozpoczęto odczyt automatyczny") != std::string::npos &&
                log.find("Zakończono odczyt automatyczny") != std::string::npos);
        QCOMPARE(window_->CurrentState(), TFTxModemA::State::Idle);
    }
};

QTEST_MAIN(TxModemATest)
#include "tx_modem_a_test.moc"

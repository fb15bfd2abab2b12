// The modem dialogue against kiv-devsim answering as a Hayes modem on its
// pseudo-terminal: what the program sends (read back from its own modem
// log), the results of the dial, the hang-up, and a whole read-out through
// the modem road. The dial cases shorten the modem's waits; the read-out and
// the silent modem run with the program's own times.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>

#include "comm/comm_module.h"
#include "comm/modem_readout.h"
#include "comm/progress_recorder.h"
#include "common/sent_texts.h"
#include "datafiles/profile.h"
#include "devsim_process.h"
#include "support/message_recorder.h"
#include "link_test_app.h"

using kivtest::App;

namespace kiv {
namespace {

using test::SentTexts;

// The profile's command first: "M0" (speaker off) does not undo the fixed
// commands, as "&F" would in the swapped retry.
const std::string kInit = "ATM0E0Q0V1&C1&D2\r";

class ModemTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        profile = kivtest::WriteDevsimProfile(dir.path().toStdString(), 1);
        ASSERT_FALSE(profile.empty());
        module.SetProgress(&progress);
        progress.Reset("00001 Stacja");
    }

    // kiv-devsim for device 1, with a modem in front unless `modem` is false.
    void Start(std::vector<std::string> options, bool modem = true) {
        std::vector<std::string> args{"--profile", profile, "--address", "1", "--hourly-days", "2",
                                      "--daily-days", "2", "--events", "3"};
        if (modem) args.push_back("--modem");
        args.insert(args.end(), options.begin(), options.end());
        sim = std::make_unique<kivtest::DevsimProcess>(KIV_PROGRAM_DIR "/kiv-devsim", args);
        ASSERT_FALSE(sim->PortPath().empty()) << "kiv-devsim did not start";
        std::ofstream(root + "Kiv.ini") << "[Ports]\r\nCOM3=" << sim->PortPath()
                                        << "\r\n[Modems]\r\nModemName1=Testowy\r\nModemPort1=COM3\r\n"
                                           "ModemSpeed1=19200\r\nModemInitString1=at&f\r\n"
                                           "[CommSettings]\r\nExchangePrefix=0\r\n";
        module.SetSettingsFile(root + "Kiv.ini");
        module.SetLogFile(ModemLog());
    }

    // Short waits, so that a command ends soon after the modem's prompt reply.
    void QuickModem() {
        TModemTimes times;
        times.commandChar = 150;
        times.dialChar = 150;
        times.abortAnswer = 1000;
        module.SetModemTimes(times);
    }

    TModemDial Dial(const std::string& number) const {
        TModemDial dial;
        dial.link.port = "COM3";
        dial.link.baud = 19200;
        dial.number = number;
        dial.profileInit = "M0";
        return dial;
    }

    std::string ModemLog() const { return root + "Modem.log"; }

    QTemporaryDir dir;
    std::string root;
    std::string profile;
    std::unique_ptr<kivtest::DevsimProcess> sim;
    TTxProgressRecorder progress;
    MessageRecorder messages;
    TFCommModule module;
};

struct DialCase {
    const char* name = "";
    std::vector<std::string> simArgs = {};
    std::string number = {};
    std::vector<int> answers = {}; // to the questions, in order
    TModemResult result = TModemResult::Connected;
    std::vector<std::string> sent = {};
    std::string question = {}; // the question asked, if any
    int cancelAfterMs = 0;     // press cancel this long after the start
};

void PrintTo(const DialCase& c, std::ostream* out) { *out << c.name; }

class ModemDialTest : public ModemTest, public ::testing::WithParamInterface<DialCase> {};

TEST_P(ModemDialTest, SendsTheDialogueAndEndsWithItsResult) {
    const DialCase& c = GetParam();
    std::vector<std::string> simArgs{"--dial-time", "50"};
    simArgs.insert(simArgs.end(), c.simArgs.begin(), c.simArgs.end());
    Start(simArgs);
    QuickModem();
    for (int answer : c.answers) messages.Answer(answer);
    if (c.cancelAfterMs > 0) QTimer::singleShot(c.cancelAfterMs, [this] { progress.PressExit(); });

    EXPECT_EQ(module.OpenModem(Dial(c.number)), c.result);
    const bool connected = c.result == TModemResult::Connected;
    EXPECT_EQ(module.GetPortState(), connected ? PortModemOnline : PortClosed);
    EXPECT_EQ(SentTexts(ModemLog()), c.sent);
    EXPECT_EQ(messages.Count(), c.question.empty() ? 0u : 1u);
    if (!c.question.empty()) {
        EXPECT_EQ(messages.Last().text, c.question);
        EXPECT_EQ(messages.Last().shownCaption, "Kiv");
    }
    if (!connected) return;
    // The modem reports the dropped DTR itself: no escape is needed.
    EXPECT_TRUE(module.ClosePort());
    EXPECT_EQ(SentTexts(ModemLog()), c.sent);
    EXPECT_EQ(progress.Connection(), "Rozłączone");
    EXPECT_EQ(module.GetPortState(), PortClosed);
}

INSTANTIATE_TEST_SUITE_P(
    Modem, ModemDialTest,
    ::testing::Values(
        DialCase{.name = "NoCarrier", .simArgs = {"--number", "5=NO CARRIER"}, .number = "5",
                 .result = TModemResult::NoAnswer, .sent = {kInit, "ATD5\r"}},
        DialCase{.name = "NoAnswer", .simArgs = {"--number", "5=NO ANSWER"}, .number = "5",
                 .result = TModemResult::NoAnswer, .sent = {kInit, "ATD5\r"}},
        DialCase{.name = "NoDialTone", .simArgs = {"--number", "5=NO DIALTONE"}, .number = "5",
                 .result = TModemResult::NoDialTone, .sent = {kInit, "ATD5\r"}},
        DialCase{.name = "Busy", .simArgs = {"--number", "5=BUSY"}, .number = "5", .result = TModemResult::Busy,
                 .sent = {kInit, "ATD5\r"}},
        DialCase{.name = "Voice", .simArgs = {"--number", "5=VOICE"}, .number = "5",
                 .result = TModemResult::UnknownReply, .sent = {kInit, "ATD5\r"}},
        DialCase{.name = "ErrorRetriedSwapped", .simArgs = {"--modem-errors", "1", "--number", "5=1"}, .number = "5",
                 .result = TModemResult::Connected, .sent = {kInit, "ATE0Q0V1&C1&D2M0\r", "ATD5\r"}},
        DialCase{.name = "ErrorTwiceFails", .simArgs = {"--modem-errors", "2"}, .number = "5",
                 .result = TModemResult::InitFailed, .sent = {kInit, "ATE0Q0V1&C1&D2M0\r"}},
        // The second stage in numeric codes: 9600 Bd at X3 is code 12.
        DialCase{.name = "TwoStages", .simArgs = {"--number", "123456=1"}, .number = "123;456", .answers = {ResOk},
                 .result = TModemResult::Connected, .sent = {kInit, "ATD123;\r", "ATV0X3D456\r"},
                 .question = kNoticeSignalText},
        DialCase{.name = "ByHand", .simArgs = {"--number", "=1"}, .number = "12*", .answers = {ResOk},
                 .result = TModemResult::Connected, .sent = {kInit, "ATX3D\r"}, .question = kManualDialText},
        DialCase{.name = "ByHandDeclined", .number = "*", .answers = {ResCancel}, .result = TModemResult::Cancelled,
                 .sent = {kInit}, .question = kManualDialText},
        DialCase{.name = "CancelledWhileDialling", .simArgs = {"--dial-time", "5000"}, .number = "9",
                 .result = TModemResult::Cancelled, .sent = {kInit, "ATD9\r", "\r"}, .cancelAfterMs = 1000}),
    [](const ::testing::TestParamInfo<DialCase>& info) { return info.param.name; });

TEST_F(ModemTest, SilentModemFailsTheInitialisationOnce) {
    Start({}, false); // the device alone: nobody answers AT commands
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(module.OpenModem(Dial("5")), TModemResult::InitFailed);
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_LE(clock.elapsed(), 2 * 2000 + 300); // one attempt: a repeat follows only an ERROR
    EXPECT_EQ(SentTexts(ModemLog()), std::vector<std::string>{kInit});
    EXPECT_EQ(module.GetPortState(), PortClosed);
}

// A modem deaf to DTR is hung up by the escape and ATH0, each awaited in
// full although the user cancelled: "+++" sent before the guard time is
// over would leave the call standing.
TEST_F(ModemTest, HangUpOfAModemDeafToDtrWaitsOutTheEscapeDespiteCancel) {
    Start({"--ignore-dtr", "--guard-time", "300"});
    QuickModem();
    TModemTimes times = module.ModemTimes();
    times.hangUpAnswer = 600;
    times.escapeSilence = 400;
    module.SetModemTimes(times);
    ASSERT_EQ(module.OpenModem(Dial("5")), TModemResult::Connected);
    progress.PressExit();
    EXPECT_TRUE(module.ClosePort());
    EXPECT_EQ(SentTexts(ModemLog()), (std::vector<std::string>{kInit, "ATD5\r", "+++", "ATH0\r"}));
    EXPECT_EQ(progress.Connection(), "Rozłączone");
}

// The road of the modem window with the program's own times: Kiv.ini's
// profile and prefix, CONNECT 19200, a complete read-out, the hang-up on the
// modem's NO CARRIER; the AT dialogue in Modem.log, the frames in Tx.log.
TEST_F(ModemTest, ReadOutThroughTheModemRoad) {
    Start({"--connect-speed", "19200"});
    const std::string data = root + "dane/";
    std::filesystem::create_directories(StationFolderPath(data, 1));
    std::ofstream(StationFilePath(data, 1))
        << "[Main]\r\nLabel=Stacja\r\nTelephoneNumber=123\r\n[Communication]\r\nModemProfile=Testowy\r\nPrefix=YES\r\n";
    TRekStacjiFull station;
    ReadFullStationRecord(StationFilePath(data, 1), 1, station);
    TModemProfileLine line;
    ASSERT_TRUE(ModemProfileOf(root + "Kiv.ini", "Testowy", line));
    EXPECT_FALSE(ModemProfileOf(root + "Kiv.ini", "Inny", line));
    TRecProfParams params;
    std::vector<TParamItem> items;
    std::vector<std::string> groups;
    ASSERT_TRUE(TFCProfileRdWr().ReadProfile(profile, params, items, groups));
    TModemReadOut job = ModemReadOutOf(station, root + "Kiv.ini", data, params, items, line,
                                       DialNumberOf(station, root + "Kiv.ini"));
    job.modemLog = ModemLog();
    job.txLog = root + "Tx.log";
    progress.ClearEvents();

    const TModemOutcome outcome = RunModemReadOut(module, progress, job);
    EXPECT_EQ(outcome.dial, TModemResult::Connected);
    EXPECT_EQ(outcome.readOut.result, TxResult::Good);
    std::vector<std::string> connection;
    for (const std::string& event : progress.Events())
        if (event.rfind("connection: ", 0) == 0) connection.push_back(event.substr(12));
    EXPECT_EQ(connection, (std::vector<std::string>{"Inicjowanie modemu", "Łączenie do numeru: 0123",
                                                    "Połączenie 19200", "Rozłączanie", "Rozłączone"}));
    EXPECT_EQ(SentTexts(ModemLog()), (std::vector<std::string>{"AT&FE0Q0V1&C1&D2\r", "ATD0123\r"}));
    const std::vector<std::string> frames = SentTexts(root + "Tx.log");
    ASSERT_GE(frames.size(), 4u);
    for (const std::string& frame : frames) EXPECT_EQ(frame.front(), '\x68');
    EXPECT_EQ(module.GetPortState(), PortClosed);
    EXPECT_TRUE(std::filesystem::exists(StationBaseName(data, 1) + ".FCC"));
}

TEST(ModemText, RepliesAndInitCommands) {
    struct Row {
        std::string received, line, status;
    };
    for (const Row& r : {Row{"\r\nCONNECT 19200\r\n", "CONNECT 19200", "Połączenie 19200"},
                         Row{"AT&F\r\r\nOK\r\n", "OK", "OK"}, // the command echoed before the reply
                         Row{"\n\nBUSY\n\n", "BUSY", "Numer zajęty"},
                         Row{"\r\nCARRIER 2400\r\n", "CARRIER 2400", "Połączenie 2400"},
                         Row{"\r\nNO DIALTONE\r\n", "NO DIALTONE", "Brak sygnału centrali"},
                         Row{"\r\nVOICE\r\n", "VOICE", ""}, Row{"OK", "OK", "OK"},
                         Row{"1\r", "1\r", "Połączenie"}, Row{"7\r", "7\r", "Numer zajęty"},
                         Row{"3\r", "3\r", "Brak odpowiedzi"}, Row{"5\r", "5\r", "Połączenie 1200"},
                         Row{"12\r", "12\r", "Połączenie 9600"}, Row{"16\r", "16\r", "Połączenie"},
                         Row{"2\r", "2\r", ""}, Row{"1a\r", "1a\r", ""}, Row{"", "", ""}}) {
        EXPECT_EQ(ModemReplyLine(r.received), r.line) << r.received;
        EXPECT_EQ(TranslateModemReply(r.line), r.status) << r.received;
    }
    EXPECT_EQ(ModemInitCommand("at&f"), "&F");
    EXPECT_EQ(ModemInitCommand(" ATZ "), "Z");
    EXPECT_EQ(ModemInitCommand("&k3"), "&K3");
}

} // namespace
} // namespace kiv

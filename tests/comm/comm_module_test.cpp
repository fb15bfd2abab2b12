// The exchange engine driven through a real QSerialPort on a pseudo-terminal,
// with a scripted device at the other end.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/comm_module.h"
#include "comm/progress_recorder.h"
#include "pty_peer.h"
#include "link_test_app.h"

using kivtest::App;
using kivtest::Bytes;
using kivtest::LinkOf;
using kivtest::PtyPeer;
using kivtest::Script;

namespace {

const Bytes kClockData = {5, 4, 3, 2, 1, 26}; // 2026-01-02 03:04:05
constexpr uint8_t kClockKind = 7;

class CommModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(peer.Ok());
        ASSERT_TRUE(dir.isValid());
        settings = dir.filePath("Kiv.ini").toStdString();
        std::ofstream(settings) << "[Main]\r\nCursorPosition=x\r\n[Ports]\r\nCOM7=" << peer.SlavePath() << "\r\n";
        module.SetSettingsFile(settings);
        module.SetProgress(&progress);
    }

    void Open(int answerMs = 500, int charMs = 300, int baud = 9600, const std::string& parity = "None") {
        ASSERT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM7"; link.baud = baud; link.parity = parity; link.charTimeout = charMs; link.answerTimeout = answerMs; })));
    }

    // One clock request to address 1; the result.
    kiv::TxResult Exchange() {
        module.SendFrame(kClockKind, 0, 0, nullptr, 1);
        return module.WaitForExchange();
    }

    static Script Reply(const Bytes& bytes) { return {{bytes, 0}}; }

    PtyPeer peer;
    QTemporaryDir dir;
    std::string settings;
    kiv::TTxProgressRecorder progress;
    kiv::TFCommModule module;
};

TEST_F(CommModuleTest, GoodReplyEndsWithFrameAtFront) {
    const Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    peer.Serve([&](const Bytes&) { return Reply(reply); });
    Open(500, 5000);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    // The length field ends the reply; the 5 s character timeout is never waited out.
    EXPECT_LT(took.elapsed(), 2000);
    EXPECT_EQ(module.State(), kiv::TxState::Done);
    EXPECT_EQ(module.GetReply(), reply);
    ASSERT_EQ(peer.Requests().size(), 1u);
    EXPECT_EQ(peer.Requests()[0], (Bytes{0x68, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x4B, 0x2A, 0x59, 0x16}));
}

TEST_F(CommModuleTest, NoiseAroundFrameIsDropped) {
    const Bytes frame = kivtest::ReplyFrame(1, 0xCB, kClockData);
    Bytes noisy(4 + frame.size());
    const Bytes noise = {0x00, 0xFF, 0x16, 0x55};
    std::copy(noise.begin(), noise.end(), noisy.begin());
    std::copy(frame.begin(), frame.end(), noisy.begin() + 4);
    const Bytes trailing = {0x01, 0x68, 0x02};
    peer.Serve([&](const Bytes&) { return Script{{noisy, 0}, {trailing, 50}}; });
    Open(500, 300);
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    const Bytes reply = module.GetReply();
    ASSERT_GE(reply.size(), frame.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), reply.begin()));
    EXPECT_EQ(reply.front(), 0x68);
    EXPECT_EQ(reply.back(), 0x16);
}

TEST_F(CommModuleTest, WrongCrcGivesTwo) {
    Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    reply[reply.size() - 2] ^= 0x01;
    peer.Serve([&](const Bytes&) { return Reply(reply); });
    Open();
    EXPECT_EQ(Exchange(), kiv::TxResult::BadFrame);
}

TEST_F(CommModuleTest, NoReplyGivesOneAfterAnswerTimeout) {
    peer.Serve([](const Bytes&) { return Script{}; });
    Open(300, 300);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::NoReply);
    EXPECT_GE(took.elapsed(), 300);
    EXPECT_TRUE(module.GetReply().empty());
}

TEST_F(CommModuleTest, ByteAtATimeEndsWithWholeFrame) {
    const Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    peer.Serve([&](const Bytes&) { return kivtest::ByteByByte(reply, 15); });
    Open(500, 5000);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_EQ(module.GetReply(), reply);
    EXPECT_LT(took.elapsed(), 3000);
}

TEST_F(CommModuleTest, ReplyWithoutLengthEndsByCharacterTimeout) {
    // A LEN far beyond the bytes sent: only the character timeout ends it.
    Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    reply[1] = 0x40;
    peer.Serve([&](const Bytes&) { return Reply(reply); });
    Open(500, 200);
    EXPECT_EQ(Exchange(), kiv::TxResult::BadFrame); // the CRC covers the altered LEN
    EXPECT_EQ(module.GetReply().size(), reply.size());
}

TEST_F(CommModuleTest, OverlongReplyEndsWithWhatFits) {
    Bytes flood(3000, 0x55);
    flood[0] = 0x68;
    flood[1] = 0xFF; // LEN 0x0FFF: far past the cut
    flood[2] = 0x0F;
    peer.Serve([&](const Bytes&) { return Script{{flood, 0}}; });
    Open(500, 5000);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::BadFrame);
    EXPECT_EQ(module.Exchange().rxCount, kiv::kRxLimit);
    EXPECT_LT(took.elapsed(), 3000);
}

TEST_F(CommModuleTest, ConsecutiveExchangesStartClean) {
    int n = 0;
    peer.Serve([&](const Bytes&) {
        ++n;
        return n == 1 ? Script{{{0x68, 0x01}, 0}} : Reply(kivtest::ReplyFrame(1, 0xCB, kClockData));
    });
    Open(300, 200);
    EXPECT_EQ(Exchange(), kiv::TxResult::BadFrame);
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_EQ(module.GetReply(), kivtest::ReplyFrame(1, 0xCB, kClockData));
}

TEST_F(CommModuleTest, LateBytesAreDroppedByTheNextRequest) {
    const Bytes reply = kivtest::ReplyFrame(1, 0xCB, kClockData);
    peer.Serve([&](const Bytes&) { return Script{{reply, 0}, {{0x68, 0x33, 0x16}, 50}}; });
    Open(500, 300);
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    QElapsedTimer pause;
    pause.start();
    while (pause.elapsed() < 250)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(module.GetReply(), reply) << "bytes after the exchange are not taken in";
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_EQ(module.GetReply(), reply);
}

TEST_F(CommModuleTest, CommandModeEndsByCharacterTimeout) {
    peer.ServeLines([](const Bytes&) {
        return Script{{Bytes{'\r', '\n', 'O', 'K', '\r', '\n'}, 0}};
    });
    Open(500, 200);
    module.SendCommand("AT\r");
    EXPECT_EQ(module.State(), kiv::TxState::Idle) << "only a modem in command mode takes commands";
    module.SetPortState(kiv::PortModemCommand);
    module.SendCommand("ATZ\r");
    EXPECT_EQ(module.WaitForExchange(), kiv::TxResult::Good);
    const Bytes reply = module.GetReply();
    EXPECT_EQ(std::string(reply.begin(), reply.end()), "\r\nOK\r\n");
    const std::vector<Bytes> requests = peer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(std::string(requests[0].begin(), requests[0].end()), "ATZ\r");
}

TEST_F(CommModuleTest, SilenceTimeDelaysTheRequest) {
    peer.Serve([&](const Bytes&) { return Reply(kivtest::ReplyFrame(1, 0xCB, kClockData)); });
    ASSERT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM7"; link.baud = 9600; link.charTimeout = 300; link.answerTimeout = 500; link.silence = 250; link.rts = false; link.dtr = false; })));
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_GE(took.elapsed(), 250);
}

TEST_F(CommModuleTest, HalfDuplexRunsThroughRtsStates) {
    peer.Serve([&](const Bytes&) { return Reply(kivtest::ReplyFrame(1, 0xCB, kClockData)); });
    ASSERT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM7"; link.baud = 9600; link.charTimeout = 300; link.answerTimeout = 500; link.rtsOnDelay = 100; link.rtsOffDelay = 100; link.halfDuplex = true; link.rts = false; link.dtr = false; })));
    std::vector<int> states;
    QObject::connect(&module, &kiv::TFCommModule::txStateChanged, &module,
                     [&](kiv::TxState s) { states.push_back(static_cast<int>(s)); });
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(CommModuleTest, LampsFollowTheExchange) {
    peer.Serve([&](const Bytes&) { return Reply(kivtest::ReplyFrame(1, 0xCB, kClockData)); });
    Open();
    progress.ClearEvents();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    const std::vector<std::string> expected = {"lamp: Nadawanie on", "lamp: Nadawanie off", "lamp: Czekanie on",
                                               "lamp: Czekanie off", "lamp: Odbiór on", "lamp: Odbiór off"};
    EXPECT_EQ(progress.Events(), expected);
}

TEST_F(CommModuleTest, OpenAndCloseShowTheConnection) {
    Open(500, 300, 14400);
    EXPECT_EQ(module.GetPortState(), kiv::PortDirect);
    EXPECT_EQ(progress.Connection(), "Port otwarty, 115200Bd");
    EXPECT_FALSE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM7"; link.baud = 9600; link.charTimeout = 1; link.answerTimeout = 1; }))) << "already open";
    module.ClosePort();
    EXPECT_EQ(module.GetPortState(), kiv::PortClosed);
    EXPECT_EQ(progress.Connection(), "Port zamknięty");
}

// A port that will not open names the port text, the device it maps to and
// the reason, on the progress line and in the transmission log.
TEST_F(CommModuleTest, PortThatWillNotOpenSaysWhatAndWhy) {
    const std::string log = dir.filePath("Tx.log").toStdString();
    const std::string file = dir.filePath("plain-file").toStdString();
    std::ofstream(file) << "x";
    const std::string locked = dir.filePath("locked").toStdString();
    std::ofstream(locked) << "x";
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::ofstream(settings) << "[Ports]\r\ncom9=/dev/kiv-no-such-port\r\nCOM10=" << locked << "\r\n";
    struct Case {
        const char* port;
        std::string expected;
    };
    const bool root = ::geteuid() == 0; // root may open a file without rights
    for (const Case& c : {Case{"COM9", "COM9 (/dev/kiv-no-such-port): nie ma takiego urządzenia"},
                          Case{"/dev/kiv-missing", "/dev/kiv-missing: nie ma takiego urządzenia"},
                          Case{"COM10", "COM10 (" + locked + "): brak uprawnień do urządzenia"}}) {
        if (root && std::string(c.port) == "COM10") continue;
        SCOPED_TRACE(c.port);
        std::filesystem::remove(log);
        module.SetLogFile(log);
        EXPECT_FALSE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = c.port; })));
        EXPECT_EQ(module.OpenError(), c.expected);
        EXPECT_EQ(progress.Connection(), "Błąd otwarcia portu " + c.expected);
        EXPECT_EQ(module.GetPortState(), kiv::PortClosed);
        std::ifstream in(log);
        std::string line;
        std::getline(in, line);
        EXPECT_NE(line.find(" Błąd otwarcia portu " + c.expected), std::string::npos) << line;
    }
    module.SetLogFile("");
}

TEST_F(CommModuleTest, SendOnClosedPortOnlyBuilds) {
    module.SendFrame(kClockKind, 0, 0, nullptr, 1);
    EXPECT_EQ(module.State(), kiv::TxState::Idle);
    EXPECT_EQ(module.Exchange().txLength, 11);
    EXPECT_EQ(module.Exchange().txBuffer[7], 0x4B);
}

TEST_F(CommModuleTest, PortTextMapping) {
    EXPECT_EQ(module.PortDeviceFor("COM7"), peer.SlavePath());
    EXPECT_EQ(module.PortDeviceFor("com7"), peer.SlavePath());
    EXPECT_EQ(module.PortDeviceFor("COM3"), "/dev/ttyS2");
    EXPECT_EQ(module.PortDeviceFor("/dev/ttyUSB0"), "/dev/ttyUSB0");
    module.SetSettingsFile("");
    EXPECT_EQ(module.PortDeviceFor("COM7"), "/dev/ttyS6");
}

// The list the window and kiv-cli offer: slowest first, and nothing else is taken.
TEST_F(CommModuleTest, BaudRateList) {
    EXPECT_TRUE(std::is_sorted(std::begin(kiv::kBaudRates), std::end(kiv::kBaudRates)));
    EXPECT_EQ(std::size(kiv::kBaudRates), 11u);
    for (int rate : {0, -9600, 14400, 28800, 56000, 230400})
        EXPECT_FALSE(kiv::TFCommModule::IsBaudRateSupported(rate)) << rate;
}

struct LineCase {
    const char* name;
    int baud;
    const char* parity;
    speed_t speed;
    char parityLetter;
    tcflag_t parityBits; // of PARODD | CMSPAR: a pseudo-terminal keeps these but drops PARENB
};

class CommLineTest : public CommModuleTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CommLineTest, SettingsReachTheLine) {
    const LineCase& c = GetParam();
    Open(500, 300, c.baud, c.parity);
    termios line{};
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), c.speed);
    EXPECT_EQ(module.ParityLetter(), c.parityLetter);
    EXPECT_EQ(line.c_cflag & (PARODD | CMSPAR), c.parityBits);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u) << "one stop bit";
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u) << "no hardware flow control";
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u) << "no software flow control";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommLineTest,
    ::testing::Values(LineCase{"Even", 9600, "Even", B9600, 'E', 0},
                      LineCase{"Odd", 2400, "Odd", B2400, 'O', PARODD},
                      LineCase{"Mark", 19200, "Mark", B19200, 'M', PARODD | CMSPAR},
                      LineCase{"Space", 4800, "Space", B4800, 'S', CMSPAR},
                      LineCase{"LowerCaseEven", 9600, "e", B9600, 'E', 0},
                      LineCase{"None", 9600, "None", B9600, 'N', 0}, LineCase{"Empty", 9600, "", B9600, 'N', 0},
                      LineCase{"Unknown", 9600, "Xyz", B9600, 'N', 0},
                      LineCase{"Baud14400FallsBack", 14400, "", B115200, 'N', 0},
                      LineCase{"Baud110", 110, "", B110, 'N', 0}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(CommModuleTest, LogWritesSentAndReceivedLines) {
    Bytes data(200);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    const Bytes reply = kivtest::ReplyFrame(1, 0xCB, data);
    peer.Serve([&](const Bytes&) { return Reply(reply); });
    const std::string log = dir.filePath("Tx.log").toStdString();
    module.SetLogFile(log);
    Open();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    module.SetLogFile("");
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);

    std::ifstream in(log, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::istringstream split(all);
    for (std::string line; std::getline(split, line);) {
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\r');
        lines.push_back(line.substr(0, line.size() - 1));
    }
    ASSERT_EQ(lines.size(), 2u) << "logging stops when the name is cleared";
    EXPECT_NE(lines[0].find(" N: 68 05 00 01 00 00 00 4B 2A 59 16"), std::string::npos) << lines[0];
    const auto o = lines[1].find(" O: 68 CD 00 01 00 00 00 CB 00 01 02");
    ASSERT_NE(o, std::string::npos) << lines[1];
    EXPECT_EQ(lines[1].size() - (o + 3), reply.size() * 3) << "the whole frame";
}

} // namespace

// The exchange engine against kiv-devsim, a device whose frame layer was
// written apart from the program's, over its pseudo-terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

#include "comm/comm_module.h"
#include "devsim_process.h"
#include "link_test_app.h"

using kivtest::App;
using kivtest::LinkOf;

namespace {

constexpr uint8_t kClockV1 = 7;
constexpr uint8_t kClockV2 = 19;
constexpr uint8_t kNameplateV1 = 0;

class CommDevsimTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(dir.isValid());
        profile = kivtest::WriteDevsimProfile(dir.path().toStdString(), 1);
        ASSERT_FALSE(profile.empty());
    }

    // Starts the simulator with extra options and opens the port to it.
    void Start(std::vector<std::string> options, int answerMs = 500, int charMs = 300) {
        std::vector<std::string> args = {"--profile", profile, "--address", "1", "--clock", "2026-01-02 03:04:05"};
        args.insert(args.end(), options.begin(), options.end());
        sim = std::make_unique<kivtest::DevsimProcess>(KIV_PROGRAM_DIR "/kiv-devsim", args);
        ASSERT_FALSE(sim->PortPath().empty()) << "kiv-devsim did not start";
        const std::string settings = dir.filePath("Kiv.ini").toStdString();
        std::ofstream(settings) << "[Ports]\r\nCOM2=" << sim->PortPath() << "\r\n";
        module.SetSettingsFile(settings);
        ASSERT_TRUE(module.OpenDirect(LinkOf([&](kiv::TLinkSettings& link) { link.port = "COM2"; link.baud = 9600; link.parity = "None"; link.charTimeout = charMs; link.answerTimeout = answerMs; })));
    }

    kiv::TxResult Exchange(uint8_t kind = kClockV1, uint16_t address = 1) {
        module.SendFrame(kind, 0, 0, nullptr, address);
        return module.WaitForExchange();
    }

    void ExpectClockReply(uint8_t code = 0xCB) {
        const std::vector<uint8_t> reply = module.GetReply();
        ASSERT_EQ(reply.size(), 17u);
        EXPECT_EQ(reply.front(), 0x68);
        EXPECT_EQ(reply[7], code);
        EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 8, reply.begin() + 14),
                  (std::vector<uint8_t>{5, 4, 3, 2, 1, 26}));
        EXPECT_EQ(reply.back(), 0x16);
    }

    QTemporaryDir dir;
    std::string profile;
    std::unique_ptr<kivtest::DevsimProcess> sim;
    kiv::TFCommModule module;
};

TEST_F(CommDevsimTest, GoodClockReply) {
    Start({});
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    ExpectClockReply();
}

TEST_F(CommDevsimTest, NameplateReply) {
    Start({});
    EXPECT_EQ(Exchange(kNameplateV1), kiv::TxResult::Good);
    const std::vector<uint8_t> reply = module.GetReply();
    ASSERT_GT(reply.size(), 11u);
    EXPECT_EQ(reply[7], 0x80);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data()) + 8), "Plum");
}

TEST_F(CommDevsimTest, ProtocolTwoClock) {
    Start({"--protocol", "2"});
    EXPECT_EQ(Exchange(kClockV2), kiv::TxResult::Good);
    ExpectClockReply(0xC8);
}

TEST_F(CommDevsimTest, NoiseBeforeAndAfterIsAccepted) {
    Start({"--noise-before", "9", "--noise-after", "7"});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Exchange(), kiv::TxResult::Good) << "exchange " << i;
        ExpectClockReply();
    }
}

TEST_F(CommDevsimTest, CorruptedCrcGivesTwo) {
    Start({"--corrupt-crc", "2"});
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    EXPECT_EQ(Exchange(), kiv::TxResult::BadFrame);
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
}

TEST_F(CommDevsimTest, SilenceGivesOneAfterAnswerTimeout) {
    Start({"--silence", "1"}, 400);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::NoReply);
    EXPECT_GE(took.elapsed(), 400);
}

TEST_F(CommDevsimTest, OtherAddressIsNotAnswered) {
    Start({}, 300);
    EXPECT_EQ(Exchange(kClockV1, 2), kiv::TxResult::NoReply);
    EXPECT_EQ(Exchange(kClockV1, 1), kiv::TxResult::Good);
}

TEST_F(CommDevsimTest, OneByteAtATime) {
    Start({"--byte-gap", "20"}, 500, 3000);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    ExpectClockReply();
    EXPECT_LT(took.elapsed(), 2500) << "the frame's length ends it, not the character timeout";
}

TEST_F(CommDevsimTest, PacedLine) {
    Start({"--baud", "9600"});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Exchange(), kiv::TxResult::Good);
    ExpectClockReply();
}

} // namespace

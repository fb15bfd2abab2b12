// The simulator's Hayes modem as a state machine: one call from the first
// AT command to the hang-up, step by step on a made-up clock, and the
// command line that sets the modem up.
#include <gtest/gtest.h>

#include "hayes_modem.h"
#include "options.h"

namespace kiv::devsim {
namespace {

using Clock = HayesModem::Clock;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct Step {
    const char* what;
    std::string in;         // bytes from the program
    int afterMs = 0;        // time passed before them
    bool dtr = true;
    std::string answer;     // what the modem says
    std::string data = {};  // what reaches the device
    uint16_t address = 0;   // the device of the call afterwards
};

TEST(DevsimModem, OneCallFromInitialisationToHangUp) {
    ModemSettings settings;
    settings.connectSpeed = 19200;
    settings.errorLines = 1;
    settings.guardTimeMs = 1000;
    settings.dialTimeMs = 200;
    for (const char* rule : {"555=BUSY", "0123=12", "12-34=12", "9=voice"}) {
        DialRule parsed;
        std::string error;
        ASSERT_TRUE(ParseDialRule(rule, parsed, error)) << error;
        settings.rules.push_back(parsed);
    }
    const Step steps[] = {
        {"still waking up", "AT\r", 0, true, "AT\r\r\nERROR\r\n"},
        {"echo until E0", "at&fE0Q0V1&C1&D2\r", 0, true, "at&fE0Q0V1&C1&D2\r\r\nOK\r\n"},
        {"unknown command", "ATJ\r", 0, true, "\r\nERROR\r\n"},
        {"noise before AT", "+++ATH0\r", 0, true, "\r\nOK\r\n"},
        {"busy number", "ATD555\r", 0, true, ""},
        {"its result after the dial time", "", 200, true, "\r\nBUSY\r\n"},
        {"unknown number", "ATD777\r", 0, true, ""},
        {"ends without a carrier", "", 200, true, "\r\nNO CARRIER\r\n"},
        {"any result word", "ATDT9\r", 0, true, ""},
        {"as configured", "", 200, true, "\r\nVOICE\r\n"},
        {"a key aborts a dial", "ATD0123\r", 0, true, ""},
        {"with NO CARRIER", "\r", 50, true, "\r\nNO CARRIER\r\n"},
        {"first stage", "ATD12;\r", 0, true, "\r\nOK\r\n"},
        {"second stage, numeric codes", "ATV0X3D34\r", 0, true, ""},
        {"connected at 19200 Bd: its own code", "", 200, true, "16\r", "", 12},
        {"online data to the device", "\x68\x05+", 100, true, "", "\x68\x05+", 12},
        {"'+' too soon is data", "++", 500, true, "", "++", 12},
        {"escape after a guard time", "+++", 1000, true, "", "+++", 12},
        {"completed by the guard after", "", 1000, true, "0\r", "", 12},
        {"back online", "ATV1O\r", 0, true, "\r\nCONNECT 19200\r\n", "", 12},
        {"DTR drop hangs up", "", 100, false, "\r\nNO CARRIER\r\n"},
        {"prefix and dashes dialled", "ATDT0123\r", 0, true, ""},
        {"reach the same device", "", 200, true, "\r\nCONNECT 19200\r\n", "", 12},
        {"escape", "+++", 1000, true, "", "+++", 12},
        {"call held", "", 1000, true, "\r\nOK\r\n", "", 12},
        {"ATH0 ends it", "ATH0\r", 0, true, "\r\nOK\r\n"},
        {"quiet mode", "ATQ1\r", 0, true, ""},
    };
    HayesModem modem(settings);
    Clock::time_point now{};
    for (const Step& step : steps) {
        now += std::chrono::milliseconds(step.afterMs);
        Bytes answer, data;
        modem.Poll(now, step.dtr, answer);
        modem.Receive(reinterpret_cast<const uint8_t*>(step.in.data()), step.in.size(), now, answer, data);
        EXPECT_EQ(Text(answer), step.answer) << step.what;
        EXPECT_EQ(Text(data), step.data) << step.what;
        EXPECT_EQ(modem.ConnectedAddress(), step.address) << step.what;
    }
    EXPECT_EQ(modem.CommandLines().front(), "AT");
    EXPECT_EQ(modem.CommandLines()[3], "ATH0");
}

TEST(DevsimModem, WithoutRulesEveryNumberReachesTheDevice) {
    ModemSettings settings;
    settings.defaultAddress = 7;
    settings.dialTimeMs = 0;
    HayesModem modem(settings);
    Bytes answer, data;
    modem.Poll({}, true, answer);
    const std::string manual = "ATX3D\r";
    modem.Receive(reinterpret_cast<const uint8_t*>(manual.data()), manual.size(), {}, answer, data);
    modem.Poll({}, true, answer);
    EXPECT_EQ(Text(answer), "ATX3D\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(modem.ConnectedAddress(), 7);
}

TEST(DevsimModem, CommandLine) {
    Options o;
    std::string error;
    ASSERT_EQ(ParseOptions({"--profile", "A.FCP", "--address", "12", "--modem", "--number", "1=BUSY", "--number",
                            "2=13", "--extra-device", "13:B.FCP", "--connect-speed", "19200", "--dial-time", "0",
                            "--guard-time", "300", "--modem-errors", "2", "--ignore-dtr"},
                           o, error),
              ParseResult::kRun)
        << error;
    EXPECT_EQ(o.numbers, (std::vector<std::string>{"1=BUSY", "2=13"}));
    EXPECT_EQ(o.extraDevices, (std::vector<ExtraDevice>{{13, "B.FCP"}}));
    EXPECT_EQ(o.connectSpeed, 19200);
    EXPECT_EQ(o.dialTimeMs, 0);
    EXPECT_EQ(o.guardTimeMs, 300);
    EXPECT_EQ(o.modemErrors, 2);
    EXPECT_TRUE(o.ignoreDtr);
    Options plain;
    EXPECT_EQ(ParseOptions({"--profile", "A.FCP", "--address", "12", "--number", "1=BUSY"}, plain, error),
              ParseResult::kError);
    EXPECT_EQ(error, "the modem options need --modem");
    // Devices the modem could not tell apart, or an address that is not one.
    const std::string wants = "--extra-device wants ADDRESS[:PROFILE] with an address of 1..65535, not ";
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"12abc"}, wants + "\"12abc\""},
        {{"13:"}, wants + "\"13:\""},
        {{"12"}, "--extra-device 12: another device has address 12 already"},
        {{"13", "13:B.FCP"}, "--extra-device 13: another device has address 13 already"},
    };
    for (const auto& [extras, message] : refused) {
        std::vector<std::string> args{"--profile", "A.FCP", "--address", "12", "--modem"};
        for (const std::string& extra : extras) args.insert(args.end(), {"--extra-device", extra});
        Options refusedOptions;
        EXPECT_EQ(ParseOptions(args, refusedOptions, error), ParseResult::kError) << message;
        EXPECT_EQ(error, message);
    }
    DialRule rule;
    EXPECT_FALSE(ParseDialRule("123", rule, error));
    EXPECT_FALSE(ParseDialRule("123=0", rule, error));
    ASSERT_TRUE(ParseDialRule("(0) 12-34=no answer", rule, error));
    EXPECT_EQ(rule.number, "01234");
    EXPECT_EQ(rule.result, "NO ANSWER");
}

} // namespace
} // namespace kiv::devsim

#include <gtest/gtest.h>

#include "options.h"

namespace kiv::devsim {
namespace {

ParseResult Parse(std::vector<std::string> args, Options& options, std::string& error) {
    return ParseOptions(args, options, error);
}

TEST(DevsimOptions, FullCommandLine) {
    Options o;
    std::string error;
    ASSERT_EQ(Parse({"--profile", "A.FCP", "--address", "12", "--seed", "5", "--baud", "9600", "--protocol", "2",
                     "--noise-before", "3", "--noise-after", "4", "--corrupt-crc", "5", "--silence", "6",
                     "--byte-gap", "7", "--wrong-serial", "--bad-clock", "--clock", "2026-01-02 03:04:05"},
                    o, error),
              ParseResult::kRun)
        << error;
    EXPECT_EQ(o.profile, "A.FCP");
    EXPECT_EQ(o.address, 12);
    EXPECT_EQ(o.seed, 5u);
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.protocol, 2);
    EXPECT_EQ(o.faults.noiseBefore, 3u);
    EXPECT_EQ(o.faults.noiseAfter, 4u);
    EXPECT_EQ(o.faults.corruptEvery, 5);
    EXPECT_EQ(o.faults.silentEvery, 6);
    EXPECT_EQ(o.faults.byteGapMs, 7);
    EXPECT_TRUE(o.wrongSerial);
    EXPECT_TRUE(o.badClock);
    EXPECT_EQ(o.clock, "2026-01-02 03:04:05");
}

TEST(DevsimOptions, BadCommandLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> cases = {
        {"--address", "1"},                                         // no profile
        {"--profile", "A.FCP"},                                     // no address
        {"--profile", "A.FCP", "--address", "0"},                   // address out of range
        {"--profile", "A.FCP", "--address", "65536"},
        {"--profile", "A.FCP", "--address", "1x"},
        {"--profile", "A.FCP", "--address", "1", "--protocol", "3"},
        {"--profile", "A.FCP", "--address", "1", "--data", "D", "--seed", "4"},
        {"--profile", "A.FCP", "--address", "1", "--bogus"},
        {"--profile", "A.FCP", "--address"},
    };
    for (const auto& args : cases) {
        Options o;
        std::string error;
        EXPECT_EQ(Parse(args, o, error), ParseResult::kError) << args.back();
        EXPECT_FALSE(error.empty());
    }
}

TEST(DevsimOptions, HelpNamesEveryOption) {
    Options o;
    std::string error;
    EXPECT_EQ(Parse({"--help"}, o, error), ParseResult::kHelp);
    for (const char* name : {"--profile", "--address", "--data", "--seed", "--device", "--baud", "--protocol",
                             "--noise-before", "--noise-after", "--corrupt-crc", "--silence", "--byte-gap",
                             "--wrong-serial", "--bad-clock", "--clock", "--max-values", "--reply-delay",
                             "--ack-positioning", "--bad-pointer-echo", "--verbose"})
        EXPECT_NE(HelpText().find(name), std::string::npos) << name;
}

} // namespace
} // namespace kiv::devsim

// The transmission log line and its file.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>

#include "comm/comm_log.h"

namespace {

kiv::TLogClock::time_point LocalTime(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return kiv::TLogClock::from_time_t(std::mktime(&t)) + std::chrono::milliseconds(ms);
}

TEST(CommLog, LineLayoutWithMillisecondsAndTheWholeFrame) {
    const uint8_t bytes[] = {0x68, 0x05, 0x00, 0xAB};
    EXPECT_EQ(kiv::FormatCommLogLine(LocalTime(2026, 3, 4, 5, 6, 7, 89), bytes, 4, "N:"),
              "2026-03-04 05:06:07.089 N: 68 05 00 AB\r\n");
    EXPECT_EQ(kiv::FormatCommLogLine(LocalTime(2026, 3, 4, 5, 6, 7), bytes, 0, "O:"), "2026-03-04 05:06:07.000 O:\r\n");
    std::vector<uint8_t> frame(2400, 0xEE);
    frame.back() = 0x16;
    const std::string line = kiv::FormatCommLogLine(LocalTime(2026, 1, 1, 0, 0, 0), frame.data(), frame.size(), "O:");
    EXPECT_EQ(line.size(), std::string("2026-01-01 00:00:00.000 O:").size() + frame.size() * 3 + 2);
    EXPECT_EQ(line.substr(line.size() - 5), " 16\r\n");
}

TEST(CommLog, AppendsAndCreates) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("Tx.log").toStdString();
    const uint8_t bytes[] = {0x16};
    EXPECT_TRUE(kiv::WriteCommLog(file, bytes, 1, "N:"));
    EXPECT_TRUE(kiv::WriteCommLog(file, bytes, 1, "O:"));
    std::ifstream in(file, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all.size(), 2 * std::string("2026-01-01 00:00:00.000 N: 16\r\n").size());
    EXPECT_NE(all.find(" N: 16\r\n"), std::string::npos);
    EXPECT_NE(all.find(" O: 16\r\n"), std::string::npos);
    EXPECT_FALSE(kiv::WriteCommLog(dir.filePath("no/such/folder/Tx.log").toStdString(), bytes, 1, "N:"));
}

} // namespace

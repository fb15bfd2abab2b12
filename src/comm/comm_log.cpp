#include "comm/comm_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace kiv {
namespace {

std::string TimeText(TLogClock::time_point when) {
    const std::time_t seconds = TLogClock::to_time_t(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[40];
    const std::size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(stamp + length, sizeof stamp - length, ".%03d", static_cast<int>(millis < 0 ? millis + 1000 : millis));
    return stamp;
}

bool Append(const std::string& file, const std::string& line) {
    if (file.empty())
        return false;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out << line;
    return static_cast<bool>(out.flush());
}

} // namespace

std::string FormatCommLogLine(TLogClock::time_point when, const uint8_t* bytes, std::size_t count,
                              const std::string& prefix) {
    std::string line = TimeText(when) + " " + prefix;
    line.reserve(line.size() + count * 3 + 2);
    for (std::size_t i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    line += "\r\n";
    return line;
}

bool WriteCommLog(const std::string& file, const uint8_t* bytes, std::size_t count, const std::string& prefix) {
    return !file.empty() && Append(file, FormatCommLogLine(TLogClock::now(), bytes, count, prefix));
}

bool WriteCommNote(const std::string& file, const std::string& text) {
    return !file.empty() && Append(file, TimeText(TLogClock::now()) + " " + text + "\r\n");
}

} // namespace kiv

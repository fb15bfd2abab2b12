#include "comm/comm_log.h"

#include <cstdio>
#include <fstream>

namespace kiv {

std::string FormatCommLogLine(std::time_t when, const uint8_t* bytes, std::size_t count, const std::string& prefix) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line = std::string(stamp) + " " + prefix;
    const std::size_t shown = count < kCommLogMaxBytes ? count : kCommLogMaxBytes;
    for (std::size_t i = 0; i < shown; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    line += "\r\n";
    return line;
}

bool WriteCommLog(const std::string& file, const uint8_t* bytes, std::size_t count, const std::string& prefix) {
    if (file.empty())
        return false;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out << FormatCommLogLine(std::time(nullptr), bytes, count, prefix);
    return static_cast<bool>(out.flush());
}

} // namespace kiv

#include "datafiles/timestamp.h"

#include <cstdio>
#include <ctime>

namespace kiv {
namespace {

constexpr uint32_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the first day of the year.
uint32_t DaysBeforeYear(int fourDigitYear) {
    uint32_t days = 0;
    for (int y = 1970; y < fourDigitYear; ++y)
        days += IsLeapYear(y) ? 366 : 365;
    return days;
}

bool ReadNumber(const std::string &text, std::size_t &pos, std::size_t digits, int &value) {
    if (pos + digits > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

bool Expect(const std::string &text, std::size_t &pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

} // namespace

bool IsLeapYear(int fourDigitYear) {
    return fourDigitYear % 4 == 0;
}

int DaysInMonth(int fourDigitYear, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(fourDigitYear))
        return 29;
    return kDays[month - 1];
}

int FullYear(int year) {
    const int yy = year % 100;
    return yy < 70 ? 2000 + yy : 1900 + yy;
}

bool IsValidDateTime(const TDateTime &dt) {
    // A four-digit year outside the encoded century would silently turn into
    // another year through the modulo, so it is refused.
    if (dt.year >= 100 && (dt.year < 1970 || dt.year > 2069))
        return false;
    const int year = FullYear(dt.year);
    return dt.month >= 1 && dt.month <= 12 && dt.day >= 1 && dt.day <= DaysInMonth(year, dt.month) &&
           dt.hour < 24 && dt.minute < 60 && dt.second < 60;
}

TimeStamp EncodeTime(const TDateTime &dt) {
    const int year = FullYear(dt.year);
    uint32_t days = DaysBeforeYear(year);
    for (int m = 1; m < dt.month && m <= 12; ++m)
        days += static_cast<uint32_t>(DaysInMonth(year, m));
    days += dt.day > 0 ? dt.day - 1u : 0u;
    return days * kSecondsPerDay + dt.hour * 3600u + dt.minute * 60u + dt.second;
}

TDateTime DecodeTime(TimeStamp stamp) {
    TDateTime dt;
    uint32_t days = stamp / kSecondsPerDay;
    uint32_t rest = stamp % kSecondsPerDay;
    int year = 1970;
    for (;;) {
        const uint32_t yearDays = IsLeapYear(year) ? 366u : 365u;
        if (days < yearDays)
            break;
        days -= yearDays;
        ++year;
    }
    int month = 1;
    while (days >= static_cast<uint32_t>(DaysInMonth(year, month)))
        days -= static_cast<uint32_t>(DaysInMonth(year, month++));
    dt.year = static_cast<uint16_t>(year);
    dt.month = static_cast<uint16_t>(month);
    dt.day = static_cast<uint16_t>(days + 1);
    dt.hour = static_cast<uint16_t>(rest / 3600);
    dt.minute = static_cast<uint16_t>(rest % 3600 / 60);
    dt.second = static_cast<uint16_t>(rest % 60);
    return dt;
}

std::string StampText(TimeStamp stamp, int parts) {
    const TDateTime dt = DecodeTime(stamp);
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{dt.year}, unsigned{dt.month},
                  unsigned{dt.day}, unsigned{dt.hour}, unsigned{dt.minute}, unsigned{dt.second});
    static constexpr std::size_t kLength[7] = {0, 4, 7, 10, 13, 16, 19};
    if (parts < 1)
        parts = 1;
    if (parts > 6)
        parts = 6;
    return std::string(text, kLength[parts]);
}

bool ParseStamp(const std::string &text, TimeStamp &stamp) {
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text, pos, 4, year) || !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, month) ||
        !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, day))
        return false;
    if (pos < text.size()) {
        if (!Expect(text, pos, ' ') || !ReadNumber(text, pos, 2, hour) || !Expect(text, pos, ':') ||
            !ReadNumber(text, pos, 2, minute))
            return false;
        if (pos < text.size() && (!Expect(text, pos, ':') || !ReadNumber(text, pos, 2, second)))
            return false;
        if (pos != text.size())
            return false;
    }
    const TDateTime dt{static_cast<uint16_t>(year),   static_cast<uint16_t>(month),
                       static_cast<uint16_t>(day),    static_cast<uint16_t>(hour),
                       static_cast<uint16_t>(minute), static_cast<uint16_t>(second)};
    if (!IsValidDateTime(dt))
        return false;
    stamp = EncodeTime(dt);
    return true;
}

TimeStamp NowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    TDateTime dt;
    dt.year = static_cast<uint16_t>(local.tm_year + 1900);
    dt.month = static_cast<uint16_t>(local.tm_mon + 1);
    dt.day = static_cast<uint16_t>(local.tm_mday);
    dt.hour = static_cast<uint16_t>(local.tm_hour);
    dt.minute = static_cast<uint16_t>(local.tm_min);
    dt.second = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return EncodeTime(dt);
}

TimeStamp MonthStart(int fourDigitYear, int month) {
    return EncodeTime(
        TDateTime{static_cast<uint16_t>(fourDigitYear), static_cast<uint16_t>(month), 1, 0, 0, 0});
}

TimeStamp MonthEnd(int fourDigitYear, int month) {
    const TDateTime last{static_cast<uint16_t>(fourDigitYear),
                         static_cast<uint16_t>(month),
                         static_cast<uint16_t>(DaysInMonth(fourDigitYear, month)),
                         23,
                         59,
                         59};
    return EncodeTime(last);
}

} // namespace kiv

#pragma once
// The time stamp of every data file: unsigned seconds since 1970-01-01 00:00:00
// in the device's local time, no zone, a leap year every fourth year. Years are
// taken modulo 100: below 70 they mean 20yy, from 70 19yy (1970..2069).
#include <cstdint>
#include <string>

namespace kiv {

using TimeStamp = uint32_t;

struct TDateTime {
    uint16_t year = 1970; // four digits on output; two or four digits on input
    uint16_t month = 1;
    uint16_t day = 1;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
};

[[nodiscard]] bool IsLeapYear(int fourDigitYear);
[[nodiscard]] int DaysInMonth(int fourDigitYear, int month);
// Four-digit year of a year taken modulo 100 (below 70: 20yy).
[[nodiscard]] int FullYear(int year);
// Whether month, day, hour, minute and second are inside the calendar.
[[nodiscard]] bool IsValidDateTime(const TDateTime& dt);
// Seconds of a date; the fields are not checked (see IsValidDateTime).
[[nodiscard]] TimeStamp EncodeTime(const TDateTime& dt);
[[nodiscard]] TDateTime DecodeTime(TimeStamp stamp);
// "YYYY-MM-DD hh:mm:ss", the first `parts` parts of it (1..6).
[[nodiscard]] std::string StampText(TimeStamp stamp, int parts = 6);
// Parses "YYYY-MM-DD hh:mm:ss" (time optional); false on a malformed or invalid date.
[[nodiscard]] bool ParseStamp(const std::string& text, TimeStamp& stamp);
// The computer's local wall-clock time in the same encoding.
[[nodiscard]] TimeStamp NowStamp();
// First and last second of a calendar month (four-digit year, month 1..12).
[[nodiscard]] TimeStamp MonthStart(int fourDigitYear, int month);
[[nodiscard]] TimeStamp MonthEnd(int fourDigitYear, int month);

} // namespace kiv

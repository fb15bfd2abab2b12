#pragma once
// The date rules of the period chooser, without any widget: the two calendars
// are two plain dates, every day click or caption-button step goes through
// ChangeDate (which applies the chooser's three rules in their order), and
// ChosenPeriod turns the dates into the period every report, graph and
// export starts from. "Today" is always handed in, so the rules are the same
// under a test as at the operator's desk.
#include "datafiles/timestamp.h"

#include <compare>
#include <string>

namespace kiv {

struct TDate {
    int year = 1970;
    int month = 1;
    int day = 1;
    auto operator<=>(const TDate&) const = default;
};

// The earliest date a time stamp can hold.
inline constexpr TDate kFirstDate{1970, 1, 1};

// Selection modes: one day, at most one month, at most two months. The mode
// number is also the longest range in months.
enum PeriodChooserMode : int { ChooseDay = 0, ChooseOneMonth = 1, ChooseTwoMonths = 2 };

enum class Calendar { First, Second };
enum class CalendarStep { PreviousMonth, NextMonth, PreviousYear, NextYear };

// The dates the two calendars show.
struct TPeriodDates {
    TDate first;
    TDate second;
};

struct TPeriod {
    TimeStamp start = 0;
    TimeStamp end = 0;
};

[[nodiscard]] TDate DateOf(TimeStamp stamp);
[[nodiscard]] bool IsLastDayOfMonth(const TDate& date);
[[nodiscard]] TDate AddDays(const TDate& date, int days);
// Months forward (or back, when negative): the day is kept when the target
// month has it, otherwise the target month's last day; a last day of a month
// stays a last day.
[[nodiscard]] TDate AddMonths(const TDate& date, int months);
// Years forward or back: the day is kept, except that a last day of a month
// stays a last day (29 and 28 February map onto each other).
[[nodiscard]] TDate AddYears(const TDate& date, int years);
// "<", ">", "<<", ">>"; never before kFirstDate.
[[nodiscard]] TDate StepDate(const TDate& date, CalendarStep step);

// What the calendars show when the chooser opens: the dates of start and of
// end - 1 s for a proposed period, today on both without one (start 0).
[[nodiscard]] TPeriodDates ProposedDates(const TPeriod& proposed, const TDate& today);
// One calendar changed to `date` (a day click or a step), then the rules:
// a future date on it becomes today; a first date after the second drags the
// other calendar to it; a range reaching N months (N = mode) is cut to the
// first date + N months - 1 day, which in the one-day mode puts the unseen
// second calendar on the day before the first.
[[nodiscard]] TPeriodDates ChangeDate(const TPeriodDates& dates, Calendar changed, const TDate& date, int mode,
                                      const TDate& today);
// "OK": the first date 00:00:01 to the day after the second date 00:00:00.
[[nodiscard]] TPeriod ChosenPeriod(const TPeriodDates& dates);
// What a caller may take from "OK": in the one-day mode any period (only its
// start counts), otherwise only one that ends after it starts.
[[nodiscard]] bool IsUsablePeriod(int mode, const TPeriod& period);

// "styczeń" .. "grudzień" (UTF-8); empty outside 1..12.
[[nodiscard]] std::string PolishMonthName(int month);
// The caption panel of a calendar: month name, a blank, the year.
[[nodiscard]] std::string CalendarCaption(const TDate& date);
// The chooser's top line for a mode: "Wybierz dzień", or the range limit.
[[nodiscard]] std::string ChooserPrompt(int mode);

} // namespace kiv

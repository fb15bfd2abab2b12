#include "reports/period_rules.h"

#include <algorithm>
#include <array>

namespace kiv {

namespace {

int LastDay(const TDate& date) { return DaysInMonth(date.year, date.month); }

TimeStamp StampOf(const TDate& date, int second) {
    if (date < kFirstDate) return 0;
    return EncodeTime({static_cast<uint16_t>(date.year), static_cast<uint16_t>(date.month),
                       static_cast<uint16_t>(date.day), 0, 0, static_cast<uint16_t>(second)});
}

TDate& On(TPeriodDates& dates, Calendar calendar) {
    return calendar == Calendar::First ? dates.first : dates.second;
}

} // namespace

TDate DateOf(TimeStamp stamp) {
    const TDateTime dt = DecodeTime(stamp);
    return {dt.year, dt.month, dt.day};
}

bool IsLastDayOfMonth(const TDate& date) { return date.day == LastDay(date); }

TDate AddDays(const TDate& date, int days) {
    TDate d = date;
    d.day += days;
    while (d.day < 1) {
        d = d.month == 1 ? TDate{d.year - 1, 12, d.day} : TDate{d.year, d.month - 1, d.day};
        d.day += LastDay(d);
    }
    while (d.day > LastDay(d)) {
        d.day -= LastDay(d);
        d = d.month == 12 ? TDate{d.year + 1, 1, d.day} : TDate{d.year, d.month + 1, d.day};
    }
    return d;
}

TDate AddMonths(const TDate& date, int months) {
    const int index = date.year * 12 + (date.month - 1) + months;
    TDate target{index / 12, index % 12 + 1, 1};
    target.day = IsLastDayOfMonth(date) ? LastDay(target) : std::min(date.day, LastDay(target));
    return target;
}

TDate AddYears(const TDate& date, int years) {
    TDate target{date.year + years, date.month, 1};
    target.day = IsLastDayOfMonth(date) ? LastDay(target) : std::min(date.day, LastDay(target));
    return target;
}

TDate StepDate(const TDate& date, CalendarStep step) {
    TDate moved = date;
    switch (step) {
    case CalendarStep::PreviousMonth: moved = AddMonths(date, -1); break;
    case CalendarStep::NextMonth: moved = AddMonths(date, 1); break;
    case CalendarStep::PreviousYear: moved = AddYears(date, -1); break;
    case CalendarStep::NextYear: moved = AddYears(date, 1); break;
    }
    return std::max(moved, kFirstDate);
}

TPeriodDates ProposedDates(const TPeriod& proposed, const TDate& today) {
    if (proposed.start == 0) return {today, today};
    return {DateOf(proposed.start), DateOf(proposed.end - 1)};
}

TPeriodDates ChangeDate(const TPeriodDates& dates, Calendar changed, const TDate& date, int mode,
                        const TDate& today) {
    TPeriodDates d = dates;
    On(d, changed) = std::min(date, today);
    if (d.first > d.second) {
        const TDate moved = On(d, changed);
        d.first = d.second = moved;
    }
    // The limit keeps a first date on the last day of its month on the last
    // day of the target month, so the longest range ends the day before it.
    // The second date is measured against that same limit: one inside the
    // range is never moved, not even later.
    const TDate limit = AddMonths(d.first, mode);
    if (limit <= d.second) d.second = AddDays(limit, -1);
    return d;
}

TPeriod ChosenPeriod(const TPeriodDates& dates) {
    return {StampOf(dates.first, 1), StampOf(AddDays(dates.second, 1), 0)};
}

bool IsUsablePeriod(int mode, const TPeriod& period) { return mode == ChooseDay || period.end > period.start; }

std::string PolishMonthName(int month) {
    static const std::array<const char*, 12> kNames{"styczeń", "luty",     "marzec",      "kwiecień",
                                                    "maj",     "czerwiec", "lipiec",      "sierpień",
                                                    "wrzesień", "październik", "listopad", "grudzień"};
    return month >= 1 && month <= 12 ? kNames[static_cast<std::size_t>(month - 1)] : "";
}

std::string CalendarCaption(const TDate& date) { return PolishMonthName(date.month) + " " + std::to_string(date.year); }

std::string ChooserPrompt(int mode) {
    if (mode == ChooseDay) return "Wybierz dzień";
    return "Wybierz przedział czasu z zakresu " + std::to_string(mode) + (mode == 1 ? " miesiąca" : " miesięcy");
}

} // namespace kiv

// The period chooser's date rules without the window: what a day click or a
// caption-button step leaves on the two calendars, the month and year steps,
// the proposed dates, and the period "OK" gives.
#include "reports/period_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace kiv {

std::ostream& operator<<(std::ostream& out, const TDate& d) { return out << d.year << '-' << d.month << '-' << d.day; }

namespace {

constexpr TDate kToday{2024, 6, 20};

struct ChangeRow {
    const char* name;
    int mode;
    TPeriodDates before;
    Calendar changed;
    TDate picked;                     // the day clicked, when no step is given
    std::optional<CalendarStep> step; // a caption button on the changed calendar
    TPeriodDates after;
};

const ChangeRow kChanges[] = {
    {"one month from 31 January ends on 27 February", ChooseOneMonth, {{2023, 1, 10}, {2023, 3, 15}},
     Calendar::First, {2023, 1, 31}, {}, {{2023, 1, 31}, {2023, 2, 27}}},
    {"one month from 31 January of a leap year ends on 28 February", ChooseOneMonth,
     {{2024, 1, 10}, {2024, 3, 15}}, Calendar::First, {2024, 1, 31}, {}, {{2024, 1, 31}, {2024, 2, 28}}},
    {"one month from 15 January ends on 14 February", ChooseOneMonth, {{2023, 1, 10}, {2023, 3, 15}},
     Calendar::First, {2023, 1, 15}, {}, {{2023, 1, 15}, {2023, 2, 14}}},
    {"a second date inside the month stays", ChooseOneMonth, {{2023, 1, 15}, {2023, 1, 20}}, Calendar::Second,
     {2023, 2, 14}, {}, {{2023, 1, 15}, {2023, 2, 14}}},
    {"a second date on the month's limit steps back a day", ChooseOneMonth, {{2023, 1, 15}, {2023, 1, 20}},
     Calendar::Second, {2023, 2, 15}, {}, {{2023, 1, 15}, {2023, 2, 14}}},
    {"from the last day of a short month the range runs to the day before the last", ChooseOneMonth,
     {{2023, 2, 28}, {2023, 3, 1}}, Calendar::Second, {2023, 3, 31}, {}, {{2023, 2, 28}, {2023, 3, 30}}},
    {"from the last day of a short month a date inside the range stays", ChooseOneMonth,
     {{2023, 2, 28}, {2023, 3, 1}}, Calendar::Second, {2023, 3, 29}, {}, {{2023, 2, 28}, {2023, 3, 29}}},
    {"two months from 31 December end on 28 February of a leap year", ChooseTwoMonths,
     {{2023, 12, 1}, {2024, 6, 1}}, Calendar::First, {2023, 12, 31}, {}, {{2023, 12, 31}, {2024, 2, 28}}},
    {"a future second date becomes today", ChooseOneMonth, {{2024, 6, 1}, {2024, 6, 10}}, Calendar::Second,
     {2024, 7, 3}, {}, {{2024, 6, 1}, kToday}},
    {"a future first date becomes today and drags the second", ChooseOneMonth, {{2024, 6, 1}, {2024, 6, 10}},
     Calendar::First, {2024, 8, 1}, {}, {kToday, kToday}},
    {"the first calendar past the second drags it along", ChooseTwoMonths, {{2024, 5, 1}, {2024, 5, 10}},
     Calendar::First, {2024, 5, 20}, {}, {{2024, 5, 20}, {2024, 5, 20}}},
    {"the second calendar before the first drags it back", ChooseTwoMonths, {{2024, 5, 10}, {2024, 5, 20}},
     Calendar::Second, {2024, 5, 3}, {}, {{2024, 5, 3}, {2024, 5, 3}}},
    {"one day puts the unseen second calendar on the day before", ChooseDay, {{2024, 5, 5}, {2024, 5, 5}},
     Calendar::First, {2024, 5, 12}, {}, {{2024, 5, 12}, {2024, 5, 11}}},
    {"a step back on the first calendar pulls the second into the month", ChooseOneMonth,
     {{2024, 3, 31}, {2024, 4, 10}}, Calendar::First, {}, CalendarStep::PreviousMonth,
     {{2024, 2, 29}, {2024, 3, 30}}},
    {"a year step into the future stops at today", ChooseOneMonth, {{2024, 1, 5}, {2024, 1, 25}},
     Calendar::Second, {}, CalendarStep::NextYear, {{2024, 1, 5}, {2024, 2, 4}}},
    {"a step on the second calendar before the first drags it", ChooseTwoMonths, {{2024, 3, 10}, {2024, 3, 20}},
     Calendar::Second, {}, CalendarStep::PreviousMonth, {{2024, 2, 20}, {2024, 2, 20}}},
};

TEST(PeriodRules, EveryChangeAppliesTheThreeRulesInOrder) {
    for (const ChangeRow& row : kChanges) {
        SCOPED_TRACE(row.name);
        const TDate shown = row.changed == Calendar::First ? row.before.first : row.before.second;
        const TDate picked = row.step ? StepDate(shown, *row.step) : row.picked;
        const TPeriodDates after = ChangeDate(row.before, row.changed, picked, row.mode, kToday);
        EXPECT_EQ(after.first, row.after.first);
        EXPECT_EQ(after.second, row.after.second);
    }
}

struct StepRow {
    TDate from;
    CalendarStep step;
    TDate to;
};

TEST(PeriodRules, MonthAndYearStepsKeepTheLastDayOfAMonth) {
    using enum CalendarStep;
    const StepRow rows[] = {
        {{2024, 2, 29}, NextYear, {2025, 2, 28}},      {{2023, 2, 28}, NextYear, {2024, 2, 29}},
        {{2025, 2, 28}, PreviousYear, {2024, 2, 29}},  {{2024, 2, 29}, PreviousYear, {2023, 2, 28}},
        {{2024, 2, 28}, NextYear, {2025, 2, 28}},      {{2024, 7, 31}, PreviousYear, {2023, 7, 31}},
        {{2024, 1, 31}, NextMonth, {2024, 2, 29}},     {{2024, 3, 30}, PreviousMonth, {2024, 2, 29}},
        {{2024, 4, 30}, NextMonth, {2024, 5, 31}},     {{2024, 6, 30}, PreviousMonth, {2024, 5, 31}},
        {{2024, 5, 30}, NextMonth, {2024, 6, 30}},     {{2024, 1, 15}, PreviousMonth, {2023, 12, 15}},
        {{2023, 12, 31}, NextMonth, {2024, 1, 31}},    {{1970, 1, 15}, PreviousMonth, kFirstDate},
        {{1970, 11, 30}, PreviousYear, kFirstDate},
    };
    for (const StepRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << " step " << static_cast<int>(row.step));
        EXPECT_EQ(StepDate(row.from, row.step), row.to);
    }
}

TEST(PeriodRules, ProposedPeriodAndOkGiveTheChosenPeriod) {
    const TPeriod proposed{EncodeTime({2024, 6, 1, 0, 0, 0}), EncodeTime({2024, 6, 10, 0, 0, 0})};
    const TPeriodDates shown = ProposedDates(proposed, kToday);
    EXPECT_EQ(shown.first, (TDate{2024, 6, 1}));
    EXPECT_EQ(shown.second, (TDate{2024, 6, 9}));
    EXPECT_EQ(ProposedDates({}, kToday).first, kToday);
    EXPECT_EQ(ProposedDates({}, kToday).second, kToday);

    const struct {
        TPeriodDates dates;
        const char* start;
        const char* end;
    } rows[] = {
        {{{2024, 5, 5}, {2024, 5, 7}}, "2024-05-05 00:00:01", "2024-05-08 00:00:00"},
        {{{2023, 12, 31}, {2023, 12, 31}}, "2023-12-31 00:00:01", "2024-01-01 00:00:00"},
        {{{2024, 5, 12}, {2024, 5, 11}}, "2024-05-12 00:00:01", "2024-05-12 00:00:00"},
    };
    for (const auto& row : rows) {
        const TPeriod period = ChosenPeriod(row.dates);
        EXPECT_EQ(StampText(period.start), row.start);
        EXPECT_EQ(StampText(period.end), row.end);
    }
    const TPeriod oneDay = ChosenPeriod(rows[2].dates);
    EXPECT_TRUE(IsUsablePeriod(ChooseDay, oneDay)) << "one day needs only its start";
    EXPECT_FALSE(IsUsablePeriod(ChooseOneMonth, oneDay));
    EXPECT_FALSE(IsUsablePeriod(ChooseTwoMonths, {100, 100}));
    EXPECT_TRUE(IsUsablePeriod(ChooseOneMonth, ChosenPeriod(rows[0].dates)));
}

TEST(PeriodRules, PolishCaptionsAndPrompts) {
    EXPECT_EQ(CalendarCaption({2024, 10, 5}), "październik 2024");
    EXPECT_EQ(CalendarCaption({2023, 1, 31}), "styczeń 2023");
    EXPECT_EQ(CalendarCaption({2023, 12, 1}), "grudzień 2023");
    EXPECT_EQ(ChooserPrompt(ChooseDay), "Wybierz dzień");
    EXPECT_EQ(ChooserPrompt(ChooseOneMonth), "Wybierz przedział czasu z zakresu 1 miesiąca");
    EXPECT_EQ(ChooserPrompt(ChooseTwoMonths), "Wybierz przedział czasu z zakresu 2 miesięcy");
}

} // namespace
} // namespace kiv

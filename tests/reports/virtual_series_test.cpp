// Sums of virtual stations slot by slot: hourly increments and day-boundary
// counters, the completeness of each slot, signs, members whose data end
// early, and a single member read as its station.
#include "reports/virtual_series.h"

#include "archive_fixture.h"
#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace kiv {
namespace {

using test::At;
using test::TSampleSpec;

// Hourly slots end at 23:00, 00:00 and 01:00; day-boundary slots are at
// 10, 11 and 12 March 00:00.
const TimeStamp kEvening = At(2024, 3, 10, 22);
const TimeStamp kMidnight = At(2024, 3, 10);

// Four quarters of `value` in each of the hours (1-based, after kEvening) given.
std::vector<TSampleSpec> Quarters(std::initializer_list<int> hours, float value, int skipQuarter = 0) {
    std::vector<TSampleSpec> out;
    for (const int hour : hours)
        for (int q = 1; q <= 4; ++q)
            if (!(hour == 2 && q == skipQuarter))
                out.push_back({kEvening + static_cast<TimeStamp>((hour - 1) * 3600 + q * 900), value, 15});
    return out;
}

std::vector<TSampleSpec> Readings(std::initializer_list<std::pair<int, float>> dayAndValue) {
    std::vector<TSampleSpec> out;
    for (const auto &[day, value] : dayAndValue)
        out.push_back({kMidnight + static_cast<TimeStamp>(day) * 86400, value, 1440});
    return out;
}

// "value/validity/status" per slot.
std::string Slots(const std::vector<TReportSample> &slots) {
    std::string text;
    for (const TReportSample &s : slots) {
        char cell[64];
        std::snprintf(cell, sizeof cell, "%s%g/%d/%d", text.empty() ? "" : " ", s.value, s.validity, s.status);
        text += cell;
    }
    return text;
}

TEST(BuildVirtualSeries, Slots) {
    struct Row {
        const char *name;
        const char *formula;
        const char *kind;
        std::map<int, std::vector<TSampleSpec>> members;
        const char *slots;
    };
    std::vector<TSampleSpec> withDaily = Quarters({1, 2, 3}, 1.0f);
    withDaily.push_back({At(2024, 3, 11), 500.0f, 1440});
    std::vector<TSampleSpec> invalid = Quarters({1, 2, 3}, 2.0f);
    invalid[1].validity = 0;
    invalid[5].value = test::kNoNumber;
    std::vector<TSampleSpec> moved = Readings({{0, 1000.0f}, {2, 1020.0f}});
    moved.push_back({kMidnight + 86400 + 3600, 1010.0f, 60});
    const Row rows[] = {
        {"two whole members add up", "12+13", "dV",
         {{12, Quarters({1, 2, 3}, 1.0f)}, {13, Quarters({1, 2, 3}, 2.0f)}}, "12/1/1 12/1/1 12/1/1"},
        {"a minus member subtracts", "+00012-00013", "dV",
         {{12, Quarters({1, 2, 3}, 1.0f)}, {13, Quarters({1, 2, 3}, 2.0f)}}, "-4/1/1 -4/1/1 -4/1/1"},
        {"45 minutes of a member make the hour incomplete", "12+13", "dV",
         {{12, Quarters({1, 2, 3}, 1.0f)}, {13, Quarters({1, 2, 3}, 2.0f, 3)}}, "12/1/1 10/-1/1 12/1/1"},
        {"an invalid sample or one that is no number", "12+13", "dV",
         {{12, Quarters({1, 2, 3}, 1.0f)}, {13, invalid}}, "12/-1/1 10/1/-1 12/1/1"},
        {"a member used up marks the rest incomplete", "12+13", "dV",
         {{12, Quarters({1, 2, 3}, 1.0f)}, {13, Quarters({1}, 2.0f)}}, "12/1/1 4/-1/1 4/-1/1"},
        {"slots no member reaches are invalid", "12+13", "dV",
         {{12, Quarters({1}, 1.0f)}, {13, Quarters({1}, 2.0f)}}, "12/1/1 0/0/1 0/0/1"},
        {"the daily archive beside the hourly one is not an hour", "12+13", "dV",
         {{12, withDaily}, {13, Quarters({1, 2, 3}, 2.0f)}}, "12/1/1 12/1/1 12/1/1"},
        {"a member without the channel", "12+13", "dV", {{12, Quarters({1, 2, 3}, 1.0f)}},
         "4/-1/1 4/-1/1 4/-1/1"},
        {"counters add at day boundaries", "12+13", "V",
         {{12, Readings({{0, 100.0f}, {1, 110.0f}, {2, 120.0f}})},
          {13, Readings({{0, 1000.0f}, {1, 1010.0f}, {2, 1020.0f}})}},
         "1100/1/1 1120/1/1 1140/1/1"},
        {"a missing day-boundary reading", "12+13", "V",
         {{12, Readings({{0, 100.0f}, {1, 110.0f}, {2, 120.0f}})}, {13, moved}}, "1100/1/1 110/-1/-1 1140/1/1"},
        {"a minus counter", "13-12", "V",
         {{12, Readings({{0, 100.0f}, {1, 110.0f}, {2, 120.0f}})},
          {13, Readings({{0, 1000.0f}, {1, 1010.0f}, {2, 1020.0f}})}},
         "900/1/1 900/1/1 900/1/1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder temp("kiv-virtual");
        const bool counter = std::string(row.kind) == "V";
        for (const auto &[address, samples] : row.members)
            test::StoreSamples(temp.Folder(), address, test::ChannelItem("dVn", 1, row.kind), samples);
        const TimeStamp from = (counter ? kMidnight : kEvening) + 1;
        const TimeStamp to = counter ? kMidnight + 2 * 86400 : kEvening + 3 * 3600;
        const auto slots = BuildVirtualSeries(temp.Folder(), ParseMemberFormula(row.formula), "dVn", row.kind, from, to);
        EXPECT_EQ(Slots(slots), row.slots);
        ASSERT_FALSE(slots.empty());
        EXPECT_EQ(StampText(slots.front().time), counter ? "2024-03-10 00:00:00" : "2024-03-10 23:00:00");
        EXPECT_EQ(slots.front().interval, counter ? 1440 : 60);
    }
}

TEST(LoadSeries, OneMemberIsThatStation) {
    test::TempFolder temp("kiv-single");
    test::StoreSamples(temp.Folder(), 12, test::ChannelItem("dVn"), Quarters({1, 2}, 1.0f), test::Device("777"));
    TStationSeries station, single, none;
    ASSERT_EQ(LoadStationSeries(temp.Folder(), 12, "dVn", kEvening + 1, kEvening + 7200, false, station), 0);
    ASSERT_EQ(LoadSeries(temp.Folder(), ParseMemberFormula("-00012"), "dVn", "dV", kEvening + 1, kEvening + 7200,
                         single),
              0);
    EXPECT_EQ(single.samples.size(), 8u);
    EXPECT_EQ(Slots(single.samples), Slots(station.samples));
    EXPECT_EQ(single.cecha.serialNumber, "777");
    EXPECT_EQ(LoadSeries(temp.Folder(), ParseMemberFormula("12x"), "dVn", "dV", kEvening + 1, kEvening + 7200, none),
              ArcNoFile);
    EXPECT_TRUE(none.samples.empty());
}

} // namespace
} // namespace kiv

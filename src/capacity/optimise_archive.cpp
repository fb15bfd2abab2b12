// "Archiwum": the optimisation's inputs from the members' archives.
#include "capacity/optimisation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace kiv {
namespace {

constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;
// The months whose archives a time stamp can name, with room for the hour shift.
constexpr int kFirstStampYear = 1970;

bool Valid(const TReportSample &s) {
    return s.validity != 0 && s.status == 1;
}

// The hours of a month, from just after first - 1 (an hour boundary).
struct TMonthWindow {
    TimeStamp first = 0; // the boundary before the first hour + 1 s
    TimeStamp end = 0;
    int hours = 0;
    [[nodiscard]] TimeStamp Boundary(int64_t seconds) const {
        return static_cast<TimeStamp>(first - 1 + seconds);
    }
};

// Summed across the members: each hour's flow, and whether one had a value.
struct TMonthSums {
    std::vector<double> hourFlow;
    std::vector<bool> hourHas;
    double volume = 0;
    bool hasVolume = false;
};

// One member's valid "dVn" per hour and per day of the window.
struct TMemberHours {
    std::vector<double> hour;
    std::vector<bool> hourHas;
    std::vector<double> day;
    std::vector<bool> dayHas;
};

TMemberHours MemberHours(const std::vector<TReportSample> &samples, const TMonthWindow &w) {
    TMemberHours m{std::vector<double>(static_cast<std::size_t>(w.hours)),
                   std::vector<bool>(static_cast<std::size_t>(w.hours)),
                   std::vector<double>(static_cast<std::size_t>(w.hours / 24)),
                   std::vector<bool>(static_cast<std::size_t>(w.hours / 24))};
    for (const TReportSample &s : samples) {
        const int64_t since = static_cast<int64_t>(s.time) - (static_cast<int64_t>(w.first) - 1);
        if (!Valid(s) || since <= 0 || since > w.hours * kHour)
            continue;
        const auto h = static_cast<std::size_t>((since - 1) / kHour);
        m.hour[h] += s.value;
        m.hourHas[h] = true;
        m.day[h / 24] += s.value;
        m.dayHas[h / 24] = true;
    }
    return m;
}

// The whole part of each valid counter reading at the window's day boundaries.
std::vector<std::pair<bool, long long>> Readings(const std::vector<TReportSample> &samples,
                                                 const TMonthWindow &w) {
    std::vector<std::pair<bool, long long>> readings(static_cast<std::size_t>(w.hours / 24 + 1));
    std::size_t at = 0;
    for (std::size_t k = 0; k < readings.size(); ++k) {
        const TimeStamp boundary = w.Boundary(static_cast<int64_t>(k) * kDay);
        while (at < samples.size() && samples[at].time < boundary)
            ++at;
        if (at < samples.size() && samples[at].time == boundary && Valid(samples[at]))
            readings[k] = {true, static_cast<long long>(std::trunc(samples[at].value))};
    }
    return readings;
}

void AddMember(const std::string &folder, int32_t member, bool subtract, const TMonthWindow &w,
               TMonthSums &sums) {
    const int address = std::abs(member);
    TStationSeries counter;
    TStationSeries increments;
    (void)LoadStationSeries(folder, address, "Vn", w.first, w.end, true, counter);
    (void)LoadStationSeries(folder, address, "dVn", w.first, w.end, false, increments);
    const TMemberHours m = MemberHours(increments.samples, w);
    const double sign = subtract ? -1.0 : 1.0;
    for (std::size_t h = 0; h < m.hour.size(); ++h)
        if (m.hourHas[h]) {
            sums.hourFlow[h] += sign * m.hour[h];
            sums.hourHas[h] = true;
        }
    const auto readings = Readings(counter.samples, w);
    for (std::size_t d = 0; d < m.day.size(); ++d) {
        const auto &[hasBefore, before] = readings[d];
        const auto &[hasAfter, after] = readings[d + 1];
        if (hasBefore && hasAfter && after >= before) {
            sums.volume += sign * static_cast<double>(after - before);
            sums.hasVolume = true;
        } else if (m.dayHas[d]) {
            sums.volume += sign * m.day[d];
            sums.hasVolume = true;
        }
    }
}

bool MonthWindow(const TMonthRow &row, int hourShift, TMonthWindow &w) {
    if (row.year < kFirstStampYear || row.year > kLastYear)
        return false;
    const int64_t first = static_cast<int64_t>(MonthStart(row.year, row.month)) + hourShift * kHour;
    w.hours = MonthHours(row.year, row.month);
    if (first < 1)
        return false;
    w.first = static_cast<TimeStamp>(first + 1);
    w.end = static_cast<TimeStamp>(first + w.hours * kHour);
    return true;
}

struct TSeason {
    double volume = 0;
    bool has = false;
};

void WriteSeason(const TSeason &season, std::string &field) {
    if (season.has)
        field = std::to_string(static_cast<long long>(std::trunc(season.volume)));
}

} // namespace

bool LoadFromArchive(const TArchiveRequest &request, TOptimiseInputs &inputs, std::vector<double> &flows) {
    flows.clear();
    // A single member is that station itself, as the reports read it.
    TNumTab members = request.members;
    if (members.size() == 1)
        members.front() = std::abs(members.front());
    TSeason winter;
    TSeason summer;
    bool accepted = true;
    for (TMonthRow &row : inputs.months) {
        TMonthWindow w;
        if (!MonthWindow(row, request.hourShift, w))
            continue;
        // Only checked: a month is read whole or not at all.
        TimeStamp start = w.first;
        TimeStamp end = w.end;
        accepted = ClipToAcceptedRange(start, end, request.lower, request.upper);
        if (!accepted)
            break;
        TMonthSums sums{std::vector<double>(static_cast<std::size_t>(w.hours)),
                        std::vector<bool>(static_cast<std::size_t>(w.hours))};
        for (const int32_t member : members)
            AddMember(request.dataFolder, member, member < 0, w, sums);
        double most = 0;
        bool any = false;
        for (std::size_t h = 0; h < sums.hourFlow.size(); ++h)
            if (sums.hourHas[h]) {
                most = std::max(most, sums.hourFlow[h]);
                flows.push_back(sums.hourFlow[h]);
                any = true;
            }
        if (any)
            row.qmax = std::to_string(static_cast<long long>(std::nearbyint(most)));
        TSeason &season = IsWinterMonth(row.month) ? winter : summer;
        season.volume += sums.volume;
        season.has = season.has || sums.hasVolume;
    }
    // The months loaded before a refused one still make a curve, highest first.
    std::sort(flows.begin(), flows.end(), std::greater<>());
    if (!accepted)
        return false;
    WriteSeason(winter, inputs.winter);
    WriteSeason(summer, inputs.summer);
    return true;
}

} // namespace kiv

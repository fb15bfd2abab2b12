#include "demo_series.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kiv::demo {
namespace {

constexpr TimeStamp kDay = 86400;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A uniform number in [0, 1) from the seed, the station, the moment and a
// stream number, without any state carried between samples.
double Noise(uint64_t seed, int address, TimeStamp time, uint64_t stream) {
    uint64_t x = seed * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(address) << 40 ^ time ^ stream << 56;
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / 9007199254740992.0;
}

struct Moment {
    double dayOfYear;
    double hour;
    int weekday; // 0 Monday
};

Moment MomentOf(TimeStamp middle) {
    const TDateTime dt = DecodeTime(middle);
    const TimeStamp yearStart = EncodeTime({dt.year, 1, 1, 0, 0, 0});
    return {static_cast<double>(middle - yearStart) / kDay, dt.hour + dt.minute / 60.0,
            static_cast<int>((middle / kDay + 3) % 7)};
}

// 1 in the depth of winter, 0 at midsummer.
double HeatingShare(double dayOfYear) {
    return 0.5 + 0.5 * std::cos(kTwoPi * (dayOfYear - 15.0) / 365.25);
}

double Bump(double hour, double centre, double width) {
    const double d = hour - centre;
    return std::exp(-d * d / width);
}

double FlowShape(Usage usage, const Moment &m) {
    const double heat = HeatingShare(m.dayOfYear);
    const bool weekend = m.weekday >= 5;
    switch (usage) {
    case Usage::Households:
        return (0.3 + 1.4 * heat) * (0.45 + 0.9 * Bump(m.hour, 7.0, 3.0) + 1.1 * Bump(m.hour, 19.0, 6.0));
    case Usage::Heating:
        return (0.08 + 1.84 * heat) * (m.hour >= 5.0 && m.hour < 21.0 ? 1.15 : 0.7);
    case Usage::Industry:
        if (weekend)
            return 0.3 + 0.2 * heat;
        return (0.85 + 0.3 * heat) * (m.hour >= 6.0 && m.hour < 22.0 ? 1.25 : 0.55);
    case Usage::Bakery:
        return (0.6 + 0.5 * heat) * (m.hour < 6.0 ? 2.3 : m.hour < 10.0 ? 1.0 : 0.3);
    }
    return 1.0;
}

bool Inside(TimeStamp time, TimeStamp first, TimeStamp last) {
    return time >= first && time <= last;
}

bool InGap(const DemoPlan &plan, int address, TimeStamp time) {
    return std::any_of(plan.gaps.begin(), plan.gaps.end(), [&](const PlantedGap &g) {
        return g.address == address && Inside(time, g.first, g.last);
    });
}

bool Invalid(const DemoPlan &plan, int address, TimeStamp time) {
    return std::any_of(plan.invalids.begin(), plan.invalids.end(), [&](const PlantedInvalid &g) {
        return g.address == address && Inside(time, g.first, g.last);
    });
}

double JumpTotal(const DemoPlan &plan, int address, const char *channel, TimeStamp time) {
    double total = 0.0;
    for (const PlantedJump &j : plan.jumps)
        if (j.address == address && j.channel == channel && time >= j.time)
            total += j.amount;
    return total;
}

// The uninterrupted counters and values, before the faults are planted.
std::vector<IntervalValues> CleanIntervals(const StationPlan &s, uint64_t seed, TimeStamp from,
                                           TimeStamp until) {
    const TimeStamp step = static_cast<TimeStamp>(s.intervalMinutes) * 60;
    const double hours = s.intervalMinutes / 60.0;
    std::vector<IntervalValues> out;
    out.reserve((until - from) / step);
    double vn = 150000.0 + s.address * 37911.25;
    double vrTrue = 80000.0 + s.address * 12007.0;
    for (TimeStamp end = from + step; end <= until; end += step) {
        const Moment m = MomentOf(end - step / 2);
        const double flow =
            s.baseFlow * FlowShape(s.usage, m) * (0.92 + 0.16 * Noise(seed, s.address, end, 1));
        IntervalValues v;
        v.time = end;
        v.t = static_cast<float>(9.0 + 7.0 * std::sin(kTwoPi * (m.dayOfYear - 105.0) / 365.25) +
                                 1.2 * std::sin(kTwoPi * (m.hour - 10.0) / 24.0) +
                                 0.3 * Noise(seed, s.address, end, 2));
        const double load = std::min(flow / (2.0 * s.baseFlow), 1.0);
        v.P = static_cast<float>(s.pressure *
                                 (1.0 - 0.04 * load + 0.01 * (Noise(seed, s.address, end, 3) - 0.5)));
        v.dP = static_cast<float>(8.0 + 60.0 * load * load + 0.5 * Noise(seed, s.address, end, 4));
        const double conversion = v.P / 1.01325 * 273.15 / (273.15 + v.t) / 0.997;
        // Corrected volume to the centilitre; the uncorrected index counts whole m3.
        v.dVn = static_cast<float>(std::round(flow * hours * 100.0) / 100.0);
        vn += static_cast<double>(v.dVn);
        const double vrBefore = std::floor(vrTrue);
        vrTrue += flow * hours / conversion;
        v.dVr = static_cast<float>(std::floor(vrTrue) - vrBefore);
        v.Vn = vn;
        v.Vr = std::floor(vrTrue);
        out.push_back(v);
    }
    return out;
}

TimeStamp FirstDayEnd(TimeStamp from) {
    const TimeStamp end = from - from % kDay + kGasDayEndHour * 3600;
    return end > from ? end : end + kDay;
}

} // namespace

StationSeries MakeSeries(const StationPlan &station, const DemoPlan &plan, uint64_t seed, TimeStamp from,
                         TimeStamp until) {
    StationSeries series;
    std::vector<IntervalValues> clean = CleanIntervals(station, seed, from, until);
    for (IntervalValues &v : clean) {
        v.Vn += JumpTotal(plan, station.address, "Vn", v.time);
        v.Vr += JumpTotal(plan, station.address, "Vr", v.time);
    }
    // Gas days from the clean intervals: a device adds them up whatever the
    // computer later fails to fetch.
    std::size_t at = 0;
    float dayVn = 0.0f;
    float dayVr = 0.0f;
    for (TimeStamp end = FirstDayEnd(from); end <= until; end += kDay) {
        for (; at < clean.size() && clean[at].time <= end; ++at) {
            if (clean[at].time > end - kDay) {
                dayVn += clean[at].dVn;
                dayVr += clean[at].dVr;
            }
        }
        if (at == 0 || clean[at - 1].time != end)
            continue;
        if (!InGap(plan, station.address, end))
            series.days.push_back(
                {end, end - kDay >= from, dayVn, dayVr, clean[at - 1].Vn, clean[at - 1].Vr});
        dayVn = 0.0f;
        dayVr = 0.0f;
    }
    series.intervals.reserve(clean.size());
    for (IntervalValues &v : clean) {
        if (InGap(plan, station.address, v.time))
            continue;
        v.valid = !Invalid(plan, station.address, v.time);
        series.intervals.push_back(v);
    }
    return series;
}

} // namespace kiv::demo

#pragma once
// The measured life of one demo station: flows with a daily and a yearly
// shape, the increments of each archive interval, the counters they add up
// to, pressure, gas temperature and differential pressure. Every value is a
// function of the seed, the station and the sample's time (plus, for the
// counters, the start of the span), so two runs with the same seed and start
// agree sample for sample however far they reach.
#include <cstdint>
#include <vector>

#include "datafiles/timestamp.h"
#include "demo_plan.h"

namespace kiv::demo {

// The gas day ends at 22:00; daily samples and the readings reports compare
// are taken there.
constexpr int kGasDayEndHour = 22;

// One archive interval of a station. Counters hold the reading at the end
// of the interval.
struct IntervalValues {
    TimeStamp time = 0; // end of the interval
    bool valid = true;
    float dVn = 0.0f;
    float dVr = 0.0f;
    double Vn = 0.0;
    double Vr = 0.0;
    float P = 0.0f;  // bar, absolute
    float t = 0.0f;  // °C
    float dP = 0.0f; // mbar
};

// One gas day: the counter readings at its end and its increments.
struct DayValues {
    TimeStamp time = 0;
    bool hasIncrements = false; // the whole day lies inside the span
    float dVn = 0.0f;
    float dVr = 0.0f;
    double Vn = 0.0;
    double Vr = 0.0;
};

struct StationSeries {
    std::vector<IntervalValues> intervals;
    std::vector<DayValues> days;
};

// Intervals ending after `from` up to `until` (both on interval
// boundaries), planted faults applied: gaps are left out, invalid samples
// flagged, jumps added to the counters.
[[nodiscard]] StationSeries MakeSeries(const StationPlan &station, const DemoPlan &plan, uint64_t seed,
                                       TimeStamp from, TimeStamp until);

} // namespace kiv::demo

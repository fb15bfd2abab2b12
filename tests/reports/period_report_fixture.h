#pragma once
// One data folder for the period report's tests: 62 gas days from 30 April
// 2024 22:00 (the default shift) of hourly increments of 10 m3 and counter
// readings at the day boundaries, with the days the cases need changed:
//   00012 Kotłownia  Vn, dVn, P; PeakFlow 100. Day 3: hours of 1003 m3
//                    against counters of 1000; day 7: hour 5 missing;
//                    day 10: hours of 100.4 and 100.6; day 15: the counter
//                    goes down by 50.
//   00013 Łaźnia     the same data, criterion 2 (1.0), no PeakFlow.
//   00014 Łąka       dVn only, day 10 hour 8 and day 20 hour 3 at 100.6 too.
//   00015 Szkoła     dVr listed before its counter Vr; the device type
//                    "Łódź" and the description of dVr in Windows-1250.
//   00016 Pusta      a station file only.
// Kiv.ini holds the virtual station "Suma" = 12 + 13 with capacity 250 and
// the criterion 1 (0.001).
#include "reports/archive_fixture.h"

#include "config/ini_file.h"
#include "config/station_db.h"

#include <cmath>
#include <map>

namespace kiv::test {

inline constexpr int kFixtureDays = 62;
inline const TimeStamp kFixtureFirstBoundary = At(2024, 4, 30, 22);

// The period chooser's S and E for the days first..last of May 2024 (last
// may run past the month: 62 is 1 July).
inline TimeStamp MayStart(int first = 1) { return At(2024, 5, first, 0, 0, 1); }
inline TimeStamp MayEnd(int last) { return At(2024, 5, 1) + static_cast<TimeStamp>(last) * 86400; }

using THourChanges = std::map<std::pair<int, int>, float>; // (gas day 1.., hour 0..23) -> value, NaN: missing

inline std::vector<TSampleSpec> FixtureHours(const THourChanges &changes) {
    std::vector<TSampleSpec> hours;
    for (int k = 1; k <= kFixtureDays; ++k)
        for (int f = 0; f < 24; ++f) {
            const auto changed = changes.find({k, f});
            const float value = changed == changes.end() ? 10.0f : changed->second;
            if (!std::isnan(value))
                hours.push_back({kFixtureFirstBoundary + static_cast<TimeStamp>((k - 1) * 24 + f + 1) * 3600, value, 60});
        }
    return hours;
}

// Readings at every day boundary, rising by 240 a day except where a day says otherwise.
inline std::vector<TSampleSpec> FixtureReadings(const std::map<int, float> &dayChanges) {
    std::vector<TSampleSpec> readings;
    float reading = 100000.0f;
    for (int q = 0; q <= kFixtureDays; ++q) {
        if (q > 0) {
            const auto changed = dayChanges.find(q);
            reading += changed == dayChanges.end() ? 240.0f : changed->second;
        }
        readings.push_back({kFixtureFirstBoundary + static_cast<TimeStamp>(q) * 86400, reading, 60});
    }
    return readings;
}

// P twice a gas day: 1.5 at 10:30 and 2.0 + k / 10 at 16:15, the second invalid on day 2.
inline std::vector<TSampleSpec> FixturePressure() {
    std::vector<TSampleSpec> samples;
    for (int k = 1; k <= kFixtureDays; ++k) {
        const TimeStamp day = kFixtureFirstBoundary + static_cast<TimeStamp>(k - 1) * 86400;
        samples.push_back({day + 12 * 3600 + 30 * 60, 1.5f, 60});
        samples.push_back({day + 18 * 3600 + 15 * 60, 2.0f + 0.1f * static_cast<float>(k), 60,
                           static_cast<uint8_t>(k == 2 ? 0 : 1)});
    }
    return samples;
}

inline TParamItem FixtureItem(const std::string &name, int32_t column, const std::string &kind,
                              const std::string &unit, const std::string &description) {
    TParamItem item = ChannelItem(name, column, kind);
    item.SetUnit(unit);
    item.SetFullName(description);
    return item;
}

inline void BuildPeriodFolder(const std::string &folder) {
    THourChanges changes;
    for (int f = 0; f < 23; ++f)
        changes[{3, f}] = 43.0f;
    changes[{3, 23}] = 14.0f;
    changes[{7, 5}] = kNoNumber;
    changes[{10, 5}] = 100.4f;
    changes[{10, 6}] = 100.6f;
    const std::map<int, float> days = {{3, 1000.0f}, {7, 230.0f}, {10, 421.0f}, {15, -50.0f}};
    const TParamItem vn = FixtureItem("Vn", 0, "V", "m3", "Objętość normalna");
    const TParamItem dvn = FixtureItem("dVn", 1, "dV", "m3", "Przyrost objętości normalnej");
    const char *const labels[] = {"Kotłownia", "Łaźnia", "Łąka", "Szkoła", "Pusta"};
    for (int address = 12; address <= 16; ++address)
        CreateStation(folder, address, labels[address - 12]);
    for (const int address : {12, 13}) {
        StoreSamples(folder, address, vn, FixtureReadings(days));
        StoreSamples(folder, address, dvn, FixtureHours(changes));
    }
    StoreSamples(folder, 12, FixtureItem("P", 2, "m", "bar", "Ciśnienie"), FixturePressure());
    (void)WriteIniString("Measurements", "PeakFlow", "100", StationFilePath(folder, 12));
    (void)WriteIniString("Reports", "VIntegrityCrit", "2", StationFilePath(folder, 13));
    THourChanges more = changes;
    more[{10, 8}] = 100.6f;
    more[{20, 3}] = 100.6f;
    StoreSamples(folder, 14, dvn, FixtureHours(more));
    TDevSign older = Device();
    older.type = "\xa3\xf3" "d\x9f";
    const TParamItem dvr = FixtureItem("dVr", 0, "dV", "m3", "Przyrost obj\xeato\x9c" "ci roboczej");
    StoreSamples(folder, 15, dvr, FixtureHours({}), older);
    StoreSamples(folder, 15, FixtureItem("Vr", 1, "V", "m3", "Objętość robocza"), FixtureReadings({}), older);
    const std::string ini = folder + "Kiv.ini";
    (void)WriteIniString("Virtual-" + folder, "Sum1", "Suma@+00012+00013@250", ini);
    (void)WriteIniString("Reports", "VIntegrityCrit", "1", ini);
}

} // namespace kiv::test

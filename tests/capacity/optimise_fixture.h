#pragma once
// One data folder for the optimisation's window and kiv-cli tests: station
// 12 "Kotłownia" with March and April 2024 of 10 m3 hours (one of 60 in
// March, one of 40 in April) and Vn counters rising by 240 a day, PeakFlow
// 50 and the tariff set "W-3" remembered for it; in Kiv.ini the set "W-3",
// the virtual station "Suma" of station 12 alone with "W-3" too, and "Pusta"
// without members.
#include "reports/archive_fixture.h"

#include "config/ini_file.h"
#include "config/station_db.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kiv::test {

inline void BuildOptimiseFolder(const std::string &data, const std::string &kivIni) {
    std::filesystem::create_directories(data);
    CreateStation(data, 12, "Kotłownia");
    const TimeStamp first = At(2024, 3, 1);
    std::vector<TSampleSpec> hours, counter;
    for (int h = 0; h < 744 + 720; ++h)
        hours.push_back({first + static_cast<TimeStamp>(h + 1) * 3600, h == 30     ? 60.0f
                                                                       : h == 1000 ? 40.0f
                                                                                   : 10.0f});
    for (int k = 0; k <= 61; ++k)
        counter.push_back(
            {first + static_cast<TimeStamp>(k) * 86400, 5000.0f + 240.0f * static_cast<float>(k)});
    StoreSamples(data, 12, ChannelItem("Vn", 0, "V"), counter);
    StoreSamples(data, 12, ChannelItem("dVn", 1), hours);
    (void)WriteIniString("Tariff", "Set1", "W-3@12,5@0,1@0,08@1,2@100", kivIni);
    (void)WriteIniString("Virtual-" + data, "Sum1", "Suma@+00012@50@W-3", kivIni);
    (void)WriteIniString("Virtual-" + data, "Sum2", "Pusta@@0", kivIni);
    (void)WriteIniString("Tariff", "TariffSetName", "W-3", StationFilePath(data, 12));
    (void)WriteIniString("Measurements", "PeakFlow", "50", StationFilePath(data, 12));
}

} // namespace kiv::test

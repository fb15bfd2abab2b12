#pragma once
// A data folder for the graph tests, written once per test program:
//   station 12 "Kotłownia" (PeakFlow 30) and station 13 "Łaźnia", each with
//     dVn every 15 minutes from 25 April to 17 May 2024 14:00, 1 + (hour mod 8)
//     a quarter (so 4 .. 32 per hour);
//   on station 12 only: 9.25 at 10 May 12:00 (37 per hour), 3.03125 at 13:00
//     (12.125 per hour), no samples in 10 May 06:00..07:00, a value that is
//     no number at 08:15; hourly P for
//     April around 2.2 bar; Vn without a graph title, which is not graphable;
//   Kiv.ini with the virtual station "Suma" = 12 + 13 of capacity 50.
#include "archive_fixture.h"
#include "common/temp_folder.h"

#include "config/program_settings.h"
#include "config/station_db.h"
#include "reports/graph.h"
#include "support/helpers.h"

#include <cmath>
#include <fstream>

namespace kiv::test {

inline TParamItem GraphItem(const std::string &name, int column, const std::string &kind, const std::string &title,
                            const std::string &unit, const std::string &flowUnit) {
    TParamItem item = ChannelItem(name, column, kind);
    item.SetGraphTitle(title);
    item.SetUnit(unit);
    item.SetFlowName(flowUnit.empty() ? "" : FlowName(name));
    item.SetFlowUnit(flowUnit);
    return item;
}

inline std::vector<TSampleSpec> Quarters(int address) {
    std::vector<TSampleSpec> samples;
    for (TimeStamp t = At(2024, 4, 25, 0, 15); t <= At(2024, 5, 17, 14); t += 900) {
        const TDateTime d = DecodeTime(t);
        float value = 1.0f + static_cast<float>(d.hour % 8);
        if (address == 12 && d.month == 5 && d.day == 10) {
            if (t > At(2024, 5, 10, 6) && t <= At(2024, 5, 10, 7))
                continue;
            if (t == At(2024, 5, 10, 12))
                value = 9.25f;
            if (t == At(2024, 5, 10, 13))
                value = 3.03125f;
            if (t == At(2024, 5, 10, 8, 15))
                value = kNoNumber;
        }
        samples.push_back({t, value, 15});
    }
    return samples;
}

struct TGraphData {
    TempFolder temp{"kiv-graph"};
    std::string folder = temp.Folder();
    std::string kivIni = temp.File("Kiv.ini");

    TGraphData() {
        CreateStation(folder, 12, "Kotłownia");
        CreateStation(folder, 13, "Łaźnia");
        std::ofstream(StationFilePath(folder, 12), std::ios::app) << "[Measurements]\nPeakFlow=30\n";
        for (const int address : {12, 13})
            StoreSamples(folder, address, GraphItem("dVn", 1, "dV", "dV-Q", "m3", "m3/h"), Quarters(address));
        std::vector<TSampleSpec> pressure;
        std::vector<TSampleSpec> counter;
        for (TimeStamp t = At(2024, 4, 1, 1); t <= At(2024, 5, 1); t += 3600) {
            pressure.push_back({t, 2.2f + 0.3f * static_cast<float>(std::sin(t / 3600.0 * 0.2618)), 60});
            counter.push_back({t, 1000.0f + static_cast<float>(t % 1000000) / 3600.0f, 60});
        }
        StoreSamples(folder, 12, GraphItem("P", 2, "m", "P", "bar", ""), pressure);
        StoreSamples(folder, 12, GraphItem("Vn", 0, "V", "", "m3", ""), counter);
        std::ofstream(kivIni) << "[" << VirtualSectionName(folder) << "]\nSum1=Suma@+00012+00013@50\n";
    }

    // The period chooser's days first..last of 2024.
    TGraphRequest Request(const std::string &key, int firstMonth, int firstDay, int lastMonth, int lastDay) const {
        TGraphRequest request;
        request.dataFolder = folder;
        request.key = key;
        request.label = key == "00012" ? "Kotłownia" : "Suma";
        request.start = At(2024, firstMonth, firstDay, 0, 0, 1);
        request.end = At(2024, lastMonth, lastDay) + 86400;
        request.kivIni = kivIni;
        return request;
    }
};

} // namespace kiv::test

#pragma once
// The data folder the export tests share: the gas day of 12 March 2005
// (shift -2: 11 March 22:00:01 .. 12 March 22:00:00) of three stations.
// Station 12 has hourly dVn 10 + hour (hour 5 invalid) and one stray
// 15-minute dVn, P for the first three hours, "REZ1" (upper case in its
// files) for the first hour, and the counter Vn 1000 (marked invalid) and
// 1024 (from the daily archive) at 22:00 of 11 and 12 March. Station 13 has
// two dVn hours, station 701 one.
#include "reports/archive_fixture.h"

#include "config/station_db.h"

#include <string>

namespace kiv::test {

// One float sample of the export's month files.
struct TFloatSample {
    TimeStamp time = 0;
    float value = 0.0f;
    uint16_t interval = 60;
    uint8_t validity = 1;
};

inline void StoreFloats(const std::string &folder, int address, const TParamItem &item,
                        const std::vector<TFloatSample> &samples) {
    SeedDataRandom(static_cast<uint32_t>(address));
    Bytes records(samples.size() * kSampleSize);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto bits = std::bit_cast<uint32_t>(samples[i].value);
        const uint8_t slot[5] = {samples[i].validity, static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                                 static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
        EncodeSample(&records[i * kSampleSize], samples[i].time, samples[i].interval, VtFloat32, slot, sizeof slot);
    }
    TArchive archive;
    ASSERT_EQ(archive.StoreSamples(folder, address, item, records.data(), records.size(), Device(), item.ShortName()),
              0);
}

inline TimeStamp ExportDayStart() { return At(2005, 3, 12, 0, 0, 1); }
inline TimeStamp ExportDayEnd() { return At(2005, 3, 13); }

inline void WriteExportFolder(const std::string &folder) {
    CreateStation(folder, 12, "Kotłownia");
    WriteNameplate(folder, 12, {"Plum", "MacMat", "100"});
    CreateStation(folder, 13, "Łaźnia");
    CreateStation(folder, 701, "Daleka");
    const TimeStamp first = At(2005, 3, 11, 23);
    std::vector<TFloatSample> dVn;
    for (int h = 0; h < 24; ++h)
        dVn.push_back({first + h * 3600u, 10.0f + static_cast<float>(h), 60, h == 5 ? uint8_t{0} : uint8_t{1}});
    dVn.push_back({At(2005, 3, 12, 10, 30), 99.0f, 15});
    StoreFloats(folder, 12, ChannelItem("dVn", 1), dVn);
    StoreFloats(folder, 12, ChannelItem("P", 3, "m"), {{first, 3.5f}, {first + 3600, 3.5f}, {first + 7200, 3.5f}});
    StoreFloats(folder, 12, ChannelItem("REZ1", 6, "m"), {{first, 7.0f}});
    StoreFloats(folder, 12, ChannelItem("Vn", 0, "V"),
                {{At(2005, 3, 11, 22), 1000.0f, 60, 0}, {At(2005, 3, 12, 22), 1024.0f, 1440}});
    StoreFloats(folder, 13, ChannelItem("dVn", 1), {{first, 1.0f}, {first + 3600, 2.0f}});
    StoreFloats(folder, 701, ChannelItem("dVn", 1), {{first, 1.0f}});
}

} // namespace kiv::test

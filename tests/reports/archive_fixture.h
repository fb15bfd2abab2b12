#pragma once
// Month files for the archive access tests, written by the archive itself
// from a seeded random source: a station's channel gets float samples
// (value, interval, validity) whose descriptor scales by 1 unless a test
// says otherwise.
#include "datafiles/archive.h"
#include "datafiles/plik.h"
#include "datafiles/sample_value.h"

#include "common/param_item.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kiv::test {

struct TSampleSpec {
    TimeStamp time = 0;
    float value = 0.0f; // NaN: a value that is no number
    uint16_t interval = 60;
    uint8_t validity = 1;
};

inline TParamItem ChannelItem(const std::string &name, int32_t column = 1, const std::string &kind = "dV") {
    TParamItem item = MakeItem({.shortName = name, .kind = kind, .column = column});
    item.SetThreshold(0.0f);
    item.SetFactorBelow(1.0f);
    item.SetFactorAbove(1.0f);
    return item;
}

inline TDevSign Device(const std::string &serial = "100") { return {"Plum", serial, "MacMat", "GM-2", "", ""}; }

inline void StoreSamples(const std::string &folder, int address, const TParamItem &item,
                         const std::vector<TSampleSpec> &specs, const TDevSign &sign = Device()) {
    SeedDataRandom(static_cast<uint32_t>(address));
    Bytes records(specs.size() * kSampleSize);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const TSampleSpec &s = specs[i];
        uint8_t slot[5] = {s.validity};
        const uint32_t bits =
            std::isnan(s.value) ? 0x7FC00000u : std::bit_cast<uint32_t>(s.value);
        for (int b = 0; b < 4; ++b)
            slot[1 + b] = static_cast<uint8_t>(bits >> (8 * b));
        EncodeSample(&records[i * kSampleSize], s.time, s.interval, VtFloat32, slot, sizeof slot);
    }
    TArchive archive;
    ASSERT_EQ(archive.StoreSamples(folder, address, item, records.data(), records.size(), sign, item.ShortName()),
              0);
}

inline TimeStamp At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return EncodeTime({static_cast<uint16_t>(year), static_cast<uint16_t>(month), static_cast<uint16_t>(day),
                       static_cast<uint16_t>(hour), static_cast<uint16_t>(minute), static_cast<uint16_t>(second)});
}

constexpr float kNoNumber = std::numeric_limits<float>::quiet_NaN();

} // namespace kiv::test

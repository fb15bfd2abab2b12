#pragma once
// What the simulated device knows: the parts of a device profile the replies
// depend on (SimProfile) and the device's contents (DeviceData: address,
// nameplate, current values, hourly and daily archives, event log, two raw
// tables). The contents are generated from a seed (GenerateData) or loaded
// from a data folder (data_loader.h); the request handlers then only read
// them, so everything here is testable without a line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "frame_codec.h"

namespace kiv::devsim {

// The fields of one profile parameter item the device needs.
struct SimItem {
    std::string shortName;
    int32_t paramNumber = -1; // position in the current data; negative: none
    uint8_t typeCode = 0;
    int32_t hourIndex = -1; // hourly archive index; negative: none
    uint8_t hourType = 0;
    int32_t dayIndex = -1; // daily archive index; negative: none
    uint8_t dayType = 0;
    std::string kind{};       // "V" counter, "dV" increment, "m" measured value
    std::string pairedName{}; // a counter's increments, an increment's counter
};

struct SimProfile {
    int protocol = 1;
    std::string name;
    std::string make; // expected make, type and serial number (may be empty)
    std::string type;
    std::string serial;
    std::vector<SimItem> items;
};

// One archive channel: one packed value (status byte first) per table time.
struct ArchiveChannel {
    uint8_t typeCode = 0;
    std::vector<Bytes> values;
};

// An archive of the device: all channels share one ascending time axis.
struct ArchiveTable {
    uint16_t intervalMinutes = 60;
    std::vector<uint32_t> times;
    std::map<uint16_t, ArchiveChannel> channels;

    // Index of the first sample at or after `time`; times.size() when none.
    [[nodiscard]] std::size_t FirstAtOrAfter(uint32_t time) const;
};

enum NameplateField { kMake, kType, kSerial, kExtra1, kExtra2, kLast };

struct DeviceData {
    uint16_t address = 1;
    std::array<std::string, 6> nameplate; // NameplateField order; the extras go out in version 2 only
    std::map<int32_t, Bytes> current;     // parameter number -> packed value
    ArchiveTable hourly;
    ArchiveTable daily;
    std::vector<Bytes> events; // newest first: code, two six-byte times, parameters
    Bytes dpTable;
    Bytes tzTable;
};

// Size of a value of a fixed-size type, status byte included; -1 for the
// variable-length texts (11, 12) and unknown types.
[[nodiscard]] int FixedValueSize(uint8_t typeCode);
// A valid packed value of the type holding `number` (rounded for integers).
[[nodiscard]] Bytes MakeValue(uint8_t typeCode, double number);

// Time on the wire, smallest unit first, two-digit year.
[[nodiscard]] Bytes WireTime(uint32_t stamp, int fields); // fields 4, 5 or 6
// Parses a 4-, 5- or 6-byte wire time; false when the date is not valid.
[[nodiscard]] bool ParseWireTime(const uint8_t* bytes, int fields, uint32_t& stamp);

// An event the device may log: its code and the value types of its parameters.
struct EventKind {
    uint8_t code = 0;
    std::vector<uint8_t> paramTypes;
};

struct GenerateOptions {
    uint32_t seed = 1;
    uint32_t now = 0;       // device clock at start
    int hourlyDays = 160;   // the read-out reaches back 150 days by default
    int dailyDays = 400;
    int eventCount = 30;
    int gasDayHour = 6;     // time of day of the daily samples
    uint16_t hourlyIntervalMinutes = 60;
    std::vector<EventKind> eventKinds; // empty: codes 1..40 without parameters
};

// Nameplate from the profile's expected texts (stand-ins where empty),
// current values, archives, events and tables, all derived from the seed.
[[nodiscard]] DeviceData GenerateData(const SimProfile& profile, uint16_t address, const GenerateOptions& options);

} // namespace kiv::devsim

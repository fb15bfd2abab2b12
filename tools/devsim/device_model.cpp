#include "device_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

#include "datafiles/real48.h"
#include "datafiles/timestamp.h"

namespace kiv::devsim {
namespace {

constexpr uint32_t kDay = 86400;

template <typename T>
void AppendLittle(Bytes& out, T value) {
    uint8_t raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    out.insert(out.end(), raw, raw + sizeof(T));
}

template <typename T>
T Clamped(double number) {
    const double lo = static_cast<double>(std::numeric_limits<T>::min());
    const double hi = static_cast<double>(std::numeric_limits<T>::max());
    return static_cast<T>(std::clamp(std::round(number), lo, hi));
}

Bytes PackedDigits(double number) {
    // Eight decimal digits, two per byte, high half first, ended by 0xFF.
    auto value = static_cast<uint32_t>(std::clamp(std::round(number), 0.0, 99999999.0));
    Bytes digits(4);
    for (int i = 3; i >= 0; --i) {
        const unsigned low = value % 10;
        value /= 10;
        const unsigned high = value % 10;
        value /= 10;
        digits[static_cast<std::size_t>(i)] = static_cast<uint8_t>(high << 4 | low);
    }
    digits.push_back(0xFF);
    return digits;
}

// How a channel's values move over time, picked from its type.
double SeriesValue(uint8_t typeCode, double base, double& counter, std::size_t i, std::mt19937& rng) {
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    switch (typeCode) {
    case 3:
    case 6:
    case 11:
        counter += std::uniform_int_distribution<int>(0, 40)(rng);
        return counter;
    case 7:
    case 8:
    case 9:
        return base + base * 0.3 * std::sin(2 * std::numbers::pi * static_cast<double>(i % 24) / 24.0) +
               noise(rng);
    case 10:
        return static_cast<double>(rng() % 2);
    default:
        return std::uniform_int_distribution<int>(0, 100)(rng);
    }
}

void FillChannel(ArchiveChannel& channel, std::size_t count, std::mt19937& rng) {
    const double base = std::uniform_real_distribution<double>(5.0, 50.0)(rng);
    double counter = std::uniform_int_distribution<int>(10000, 99999)(rng);
    channel.values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        channel.values.push_back(MakeValue(channel.typeCode, SeriesValue(channel.typeCode, base, counter, i, rng)));
}

// `count` times `step` apart ending at `last`, fewer when they would reach back before 1970.
void FillTable(ArchiveTable& table, uint32_t last, uint32_t step, std::size_t count) {
    count = std::min<std::size_t>(count, last / step + 1);
    table.times.resize(count);
    for (std::size_t i = 0; i < count; ++i) table.times[i] = last - static_cast<uint32_t>(count - 1 - i) * step;
}

void GenerateArchives(const SimProfile& profile, const GenerateOptions& options, std::mt19937& rng, DeviceData& data) {
    const uint32_t hourStep = options.hourlyIntervalMinutes * 60u;
    // Samples are stamped at the start of their interval: the newest complete one ends before the clock.
    // A device set to a clock within its first archive interval has nothing archived yet.
    const uint32_t gasHour = static_cast<uint32_t>(options.gasDayHour) * 3600u;
    const bool hourlyRoom = options.now >= 2 * hourStep;
    const bool dailyRoom = options.now >= gasHour + 2 * kDay;
    data.hourly.intervalMinutes = options.hourlyIntervalMinutes;
    if (hourlyRoom)
        FillTable(data.hourly, options.now / hourStep * hourStep - hourStep, hourStep,
                  static_cast<std::size_t>(options.hourlyDays) * kDay / hourStep);
    data.daily.intervalMinutes = 1440;
    if (dailyRoom)
        FillTable(data.daily, (options.now - gasHour) / kDay * kDay + gasHour - kDay, kDay,
                  static_cast<std::size_t>(options.dailyDays));

    for (const SimItem& item : profile.items) {
        if (item.hourIndex >= 0 && !data.hourly.channels.contains(static_cast<uint16_t>(item.hourIndex))) {
            ArchiveChannel& channel = data.hourly.channels[static_cast<uint16_t>(item.hourIndex)];
            channel.typeCode = item.hourType;
            FillChannel(channel, data.hourly.times.size(), rng);
        }
        if (item.dayIndex >= 0 && !data.daily.channels.contains(static_cast<uint16_t>(item.dayIndex))) {
            ArchiveChannel& channel = data.daily.channels[static_cast<uint16_t>(item.dayIndex)];
            channel.typeCode = item.dayType;
            FillChannel(channel, data.daily.times.size(), rng);
        }
    }
}

void GenerateEvents(const GenerateOptions& options, std::mt19937& rng, DeviceData& data) {
    int64_t time = int64_t{options.now} - std::uniform_int_distribution<uint32_t>(600, 2 * kDay)(rng);
    // The log holds fewer events when the clock is too close to 1970 for all of them.
    for (int n = 0; n < options.eventCount && time >= 0; ++n) {
        EventKind kind{static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 40)(rng)), {}};
        if (!options.eventKinds.empty())
            kind = options.eventKinds[rng() % options.eventKinds.size()];
        Bytes event{kind.code};
        const auto start = static_cast<uint32_t>(time);
        const Bytes first = WireTime(start, 6);
        event.insert(event.end(), first.begin(), first.end());
        if (n == 0) {
            event.insert(event.end(), 6, 0); // the newest event is still open
        } else {
            const uint32_t end = start + std::uniform_int_distribution<uint32_t>(60, 7200)(rng);
            const Bytes second = WireTime(std::min(end, options.now), 6);
            event.insert(event.end(), second.begin(), second.end());
        }
        for (uint8_t type : kind.paramTypes) {
            // A parameter without a value keeps its status byte.
            const Bytes value = FixedValueSize(type) > 0
                                    ? MakeValue(type, std::uniform_real_distribution<double>(0.0, 100.0)(rng))
                                    : Bytes{0};
            event.insert(event.end(), value.begin(), value.end());
        }
        data.events.push_back(std::move(event));
        time -= std::uniform_int_distribution<uint32_t>(3600, 3 * kDay)(rng);
    }
}

Bytes RandomBytes(std::size_t count, std::mt19937& rng) {
    Bytes out(count);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

} // namespace

std::size_t ArchiveTable::FirstAtOrAfter(uint32_t time) const {
    return static_cast<std::size_t>(std::lower_bound(times.begin(), times.end(), time) - times.begin());
}

int FixedValueSize(uint8_t typeCode) {
    switch (typeCode) {
    case 1:
    case 4:
    case 10:
        return 2;
    case 2:
    case 5:
        return 3;
    case 3:
    case 6:
    case 7:
        return 5;
    case 8:
        return 7;
    case 9:
        return 9;
    default:
        return -1;
    }
}

Bytes MakeValue(uint8_t typeCode, double number) {
    Bytes out{1};
    switch (typeCode) {
    case 1: AppendLittle(out, Clamped<int8_t>(number)); break;
    case 2: AppendLittle(out, Clamped<int16_t>(number)); break;
    case 3: AppendLittle(out, Clamped<int32_t>(number)); break;
    case 4: AppendLittle(out, Clamped<uint8_t>(number)); break;
    case 5: AppendLittle(out, Clamped<uint16_t>(number)); break;
    case 6: AppendLittle(out, Clamped<uint32_t>(number)); break;
    case 7: AppendLittle(out, static_cast<float>(number)); break;
    case 8: {
        uint8_t real[6];
        DoubleToReal48(number, real);
        out.insert(out.end(), real, real + 6);
        break;
    }
    case 9: AppendLittle(out, number); break;
    case 10: out.push_back(number != 0 ? 1 : 0); break;
    case 11: {
        const Bytes digits = PackedDigits(number);
        out.insert(out.end(), digits.begin(), digits.end());
        break;
    }
    default: {
        const std::string text = std::to_string(static_cast<long long>(std::llround(number)));
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
        break;
    }
    }
    return out;
}

Bytes WireTime(uint32_t stamp, int fields) {
    const TDateTime dt = DecodeTime(stamp);
    const Bytes all{static_cast<uint8_t>(dt.second), static_cast<uint8_t>(dt.minute), static_cast<uint8_t>(dt.hour),
                    static_cast<uint8_t>(dt.day),    static_cast<uint8_t>(dt.month),  static_cast<uint8_t>(dt.year % 100)};
    return Bytes(all.end() - fields, all.end());
}

bool ParseWireTime(const uint8_t* bytes, int fields, uint32_t& stamp) {
    uint8_t all[6] = {};
    std::memcpy(all + (6 - fields), bytes, static_cast<std::size_t>(fields));
    TDateTime dt;
    dt.second = all[0];
    dt.minute = all[1];
    dt.hour = all[2];
    dt.day = all[3];
    dt.month = all[4];
    dt.year = all[5];
    if (all[5] > 99 || !IsValidDateTime(dt)) return false;
    stamp = EncodeTime(dt);
    return true;
}

DeviceData GenerateData(const SimProfile& profile, uint16_t address, const GenerateOptions& options) {
    std::mt19937 rng(options.seed);
    DeviceData data;
    data.address = address;
    data.nameplate = {profile.make.empty() ? "SIMGAZ" : profile.make,
                      profile.type.empty() ? "DEVSIM" : profile.type,
                      profile.serial.empty() ? "S" + std::to_string(100000 + options.seed % 900000) : profile.serial,
                      "HW 1.2",
                      "CFG " + std::to_string(options.seed % 1000),
                      "FW 3.04"};
    for (const SimItem& item : profile.items) {
        if (item.paramNumber < 0 || data.current.contains(item.paramNumber)) continue;
        const double number = std::uniform_real_distribution<double>(0.0, 1000.0)(rng);
        data.current[item.paramNumber] = MakeValue(item.typeCode, number);
    }
    GenerateArchives(profile, options, rng, data);
    GenerateEvents(options, rng, data);
    data.dpTable = RandomBytes(256, rng);
    data.tzTable = RandomBytes(160, rng);
    return data;
}

} // namespace kiv::devsim

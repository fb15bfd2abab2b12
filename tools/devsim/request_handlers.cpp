#include "request_handlers.h"

#include <algorithm>
#include <array>

namespace kiv::devsim {
namespace {

constexpr std::array<uint8_t, 9> kVersion1Codes{code::kNameplate1,   code::kCurrent1,     code::kHourPosition,
                                                code::kHourBlock,    code::kHourNextBlock, code::kDayPosition,
                                                code::kDayBlock,     code::kEvent1,        code::kClock1};
constexpr std::array<uint8_t, 8> kVersion2Codes{code::kDpTable,  code::kTzTable,    code::kNameplate2,
                                                code::kCurrent2, code::kPosition2,  code::kPointerBlock2,
                                                code::kEvent2,   code::kClock2};

void AppendU16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendI32(Bytes& out, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// The count and start index that most requests carry in their first three bytes.
struct CountIndex {
    uint8_t count = 0;
    uint16_t index = 0;
};

bool ReadCountIndex(const Bytes& data, CountIndex& ci) {
    if (data.size() < 3) return false;
    ci.count = data[0];
    ci.index = static_cast<uint16_t>(data[1] | data[2] << 8);
    return true;
}

Bytes NotSupported(uint8_t& replyCode) {
    replyCode = code::kNotSupported;
    return {};
}

Bytes Acknowledge(uint8_t& replyCode) {
    replyCode = code::kAcknowledge;
    return {};
}

Bytes NoMore(uint8_t& replyCode) {
    replyCode = code::kNoMore;
    return {};
}

} // namespace

std::size_t CollectSamples(const ArchiveTable& table, uint16_t index, std::size_t start, std::size_t maxCount,
                           std::size_t budget, Bytes& out) {
    const auto channel = table.channels.find(index);
    if (channel == table.channels.end() || start >= table.times.size()) return 0;
    const uint32_t step = table.intervalMinutes * 60u;
    std::size_t used = 0;
    std::size_t n = 0;
    for (std::size_t i = start; n < maxCount && i < table.times.size() && i < channel->second.values.size(); ++i, ++n) {
        // A block holds equally spaced samples: a gap in the archive ends it.
        if (table.times[i] != table.times[start] + static_cast<uint32_t>(n) * step) break;
        const Bytes& value = channel->second.values[i];
        if (used + value.size() > budget) break;
        Append(out, value);
        used += value.size();
    }
    return n;
}

SimDevice::SimDevice(DeviceData data, DeviceSettings settings) : data_(std::move(data)), settings_(settings) {}

std::optional<Frame> SimDevice::Handle(const Frame& request, uint32_t deviceNow) {
    if (request.address != data_.address) return std::nullopt;
    Frame reply;
    reply.address = data_.address;
    reply.address2 = request.address2;
    reply.data = Dispatch(request.code, request.data, deviceNow, reply.code);
    return reply;
}

bool SimDevice::Supports(uint8_t requestCode) const {
    if (settings_.protocol == 1)
        return std::find(kVersion1Codes.begin(), kVersion1Codes.end(), requestCode) != kVersion1Codes.end();
    if (settings_.protocol == 2)
        return std::find(kVersion2Codes.begin(), kVersion2Codes.end(), requestCode) != kVersion2Codes.end();
    return false;
}

Bytes SimDevice::Dispatch(uint8_t requestCode, const Bytes& data, uint32_t deviceNow, uint8_t& replyCode) {
    replyCode = static_cast<uint8_t>(requestCode + code::kReplyFlag);
    if (!Supports(requestCode)) return NotSupported(replyCode);
    CountIndex ci;
    switch (requestCode) {
    case code::kClock1:
    case code::kClock2:
        return Clock(deviceNow);
    case code::kNameplate1:
    case code::kNameplate2:
        return NameplateBytes(data_, settings_.protocol);
    case code::kHourPosition:
        return HourPosition(data, replyCode);
    case code::kHourNextBlock:
        if (hourCount_ == 0) return NoMore(replyCode);
        // The next block is answered with the block reply code.
        replyCode = code::kHourBlock + code::kReplyFlag;
        return HourBlock(hourNext_, replyCode);
    case code::kDayPosition:
        return DayPosition(data, replyCode);
    case code::kPosition2:
        return Position2(data, replyCode);
    default:
        break;
    }
    if (!ReadCountIndex(data, ci) || ci.count == 0) return NotSupported(replyCode);
    switch (requestCode) {
    case code::kCurrent1:
    case code::kCurrent2:
        return Current(ci.count, ci.index);
    case code::kDpTable:
        return TableChunk(data_.dpTable, ci.count, ci.index, replyCode);
    case code::kTzTable:
        return TableChunk(data_.tzTable, ci.count, ci.index, replyCode);
    case code::kEvent1:
    case code::kEvent2:
        return Event(ci.index, replyCode);
    case code::kHourBlock:
        hourIndex_ = ci.index;
        hourCount_ = ci.count;
        return HourBlock(hourPosition_, replyCode);
    case code::kDayBlock:
        return DayBlock(ci.count, ci.index, replyCode);
    case code::kPointerBlock2: {
        if (data.size() < 7) return NotSupported(replyCode);
        const auto pointer =
            static_cast<int32_t>(data[3] | data[4] << 8 | data[5] << 16 | static_cast<uint32_t>(data[6]) << 24);
        return PointerBlock2(ci.count, ci.index, pointer, replyCode);
    }
    default:
        return NotSupported(replyCode);
    }
}

Bytes SimDevice::Clock(uint32_t deviceNow) const {
    if (settings_.badClock) return {0, 0, 12, 29, 2, 3};
    return WireTime(deviceNow, 6);
}

Bytes NameplateBytes(const DeviceData& data, int protocol) {
    Bytes out;
    auto add = [&out](const std::string& text) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    };
    add(data.nameplate[kMake]);
    add(data.nameplate[kType]);
    add(data.nameplate[kSerial]);
    if (protocol == 2) {
        add(data.nameplate[kExtra1]);
        add(data.nameplate[kExtra2]);
    }
    add(data.nameplate[kLast]);
    return out;
}

Bytes SimDevice::Current(uint8_t count, uint16_t start) const {
    std::size_t limit = count;
    if (settings_.maxValues > 0) limit = std::min(limit, static_cast<std::size_t>(settings_.maxValues));
    Bytes values;
    std::size_t covered = 0;
    for (int32_t number = start; covered < limit; ++number) {
        const auto value = data_.current.find(number);
        if (value != data_.current.end()) {
            if (covered > 0 && values.size() + value->second.size() > kReplyBudget) break;
            Append(values, value->second);
        }
        ++covered;
    }
    Bytes out{static_cast<uint8_t>(covered)};
    AppendU16(out, start);
    Append(out, values);
    return out;
}

Bytes SimDevice::TableChunk(const Bytes& table, uint8_t count, uint16_t offset, uint8_t& replyCode) const {
    if (offset >= table.size()) return NoMore(replyCode);
    const std::size_t n = std::min<std::size_t>(count, table.size() - offset);
    Bytes out{static_cast<uint8_t>(n)};
    AppendU16(out, offset);
    out.insert(out.end(), table.begin() + offset, table.begin() + static_cast<std::ptrdiff_t>(offset + n));
    return out;
}

Bytes SimDevice::Event(uint16_t number, uint8_t& replyCode) const {
    if (number >= data_.events.size()) return NoMore(replyCode);
    Bytes out{1};
    AppendU16(out, number);
    Append(out, data_.events[number]);
    return out;
}

Bytes SimDevice::HourPosition(const Bytes& data, uint8_t& replyCode) {
    uint32_t time = 0;
    if (data.size() < 5 || !ParseWireTime(data.data(), 5, time)) return NotSupported(replyCode);
    const std::size_t position = data_.hourly.FirstAtOrAfter(time);
    if (position >= data_.hourly.times.size()) return NoMore(replyCode);
    hourPosition_ = position;
    hourNext_ = position;
    if (settings_.ackPositioning) return Acknowledge(replyCode);
    return WireTime(data_.hourly.times[position], 5);
}

Bytes SimDevice::HourBlock(std::size_t start, uint8_t& replyCode) {
    if (!data_.hourly.channels.contains(hourIndex_)) return NotSupported(replyCode);
    Bytes samples;
    const std::size_t n = CollectSamples(data_.hourly, hourIndex_, start, hourCount_, kReplyBudget, samples);
    if (n == 0) return NoMore(replyCode);
    hourNext_ = start + n;
    Bytes out{static_cast<uint8_t>(n)};
    AppendU16(out, hourIndex_);
    out.push_back(static_cast<uint8_t>(std::min<int>(data_.hourly.intervalMinutes, 255)));
    Append(out, WireTime(data_.hourly.times[start], 5));
    Append(out, samples);
    return out;
}

Bytes SimDevice::DayPosition(const Bytes& data, uint8_t& replyCode) {
    uint32_t time = 0;
    if (data.size() < 4 || !ParseWireTime(data.data(), 4, time)) return NotSupported(replyCode);
    const std::size_t position = data_.daily.FirstAtOrAfter(time);
    if (position >= data_.daily.times.size()) return NoMore(replyCode);
    dayPosition_ = position;
    if (settings_.ackPositioning) return Acknowledge(replyCode);
    if (settings_.earlyDayPosition) return WireTime(time - 2 * 86400u, 4);
    return WireTime(data_.daily.times[position], 4);
}

Bytes SimDevice::DayBlock(uint8_t count, uint16_t index, uint8_t& replyCode) {
    if (!data_.daily.channels.contains(index)) return NotSupported(replyCode);
    Bytes samples;
    const std::size_t start = dayPosition_;
    const std::size_t n = CollectSamples(data_.daily, index, start, count, kReplyBudget, samples);
    if (n == 0) return NoMore(replyCode);
    dayPosition_ = start + n;
    Bytes out{static_cast<uint8_t>(n)};
    AppendU16(out, index);
    Append(out, WireTime(data_.daily.times[start], 4));
    Append(out, samples);
    return out;
}

Bytes SimDevice::Position2(const Bytes& data, uint8_t& replyCode) {
    uint32_t time = 0;
    if (data.size() < 5 || !ParseWireTime(data.data(), 5, time)) return NotSupported(replyCode);
    const std::size_t position = data_.hourly.FirstAtOrAfter(time);
    if (position >= data_.hourly.times.size()) return NoMore(replyCode);
    Bytes out = WireTime(data_.hourly.times[position], 5);
    AppendI32(out, static_cast<int32_t>(int64_t(settings_.pointerBase) + static_cast<int64_t>(position)));
    return out;
}

Bytes SimDevice::PointerBlock2(uint8_t count, uint16_t index, int32_t pointer, uint8_t& replyCode) {
    if (!data_.hourly.channels.contains(index)) return NotSupported(replyCode);
    if (pointer < settings_.pointerBase) return NoMore(replyCode);
    const auto start = static_cast<std::size_t>(int64_t(pointer) - settings_.pointerBase);
    Bytes samples;
    const std::size_t n = CollectSamples(data_.hourly, index, start, count, kReplyBudget, samples);
    if (n == 0) return NoMore(replyCode);
    Bytes out{static_cast<uint8_t>(n)};
    AppendU16(out, index);
    out.push_back(static_cast<uint8_t>(std::min<int>(data_.hourly.intervalMinutes, 255)));
    Append(out, WireTime(data_.hourly.times[start], 5));
    AppendI32(out, settings_.badPointerEcho ? static_cast<int32_t>(int64_t(pointer) + 1) : pointer);
    Append(out, samples);
    return out;
}

} // namespace kiv::devsim

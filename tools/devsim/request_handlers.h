#pragma once
// Turns one request frame into the device's reply frame. The device speaks
// one protocol version; every other request code, and a request it cannot
// parse, gets the "not supported" code 0x7E. Good replies carry the request
// code + 0x80; 0x7F tells that there is nothing (more) to send.
//
// Archive reading keeps a little state between requests, as a device does:
// the hourly and daily positions set by the positioning requests and, for
// version 1, the block after the last one sent (for the "next block" 0xE5).
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device_model.h"
#include "frame_codec.h"

namespace kiv::devsim {

namespace code {
// Version 1
constexpr uint8_t kNameplate1 = 0x00;
constexpr uint8_t kCurrent1 = 0x0A;
constexpr uint8_t kHourPosition = 0x1A;
constexpr uint8_t kHourBlock = 0x1D;
constexpr uint8_t kHourNextBlock = 0xE5;
constexpr uint8_t kDayPosition = 0x1B;
constexpr uint8_t kDayBlock = 0x1F;
constexpr uint8_t kEvent1 = 0x3A;
constexpr uint8_t kClock1 = 0x4B;
// Version 2
constexpr uint8_t kDpTable = 0x01;
constexpr uint8_t kTzTable = 0x03;
constexpr uint8_t kNameplate2 = 0x09;
constexpr uint8_t kCurrent2 = 0x40;
constexpr uint8_t kPosition2 = 0x41;
constexpr uint8_t kPointerBlock2 = 0x42;
constexpr uint8_t kEvent2 = 0x46;
constexpr uint8_t kClock2 = 0x48;
// Reply codes of their own
constexpr uint8_t kAcknowledge = 0xE5;
constexpr uint8_t kNotSupported = 0x7E;
constexpr uint8_t kNoMore = 0x7F;
constexpr uint8_t kReplyFlag = 0x80;
} // namespace code

struct DeviceSettings {
    int protocol = 1;
    bool badClock = false; // answer the clock with 2003-02-29 12:00:00
    int maxValues = 0;     // most parameter numbers per current-data reply; 0: as asked
    bool ackPositioning = false; // version 1: answer archive positioning with a bare 0xE5
    bool badPointerEcho = false; // version 2: echo a block pointer one higher than asked
    bool earlyDayPosition = false; // version 1: daily positioning answers two days before the day asked
    // Block pointers of version 2 count samples from this number, as a device's
    // ring counter does, so that a reader taking them for indexes is caught.
    int32_t pointerBase = 100000;
};
// Room for the data of one reply; the program cuts replies at 2400 bytes.
constexpr std::size_t kReplyBudget = 2300;

// Whatever answers on the line: one device, or a transporter holding several.
class IFrameHandler {
public:
    virtual ~IFrameHandler() = default;
    // The reply to a request, or nothing when it is meant for another address.
    [[nodiscard]] virtual std::optional<Frame> Handle(const Frame& request, uint32_t deviceNow) = 0;
};

class SimDevice : public IFrameHandler {
public:
    SimDevice(DeviceData data, DeviceSettings settings);

    [[nodiscard]] std::optional<Frame> Handle(const Frame& request, uint32_t deviceNow) override;
    [[nodiscard]] const DeviceData& Data() const { return data_; }
    [[nodiscard]] int Protocol() const { return settings_.protocol; }

private:
    Bytes Dispatch(uint8_t requestCode, const Bytes& data, uint32_t deviceNow, uint8_t& replyCode);
    bool Supports(uint8_t requestCode) const;

    Bytes Clock(uint32_t deviceNow) const;
    Bytes Current(uint8_t count, uint16_t start) const;
    Bytes TableChunk(const Bytes& table, uint8_t count, uint16_t offset, uint8_t& replyCode) const;
    Bytes Event(uint16_t number, uint8_t& replyCode) const;
    Bytes HourPosition(const Bytes& data, uint8_t& replyCode);
    Bytes HourBlock(std::size_t start, uint8_t& replyCode);
    Bytes DayPosition(const Bytes& data, uint8_t& replyCode);
    Bytes DayBlock(uint8_t count, uint16_t index, uint8_t& replyCode);
    Bytes Position2(const Bytes& data, uint8_t& replyCode);
    Bytes PointerBlock2(uint8_t count, uint16_t index, int32_t pointer, uint8_t& replyCode);

    DeviceData data_;
    DeviceSettings settings_;
    std::size_t hourPosition_ = 0;
    std::size_t hourNext_ = 0;
    uint16_t hourIndex_ = 0;
    uint8_t hourCount_ = 0;
    bool hourBlockSent_ = false;
    std::size_t dayPosition_ = 0;
};

// The nameplate strings as a device of `protocol` sends them, each ended by 0.
[[nodiscard]] Bytes NameplateBytes(const DeviceData& data, int protocol);

// The samples of one channel from `start`: as many as `maxCount`, `budget`
// bytes and a regular time step allow. Returns their count (0 when the channel
// does not exist or start is past the end) and appends their bytes.
[[nodiscard]] std::size_t CollectSamples(const ArchiveTable& table, uint16_t index, std::size_t start,
                                         std::size_t maxCount, std::size_t budget, Bytes& out);

} // namespace kiv::devsim

#pragma once
// The KivGAZ transporter: a portable unit that has copied the memory of
// several devices and answers on one line for all of them. On its own
// address it answers only the directory request (0x7B, one entry per
// request, reply 0xFB); every held device answers on its own address as
// itself, from its own profile and contents. A held device also answers the
// version-1 nameplate request whatever its own protocol, as the transporter
// keeps every nameplate in that form.
//
// Directory entry, reply data from frame byte 8: count 1, entry number
// (uint16), device address (uint16), slot used (1, 0 for an empty slot),
// data form (1: GazModem-1 copy), three reserved bytes, the device's name
// ended by 0. The transporter has as many slots as it holds devices unless
// told more; the slots after the devices are empty, and past the last slot
// it answers 0x7F.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "request_handlers.h"

namespace kiv::devsim {

namespace code {
constexpr uint8_t kDirectory = 0x7B;
} // namespace code

// One held device as the directory lists it.
struct HeldDevice {
    uint16_t address = 0;
    std::string name;
    SimDevice* device = nullptr;
};

struct TransporterSettings {
    uint16_t address = 65534;
    std::size_t slots = 0;             // directory slots; fewer than the held devices: one per device
    std::set<uint16_t> silentEntries;  // entry numbers whose request stays unanswered
};

// The offsets inside an entry's reply data (frame byte 8 onwards).
constexpr std::size_t kEntryAddress = 3;
constexpr std::size_t kEntryUsed = 5;
constexpr std::size_t kEntryForm = 6;
constexpr std::size_t kEntryName = 10;

class SimTransporter : public IFrameHandler {
public:
    SimTransporter(TransporterSettings settings, std::vector<HeldDevice> devices);

    [[nodiscard]] std::optional<Frame> Handle(const Frame& request, uint32_t deviceNow) override;

private:
    [[nodiscard]] std::optional<Frame> Directory(const Frame& request) const;
    [[nodiscard]] const HeldDevice* Held(uint16_t address) const;

    TransporterSettings settings_;
    std::vector<HeldDevice> devices_;
};

} // namespace kiv::devsim

#include "transporter.h"

#include <algorithm>
#include <utility>

namespace kiv::devsim {

SimTransporter::SimTransporter(TransporterSettings settings, std::vector<HeldDevice> devices)
    : settings_(std::move(settings)), devices_(std::move(devices)) {
    settings_.slots = std::max(settings_.slots, devices_.size());
}

const HeldDevice* SimTransporter::Held(uint16_t address) const {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [address](const HeldDevice& held) { return held.address == address; });
    return found == devices_.end() ? nullptr : &*found;
}

std::optional<Frame> SimTransporter::Handle(const Frame& request, uint32_t deviceNow) {
    if (request.address == settings_.address) return Directory(request);
    const HeldDevice* held = Held(request.address);
    if (held == nullptr) return std::nullopt;
    if (request.code != code::kNameplate1) return held->device->Handle(request, deviceNow);
    return Frame{request.address, request.address2, static_cast<uint8_t>(code::kNameplate1 + code::kReplyFlag),
                 NameplateBytes(held->device->Data(), 1)};
}

std::optional<Frame> SimTransporter::Directory(const Frame& request) const {
    Frame reply{settings_.address, request.address2, code::kNotSupported, {}};
    if (request.code != code::kDirectory || request.data.size() < 3) return reply;
    const auto entry = static_cast<uint16_t>(request.data[1] | request.data[2] << 8);
    if (settings_.silentEntries.contains(entry)) return std::nullopt;
    if (entry >= settings_.slots) {
        reply.code = code::kNoMore;
        return reply;
    }
    reply.code = code::kDirectory + code::kReplyFlag;
    const HeldDevice* held = entry < devices_.size() ? &devices_[entry] : nullptr;
    const uint16_t address = held != nullptr ? held->address : 0;
    const uint8_t used = held != nullptr ? 1 : 0;
    reply.data = {1, request.data[1], request.data[2], static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8),
                  used, used, 0, 0, 0};
    if (held != nullptr) reply.data.insert(reply.data.end(), held->name.begin(), held->name.end());
    reply.data.push_back(0);
    return reply;
}

} // namespace kiv::devsim

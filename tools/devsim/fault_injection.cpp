#include "fault_injection.h"

namespace kiv::devsim {

FaultInjector::FaultInjector(const FaultSettings& settings, uint32_t seed) : settings_(settings), rng_(seed) {}

Bytes FaultInjector::Noise(std::size_t count, uint8_t avoid) {
    Bytes noise;
    while (noise.size() < count) {
        const auto b = static_cast<uint8_t>(rng_());
        if (b != avoid) noise.push_back(b);
    }
    return noise;
}

Bytes FaultInjector::Shape(const Bytes& frame) {
    ++replies_;
    if (settings_.silentEvery > 0 && replies_ % settings_.silentEvery == 0) return {};
    Bytes out = Noise(settings_.noiseBefore, kFrameStart);
    out.insert(out.end(), frame.begin(), frame.end());
    if (settings_.corruptEvery > 0 && replies_ % settings_.corruptEvery == 0 && frame.size() >= 3)
        out[out.size() - 2] ^= 0x5A; // low CRC byte
    const Bytes tail = Noise(settings_.noiseAfter, kFrameEnd);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

} // namespace kiv::devsim

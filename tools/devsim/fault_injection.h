#pragma once
// Ways the simulated line can misbehave, applied to each reply before it goes
// out: noise around the frame, a spoiled CRC every n-th reply, replies left
// out, and the pacing of the bytes (baud rate, byte-by-byte gaps, a delay
// before answering). The nameplate and clock faults live in the device model.
#include <cstddef>
#include <cstdint>
#include <random>

#include "frame_codec.h"

namespace kiv::devsim {

struct FaultSettings {
    std::size_t noiseBefore = 0; // random bytes before the start byte (never 0x68)
    std::size_t noiseAfter = 0;  // random bytes after the end byte (never 0x16)
    int corruptEvery = 0;        // spoil the CRC of every n-th reply; 0: never
    int silentEvery = 0;         // leave every n-th request unanswered; 1: always silent
    int byteGapMs = 0;           // send one byte at a time with this gap
    int baud = 0;                // pace the bytes at 10 bits each; 0: as fast as the line takes them
    int replyDelayMs = 0;        // turnaround time before a reply
};

class FaultInjector {
public:
    explicit FaultInjector(const FaultSettings& settings, uint32_t seed = 1);

    // The bytes that go out for an encoded reply; empty when this one stays unanswered.
    [[nodiscard]] Bytes Shape(const Bytes& frame);

private:
    Bytes Noise(std::size_t count, uint8_t avoid);

    FaultSettings settings_;
    std::mt19937 rng_;
    long replies_ = 0;
};

} // namespace kiv::devsim

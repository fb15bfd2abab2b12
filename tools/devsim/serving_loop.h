#pragma once
// The serving loop: bytes from the line go through the frame reader, each
// good request to the device model, each reply through the fault injector
// and back onto the line at the configured pace.
#include <chrono>
#include <csignal>
#include <cstdint>

#include "fault_injection.h"
#include "request_handlers.h"
#include "serial_link.h"

namespace kiv::devsim {

// The device's clock: set once, then running with the computer's.
class DeviceClock {
public:
    explicit DeviceClock(uint32_t start) : start_(start), origin_(std::chrono::steady_clock::now()) {}
    [[nodiscard]] uint32_t Now() const;

private:
    uint32_t start_;
    std::chrono::steady_clock::time_point origin_;
};

struct ServeSettings {
    FaultSettings faults;
    int paceBaud = 0; // pace replies at this rate (pseudo-terminal only)
    uint32_t seed = 1;
    bool verbose = false;
};

// Serves until `stop` is set; 0 then, 1 when the line failed.
[[nodiscard]] int Serve(SerialLink& link, SimDevice& device, const DeviceClock& clock, const ServeSettings& settings,
                        const volatile std::sig_atomic_t& stop);

} // namespace kiv::devsim

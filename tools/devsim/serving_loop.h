#pragma once
// The serving loops. On a direct line, bytes from the line go through the
// frame reader, each good request to the device model, each reply through the
// fault injector and back onto the line at the configured pace (DeviceEnd).
// With a modem in front, the line's bytes go to the Hayes modem first; what
// it passes on while online goes to the DeviceEnd of the device it called.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <map>
#include <vector>

#include "fault_injection.h"
#include "hayes_modem.h"
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

// One device (or a transporter) on the line: its frame reader, its model and
// the faults of its replies.
class DeviceEnd {
public:
    DeviceEnd(IFrameHandler& device, const ServeSettings& settings);

    // Takes bytes from the line; the replies to send, shaped by the faults,
    // in order (a reply left out by the faults is not among them).
    [[nodiscard]] std::vector<Bytes> Take(const uint8_t* bytes, std::size_t count, uint32_t deviceNow);
    // Drops a partial frame after a pause, as a device resets its receiver.
    void Idle(std::chrono::steady_clock::time_point now);

private:
    IFrameHandler& device_;
    bool verbose_;
    FrameReader reader_;
    FaultInjector faults_;
    std::chrono::steady_clock::time_point lastByte_;
};

// Serves until `stop` is set; 0 then, 1 when the line failed.
[[nodiscard]] int Serve(SerialLink& link, IFrameHandler& device, const DeviceClock& clock, const ServeSettings& settings,
                        const volatile std::sig_atomic_t& stop);

// The same behind a Hayes modem: `devices` by address, the ones its numbers reach.
[[nodiscard]] int ServeModem(SerialLink& link, HayesModem& modem, const std::map<uint16_t, SimDevice*>& devices,
                             const DeviceClock& clock, const ServeSettings& settings,
                             const volatile std::sig_atomic_t& stop);

} // namespace kiv::devsim

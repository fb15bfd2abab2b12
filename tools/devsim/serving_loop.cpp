#include "serving_loop.h"

#include <cstdio>
#include <poll.h>
#include <thread>

namespace kiv::devsim {
namespace {

// A partial frame older than this is dropped, as a device resets its receiver after a pause.
constexpr auto kFrameGap = std::chrono::milliseconds(500);

void LogFrame(const char* direction, const Frame& frame) {
    std::fprintf(stderr, "%s %02X address %u, %zu data bytes\n", direction, frame.code, frame.address,
                 frame.data.size());
}

} // namespace

uint32_t DeviceClock::Now() const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - origin_);
    return start_ + static_cast<uint32_t>(elapsed.count());
}

int Serve(SerialLink& link, SimDevice& device, const DeviceClock& clock, const ServeSettings& settings,
          const volatile std::sig_atomic_t& stop) {
    FrameReader reader;
    FaultInjector faults(settings.faults, settings.seed);
    auto lastByte = std::chrono::steady_clock::now();
    uint8_t buffer[4096];
    while (!stop) {
        pollfd pfd{link.Fd(), POLLIN, 0};
        const int ready = poll(&pfd, 1, 50);
        if (ready <= 0) {
            if (reader.Pending() > 0 && std::chrono::steady_clock::now() - lastByte > kFrameGap) reader.Clear();
            continue;
        }
        if ((pfd.revents & (POLLERR | POLLNVAL)) != 0) return 1;
        const long n = link.Read(buffer, sizeof buffer);
        if (n < 0) return 1;
        if (n == 0) {
            // Hang-up without data: nobody holds the other end; wait for the next session.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        lastByte = std::chrono::steady_clock::now();
        reader.Feed(buffer, static_cast<std::size_t>(n));
        Frame request;
        for (auto status = reader.Next(request); status != FrameReader::Status::kNeedMore;
             status = reader.Next(request)) {
            if (status == FrameReader::Status::kBadCrc) {
                if (settings.verbose) std::fprintf(stderr, "<- frame with a bad CRC, ignored\n");
                continue;
            }
            if (settings.verbose) LogFrame("<-", request);
            const auto reply = device.Handle(request, clock.Now());
            if (!reply) continue;
            const Bytes out = faults.Shape(EncodeFrame(*reply));
            if (settings.verbose) {
                if (out.empty()) std::fprintf(stderr, "-> (silent)\n");
                else LogFrame("->", *reply);
            }
            if (out.empty()) continue;
            if (settings.faults.replyDelayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(settings.faults.replyDelayMs));
            if (!link.Write(out, settings.paceBaud, settings.faults.byteGapMs, stop) && !stop) return 1;
        }
    }
    return 0;
}

} // namespace kiv::devsim

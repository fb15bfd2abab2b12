#include "serving_loop.h"

#include <cstdio>
#include <memory>
#include <thread>

namespace kiv::devsim {
namespace {

// A partial frame older than this is dropped, as a device resets its receiver after a pause.
constexpr auto kFrameGap = std::chrono::milliseconds(500);
// How often the modem looks at the clock and the DTR line while the line is quiet.
constexpr int kModemPollMs = 20;

void LogFrame(const char* direction, const Frame& frame) {
    std::fprintf(stderr, "%s %02X address %u, %zu data bytes\n", direction, frame.code, frame.address,
                 frame.data.size());
}

// A device reply at the configured pace; false when the line failed.
bool SendReply(SerialLink& link, const Bytes& reply, const ServeSettings& settings,
               const volatile std::sig_atomic_t& stop) {
    if (settings.faults.replyDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(settings.faults.replyDelayMs));
    return link.Write(reply, settings.paceBaud, settings.faults.byteGapMs, stop) || stop;
}

void LogModem(const HayesModem& modem, std::size_t& shown) {
    for (; shown < modem.CommandLines().size(); ++shown)
        std::fprintf(stderr, "modem <- %s\n", modem.CommandLines()[shown].c_str());
}

} // namespace

uint32_t DeviceClock::Now() const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - origin_);
    return start_ + static_cast<uint32_t>(elapsed.count());
}

DeviceEnd::DeviceEnd(IFrameHandler& device, const ServeSettings& settings)
    : device_(device), verbose_(settings.verbose), faults_(settings.faults, settings.seed),
      lastByte_(std::chrono::steady_clock::now()) {}

std::vector<Bytes> DeviceEnd::Take(const uint8_t* bytes, std::size_t count, uint32_t deviceNow) {
    lastByte_ = std::chrono::steady_clock::now();
    reader_.Feed(bytes, count);
    std::vector<Bytes> replies;
    Frame request;
    for (auto status = reader_.Next(request); status != FrameReader::Status::kNeedMore; status = reader_.Next(request)) {
        if (status == FrameReader::Status::kBadCrc) {
            if (verbose_) std::fprintf(stderr, "<- frame with a bad CRC, ignored\n");
            continue;
        }
        if (verbose_) LogFrame("<-", request);
        const auto reply = device_.Handle(request, deviceNow);
        if (!reply) continue;
        Bytes out = faults_.Shape(EncodeFrame(*reply));
        if (verbose_) {
            if (out.empty()) std::fprintf(stderr, "-> (silent)\n");
            else LogFrame("->", *reply);
        }
        if (!out.empty()) replies.push_back(std::move(out));
    }
    return replies;
}

void DeviceEnd::Idle(std::chrono::steady_clock::time_point now) {
    if (reader_.Pending() > 0 && now - lastByte_ > kFrameGap) reader_.Clear();
}

int Serve(SerialLink& link, IFrameHandler& device, const DeviceClock& clock, const ServeSettings& settings,
          const volatile std::sig_atomic_t& stop) {
    DeviceEnd end(device, settings);
    uint8_t buffer[4096];
    while (!stop) {
        const int ready = link.Wait(50);
        if (ready < 0) return 1;
        if (ready == 0) {
            end.Idle(std::chrono::steady_clock::now());
            continue;
        }
        const long n = link.Read(buffer, sizeof buffer);
        if (n < 0) return 1;
        if (n == 0) {
            // Hang-up without data: nobody holds the other end; wait for the next session.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        for (const Bytes& reply : end.Take(buffer, static_cast<std::size_t>(n), clock.Now()))
            if (!SendReply(link, reply, settings, stop)) return 1;
    }
    return 0;
}

int ServeModem(SerialLink& link, HayesModem& modem, const std::map<uint16_t, SimDevice*>& devices,
               const DeviceClock& clock, const ServeSettings& settings, const volatile std::sig_atomic_t& stop) {
    std::map<uint16_t, std::unique_ptr<DeviceEnd>> ends;
    for (const auto& [address, device] : devices) ends[address] = std::make_unique<DeviceEnd>(*device, settings);
    std::size_t shown = 0;
    uint8_t buffer[4096];
    while (!stop) {
        const int ready = link.Wait(kModemPollMs);
        if (ready < 0) return 1;
        const auto now = std::chrono::steady_clock::now();
        // The DTR line first: the program raises it before it writes.
        Bytes answer;
        modem.Poll(now, link.DtrOn(), answer);
        long n = 0;
        if (ready > 0 && (n = link.Read(buffer, sizeof buffer)) < 0) return 1;
        if (ready > 0 && n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(kModemPollMs));
        Bytes data;
        if (n > 0) modem.Receive(buffer, static_cast<std::size_t>(n), now, answer, data);
        if (settings.verbose) LogModem(modem, shown);
        if (!answer.empty() && !link.Write(answer, 0, 0, stop) && !stop) return 1;
        const auto end = ends.find(modem.ConnectedAddress());
        if (end == ends.end()) continue;
        if (data.empty()) {
            end->second->Idle(now);
            continue;
        }
        for (const Bytes& reply : end->second->Take(data.data(), data.size(), clock.Now()))
            if (!SendReply(link, reply, settings, stop)) return 1;
    }
    return 0;
}

} // namespace kiv::devsim

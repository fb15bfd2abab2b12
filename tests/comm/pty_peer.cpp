#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace kivtest {
namespace {

uint16_t Crc(const uint8_t* bytes, std::size_t count) {
    uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= static_cast<uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

} // namespace

Bytes ReplyFrame(uint16_t address, uint8_t code, const Bytes& data) {
    const auto len = static_cast<uint16_t>(data.size() + 5);
    Bytes frame(8 + data.size());
    frame[0] = 0x68;
    frame[1] = static_cast<uint8_t>(len);
    frame[2] = static_cast<uint8_t>(len >> 8);
    frame[3] = static_cast<uint8_t>(address);
    frame[4] = static_cast<uint8_t>(address >> 8);
    frame[7] = code;
    std::copy(data.begin(), data.end(), frame.begin() + 8);
    const uint16_t crc = Crc(frame.data() + 1, frame.size() - 1);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(0x16);
    return frame;
}

Script ByteByByte(const Bytes& bytes, int gapMs) {
    Script script;
    for (uint8_t b : bytes)
        script.push_back({{b}, gapMs});
    return script;
}

PtyPeer::PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    slavePath_ = ptsname(master_);
    // Held open so the master never sees a hang-up between two openings of the port.
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ >= 0) {
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
    }
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
}

void PtyPeer::Serve(Responder responder, int pacingBaud) {
    responder_ = std::move(responder);
    pacingBaud_ = pacingBaud;
    thread_ = std::thread([this] { Run(); });
}

void PtyPeer::ServeLines(Responder responder) {
    lines_ = true;
    Serve(std::move(responder));
}

std::vector<Bytes> PtyPeer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void PtyPeer::Run() {
    Bytes pending;
    while (!stop_) {
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, 20) <= 0 || (fd.revents & POLLIN) == 0)
            continue;
        uint8_t chunk[4096];
        const ssize_t got = read(master_, chunk, sizeof chunk);
        if (got <= 0)
            continue;
        pending.insert(pending.end(), chunk, chunk + got);
        for (Bytes request; NextRequest(pending, request);)
            Answer(request);
    }
}

bool PtyPeer::NextRequest(Bytes& pending, Bytes& request) const {
    if (lines_) {
        const auto cr = std::find(pending.begin(), pending.end(), uint8_t{'\r'});
        if (cr == pending.end())
            return false;
        request.assign(pending.begin(), cr + 1);
        pending.erase(pending.begin(), cr + 1);
        return true;
    }
    // Frames: start byte, LEN, then LEN + 3 more bytes; noise before is skipped.
    const auto start = std::find(pending.begin(), pending.end(), uint8_t{0x68});
    pending.erase(pending.begin(), start);
    if (pending.size() < 3)
        return false;
    const std::size_t total = (pending[1] | pending[2] << 8) + 6u;
    if (pending.size() < total)
        return false;
    request.assign(pending.begin(), pending.begin() + static_cast<long>(total));
    pending.erase(pending.begin(), pending.begin() + static_cast<long>(total));
    return true;
}

void PtyPeer::Answer(const Bytes& request) {
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const Script script = responder_ ? responder_(request) : Script{};
    auto at = std::chrono::steady_clock::now();
    if (pacingBaud_ > 0)
        at += std::chrono::microseconds(request.size() * 10'000'000LL / pacingBaud_);
    for (const Chunk& chunk : script) {
        at = std::max(at, std::chrono::steady_clock::now()) + std::chrono::milliseconds(chunk.delayMs);
        WritePaced(chunk.bytes, at);
        if (stop_)
            return;
    }
}

void PtyPeer::WritePaced(const Bytes& bytes, std::chrono::steady_clock::time_point& at) {
    if (pacingBaud_ <= 0) {
        std::this_thread::sleep_until(at);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
        return;
    }
    const auto byteTime = std::chrono::microseconds(10'000'000LL / pacingBaud_);
    for (uint8_t b : bytes) {
        at += byteTime; // a byte is usable once its stop bit is in
        std::this_thread::sleep_until(at);
        if (write(master_, &b, 1) != 1)
            return;
    }
}

} // namespace kivtest

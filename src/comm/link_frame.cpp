#include "comm/link_frame.h"

#include "datafiles/plik.h"

#include <array>
#include <cstring>

namespace kiv {
namespace {

constexpr std::array<uint8_t, 29> kKindCodes = {
    0x00, 0x0A, 0x1A, 0x1D, 0x1B, 0x1F, 0x3A, 0x4B, 0x4A, 0x09, //  0.. 9
    0x40, 0x44, 0x01, 0x03, 0x05, 0x06, 0x41, 0x42, 0x46, 0x48, // 10..19
    0x49, 0x4F, 0xE5, 0x7B, 0xE5, 0x7E, 0x7F, 0xFB, 0xB0,       // 20..28
};

} // namespace

uint8_t RequestCode(uint8_t kind) {
    return kind < kKindCodes.size() ? kKindCodes[kind] : 0xFF;
}

std::vector<uint8_t> BuildFrame(uint8_t code, uint16_t secondAddress, const uint8_t* data, uint16_t dataLength,
                                uint16_t deviceAddress) {
    constexpr uint16_t kMaxData = 0xFFFF - 5;
    const uint16_t n = dataLength > kMaxData ? kMaxData : dataLength;
    const uint16_t len = static_cast<uint16_t>(n + 5);
    std::vector<uint8_t> frame;
    frame.reserve(n + kFrameOverhead);
    frame.push_back(kFrameStart);
    frame.push_back(static_cast<uint8_t>(len & 0xFF));
    frame.push_back(static_cast<uint8_t>(len >> 8));
    frame.push_back(static_cast<uint8_t>(deviceAddress & 0xFF));
    frame.push_back(static_cast<uint8_t>(deviceAddress >> 8));
    frame.push_back(static_cast<uint8_t>(secondAddress & 0xFF));
    frame.push_back(static_cast<uint8_t>(secondAddress >> 8));
    frame.push_back(code);
    if (n > 0)
        frame.insert(frame.end(), data, data + n);
    const uint16_t crc = Crc16(frame.data() + 1, frame.size() - 1);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(kFrameEnd);
    return frame;
}

bool CheckFrame(uint8_t* buffer, std::size_t& count) {
    if (count == 0) // an empty buffer may come without storage
        return false;
    const auto* startPtr = static_cast<const uint8_t*>(std::memchr(buffer, kFrameStart, count));
    if (startPtr == nullptr)
        return false;
    const std::size_t start = static_cast<std::size_t>(startPtr - buffer);
    std::size_t end = count;
    while (end > start + 1 && buffer[end - 1] != kFrameEnd)
        --end;
    if (end <= start + 1)
        return false;
    std::size_t length = end - start; // start byte through end byte
    std::memmove(buffer, buffer + start, count - start);
    // Shorter than an empty frame: callers read the address and the command
    // of a good reply, so such a reply must not pass.
    bool good = length >= kFrameOverhead && Crc16(buffer + 1, length - 2) == 0;
    if (!good) {
        // Trailing noise may itself hold a 0x16; the frame's own length then
        // still finds its end.
        const std::size_t byLen = (count - start >= 3) ? (buffer[1] | buffer[2] << 8) + kLenExtra : 0;
        if (byLen >= kFrameOverhead && byLen < length && buffer[byLen - 1] == kFrameEnd &&
            Crc16(buffer + 1, byLen - 2) == 0) {
            length = byLen;
            good = true;
        }
    }
    count = length;
    return good;
}

} // namespace kiv

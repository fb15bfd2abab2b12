#include "frame_codec.h"

#include <algorithm>
#include <array>

namespace kiv::devsim {
namespace {

constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned reg = i << 8;
        for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
        table[i] = static_cast<uint16_t>(reg);
    }
    return table;
}

constexpr auto kCrcTable = MakeCrcTable();

std::size_t LengthField(const Bytes& image, std::size_t start) {
    return image[start + 1] | static_cast<std::size_t>(image[start + 2]) << 8;
}

bool LengthPlausible(std::size_t len) { return len >= 5 && len - 5 <= kMaxFrameData; }

} // namespace

uint16_t LinkCrc(const uint8_t* bytes, std::size_t count) {
    uint16_t reg = 0;
    for (std::size_t i = 0; i < count; ++i)
        reg = static_cast<uint16_t>(kCrcTable[((reg >> 8) ^ bytes[i]) & 0xFF] ^ (reg << 8));
    return reg;
}

Bytes EncodeFrame(const Frame& frame) {
    const std::size_t len = frame.data.size() + 5;
    Bytes out;
    out.reserve(len + 6);
    out.push_back(kFrameStart);
    out.push_back(static_cast<uint8_t>(len));
    out.push_back(static_cast<uint8_t>(len >> 8));
    out.push_back(static_cast<uint8_t>(frame.address));
    out.push_back(static_cast<uint8_t>(frame.address >> 8));
    out.push_back(static_cast<uint8_t>(frame.address2));
    out.push_back(static_cast<uint8_t>(frame.address2 >> 8));
    out.push_back(frame.code);
    out.insert(out.end(), frame.data.begin(), frame.data.end());
    const uint16_t crc = LinkCrc(out.data() + 1, out.size() - 1);
    out.push_back(static_cast<uint8_t>(crc >> 8));
    out.push_back(static_cast<uint8_t>(crc));
    out.push_back(kFrameEnd);
    return out;
}

bool DecodeFrame(const Bytes& image, Frame& frame) {
    if (image.size() < kFrameOverhead || image.front() != kFrameStart || image.back() != kFrameEnd) return false;
    const std::size_t len = LengthField(image, 0);
    if (!LengthPlausible(len) || len + 6 != image.size()) return false;
    // Running the CRC over the protected bytes and the CRC itself leaves 0.
    if (LinkCrc(image.data() + 1, image.size() - 2) != 0) return false;
    frame.address = static_cast<uint16_t>(image[3] | image[4] << 8);
    frame.address2 = static_cast<uint16_t>(image[5] | image[6] << 8);
    frame.code = image[7];
    frame.data.assign(image.begin() + 8, image.end() - 3);
    return true;
}

void FrameReader::Feed(const uint8_t* bytes, std::size_t count) { buffer_.insert(buffer_.end(), bytes, bytes + count); }

FrameReader::Status FrameReader::Next(Frame& frame) {
    while (true) {
        const auto start = std::find(buffer_.begin(), buffer_.end(), kFrameStart);
        buffer_.erase(buffer_.begin(), start);
        if (buffer_.size() < 3) return Status::kNeedMore;
        const std::size_t len = LengthField(buffer_, 0);
        if (!LengthPlausible(len)) {
            buffer_.erase(buffer_.begin());
            continue;
        }
        const std::size_t total = len + 6;
        if (buffer_.size() < total) return Status::kNeedMore;
        if (buffer_[total - 1] != kFrameEnd) {
            buffer_.erase(buffer_.begin());
            continue;
        }
        const Bytes image(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
        return DecodeFrame(image, frame) ? Status::kGood : Status::kBadCrc;
    }
}

} // namespace kiv::devsim

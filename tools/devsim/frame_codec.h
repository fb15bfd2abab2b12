#pragma once
// The simulator's own GazModem frame layer, kept apart from the program's link
// code so that a misreading of the frame layout cannot hide on both sides.
// Bytes arriving from the line are fed to a FrameReader, which skips noise,
// waits for whole frames and hands out the good ones; replies are built with
// EncodeFrame.
//
// Frame: 68, LEN (2, little-endian, = data + 5), address (2), second address
// (2), code (1), data, CRC-16/XMODEM over LEN..data (2, high byte first), 16.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kiv::devsim {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kFrameStart = 0x68;
constexpr uint8_t kFrameEnd = 0x16;
constexpr std::size_t kFrameOverhead = 11;  // start, LEN, two addresses, code, CRC, end
constexpr std::size_t kMaxFrameData = 2400; // longer frames are treated as noise

struct Frame {
    uint16_t address = 0;
    uint16_t address2 = 0;
    uint8_t code = 0;
    Bytes data;
};

// CRC-16/XMODEM: polynomial 0x1021, register from 0, no reflection, no final XOR.
[[nodiscard]] uint16_t LinkCrc(const uint8_t* bytes, std::size_t count);

[[nodiscard]] Bytes EncodeFrame(const Frame& frame);

// Decodes one complete frame image (start byte first, nothing after the end
// byte); false when the layout, the length field or the CRC is wrong.
[[nodiscard]] bool DecodeFrame(const Bytes& image, Frame& frame);

class FrameReader {
public:
    enum class Status { kNeedMore, kGood, kBadCrc };

    void Feed(const uint8_t* bytes, std::size_t count);
    // Takes the next frame out of the buffered bytes. Bytes before a start
    // byte and start bytes that do not open a well-formed frame are dropped;
    // a frame whose CRC is wrong is dropped whole and reported as kBadCrc.
    [[nodiscard]] Status Next(Frame& frame);
    // Forgets a partial frame (after a gap on the line).
    void Clear() { buffer_.clear(); }
    [[nodiscard]] std::size_t Pending() const { return buffer_.size(); }

private:
    Bytes buffer_;
};

} // namespace kiv::devsim

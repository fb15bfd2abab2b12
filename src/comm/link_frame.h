#pragma once
// GazModem frames as bytes: the request-kind table, the frame builder and the
// frame check of a received reply. Pure functions over byte buffers, so the
// exchange engine in comm_module.h and the tests share one definition. The
// frame check is the data files' CRC-16 (kiv::Crc16 in datafiles/plik.h).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kiv {

constexpr uint8_t kFrameStart = 0x68;
constexpr uint8_t kFrameEnd = 0x16;
// Bytes around the data: start, LEN (2), address (2), second address (2),
// command, CRC (2), end.
constexpr std::size_t kFrameOverhead = 11;
// Frame length = LEN + 6; LEN counts the addresses, the command and the data.
constexpr std::size_t kLenExtra = 6;

// Reply codes with a meaning of their own.
constexpr uint8_t kReplyEndOfData = 0x7F;
constexpr uint8_t kReplyNotSupported = 0x7E;
constexpr uint8_t kReplyAcknowledge = 0xE5;

// The command code of a request kind; kinds past the table give 0xFF.
[[nodiscard]] uint8_t RequestCode(uint8_t kind);

// Builds a whole request frame. Data beyond what LEN can describe is cut.
[[nodiscard]] std::vector<uint8_t> BuildFrame(uint8_t code, uint16_t secondAddress, const uint8_t* data,
                                              uint16_t dataLength, uint16_t deviceAddress);

// Frame check of a reply: the first 0x68 and the last 0x16 after it delimit
// the frame, which is moved to the front of the buffer; count becomes its
// length. True when the CRC over LEN..CRC gives 0. Leading noise and trailing
// bytes are dropped; a LEN that disagrees with the bytes found does not by
// itself fail the check. When trailing noise holds a 0x16 of its own, the
// frame delimited by its LEN is taken if that one checks out. On a missing
// start or end byte the buffer is left as it was and the result is false.
[[nodiscard]] bool CheckFrame(uint8_t* buffer, std::size_t& count);

} // namespace kiv

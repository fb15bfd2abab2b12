#pragma once
// The file CRC-32 of the container (same results as Crc32/Crc32Update) by
// carry-less multiplication where the processor offers it: a year of archive
// files is checked on every period read, and the table walk dominated it.
#include <cstddef>
#include <cstdint>

namespace kiv {

[[nodiscard]] uint32_t FastCrc32Update(uint32_t crc, const uint8_t *bytes, std::size_t count);

} // namespace kiv

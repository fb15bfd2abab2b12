#pragma once
// The bulk of the file CRC-32 by carry-less multiplication, where the
// processor offers it: a year of archive files is checked on every period
// read, and the table walk dominated it. Crc32Update uses it; nothing else should.
#include <cstddef>
#include <cstdint>

namespace kiv::detail {

// Folds the longest prefix of bytes whose length is a multiple of 16 (at least
// 64 bytes) into crc and returns how many bytes it consumed: 0 when the
// processor lacks the instructions or the run is too short.
std::size_t ClmulCrc32Fold(uint32_t& crc, const uint8_t* bytes, std::size_t count);

} // namespace kiv::detail

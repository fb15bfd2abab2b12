#pragma once
// Device values travel as a type code (1..12) and up to eight little-endian
// bytes. The archive, the current data and the read-out turn them into numbers
// here; the status tells whether the bytes held a number at all.
#include <cstddef>
#include <cstdint>

namespace kiv {

enum ValueType : uint8_t {
    VtInt8 = 1,
    VtInt16 = 2,
    VtInt32 = 3,
    VtUInt8 = 4,
    VtUInt16 = 5,
    VtUInt32 = 6,
    VtFloat32 = 7,
    VtReal48 = 8,
    VtFloat64 = 9,
    VtByte = 10,
    VtDigits = 11,
    VtText = 12,
};

// Bytes of `value` (at most `room`) that the type occupies: fixed widths, up to
// and including the end byte for digit text and text, all of `room` for codes
// outside 1..12.
[[nodiscard]] std::size_t ValueByteCount(uint8_t typeCode, const uint8_t *value, std::size_t room = 8);

// Converts a value of types 1..9 to a number and returns the status 1. A float
// or double with all exponent bits set, and every other type, gives 0 with the
// status 0. `value` must hold the type's bytes (eight are always enough).
[[nodiscard]] int ValueToDouble(uint8_t typeCode, const uint8_t *value, double &number);

} // namespace kiv

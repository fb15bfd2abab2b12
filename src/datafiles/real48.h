#pragma once
// The six-byte real that devices deliver for value type 8: byte 0 the exponent
// biased by 129 (0 means zero), bytes 1..5 a 39-bit mantissa with an implied
// leading 1, the sign in the top bit of byte 5. -100 is 87 00 00 00 00 C8.
#include <cstdint>

namespace kiv {

[[nodiscard]] double Real48ToDouble(const uint8_t *sixBytes);
// Values too small for the format become zero, values too large the largest
// magnitude of their sign; not-a-number becomes zero.
void DoubleToReal48(double value, uint8_t *sixBytes);

} // namespace kiv

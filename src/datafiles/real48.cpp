#include "datafiles/real48.h"

#include <cmath>

namespace kiv {
namespace {
constexpr int kBias = 129;
constexpr int kMantissaBits = 39;
constexpr uint64_t kMantissaMask = (uint64_t{1} << kMantissaBits) - 1;

void Store(int exponent, uint64_t mantissa, bool negative, uint8_t *bytes) {
    bytes[0] = static_cast<uint8_t>(exponent);
    for (int i = 1; i <= 5; ++i)
        bytes[i] = static_cast<uint8_t>(mantissa >> (8 * (i - 1)));
    if (negative)
        bytes[5] |= 0x80;
}
} // namespace

double Real48ToDouble(const uint8_t *sixBytes) {
    if (sixBytes[0] == 0)
        return 0.0;
    uint64_t mantissa = 0;
    for (int i = 5; i >= 1; --i)
        mantissa = (mantissa << 8) | sixBytes[i];
    mantissa &= kMantissaMask;
    const double fraction = 1.0 + std::ldexp(static_cast<double>(mantissa), -kMantissaBits);
    const double magnitude = std::ldexp(fraction, sixBytes[0] - kBias);
    return (sixBytes[5] & 0x80) ? -magnitude : magnitude;
}

void DoubleToReal48(double value, uint8_t *sixBytes) {
    if (value == 0.0 || std::isnan(value)) {
        Store(0, 0, false, sixBytes);
        return;
    }
    const bool negative = value < 0;
    int exp2 = 0;
    // |value| = m * 2^exp2 with m in [0.5, 1): the implied-one form is 2m * 2^(exp2 - 1).
    const double m = std::isinf(value) ? 1.0 : std::frexp(std::fabs(value), &exp2);
    int exponent = std::isinf(value) ? 256 : exp2 - 1 + kBias;
    auto mantissa = static_cast<uint64_t>(std::llround(std::ldexp(2.0 * m - 1.0, kMantissaBits)));
    if (mantissa > kMantissaMask) {
        mantissa = 0;
        ++exponent;
    }
    if (exponent < 1) {
        Store(0, 0, false, sixBytes);
    } else if (exponent > 255) {
        Store(255, kMantissaMask, negative, sixBytes);
    } else {
        Store(exponent, mantissa, negative, sixBytes);
    }
}

} // namespace kiv

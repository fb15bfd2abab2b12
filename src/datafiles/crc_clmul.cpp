#include "datafiles/crc_clmul.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kiv::detail {

#if defined(__x86_64__)
namespace {

#define KIV_CLMUL __attribute__((target("pclmul,sse4.1")))

KIV_CLMUL inline __m128i Load(const uint8_t *p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

// acc * x^128 folded onto the next 16 bytes.
KIV_CLMUL inline __m128i Fold16(__m128i acc, __m128i next, __m128i k) {
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(hi, next), lo);
}

// Folds 64-byte blocks with the constants of the reflected polynomial
// 0xEDB88320 (x^(4*128+32) mod P and friends), then Barrett-reduces to 32
// bits. count is a multiple of 16 and at least 64.
KIV_CLMUL uint32_t FoldCrc(uint32_t crc, const uint8_t *buf, std::size_t len) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5k0 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);

    __m128i x1 = _mm_xor_si128(Load(buf), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(buf + 16);
    __m128i x3 = Load(buf + 32);
    __m128i x4 = Load(buf + 48);
    buf += 64;
    len -= 64;
    for (; len >= 64; buf += 64, len -= 64) {
        const __m128i x5 = _mm_clmulepi64_si128(x1, k1k2, 0x00);
        const __m128i x6 = _mm_clmulepi64_si128(x2, k1k2, 0x00);
        const __m128i x7 = _mm_clmulepi64_si128(x3, k1k2, 0x00);
        const __m128i x8 = _mm_clmulepi64_si128(x4, k1k2, 0x00);
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k1k2, 0x11), x5), Load(buf));
        x2 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x2, k1k2, 0x11), x6), Load(buf + 16));
        x3 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x3, k1k2, 0x11), x7), Load(buf + 32));
        x4 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x4, k1k2, 0x11), x8), Load(buf + 48));
    }
    x1 = Fold16(x1, x2, k3k4);
    x1 = Fold16(x1, x3, k3k4);
    x1 = Fold16(x1, x4, k3k4);
    for (; len >= 16; buf += 16, len -= 16)
        x1 = Fold16(x1, Load(buf), k3k4);

    // 128 bits to 64, then to 32 by Barrett reduction.
    const __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x2b = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2b);
    x2b = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, mask32);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k5k0, 0x00), x2b);
    x2b = _mm_and_si128(x1, mask32);
    x2b = _mm_clmulepi64_si128(x2b, poly, 0x10);
    x2b = _mm_and_si128(x2b, mask32);
    x2b = _mm_clmulepi64_si128(x2b, poly, 0x00);
    x1 = _mm_xor_si128(x1, x2b);
    return static_cast<uint32_t>(_mm_extract_epi32(x1, 1));
}

bool HaveClmul() {
    static const bool have = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return have;
}

} // namespace

std::size_t ClmulCrc32Fold(uint32_t& crc, const uint8_t* bytes, std::size_t count) {
    if (count < 64 || !HaveClmul()) return 0;
    const std::size_t folded = count & ~std::size_t{15};
    crc = FoldCrc(crc, bytes, folded);
    return folded;
}
#else
std::size_t ClmulCrc32Fold(uint32_t&, const uint8_t*, std::size_t) { return 0; }
#endif

} // namespace kiv::detail

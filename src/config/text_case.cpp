#include "text_case.h"

#include "support/text_encoding.h"

#include <cstdint>

namespace kiv {
namespace {

// Reads one code point; invalid bytes stand for themselves so that any byte
// string compares deterministically.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) { ++i; return b0; }
    size_t len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > s.size()) { ++i; return 0x110000u + b0; }
    uint32_t cp = b0 & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) { ++i; return 0x110000u + b0; }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += len;
    return cp;
}

uint32_t FoldUpper(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp < 0xE0) return cp;
    if (cp <= 0xFE) return cp == 0xF7 ? cp : cp - 32;
    if (cp == 0xFF) return 0x178;
    if (cp >= 0x100 && cp <= 0x137) return cp & ~1u;
    if (cp >= 0x139 && cp <= 0x148) return (cp % 2 == 0) ? cp - 1 : cp;
    if (cp >= 0x14A && cp <= 0x177) return cp & ~1u;
    if (cp >= 0x179 && cp <= 0x17E) return (cp % 2 == 0) ? cp - 1 : cp;
    return cp;
}

// Bytes that stood for themselves are put back as they were.
void AppendCodePoint(std::string& out, uint32_t cp) {
    if (cp >= 0x110000u)
        out += static_cast<char>(cp - 0x110000u);
    else
        AppendUtf8(out, cp);
}

} // namespace

std::string UpperText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) AppendCodePoint(out, FoldUpper(NextCodePoint(text, i)));
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    size_t i = 0, j = 0;
    while (j < prefix.size()) {
        if (i >= text.size()) return false;
        if (FoldUpper(NextCodePoint(text, i)) != FoldUpper(NextCodePoint(prefix, j))) return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            if (FoldUpper(ca) != FoldUpper(cb)) return false;
            ++i;
            ++j;
            continue;
        }
        if (FoldUpper(NextCodePoint(a, i)) != FoldUpper(NextCodePoint(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

std::string_view TrimView(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(b, e - b);
}

} // namespace kiv

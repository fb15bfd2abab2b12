#pragma once
// Text inside the program is UTF-8. Files and device strings from older
// Windows installations are Windows-1250; these convert between the two.
#include <cstdint>
#include <string>
#include <string_view>

namespace kiv {

[[nodiscard]] bool IsValidUtf8(std::string_view text);
[[nodiscard]] std::string Cp1250ToUtf8(std::string_view bytes);
// Characters Windows-1250 cannot hold become "?".
[[nodiscard]] std::string Utf8ToCp1250(std::string_view text);
// Whether bytes of unknown origin are UTF-8 text: valid UTF-8 whose non-ASCII
// characters are all of the kinds a Polish user's text holds (Latin-1 and
// Latin Extended-A letters and signs, spacing and combining accents, Greek,
// punctuation, currency, letter-like signs, arrows and mathematical signs).
// Polish Windows-1250 text never passes, even where its bytes happen to form
// valid UTF-8: "DÓŁ" (D3 A3) would decode to a Cyrillic letter, and every
// sequence its letters can form gives Cyrillic, Hebrew, IPA, Latin
// Extended-B, CJK or a supplementary-plane character.
[[nodiscard]] bool LooksLikeUtf8(std::string_view bytes);
// Bytes of unknown origin (a text file, a string from a binary file) as UTF-8:
// kept when they look like UTF-8, else taken as Windows-1250. Decoding its own
// result again changes nothing, so text that was already decoded is safe.
[[nodiscard]] std::string DecodeText(std::string_view bytes);
// Appends one code point (below 0x110000) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

} // namespace kiv

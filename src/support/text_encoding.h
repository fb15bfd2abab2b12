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
// Bytes of unknown origin (a text file, a string from a binary file) as UTF-8:
// kept when they are valid UTF-8, else taken as Windows-1250.
[[nodiscard]] std::string DecodeText(std::string_view bytes);
// Appends one code point (below 0x110000) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

} // namespace kiv

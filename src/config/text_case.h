#pragma once
// Section and key names of ini files are compared without regard to letter
// case, Polish letters included. These helpers fold UTF-8 text to upper case
// for the Latin letters (ASCII, Latin-1 and Latin Extended-A) without
// allocating when only a comparison is needed.
#include <string>
#include <string_view>

namespace kiv {

[[nodiscard]] std::string UpperText(std::string_view text);
[[nodiscard]] bool EqualsNoCase(std::string_view a, std::string_view b);
[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Spaces, tabs and other control characters at both ends removed.
[[nodiscard]] std::string_view TrimView(std::string_view text);

} // namespace kiv

#pragma once
// The profile compiler's source format: a commented ini-like text with a
// [profile] header, a [groups] list and one [item] block per parameter (see
// README.md). CompileProfileSource checks every value against the room the
// profile file gives it and reports the first fault with its line number;
// the result goes to TFCProfileRdWr::WriteProfile unchanged.
#include <string>
#include <vector>

#include "datafiles/profile.h"

namespace kiv {

struct TProfileSource {
    TRecProfParams params;
    std::vector<std::string> groups; // name + "=" + caption, in source order
    std::vector<TParamItem> items;
};

// Parses a source text (UTF-8, or Windows-1250 when not valid UTF-8). Texts
// are stored as Windows-1250 bytes. On failure `error` names the line.
[[nodiscard]] bool CompileProfileSource(const std::string& text, TProfileSource& out, std::string& error);

} // namespace kiv

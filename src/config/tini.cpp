#include "tini.h"

#include "config/ini_file.h"
#include "config/text_case.h"
#include "support/text_encoding.h"

#include <cstdio>

namespace kiv {

TIni::TIni(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    std::string bytes(kBufferSize + 1, '\0');
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    truncated_ = n > kBufferSize;
    bytes.resize(truncated_ ? kBufferSize : n);
    std::string_view text = bytes;
    const bool bom = text.substr(0, 3) == "\xEF\xBB\xBF";
    if (bom) text.remove_prefix(3);
    // A cut through the middle of a UTF-8 character must not make the whole
    // file look like Windows-1250.
    const auto utf8 = [bom](std::string_view t) { return bom ? IsValidUtf8(t) : LooksLikeUtf8(t); };
    std::string_view whole = text;
    for (int k = 0; truncated_ && k < 3 && !utf8(whole); ++k) whole.remove_suffix(1);
    buffer_ = utf8(whole) ? std::string(whole) : Cp1250ToUtf8(text);
    loaded_ = true;
}

bool TIni::NextLine(std::string_view& line) {
    const std::string_view all = buffer_;
    while (pos_ < all.size() && (all[pos_] == '\r' || all[pos_] == '\n')) ++pos_;
    if (pos_ >= all.size()) return false;
    std::size_t end = all.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = all.size();
    line = all.substr(pos_, end - pos_);
    pos_ = end;
    return true;
}

bool TIni::FindSection(std::string_view section) {
    const std::string name = UpperText(TrimView(section));
    if (hasMissing_ && name == lastMissing_) return false;
    if (hasFound_ && name == lastFound_) return true;
    ++sectionScans_;
    pos_ = 0;
    std::string_view line;
    while (NextLine(line)) {
        if (TrimView(line).substr(0, 1) == "[" && EqualsNoCase(IniSectionName(line), name)) {
            sectionStart_ = pos_;
            lastFound_ = name;
            hasFound_ = true;
            return true;
        }
    }
    lastMissing_ = name;
    hasMissing_ = true;
    return false;
}

bool TIni::FindKey(std::string_view key, std::string& value) {
    key = TrimView(key);
    pos_ = sectionStart_;
    std::string_view line;
    while (NextLine(line)) {
        if (TrimView(line).substr(0, 1) == "[") return false;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (EqualsNoCase(TrimView(line.substr(0, eq)), key)) {
            value = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

std::string TIni::ReadString(std::string_view section, std::string_view key, std::string_view def) {
    std::string value;
    if (FindSection(section) && FindKey(key, value)) return value;
    return std::string(def);
}

int TIni::ReadInteger(std::string_view section, std::string_view key, int def) {
    return ParseIniInteger(ReadString(section, key, ""), def);
}

std::vector<std::string> TIni::ReadList(std::string_view section, std::string_view stem, int first) {
    return ReadNumberedValues(stem, first, [&](const std::string& key) { return ReadString(section, key, ""); });
}

} // namespace kiv

#include "helpers.h"

#include "support/text_encoding.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

namespace kiv {

namespace fs = std::filesystem;

// ---- paths ----

std::string PathWithSeparator(const std::string& path) {
    if (path.empty() || path.back() == '/') return path;
    return path + '/';
}

namespace {

std::string& ProgramFolderStore() {
    static std::string folder = [] {
        std::error_code ec;
        const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        const fs::path dir = ec ? fs::current_path(ec) : exe.parent_path();
        return PathWithSeparator(dir.string());
    }();
    return folder;
}

} // namespace

std::string ProgramFolder() { return ProgramFolderStore(); }

void SetProgramFolder(const std::string& folder) { ProgramFolderStore() = PathWithSeparator(folder); }

std::string ProgramFolderFile(const std::string& name) { return ProgramFolder() + name; }

void KeepCNumbers() { std::setlocale(LC_NUMERIC, "C"); }

// ---- number and date texts ----

std::string PadNumber(long long number, int width, int mode, char pad) {
    std::string text = std::to_string(number);
    if (width <= 0) return text;
    const auto w = static_cast<std::size_t>(width);
    if (text.size() > w) {
        if (mode == PadKeepLast) text.erase(0, text.size() - w);
        else if (mode == PadKeepFirst) text.resize(w);
    }
    if (text.size() < w) text.insert(0, w - text.size(), pad);
    return text;
}

std::string ZeroPad(long long number, int width) {
    if (number >= 0) return PadNumber(number, width, PadKeepWhole, '0');
    // The sign goes in front of the zeros: -7 at width 4 is "-007".
    std::string digits = std::to_string(number).substr(1);
    const auto w = static_cast<std::size_t>(std::max(width - 1, 0));
    if (digits.size() < w) digits.insert(0, w - digits.size(), '0');
    return '-' + digits;
}

std::string HexByte(uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::string DateText(int year, int month, int day) {
    return ZeroPad(year, 4) + '-' + ZeroPad(month, 2) + '-' + ZeroPad(day, 2);
}

std::string DottedDateText(int year, int month, int day) {
    return ZeroPad(day, 2) + '.' + ZeroPad(month, 2) + '.' + ZeroPad(year, 4);
}

std::string TimeText(int hour, int minute, int second) {
    return ZeroPad(hour, 2) + ':' + ZeroPad(minute, 2) + ':' + ZeroPad(second, 2);
}

std::string DateTimeText(int year, int month, int day, int hour, int minute, int second, int parts) {
    const int fields[] = {year, month, day, hour, minute, second};
    static constexpr char kLead[] = {'\0', '-', '-', ' ', ':', ':'};
    parts = std::clamp(parts, 1, 6);
    std::string text = ZeroPad(year, 4);
    for (int i = 1; i < parts; ++i) text += kLead[i] + ZeroPad(fields[i], 2);
    return text;
}

std::string RoundedText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 9);
    double shown = value;
    // printf would round an exact half to even; scaled, std::round takes it away from zero.
    const double scale = std::pow(10.0, decimals);
    if (const double scaled = value * scale; std::isfinite(scaled)) shown = std::round(scaled) / scale;
    if (shown == 0) shown = 0; // -0 reads as a minus sign before nothing
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, shown);
    return text;
}

std::string YesNoText(bool flag) { return flag ? "tak" : "nie"; }

// ---- text helpers ----

namespace {

// Upper case of a code point of Latin-1 and Latin Extended-A, which hold every
// Polish letter; other code points are returned unchanged.
uint32_t UpperLatin(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 0x20;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    if (cp == 0x131) return 'I';
    const bool oddIsLower = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
    const bool evenIsLower = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if ((oddIsLower && (cp & 1u)) || (evenIsLower && !(cp & 1u))) return cp - 1;
    return cp;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    return text;
}

} // namespace

std::string CompactUpper(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == ' ' || b == '\t') continue;
        const bool twoByteLead = b >= 0xC2 && b <= 0xC5;
        if (twoByteLead && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const uint32_t cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            AppendUtf8(out, UpperLatin(cp));
            ++i;
        } else {
            out += b < 0x80 ? static_cast<char>(UpperLatin(b)) : static_cast<char>(b);
        }
    }
    return out;
}

std::string SplitAt(std::string& text, char separator) {
    const auto pos = text.find(separator);
    std::string head;
    if (pos == std::string::npos) {
        head.swap(text);
    } else {
        head = text.substr(0, pos);
        text.erase(0, pos + 1);
    }
    return head;
}

long long TrailingNumber(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
    if (start == text.size()) return -1;
    long long value = 0;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    for (std::size_t i = start; i < text.size(); ++i) {
        const int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) return -1;
        value = value * 10 + digit;
    }
    return value;
}

// ---- volume increment parameters ----

std::string FlowName(const std::string& name) {
    const std::string upper = AsciiUpper(name);
    if (upper == "DVN") return "Qn";
    if (upper == "DVR") return "Qr";
    return name;
}

bool IsIncrement(const std::string& name) {
    const std::string upper = AsciiUpper(name);
    return upper == "DVN" || upper == "DVR";
}

double ToFlow(const std::string& name, int intervalMinutes, double value) {
    if (!IsIncrement(name) || intervalMinutes <= 0) return value;
    return value * 60.0 / intervalMinutes;
}

double BarShare(double low, double value, double high, double full) {
    if (high <= low) return 0;
    const double share = (value - low) / (high - low) * full;
    if (share < 0) return 0;
    return std::min(share, full);
}

bool SameBytes(const void* a, const void* b, long length) {
    return length > 0 && std::memcmp(a, b, static_cast<std::size_t>(length)) == 0;
}

// ---- file-system chores ----

bool DeleteFolder(const std::string& path) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return true;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    if (ec) return false;
    for (const auto& entry : entries) {
        const bool folder = fs::is_directory(entry.symlink_status(ec));
        if (folder ? !DeleteFolder(entry.path().string()) : !fs::remove(entry.path(), ec)) return false;
    }
    return fs::remove(path, ec);
}

bool RotateLog(const std::string& name, int depth) {
    std::error_code ec;
    if (depth < 1 || !fs::exists(fs::symlink_status(name, ec))) return true;
    const auto copy = [&name](int k) { return k == 0 ? name : name + std::to_string(k); };
    const std::string oldest = copy(depth);
    if (fs::exists(fs::symlink_status(oldest, ec)) && !fs::remove(oldest, ec)) return false;
    for (int k = depth - 1; k >= 0; --k) {
        if (!fs::exists(fs::symlink_status(copy(k), ec))) continue;
        fs::rename(copy(k), copy(k + 1), ec);
        if (ec) return false;
    }
    return true;
}

// ---- columns ----

std::string ColumnLetters(int number) {
    if (number >= 1 && number <= 26) return std::string(1, static_cast<char>('A' + number - 1));
    if (number >= 27 && number <= 700) {
        const int first = (number - 1) / 26;
        const int second = (number - 1) % 26 + 1;
        return {static_cast<char>('A' + first - 1), static_cast<char>('A' + second - 1)};
    }
    return "__";
}

} // namespace kiv

#include "shell/model/window_place.h"

#include "config/ini_file.h"
#include "config/text_case.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace kiv {

namespace {

constexpr std::string_view kSection = "Windows";
// Larger than any desktop; a bigger number is a damaged entry.
constexpr int kMaxExtent = 100000;

int64_t Overlap(const TPlace& a, const TPlace& b) {
    const int64_t w = std::min<int64_t>(int64_t{a.x} + a.w, int64_t{b.x} + b.w) - std::max(a.x, b.x);
    const int64_t h = std::min<int64_t>(int64_t{a.y} + a.h, int64_t{b.y} + b.h) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// Keeps [start, start + length) inside [low, low + room) when it fits, moving it as little as possible.
int Shift(int start, int length, int low, int room) { return std::clamp(start, low, low + room - length); }

std::string TickKey(const std::string& window, const std::string& tick) { return window + "." + tick; }

} // namespace

TPlace PlaceOnScreens(const TPlace& place, const std::vector<TPlace>& screens) {
    if (screens.empty()) return place;
    int64_t covered = 0;
    std::size_t target = 0;
    int64_t best = 0;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const int64_t overlap = Overlap(place, screens[i]);
        covered += overlap;
        if (overlap > best) {
            best = overlap;
            target = i;
        }
    }
    if (covered >= int64_t{place.w} * place.h) return place;
    const TPlace& screen = screens[target];
    TPlace placed;
    placed.w = std::min(place.w, screen.w);
    placed.h = std::min(place.h, screen.h);
    placed.x = Shift(place.x, placed.w, screen.x, screen.w);
    placed.y = Shift(place.y, placed.h, screen.y, screen.h);
    return placed;
}

std::string PlaceText(const TPlace& place) {
    return std::to_string(place.x) + "," + std::to_string(place.y) + "," + std::to_string(place.w) + "," +
           std::to_string(place.h);
}

bool ParsePlace(std::string_view text, TPlace& place) {
    int values[4] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (at == end || *at++ != ',')) return false;
        const auto [next, ec] = std::from_chars(at, end, values[i]);
        if (ec != std::errc() || values[i] < -kMaxExtent || values[i] > kMaxExtent) return false;
        at = next;
    }
    if (at != end || values[2] <= 0 || values[3] <= 0) return false;
    place = {values[0], values[1], values[2], values[3]};
    return true;
}

bool ReadWindowPlace(const std::string& kivIni, const std::string& window, TPlace& place) {
    return ParsePlace(ReadIniString(kSection, window, "", kivIni), place);
}

bool WriteWindowPlace(const std::string& kivIni, const std::string& window, const TPlace& place) {
    return WriteIniString(kSection, window, PlaceText(place), kivIni);
}

bool ReadKeptTick(const std::string& kivIni, const std::string& window, const std::string& tick, bool& ticked) {
    const std::string value = ReadIniString(kSection, TickKey(window, tick), "", kivIni);
    if (!EqualsNoCase(value, BoolToText(true)) && !EqualsNoCase(value, BoolToText(false))) return false;
    ticked = EqualsNoCase(value, BoolToText(true));
    return true;
}

bool WriteKeptTick(const std::string& kivIni, const std::string& window, const std::string& tick, bool ticked) {
    return WriteIniString(kSection, TickKey(window, tick), BoolToText(ticked), kivIni);
}

} // namespace kiv

#pragma once
// Where the program's windows stand between runs. A window keeps its place in
// the [Windows] section of Kiv.ini as "<window>=x,y,w,h" (frame position and
// client size), and a tick it keeps as "<window>.<tick>=YES" or "NO".
// PlaceOnScreens brings a remembered place that no longer lies on the screens
// (a monitor unplugged, a smaller desktop) back onto one of them.
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct TPlace {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool operator==(const TPlace&) const = default;
};

// The place unchanged when the screens cover it wholly. Otherwise it moves
// into the screen it overlaps most (the first screen when it overlaps none),
// shrunk to that screen's size when it is larger, and shifted no further than
// needed. Without screens it stays as it is.
[[nodiscard]] TPlace PlaceOnScreens(const TPlace& place, const std::vector<TPlace>& screens);

// "x,y,w,h"; parsing wants four integers and a width and height above 0.
[[nodiscard]] std::string PlaceText(const TPlace& place);
[[nodiscard]] bool ParsePlace(std::string_view text, TPlace& place);

// False when the window has no readable place yet.
[[nodiscard]] bool ReadWindowPlace(const std::string& kivIni, const std::string& window, TPlace& place);
[[nodiscard]] bool WriteWindowPlace(const std::string& kivIni, const std::string& window, const TPlace& place);
// False when the tick was never kept.
[[nodiscard]] bool ReadKeptTick(const std::string& kivIni, const std::string& window, const std::string& tick,
                                bool& ticked);
[[nodiscard]] bool WriteKeptTick(const std::string& kivIni, const std::string& window, const std::string& tick,
                                 bool ticked);

} // namespace kiv

#pragma once
// Images of the station tree, drawn at run time: one per node kind and one
// per tick state. A tree row shows its tick box and its kind side by side in
// one icon; the group's selected image is the icon's Selected mode.
#include <QIcon>
#include <QPixmap>
#include <map>
#include <tuple>

namespace kiv {

constexpr int kNodeImageSize = 16;
constexpr int kNodeImageGap = 4;

[[nodiscard]] QPixmap KindPixmap(int kind);
[[nodiscard]] QPixmap TickPixmap(int tickState);
// The row icons: tick box (when shown) and kind image, made once per combination.
class TNodeIcons {
public:
    [[nodiscard]] const QIcon& Icon(int kind, int tickState, bool withTick);

private:
    std::map<std::tuple<int, int, bool>, QIcon> cache_;
};
// Width of the tick box part of a row icon, gap included.
[[nodiscard]] constexpr int TickAreaWidth() { return kNodeImageSize + kNodeImageGap; }

} // namespace kiv

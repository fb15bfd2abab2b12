#include "comm/progress.h"

#include <cstdio>

namespace kiv {

std::string FormatElapsed(int seconds) {
    if (seconds < 0)
        seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace kiv

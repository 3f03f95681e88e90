// What the X server shows of a window: a screenshot taken with ffmpeg's X grabber, for
// the tests that check the picture a child would see.
#pragma once

#include <optional>
#include <string>

#include "platform/wintypes.h"

namespace linux_test {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::string rgb;  // 3 bytes a pixel, rows top to bottom
    win::COLORREF At(int x, int y) const;
    // Pixels of the rectangle (clipped to the picture) for which `match` holds.
    template <typename Match>
    int Count(win::RECT r, Match match) const {
        int n = 0;
        for (int y = r.top < 0 ? 0 : r.top; y < r.bottom && y < height; ++y)
            for (int x = r.left < 0 ? 0 : r.left; x < r.right && x < width; ++x)
                n += match(At(x, y)) ? 1 : 0;
        return n;
    }
};

// The first window whose title matches `title` (an xdotool search pattern), as the X
// server shows it; nothing without a display, ffmpeg or such a window.
std::optional<Screenshot> GrabWindow(const std::string& title);

}  // namespace linux_test

// Small value types shared by the windowing core and its drivers.
#pragma once

#include <string>

#include <cstdint>

namespace winlib {

// Window handles are integers, as on Windows; 0 is no window.
using Handle = std::intptr_t;

struct Size {
    int width = 0, height = 0;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// A font by typeface and character height in pixels, normal weight; height 0 is the
// window's own font.
struct Font {
    std::string face;
    int height = 0;
};

}  // namespace winlib

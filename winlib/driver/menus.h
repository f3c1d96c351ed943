// The driver seam, menus. Coming with the server's tray menu: neither driver realises
// this call yet, and nothing calls it. Rules of the whole seam: winlib/driver/README.md.
// UI thread only.
#pragma once

#include <string>
#include <vector>

namespace winlib {
class Window;
}

namespace winlib::driver {

// Shows a pop-up menu of these prompts at a point of the screen (pixels), owned by the window, and
// waits for the user (processing messages meanwhile): the 1-based item chosen, 0 when
// the menu was dismissed. An empty prompt is a separator.
int popup_menu(Window& owner, const std::vector<std::string>& prompts, int x, int y);

}  // namespace winlib::driver

// The driver seam, the tray icon. Coming with the server window, which lives in the
// notification area: neither driver realises these calls yet, and nothing calls them. A
// right click on the icon will be reported to the core with its screen position.
// Rules of the whole seam: winlib/driver/README.md. UI thread only.
#pragma once

#include <string>

namespace winlib {
class Window;
}

namespace winlib::driver {

// Puts the window's icon into the notification area: an icon of the program's resources
// by name, and the tooltip shown over it.
void add_tray_icon(Window& window, const std::string& icon_name, const std::string& tooltip);
void remove_tray_icon(Window& window);

}  // namespace winlib::driver

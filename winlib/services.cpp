// The library's platform services: each passes to the one driver of the build.
#include "winlib/services.h"

#include "winlib/driver/controls.h"
#include "winlib/driver/services.h"

namespace winlib {

int message_box(const std::string& text, const std::string& caption, unsigned style) {
    return driver::message_box(driver::active_window(), text, caption, style);
}

Handle active_window() { return driver::active_window(); }

Handle focused_window() { return driver::focused_handle(); }

void enable_window(Handle window, bool enabled) { driver::enable_window(window, enabled); }

bool key_down(int virtual_key) { return driver::key_down(virtual_key); }

void beep(int frequency_hz, int duration_ms) { driver::beep(frequency_hz, duration_ms); }

std::string save_file_dialog(const std::string& filter, const std::string& title,
                             const std::string& initial_dir) {
    return driver::save_file_dialog(driver::active_window(), filter, title, initial_dir);
}

}  // namespace winlib

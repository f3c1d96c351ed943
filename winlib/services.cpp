// The library's platform services: each passes to the one driver of the build.
#include "winlib/services.h"

#include "winlib/carried.h"
#include "winlib/driver/controls.h"
#include "winlib/driver/services.h"

namespace winlib {

int message_box(const std::string& text, const std::string& caption, unsigned style) {
    const int answer = driver::message_box(driver::active_window(), text, caption, style);
    rethrow_carried();
    return answer;
}

Handle active_window() { return driver::active_window(); }

Handle focused_window() { return driver::focused_handle(); }

void enable_window(Handle window, bool enabled) { driver::enable_window(window, enabled); }

bool window_enabled(Handle window) { return driver::window_enabled(window); }

bool key_down(int virtual_key) { return driver::key_down(virtual_key); }

void beep(int frequency_hz, int duration_ms) { driver::beep(frequency_hz, duration_ms); }

std::string save_file_dialog(const std::string& filter, const std::string& title,
                             const std::string& initial_dir) {
    std::string chosen = driver::save_file_dialog(driver::active_window(), filter, title, initial_dir);
    rethrow_carried();
    return chosen;
}

int text_width(Handle window, const std::string& text) { return driver::text_width(window, text); }

void shell_open(const std::string& target, const std::string& parameters, int show_command) {
    driver::shell_open(target, parameters, show_command);
}

}  // namespace winlib

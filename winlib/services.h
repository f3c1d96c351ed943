// The platform's services as the library's callers use them, on the one driver of the
// build (winlib/driver/services.h has the contract in full). Message boxes and the save
// dialog belong to the active window.
#pragma once

#include <string>

#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace winlib {

// The system message box: style mb::, result id::.
int message_box(const std::string& text, const std::string& caption, unsigned style);
Handle active_window();
// The window (usually a control) that has the keyboard focus, or 0.
Handle focused_window();
void enable_window(Handle window, bool enabled);
// False while the window takes no input from the user (a window below a wait box).
bool window_enabled(Handle window);
// True while the key (vk::) is down.
bool key_down(int virtual_key);
void beep(int frequency_hz, int duration_ms);
std::string save_file_dialog(const std::string& filter, const std::string& title,
                             const std::string& initial_dir);
// The pixel width of a line of text on the window's display surface (the screen's for
// 0) in that surface's default font.
int text_width(Handle window, const std::string& text);
// The platform's "open" of a document, address (a mailto address) or program.
void shell_open(const std::string& target, const std::string& parameters = "",
                int show_command = sw::kShowNormal);

}  // namespace winlib

// The message pump and the services of the platform the library offers its callers.
#pragma once

#include <cstdint>
#include <string>

#include "winlib/types.h"

namespace winlib {

// Processes every pending message; false on a quit request. Never waits.
bool pump();
// Asks the program to end: the next pump() meets the request.
void post_quit(int exit_code);
// Waits at most this long for the next message or event (wait loops that must not spin).
void wait_event(int milliseconds);
std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam);
int message_box(const std::string& text, const std::string& caption, unsigned style);
Handle active_window();
// The window (usually a control) that has the keyboard focus, or 0.
Handle focused_window();
void enable_window(Handle window, bool enabled);
bool key_down(int virtual_key);
void beep(int frequency_hz, int duration_ms);
std::string save_file_dialog(const std::string& filter, const std::string& title,
                             const std::string& initial_dir);

}  // namespace winlib

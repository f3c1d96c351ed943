// The driver seam, system services: message box, active window, key state, beep, the
// save-file dialog, the shell's open. Rules of the whole seam: winlib/driver/README.md. UI thread only.
#pragma once

#include <string>

#include "winlib/types.h"

namespace winlib::driver {

// The system message box with Win32 style values (mb::) and results (id::).
int message_box(Handle owner, const std::string& text, const std::string& caption, unsigned style);
Handle active_window();
void enable_window(Handle window, bool enabled);
bool window_enabled(Handle window);
// True while the key (a virtual-key code, vk::) is down at the moment of the call.
bool key_down(int virtual_key);
void beep(int frequency_hz, int duration_ms);
// The save-file dialog: filter as pairs "shown|pattern|...", the folder must exist, no
// overwrite prompt, the process's current directory unchanged. The texts arrive within
// the host service's limits (filter 399, title and folder 255 bytes) and are used whole.
// The folder given and the path returned are Windows paths (runtime/path.h). "" on
// cancel or failure.
std::string save_file_dialog(Handle owner, const std::string& filter, const std::string& title,
                             const std::string& initial_dir);

// The pixel width of a line on the window's display surface (the screen's for 0) in the
// surface's default font (GetTextExtentPoint32 on the window's device context).
int text_width(Handle window, const std::string& text);
// The platform's "open" of a document, address or program, with no owner window and the
// default verb: ShellExecute on Windows; on Linux the desktop's opener, xdg-open, started
// apart from the program (the parameters and show command have no meaning there). The
// program goes on at once; whether the opener succeeds is not told.
void shell_open(const std::string& target, const std::string& parameters, int show_command);

}  // namespace winlib::driver

// The seam between the windowing library's portable core and one native driver
// (winlib/drivers/win32 or winlib/drivers/qt; CMake adds exactly one).
//
// A driver only realises native windows and translates native events into the core's
// vocabulary (integer handles, Win32 message numbers, virtual-key codes); every
// behaviour of the library (close rules, Cargo, the start hook, bound values) lives in
// the core. The driver reports native events through winlib/events.h.
//
// Threads: every function here runs on the user-interface thread, except
// send_message(), which any thread may call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "winlib/types.h"

namespace winlib {
class Window;
class Control;
}  // namespace winlib

namespace winlib::driver {

// --- windows ---------------------------------------------------------------------
// Realises the window and all its controls (those of its template, bound to the core's
// controls by id, and those the core created at run time), not yet visible. Gives the
// window its handle (Window::hWnd) and each control its handle. Dialog units of a
// template are turned into pixels for the template's font the way Windows does. A core
// control bound to a template control adds its nStyle bits (ES_UPPERCASE, ES_PASSWORD)
// to the template's and its nLimit; a disabled one (lEnabled false) starts disabled.
// Leaves hWnd 0 when the window cannot be made (no such template).
void create_window(Window& window);
// Shows the window centred on the screen; the window becomes active.
void show_window(Window& window);
// Runs a nested message loop until end_modal() was called for the window and the message
// being handled then has returned; the window is hidden and destroyed before it returns.
void run_modal(Window& window);
// Marks a modal window to end; run_modal() returns once the current message returns.
void end_modal(Window& window);
// Destroys a non-modal window.
void destroy_window(Window& window);
void set_caption(Window& window, const std::string& caption);
// The size of the client area in pixels.
Size client_size(const Window& window);
// Repaints the window, with or without erasing its background first.
void repaint(Window& window, bool erase);

// --- controls -------------------------------------------------------------------
void set_text(Control& control, const std::string& text);
std::string get_text(const Control& control);
// List boxes: replaces all items; selection is a 1-based position, 0 for none.
void set_items(Control& control, const std::vector<std::string>& items);
void select(Control& control, int position);
int selection(const Control& control);
void set_bounds(Control& control, Rect pixels);
void set_focus(Control& control);
void enable(Control& control, bool enabled);
// Multi-line edit: caret after the last character, last line scrolled into view.
void go_bottom(Control& control);
// The control that has the keyboard focus, or 0.
Handle focused_handle();

// --- messages -------------------------------------------------------------------
// Processes every pending message and returns at once on an empty queue; false when a
// quit request was met. As on Windows, the request is posted again only for a main
// message loop of the library; its windows run modal loops only, so it is consumed.
bool pump();
// Waits until a message or event is pending, or the time has passed; processes nothing.
void wait_event(int milliseconds);
// Sends a message to a window and blocks until the UI thread has handled it. From
// another thread the message is delivered only while the UI thread processes messages
// (pump(), a modal loop, a message box). Returns the window's answer (0 when none).
std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam);
void post_quit(int exit_code);

// --- system services -------------------------------------------------------------
// The system message box with Win32 style values (MB_*) and results (IDOK, IDYES, ...).
int message_box(Handle owner, const std::string& text, const std::string& caption, unsigned style);
Handle active_window();
void enable_window(Handle window, bool enabled);
// True while the key (a virtual-key code) is down at the moment of the call.
bool key_down(int virtual_key);
void beep(int frequency_hz, int duration_ms);
// The save-file dialog: filter as pairs "shown|pattern|...", the folder must exist, no
// overwrite prompt, the process's current directory unchanged. The folder given and the
// path returned are Windows paths (runtime/path.h). "" on cancel or failure.
std::string save_file_dialog(Handle owner, const std::string& filter, const std::string& title,
                             const std::string& initial_dir);

}  // namespace winlib::driver

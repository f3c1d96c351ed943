// The driver seam, windows: realising the core's windows and their controls natively.
// Rules of the whole seam: winlib/driver/README.md. UI thread only.
#pragma once

#include <string>

#include "winlib/types.h"

namespace winlib {
class Window;
class Control;
}

namespace winlib::driver {

// Realises the window and all its controls (those of its template, bound to the core's
// controls by id, and those the core created at run time), not yet visible. Gives the
// window its handle (Window::hWnd) and each control its handle. Dialog units of a
// template are turned into pixels for the template's font the way Windows does. Every
// control, from the template or from the core, is made from its window class and style
// (Control::Class(), Control::nStyle); a core control bound to a template control adds
// its nStyle bits (ES_UPPERCASE, ES_PASSWORD) to the template's and its nLimit; a
// disabled one (lEnabled false) starts disabled. Leaves hWnd 0 when the window cannot be
// made (no such template).
void create_window(Window& window);
// Shows the window centred on the screen; the window becomes active.
void show_window(Window& window);
// The system's mouse cursor (IDC_ number) over the window and its controls.
void set_cursor(Window& window, int system_cursor);
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
// The window's whole size (frame and title bar included where the platform draws them),
// and a new one, its place kept.
Size window_size(const Window& window);
void set_window_size(Window& window, Size size);
// Realises a page of a folder: a child window of the window that holds the folder (its
// template or, built at run time, an empty one), with its controls as create_window()
// makes them, placed over the folder's display area, hidden, above the folder.
void create_page(Window& page, const Control& folder);
// Shows or hides a page (only one page of a folder shows at a time).
void show_page(Window& page, bool shown);
// Repaints the window, with or without erasing its background first.
void repaint(Window& window, bool erase);

}  // namespace winlib::driver

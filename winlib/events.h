// What a driver tells the core about native events. Each runs on the UI thread, from
// inside the driver's message processing; the core decides what they mean.
#pragma once

#include <cstdint>

#include "winlib/types.h"

namespace winlib {
class Window;
class Control;
}  // namespace winlib

namespace winlib::events {

// A push button was pressed.
void command(Window& window, int control_id);
// The user asked the window to close (Esc, the close box, Alt+F4).
void close_request(Window& window);
// A paint of the window has finished (drivers report it after painting, outside the
// native paint handler when the toolkit forbids nested loops there).
void painted(Window& window);
// The client area now has this size.
void resized(Window& window, Size client);
// The user changed an edit's text or a list box's selection.
void changed(Control& control);
// A control got the keyboard focus.
void focus_gained(Control& control);
// A control lost the keyboard focus.
void focus_lost(Control& control);
// Any other message sent or posted to the window (the arrival notification msg::kCommNotify).
std::intptr_t message(Window& window, unsigned message, std::uintptr_t wparam,
                      std::intptr_t lparam);

}  // namespace winlib::events

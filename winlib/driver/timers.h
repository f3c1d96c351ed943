// The driver seam, timers. Coming with the server window, which polls for command files:
// neither driver realises these calls yet, and nothing calls them. Each tick will be
// reported to the core on the UI thread, from the driver's message processing like any
// other message, so a tick runs only while the program pumps or waits in a modal loop.
// Rules of the whole seam: winlib/driver/README.md. UI thread only.
#pragma once

namespace winlib {
class Window;
}

namespace winlib::driver {

// Starts (or restarts) the window's timer of this id, ticking every so many milliseconds.
void start_timer(Window& window, int timer_id, int milliseconds);
void stop_timer(Window& window, int timer_id);

}  // namespace winlib::driver

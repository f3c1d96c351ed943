// The host services that go through the windowing layer: the message pump, the key state
// and the save dialog, and the window link the port layer's notifications travel by.
#pragma once

#include <string>

#include "runtime/value.h"
#include "serial/window_link.h"

namespace serial {

// Processes every waiting message without waiting; false when a quit message was met.
bool SYSREFRESH();

// True while the key is down at the moment of the call.
bool GETASYNCKEYSTATE(int virtual_key);

// The save dialog, as the application uses it: the filter ("shown|pattern" pairs, at most
// 399 bytes), the title and the initial directory (at most 255 bytes each). The path
// chosen, or empty on cancel or failure. The first-filter number is accepted; the dialog
// shows the first filter.
std::string CGETFILE(const std::string& filter, const std::string& title,
                     const runtime::Value& first_filter, const std::string& initial_dir);

// The windowing layer's synchronous send and its delivery while waiting, for
// set_window_link() at start-up.
WindowLink winlib_window_link();

}  // namespace serial

// The message pump as the library's callers use it, on the one driver of the build
// (winlib/driver/messages.h has the contract in full).
#pragma once

#include <cstdint>

#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace winlib {

// Processes every pending message; false on a quit request. Never waits.
bool pump();
// Asks the program to end: the next pump() meets the request.
void post_quit(int exit_code);
// Waits at most this long for the next message or event (wait loops that must not spin).
void wait_event(int milliseconds);
// Sends a message (msg::) and waits for the window's answer; any thread may call it.
std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam);
// Posts a keyboard message (msg::kChar, msg::kKeyDown) to a window, handled by the next
// processing of messages as if typed there, or the focus message (msg::kSetFocus): the
// window takes the keyboard focus then. UI thread only.
void post_message(Handle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

}  // namespace winlib

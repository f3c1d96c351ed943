// The driver seam, messages: the pump, the bounded wait and the synchronous send.
// Rules of the whole seam: winlib/driver/README.md. UI thread only, except
// send_message(), which any thread may call.
#pragma once

#include <cstdint>

#include "winlib/types.h"

namespace winlib::driver {

// Processes every pending message and returns at once on an empty queue; false when a
// quit request was met. As on Windows, the request is posted again only for a main
// message loop of the library; its windows run modal loops only, so it is consumed.
bool pump();
// Waits until a message or event is pending, or the time has passed; processes nothing.
void wait_event(int milliseconds);
// Sends a message (a Win32 number, winlib/vocabulary.h) to a window and blocks until the
// UI thread has handled it; the core answers it (events::message). From another thread
// the message is delivered only while the UI thread processes messages (pump(), a modal
// loop, a message box). Returns the window's answer (0 when none).
std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam);
void post_quit(int exit_code);
// Posts a keyboard message (msg::kChar with the character, msg::kKeyDown with the virtual
// key) to a window or control, to be handled when messages are next processed, as typed
// there. It does not change what key_down() reports. UI thread only.
void post_message(Handle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

}  // namespace winlib::driver

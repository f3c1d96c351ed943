// How the port layer reaches the user-interface thread: a synchronous message to one of
// its windows (the arrival notification), and, for a thread that must wait for a reader
// thread which may be blocked in such a message, a way to deliver it meanwhile.
//
// The program installs the windowing layer's pair once at start-up;
// until a link is installed ports send no notification. The pair is read by every
// OPENCOMM, so install it before the first port is opened.
#pragma once

#include <cstdint>

#include "winlib/types.h"

namespace serial {

struct WindowLink {
    // Sends the message to the window and returns once the window has handled it.
    // Called from a reader thread.
    std::intptr_t (*send)(winlib::Handle window, unsigned message, std::uintptr_t wparam,
                          std::intptr_t lparam) = nullptr;
    // Delivers what other threads are sending to this thread, waiting at most the given
    // time for something to arrive. Called from the user-interface thread.
    void (*serve)(int milliseconds) = nullptr;
};

// User-interface thread only, before ports are opened.
void set_window_link(WindowLink link);
WindowLink window_link();

}  // namespace serial

// A user-interface thread's message delivery without a GUI, for the port tests: a reader
// thread's send() waits until the test thread's serve() has run the handler for it, just
// as a window message sent from another thread waits for the window's thread.
#pragma once

#include <cstdint>
#include <functional>

#include "serial/window_link.h"

namespace serial::test {

struct Message {
    winlib::Handle window;
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
};

using Handler = std::function<void(const Message&)>;

// Installs the queue as the layer's window link with this handler; the test thread is
// the user-interface thread.
void install_ui_queue(Handler handler);
// Messages sent and not yet handled.
int pending_messages();
// Serves until the condition holds (checked between deliveries).
void serve_until(const std::function<bool()>& done);
// The same for at most the given time; whether the condition came to hold.
bool serve_until(const std::function<bool()>& done, int milliseconds);
// Serves for the given time.
void serve_for(int milliseconds);
// Waits without serving.
void sleep_for(int milliseconds);

}  // namespace serial::test

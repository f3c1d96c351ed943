// The library's message pump: each call passes to the one driver of the build.
#include "winlib/messages.h"

#include "winlib/carried.h"
#include "winlib/driver/messages.h"

namespace winlib {

bool pump() {
    const bool going_on = driver::pump();
    rethrow_carried();
    return going_on;
}

void post_quit(int exit_code) { driver::post_quit(exit_code); }

void wait_event(int milliseconds) { driver::wait_event(milliseconds); }

std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam) {
    return driver::send_message(window, message, wparam, lparam);
}

void post_message(Handle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    driver::post_message(window, message, wparam, lparam);
}

}  // namespace winlib

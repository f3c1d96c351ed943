// The message pump of the Win32 driver. Messages sent from other threads (the port's
// arrival notification) are delivered by Windows itself while this thread reads its
// queue: inside PeekMessage here, GetMessage in a modal loop, or a message box's loop.
#include "winlib/driver/messages.h"

#include <string>

#include "winlib/drivers/win32/native.h"

namespace winlib::driver {

bool pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The library runs modal loops only, no main loop to leave the request for.
        if (msg.message == WM_QUIT) return false;
        win32::dispatch(msg);
    }
    return true;
}

void wait_event(int milliseconds) {
    // QS_ALLINPUT includes QS_SENDMESSAGE: a message another thread sends wakes the wait.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
}

std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam) {
    return SendMessageW(win32::to_hwnd(window), message, wparam, lparam);
}

void post_quit(int exit_code) { PostQuitMessage(exit_code); }

void post_message(Handle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    // A character is a Windows-1252 byte in the program; the wide window takes UTF-16.
    if (message == WM_CHAR) {
        const std::wstring character = win32::wide(std::string(1, static_cast<char>(wparam)));
        wparam = character.empty() ? 0 : character.front();
    }
    PostMessageW(win32::to_hwnd(window), message, wparam, lparam);
}

}  // namespace winlib::driver

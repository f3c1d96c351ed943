// The core's answers to what a driver reports. Each runs the program's callbacks guarded
// (winlib/carried.h): nothing they throw goes back into the driver.
#include "winlib/events.h"

#include "winlib/carried.h"
#include "winlib/control.h"
#include "winlib/driver/controls.h"
#include "winlib/vocabulary.h"
#include "winlib/window.h"

namespace winlib::events {

void command(Window& window, int control_id) {
    guarded([&] {
        if (const auto control = window.control_by_id(control_id)) {
            control->on_command();
        } else if (control_id == id::kCancel) {
            window.End(id::kCancel);  // IDCANCEL with no button of that id: Esc on Windows
        }
    });
}

void close_request(Window& window) {
    guarded([&] { window.End(id::kCancel); });
}

void painted(Window& window) {
    if (!window.bStart) return;
    // Cleared before it runs: a paint during the hook (it pumps messages) must not rerun it.
    const auto hook = std::move(window.bStart);
    window.bStart = nullptr;
    const auto keep = window.shared_from_this();
    guarded(hook);
}

void resized(Window& window, Size client) {
    if (window.oClient && window.oClient->hWnd != 0)
        driver::set_bounds(*window.oClient, {0, 0, client.width, client.height});
}

void changed(Control& control) {
    guarded([&] { control.on_changed(); });
}

void focus_gained(Control& control) {
    if (control.oWnd != nullptr) control.oWnd->hCtlFocus = control.hWnd;
}

void focus_lost(Control& control) {
    guarded([&] { control.on_focus_lost(); });
}

std::intptr_t message(Window& window, unsigned message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
    if (message == msg::kCommNotify) guarded([&] { window.CommNotify(wparam, lparam); });
    return 0;
}

}  // namespace winlib::events

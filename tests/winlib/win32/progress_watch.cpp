// The Win32 bar watched through a hook on this thread's window procedures: after each
// progress message the bar has handled, its range and position are read back from it.
#include "tests/winlib/progress_watch.h"

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

namespace winlib::testing {
namespace {

HWND watched = nullptr;
std::vector<ProgressShown>* shown = nullptr;
int last_position = 0;

LRESULT CALLBACK after_message(int code, WPARAM wparam, LPARAM lparam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (code == HC_ACTION && call->hwnd == watched &&
        (call->message == PBM_SETPOS || call->message == PBM_SETRANGE32 ||
         call->message == PBM_SETRANGE || call->message == PBM_DELTAPOS ||
         call->message == PBM_STEPIT)) {
        PBRANGE range{};
        SendMessageW(watched, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        const int position = static_cast<int>(SendMessageW(watched, PBM_GETPOS, 0, 0));
        if (position != last_position) shown->push_back({range.iLow, range.iHigh, position});
        last_position = position;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

std::vector<ProgressShown> watch_progress(const TProgress& bar, const std::function<void()>& work) {
    std::vector<ProgressShown> result;
    watched = reinterpret_cast<HWND>(bar.hWnd);
    shown = &result;
    last_position = static_cast<int>(SendMessageW(watched, PBM_GETPOS, 0, 0));
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, after_message, nullptr, GetCurrentThreadId());
    work();
    UnhookWindowsHookEx(hook);
    watched = nullptr;
    shown = nullptr;
    return result;
}

}  // namespace winlib::testing

// Windows of the Win32 driver. Every window is a native dialog, so that the dialog
// manager gives it the keyboard interface of Windows dialogs (Tab, Enter, Esc as IDCANCEL):
// a named template of the program's resources, or for a window built at run time an
// empty in-memory template sized in pixels afterwards.
//
// Sections: the dialog procedure (native events to the core's events), creation,
// the modal loop, the rest of the window calls.
#include "winlib/driver/windows.h"

#include <cstdint>
#include <vector>

#include "winlib/control.h"
#include "winlib/driver/controls.h"
// commctrl.h needs windows.h (through native.h) first.
// clang-format off
#include "winlib/drivers/win32/native.h"
#include <commctrl.h>
// clang-format on
#include "winlib/events.h"
#include "winlib/vocabulary.h"
#include "winlib/window.h"

namespace winlib::win32 {
namespace {

constexpr wchar_t kWindowProp[] = L"velkan.window";
constexpr wchar_t kEndingProp[] = L"velkan.ending";
constexpr wchar_t kCursorProp[] = L"velkan.cursor";

// Style value 0: overlapped, with title bar and border, no system menu and so no close box.
constexpr DWORD kPlainStyle = WS_OVERLAPPED | WS_CAPTION;

Control* control_of(Window& window, HWND child) {
    for (const auto& control : window.aControls) {
        if (to_hwnd(control->hWnd) == child) return control.get();
    }
    return nullptr;
}

void on_command(Window& window, WPARAM wparam, LPARAM lparam) {
    const int id = LOWORD(wparam);
    const unsigned code = HIWORD(wparam);
    const auto child = reinterpret_cast<HWND>(lparam);
    if (child == nullptr) {
        // From the dialog manager: Esc is IDCANCEL when no control of that id exists.
        if (id == IDCANCEL) {
            events::close_request(window);
        } else {
            events::command(window, id);
        }
        return;
    }
    Control* control = control_of(window, child);
    if (is_class(child, L"Button")) {
        if (code == BN_CLICKED) events::command(window, id);
        if (control == nullptr) return;
        if (code == BN_SETFOCUS) events::focus_gained(*control);
        if (code == BN_KILLFOCUS) events::focus_lost(*control);
    } else if (is_class(child, L"Edit")) {
        if (control == nullptr) return;
        if (code == EN_CHANGE && !setting_text()) events::changed(*control);
        if (code == EN_SETFOCUS) events::focus_gained(*control);
        if (code == EN_KILLFOCUS) events::focus_lost(*control);
    } else if (is_class(child, L"ListBox")) {
        if (control == nullptr) return;
        if (code == LBN_SELCHANGE) events::changed(*control);
        if (code == LBN_SETFOCUS) events::focus_gained(*control);
        if (code == LBN_KILLFOCUS) events::focus_lost(*control);
    } else if (is_class(child, L"ComboBox")) {
        if (control == nullptr) return;
        if (code == CBN_SELCHANGE || (code == CBN_EDITCHANGE && !setting_text()))
            events::changed(*control);
        if (code == CBN_SETFOCUS) events::focus_gained(*control);
        if (code == CBN_KILLFOCUS) events::focus_lost(*control);
    }
}

// Messages whose answer belongs to the core: the arrival notification and the
// application's own numbers (above the dialog manager's DM_* messages).
bool answer_is_ours(UINT message) {
    return message == msg::kCommNotify || (message > DM_REPOSITION && message < 0xC000);
}

INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetPropW(hwnd, kWindowProp, reinterpret_cast<HANDLE>(lparam));
        return TRUE;
    }
    Window* window = window_of(hwnd);
    if (window == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            on_command(*window, wparam, lparam);
            return TRUE;
        case WM_NOTIFY: {
            // A folder's tab chosen by the user.
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->code != TCN_SELCHANGE) return FALSE;
            if (Control* control = control_of(*window, header->hwndFrom)) events::changed(*control);
            return TRUE;
        }
        case WM_CLOSE:
            events::close_request(*window);
            return TRUE;
        case WM_SIZE:
            events::resized(*window, {LOWORD(lparam), HIWORD(lparam)});
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            EndPaint(hwnd, &paint);
            // After painting: the start hook may run a long nested loop from here.
            events::painted(*window);
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            // A dialog procedure answers these with the brush itself.
            const Control* control = control_of(*window, reinterpret_cast<HWND>(lparam));
            return control == nullptr
                       ? FALSE
                       : control_colours(*control, message, reinterpret_cast<HDC>(wparam));
        }
        case WM_SETCURSOR:
            // The window's own cursor over it and its controls (set_cursor).
            if (HANDLE cursor = GetPropW(hwnd, kCursorProp)) {
                SetCursor(static_cast<HCURSOR>(cursor));
                SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kWindowProp);
            RemovePropW(hwnd, kEndingProp);
            RemovePropW(hwnd, kCursorProp);
            return FALSE;
        default: {
            const std::intptr_t answer = events::message(*window, message, wparam, lparam);
            if (!answer_is_ours(message)) return FALSE;
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer);
            return TRUE;
        }
    }
}

// An in-memory template with no controls: style, position, size (dialog units, fixed up
// in pixels after creation), no menu, the default class, an empty title and the font.
std::vector<WORD> runtime_template(DWORD style) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = style | DS_SETFONT;
    words.insert(words.end(), {0, 0, 0, 8});  // menu, class, title, point size
    for (const wchar_t* c = L"MS Shell Dlg"; *c != 0; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

HWND create_native(Window& window, HWND owner) {
    register_common_controls();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto param = reinterpret_cast<LPARAM>(&window);
    if (!window.cResName.empty()) {
        return CreateDialogParamW(instance, wide(window.cResName).c_str(), owner, dialog_proc,
                                  param);
    }
    const DWORD style = window.nStyle == 0 ? kPlainStyle : window.nStyle;
    std::vector<WORD> words = runtime_template(style & ~WS_VISIBLE);
    HWND hwnd = CreateDialogIndirectParamW(
        instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner, dialog_proc, param);
    if (hwnd != nullptr) {
        SetWindowPos(hwnd, nullptr, 0, 0, window.nWidth, window.nHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hwnd;
}

bool ending(HWND hwnd) { return GetPropW(hwnd, kEndingProp) != nullptr; }

}  // namespace

Window* window_of(HWND hwnd) { return static_cast<Window*>(GetPropW(hwnd, kWindowProp)); }

void dispatch(MSG& msg) {
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && window_of(root) != nullptr && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace winlib::win32

namespace winlib::driver {

using win32::to_handle;
using win32::to_hwnd;

void create_window(Window& window) {
    HWND hwnd = win32::create_native(window, GetActiveWindow());
    if (hwnd == nullptr) return;
    window.hWnd = to_handle(hwnd);
    if (!window.cCaption.empty()) SetWindowTextW(hwnd, win32::wide(window.cCaption).c_str());
    for (const auto& control : window.aControls) win32::realise_control(hwnd, *control);
}

void create_page(Window& page, const Control& folder) {
    HWND holder = GetParent(to_hwnd(folder.hWnd));
    HWND hwnd = win32::create_native(page, holder);
    if (hwnd == nullptr) return;
    page.hWnd = to_handle(hwnd);
    for (const auto& control : page.aControls) win32::realise_control(hwnd, *control);
    const Rect area = page_area(folder);
    // Above the tab control in the holder's order, so the page is drawn over it.
    SetWindowPos(hwnd, HWND_TOP, area.x, area.y, area.width, area.height, SWP_NOACTIVATE);
}

void show_page(Window& page, bool shown) {
    ShowWindow(to_hwnd(page.hWnd), shown ? SW_SHOWNA : SW_HIDE);
}

void show_window(Window& window) {
    HWND hwnd = to_hwnd(window.hWnd);
    RECT frame{};
    RECT work{};
    GetWindowRect(hwnd, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    // The dialog manager selected the focused edit's text at creation, before the core
    // gave the controls their texts (which drops the selection): select it again, so that
    // typing replaces it.
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        SendMessageW(focus, EM_SETSEL, 0, -1);
    }
}

void set_cursor(Window& window, int system_cursor) {
    HCURSOR cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(system_cursor));
    SetPropW(to_hwnd(window.hWnd), win32::kCursorProp, cursor);
}

void run_modal(Window& window) {
    HWND hwnd = to_hwnd(window.hWnd);
    if (hwnd == nullptr) return;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    const bool disable_owner = owner != nullptr && IsWindowEnabled(owner);
    if (disable_owner) EnableWindow(owner, FALSE);
    if (!win32::ending(hwnd) && !IsWindowVisible(hwnd)) show_window(window);
    // The end mark is looked at only between messages: a window asked to end from inside
    // a message (the start hook's transfer inside the first paint) ends when it returns.
    MSG msg;
    while (IsWindow(hwnd) && !win32::ending(hwnd)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        win32::dispatch(msg);
    }
    // The owner is enabled again first, so that it becomes active when the dialog goes.
    if (disable_owner) EnableWindow(owner, TRUE);
    if (IsWindow(hwnd)) {
        ShowWindow(hwnd, SW_HIDE);
        DestroyWindow(hwnd);
    }
}

void end_modal(Window& window) {
    HWND hwnd = to_hwnd(window.hWnd);
    if (hwnd == nullptr) return;
    SetPropW(hwnd, win32::kEndingProp, reinterpret_cast<HANDLE>(1));
    // Wakes the modal loop when the request came from a message sent by another thread,
    // which GetMessage handles without returning.
    PostMessageW(hwnd, WM_NULL, 0, 0);
}

void destroy_window(Window& window) {
    HWND hwnd = to_hwnd(window.hWnd);
    if (hwnd != nullptr && IsWindow(hwnd)) DestroyWindow(hwnd);
}

void set_caption(Window& window, const std::string& caption) {
    SetWindowTextW(to_hwnd(window.hWnd), win32::wide(caption).c_str());
}

Size window_size(const Window& window) {
    RECT frame{};
    GetWindowRect(to_hwnd(window.hWnd), &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void set_window_size(Window& window, Size size) {
    SetWindowPos(to_hwnd(window.hWnd), nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size client_size(const Window& window) {
    RECT client{};
    GetClientRect(to_hwnd(window.hWnd), &client);
    return {client.right - client.left, client.bottom - client.top};
}

void repaint(Window& window, bool erase) {
    RedrawWindow(to_hwnd(window.hWnd), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | (erase ? RDW_ERASE : 0));
}

}  // namespace winlib::driver

// Controls of the Win32 driver: the dialog manager makes a template's controls and the
// core's are bound to them by id; a control built at run time is made from its window
// class and style the same way (Win32 style values throughout).
#include "winlib/driver/controls.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "winlib/control.h"
// commctrl.h needs windows.h (through native.h) first.
// clang-format off
#include "winlib/drivers/win32/native.h"
#include <commctrl.h>
// clang-format on

namespace winlib::win32 {
namespace {

HWND create_child(HWND dialog, const Control& control) {
    HWND hwnd =
        CreateWindowExW(0, wide(control.Class().window_class).c_str(), L"", control.nStyle,
                        control.rect.x, control.rect.y, control.rect.width, control.rect.height,
                        dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.nId)),
                        GetModuleHandleW(nullptr), nullptr);
    if (hwnd != nullptr) {
        auto font = static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        if (font == 0) font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageW(hwnd, WM_SETFONT, font, FALSE);
    }
    return hwnd;
}

// A template's edit takes the variants the core asks for.
void apply_edit_style(HWND hwnd, unsigned style) {
    if (style & es::kUppercase) {
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | ES_UPPERCASE);
    }
    if (style & es::kPassword) SendMessageW(hwnd, EM_SETPASSWORDCHAR, L'*', 0);
}

COLORREF colour(long value) { return static_cast<COLORREF>(value); }

// One brush per colour, made on first use and kept: a dialog shows few colours.
HBRUSH brush(long value) {
    static std::map<long, HBRUSH> made;
    HBRUSH& handle = made[value];
    if (handle == nullptr) handle = CreateSolidBrush(colour(value));
    return handle;
}

}  // namespace

void register_common_controls() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
}

INT_PTR control_colours(const Control& control, UINT message, HDC dc) {
    if (control.nClrText == Control::kSystemColour && control.nClrPane == Control::kSystemColour)
        return 0;
    // The platform's own colours where the control keeps them: an edit's or a list's
    // window colours, a static's or a button's dialog face.
    const bool window_like = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    const int text_system = window_like ? COLOR_WINDOWTEXT : COLOR_BTNTEXT;
    const int pane_system = window_like ? COLOR_WINDOW : COLOR_BTNFACE;
    SetTextColor(dc, control.nClrText == Control::kSystemColour ? GetSysColor(text_system)
                                                                : colour(control.nClrText));
    if (control.nClrPane == Control::kSystemColour) {
        SetBkColor(dc, GetSysColor(pane_system));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(pane_system));
    }
    SetBkColor(dc, colour(control.nClrPane));
    return reinterpret_cast<INT_PTR>(brush(control.nClrPane));
}

void realise_control(HWND dialog, Control& control) {
    HWND hwnd =
        control.lFromResource ? GetDlgItem(dialog, control.nId) : create_child(dialog, control);
    if (hwnd == nullptr) return;
    control.hWnd = to_handle(hwnd);
    // A button tells its dialog when it gains or loses the focus only with BS_NOTIFY, which
    // the edits, lists and combo boxes need not ask for: hCtlFocus follows every control.
    if (is_class(hwnd, L"Button")) {
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | BS_NOTIFY);
    }
    if (is_class(hwnd, L"Edit")) {
        if (control.lFromResource) apply_edit_style(hwnd, control.nStyle);
        if (control.nLimit > 0) SendMessageW(hwnd, EM_LIMITTEXT, control.nLimit, 0);
    }
    if (!control.cText.empty()) {
        SettingText guard;
        SetWindowTextW(hwnd, wide(control.cText).c_str());
    }
    if (!control.lEnabled) EnableWindow(hwnd, FALSE);
}

}  // namespace winlib::win32

namespace winlib::driver {

using win32::to_handle;
using win32::to_hwnd;

namespace {
std::string list_item(HWND hwnd, LRESULT index) {
    const LRESULT length = SendMessageW(hwnd, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return win32::narrow(text);
}
}  // namespace

void set_text(Control& control, const std::string& text) {
    win32::SettingText guard;
    SetWindowTextW(to_hwnd(control.hWnd), win32::wide(text).c_str());
}

// A list box's text is its selected item, as the user sees it.
std::string get_text(const Control& control) {
    HWND hwnd = to_hwnd(control.hWnd);
    if (hwnd == nullptr) return {};
    if (win32::is_class(hwnd, L"ListBox"))
        return list_item(hwnd, SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(copied));
    return win32::narrow(text);
}

namespace {
// The messages of a list: a list box's, a combo box's or a tab control's.
struct ListMessages {
    UINT reset, insert, set_selection, get_selection;
};
ListMessages list_messages(HWND hwnd) {
    if (win32::is_class(hwnd, L"ComboBox"))
        return {CB_RESETCONTENT, CB_INSERTSTRING, CB_SETCURSEL, CB_GETCURSEL};
    if (win32::is_class(hwnd, WC_TABCONTROLW))
        return {TCM_DELETEALLITEMS, TCM_INSERTITEMW, TCM_SETCURSEL, TCM_GETCURSEL};
    return {LB_RESETCONTENT, LB_INSERTSTRING, LB_SETCURSEL, LB_GETCURSEL};
}
}  // namespace

void set_items(Control& control, const std::vector<std::string>& items) {
    HWND hwnd = to_hwnd(control.hWnd);
    const ListMessages list = list_messages(hwnd);
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd, list.reset, 0, 0);
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::wstring text = win32::wide(items[i]);
        if (list.insert == TCM_INSERTITEMW) {
            TCITEMW tab{};
            tab.mask = TCIF_TEXT;
            tab.pszText = text.data();
            SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
        } else {
            // Inserted at the end: the list keeps the caller's order even if the box sorts.
            SendMessageW(hwnd, list.insert, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void select(Control& control, int position) {
    HWND hwnd = to_hwnd(control.hWnd);
    SendMessageW(hwnd, list_messages(hwnd).set_selection, static_cast<WPARAM>(position - 1), 0);
}

void set_font(Control& control, const Font& font) {
    // Made once per face and height, and kept for the rest of the run: few are asked for.
    static std::map<std::pair<std::string, int>, HFONT> made;
    HFONT& handle = made[{font.face, font.height}];
    if (handle == nullptr) {
        handle = CreateFontW(font.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, win32::wide(font.face).c_str());
    }
    SendMessageW(to_hwnd(control.hWnd), WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void set_system_icon(Control& control, int id) {
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(id));
    SendMessageW(to_hwnd(control.hWnd), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void set_colours(Control& control) { InvalidateRect(to_hwnd(control.hWnd), nullptr, TRUE); }

void repaint_control(Control& control, bool erase) {
    RedrawWindow(to_hwnd(control.hWnd), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | (erase ? RDW_ERASE : 0));
}

void show_control(Control& control, bool shown) {
    ShowWindow(to_hwnd(control.hWnd), shown ? SW_SHOW : SW_HIDE);
}

bool control_shown(const Control& control) {
    return (GetWindowLongW(to_hwnd(control.hWnd), GWL_STYLE) & WS_VISIBLE) != 0;
}

// A bitmap button's bitmap, or an image control's (a static with SS_BITMAP).
void set_bitmap(Control& control, const std::string& name) {
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), win32::wide(name).c_str());
    HWND hwnd = to_hwnd(control.hWnd);
    SendMessageW(hwnd, win32::is_class(hwnd, L"Static") ? STM_SETIMAGE : BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(bitmap));
}

void set_progress_range(Control& control, int min, int max) {
    SendMessageW(to_hwnd(control.hWnd), PBM_SETRANGE32, static_cast<WPARAM>(min),
                 static_cast<LPARAM>(max));
}

void set_progress_position(Control& control, int position) {
    SendMessageW(to_hwnd(control.hWnd), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int selection(const Control& control) {
    HWND hwnd = to_hwnd(control.hWnd);
    const LRESULT index = SendMessageW(hwnd, list_messages(hwnd).get_selection, 0, 0);
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

void set_bounds(Control& control, Rect pixels) {
    MoveWindow(to_hwnd(control.hWnd), pixels.x, pixels.y, pixels.width, pixels.height, TRUE);
}

void set_focus(Control& control) { SetFocus(to_hwnd(control.hWnd)); }

void enable(Control& control, bool enabled) {
    EnableWindow(to_hwnd(control.hWnd), enabled ? TRUE : FALSE);
}

void go_bottom(Control& control) {
    HWND hwnd = to_hwnd(control.hWnd);
    const int length = GetWindowTextLengthW(hwnd);
    SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

Handle focused_handle() { return to_handle(GetFocus()); }

bool owns(const Control& control, Handle handle) {
    return handle == control.hWnd || IsChild(to_hwnd(control.hWnd), to_hwnd(handle)) != FALSE;
}

std::intptr_t control_message(Control& control, unsigned message, std::uintptr_t wparam,
                              std::intptr_t lparam) {
    return SendMessageW(to_hwnd(control.hWnd), message, wparam, lparam);
}

void set_checked(Control& control, bool checked) {
    SendMessageW(to_hwnd(control.hWnd), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool checked(const Control& control) {
    return SendMessageW(to_hwnd(control.hWnd), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Rect page_area(const Control& folder) {
    HWND tab = to_hwnd(folder.hWnd);
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tab, GetParent(tab), reinterpret_cast<POINT*>(&area), 2);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

}  // namespace winlib::driver

// What the Win32 driver's files share: handle and text conversion at the driver's edge,
// window classes, and the window record kept on each native dialog. Private to
// winlib/drivers/win32 (its Qt counterpart is winlib/drivers/qt/native.h).
#pragma once

#include <windows.h>

#include "runtime/win32/wide_text.h"
#include "winlib/types.h"

namespace winlib {
class Window;
class Control;
}  // namespace winlib

namespace winlib::win32 {

inline HWND to_hwnd(Handle handle) { return reinterpret_cast<HWND>(handle); }
inline Handle to_handle(HWND hwnd) { return reinterpret_cast<Handle>(hwnd); }

using runtime::narrow;
using runtime::wide;

// True when the native window is of this window class (compared without regard to case).
bool is_class(HWND hwnd, const wchar_t* window_class);

// The core's window realised by a native dialog of this driver, or nullptr.
Window* window_of(HWND hwnd);

// Makes the common controls' window classes (progress bar, tab control) known, once,
// before a template or the core uses them.
void register_common_controls();

// Realises one control of a window whose native dialog exists.
void realise_control(HWND dialog, Control& control);
// The answer to a WM_CTLCOLOR* message for a control with colours of its own: the
// device context set up and the background brush; 0 leaves the platform's colours.
INT_PTR control_colours(const Control& control, UINT message, HDC dc);

// True while the driver itself changes a control's text: the edit's change notification
// that follows is not the user's doing and is not reported.
bool setting_text();

class SettingText {
public:
    SettingText();
    ~SettingText();
    SettingText(const SettingText&) = delete;
    SettingText& operator=(const SettingText&) = delete;
};

// Hands one retrieved message to the keyboard handling of the dialog it belongs to, or
// translates and dispatches it.
void dispatch(MSG& msg);

}  // namespace winlib::win32

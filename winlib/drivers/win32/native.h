// What the Win32 driver's files share: handle and text conversion at the driver's edge,
// and the window record kept on each native dialog. Private to winlib/drivers/win32.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "winlib/types.h"

namespace winlib {
class Window;
class Control;
}  // namespace winlib

namespace winlib::win32 {

inline HWND to_hwnd(Handle handle) { return reinterpret_cast<HWND>(handle); }
inline Handle to_handle(HWND hwnd) { return reinterpret_cast<Handle>(hwnd); }

// Program text (Windows-1252 bytes) to and from the wide text of the W calls.
std::wstring wide(std::string_view text);
std::string narrow(std::wstring_view text);

// The core's window realised by a native dialog of this driver, or nullptr.
Window* window_of(HWND hwnd);

// Realises one control of a window whose native dialog exists.
void realise_control(HWND dialog, Control& control);

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

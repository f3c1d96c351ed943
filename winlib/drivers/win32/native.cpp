// What the Win32 driver's files share (native.h): window classes and the guard of the
// driver's own text changes.
#include "winlib/drivers/win32/native.h"

#include <array>

namespace winlib::win32 {

bool is_class(HWND hwnd, const wchar_t* window_class) {
    std::array<wchar_t, 32> name{};
    GetClassNameW(hwnd, name.data(), static_cast<int>(name.size()));
    return lstrcmpiW(name.data(), window_class) == 0;
}

namespace {
int setting_text_depth = 0;  // UI thread only
}

bool setting_text() { return setting_text_depth > 0; }
SettingText::SettingText() { ++setting_text_depth; }
SettingText::~SettingText() { --setting_text_depth; }

}  // namespace winlib::win32

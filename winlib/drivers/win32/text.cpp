// Text at the driver's edge: explicit 1252 tables, never the system's ANSI code page.
#include <cwchar>

#include "runtime/text1252.h"
#include "winlib/drivers/win32/native.h"

namespace winlib::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::wstring wide(std::string_view text) {
    const std::u16string utf16 = runtime::to_utf16(text);
    return {utf16.begin(), utf16.end()};
}

std::string narrow(std::wstring_view text) {
    const std::u16string utf16(text.begin(), text.end());
    return runtime::from_utf16(utf16);
}

namespace {
int setting_text_depth = 0;  // UI thread only
}

bool setting_text() { return setting_text_depth > 0; }
SettingText::SettingText() { ++setting_text_depth; }
SettingText::~SettingText() { --setting_text_depth; }

}  // namespace winlib::win32

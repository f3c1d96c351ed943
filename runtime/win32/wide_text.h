// Program text (Windows-1252 bytes) to and from the wide text of the Win32 W calls, for
// every Windows side of a seam. Through the explicit 1252 table (runtime/text1252.h),
// never the system's "ANSI" code page, which need not be 1252.
#pragma once

#include <string>
#include <string_view>

#include "runtime/text1252.h"

namespace runtime {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline std::wstring wide(std::string_view text) {
    const std::u16string utf16 = to_utf16(text);
    return {utf16.begin(), utf16.end()};
}

inline std::string narrow(std::wstring_view text) {
    return from_utf16(std::u16string(text.begin(), text.end()));
}

}  // namespace runtime

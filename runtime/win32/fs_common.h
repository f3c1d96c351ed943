// What the Windows side of the file-system seam (fs.cpp, fs_open.cpp) shares: the error
// number of the call that just failed, and Windows' own refusal to write a read-only file.
#pragma once

#include <windows.h>

#include <string_view>

#include "runtime/win32/wide_text.h"

namespace runtime::win32 {

// The failing call's error number; `fallback` when it left none.
inline int last_error(int fallback) {
    DWORD e = GetLastError();
    return e == 0 ? fallback : static_cast<int>(e);
}

// True for an existing file (not a folder) with the read-only attribute. Windows refuses
// to write over such a file itself; Wine run by root (as the tests run it) lets the write
// through, so the calls that write over a file look first.
inline bool refuses_writing(std::string_view path) {
    DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES &&
           (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == FILE_ATTRIBUTE_READONLY;
}

}  // namespace runtime::win32

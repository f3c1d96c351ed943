// Open files on Windows: CreateFile with the access and share mode asked, the handle kept
// as a plain integer. Through the wide call, so that names pass the 1252 table.
#include <windows.h>

#include <algorithm>

#include "runtime/fs.h"
#include "runtime/win32/fs_common.h"
#include "runtime/win32/wide_text.h"

namespace runtime {
namespace {

using win32::last_error;

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

int open_file(std::string_view path, Access access, Share share, Disposition disposition,
              FileHandle& file) {
    bool create = disposition == Disposition::kCreateAlways;
    DWORD rights = access == Access::kRead    ? GENERIC_READ
                   : access == Access::kWrite ? GENERIC_WRITE
                                              : GENERIC_READ | GENERIC_WRITE;
    if ((access != Access::kRead || create) && win32::refuses_writing(path))
        return oscode::kAccessDenied;
    HANDLE h = CreateFileW(wide(path).c_str(), rights,
                           share == Share::kShared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0,
                           nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return last_error(oscode::kAccessDenied);
    file = reinterpret_cast<FileHandle>(h);
    return 0;
}

int read_file(FileHandle file, char* data, std::size_t n, std::size_t& got) {
    got = 0;
    while (got < n) {
        DWORD part = 0;
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n - got, 1u << 30));
        if (!ReadFile(handle_of(file), data + got, ask, &part, nullptr))
            return last_error(oscode::kReadFault);
        if (part == 0) break;
        got += part;
    }
    return 0;
}

int write_file(FileHandle file, const char* data, std::size_t n) {
    for (std::size_t done = 0; done < n;) {
        DWORD part = 0;
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        if (!WriteFile(handle_of(file), data + done, ask, &part, nullptr))
            return last_error(oscode::kWriteFault);
        done += part;
    }
    return 0;
}

int move_file_pointer(FileHandle file, std::int64_t distance) {
    LARGE_INTEGER by;
    by.QuadPart = distance;
    return SetFilePointerEx(handle_of(file), by, nullptr, FILE_CURRENT)
               ? 0
               : last_error(oscode::kInvalidHandle);
}

int close_file(FileHandle file) {
    return CloseHandle(handle_of(file)) ? 0 : last_error(oscode::kInvalidHandle);
}

}  // namespace runtime

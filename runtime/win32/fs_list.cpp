// Directory listing on Windows: the file search of the system, through the wide calls so
// that names pass the 1252 table and not the system's "ANSI" code page.
#include "runtime/fs.h"

#include <windows.h>

#include "runtime/win32/wide_text.h"

namespace runtime {

std::vector<DirEntry> list_directory(std::string_view pattern) {
    std::vector<DirEntry> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        DirEntry e;
        e.name = narrow(data.cFileName);
        e.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        e.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        e.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        out.push_back(std::move(e));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

}  // namespace runtime

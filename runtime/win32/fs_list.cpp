// Directory listing and file search on Windows: the file search of the system, through the wide calls so
// that names pass the 1252 table and not the system's "ANSI" code page.
#include "runtime/fs.h"

#include <windows.h>

#include "runtime/win32/wide_text.h"

namespace runtime {
namespace {

FileTime file_time(const FILETIME& t) {
    return (FileTime{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}

FindData find_data(const WIN32_FIND_DATAW& d) {
    FindData out;
    out.attributes = d.dwFileAttributes;
    out.created = file_time(d.ftCreationTime);
    out.accessed = file_time(d.ftLastAccessTime);
    out.written = file_time(d.ftLastWriteTime);
    out.size = (std::uint64_t{d.nFileSizeHigh} << 32) | d.nFileSizeLow;
    out.name = narrow(d.cFileName);
    out.short_name = narrow(d.cAlternateFileName);
    return out;
}

}  // namespace

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
        e.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        out.push_back(std::move(e));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

SearchHandle find_first_file(std::string_view pattern, FindData& found) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide(pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return kNoSearch;
    found = find_data(data);
    return reinterpret_cast<SearchHandle>(find);
}

bool find_next_file(SearchHandle search, FindData& found) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(reinterpret_cast<HANDLE>(search), &data)) return false;
    found = find_data(data);
    return true;
}

bool find_close(SearchHandle search) { return FindClose(reinterpret_cast<HANDLE>(search)) != 0; }

}  // namespace runtime

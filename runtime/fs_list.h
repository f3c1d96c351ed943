// Directory listing: the entries that match a pattern, with their attributes, in the
// order the file system reports them. The pattern is a Windows path whose last part may
// hold the wildcards "*" and "?"; names compare without regard to case.
//
// One side per platform: posix/fs_list.cpp (opendir/readdir on the folder the path
// layer finds, the matching done here the way Windows does it, a leading full stop
// marking a hidden file, a file without write permission for its owner read-only,
// anything neither a regular file nor a directory counted as a system file) and
// win32/fs_list.cpp (FindFirstFileW, names converted through the 1252 table). Wine's own
// file search is simpler than Windows' ("?" is always one character, a final "." is
// dropped); the POSIX side follows Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace runtime {

struct DirEntry {
    std::string name;  // without path, Windows-1252
    bool directory = false;
    bool read_only = false;
    bool hidden = false;
    bool system = false;
};

// Every matching entry, "." and ".." included when the pattern matches them; an empty
// list when the folder does not exist or cannot be read. Matching follows the Win32 file
// search: "*" any run, "?" one character (or none before a full stop or at the end),
// "*.*" everything, a ".*" or a final "." also matching a name without extension, "*."
// followed by an extension matched against the last full stop.
std::vector<DirEntry> list_directory(std::string_view pattern);
}  // namespace runtime

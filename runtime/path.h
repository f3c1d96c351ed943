// The path layer: the program's paths are Windows paths (backslashes, drive prefixes,
// names compared without regard to case); this is the one place that turns them into the
// platform's. On Windows they pass as they are (1252 text to UTF-16). On POSIX, a
// root-only, drive-less file system:
//   - "\" becomes "/";
//   - a drive prefix "X:" (any letter) stands for the root "/": "C:\KELV\NET" is
//     "/KELV/NET", and "C:NAME" (relative to the drive's current folder) is "NAME";
//   - each part of the path that names an existing file or folder is found without
//     regard to case, the way Windows finds it; parts that do not exist stay as written;
//   - 1252 text becomes UTF-8.
// The current directory comes back the other way: on POSIX "/home/x" is "\home\x", a path
// without a drive letter.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path);

// The program's Windows form (1252 text) of a path the platform gave, such as a file
// dialog's answer: on POSIX "/home/x/game" is "\home\x\game".
std::string windows_path(const std::filesystem::path& native);

// The current directory as a Windows path (1252 text); empty when it cannot be read.
std::string current_directory();

// The POSIX mapping itself, for any build: the rules above, giving UTF-8 text.
std::string posix_path(std::string_view windows_path);

}  // namespace runtime

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
// Paths the platform gives come back the other way: on POSIX "/home/x" is "\home\x", a
// path without a drive letter.
//
// The parts of a Windows path are cut here too, for every caller, on any build.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path);

// The program's Windows form (1252 text) of a path the platform gave, such as a file
// dialog's answer: on POSIX "/home/x/game" is "\home\x\game".
std::string windows_path(const std::filesystem::path& native);

// The POSIX mapping itself, for any build: the rules above, giving UTF-8 text.
std::string posix_path(std::string_view windows_path);

// A Windows path cut into its parts, each a view into the path: "C:\DATI\ARCH.TAR.GZ" is
// drive "C:", folder "\DATI\", name "ARCH.TAR" and extension ".GZ". The folder runs up to
// and including the last "\", "/" or ":" after the drive; the extension is the name part
// from its last full stop on (a final "." alone counts, ".hidden" is all extension).
struct PathParts {
    std::string_view drive;      // a letter and a colon, or empty
    std::string_view folder;     // empty for a bare name
    std::string_view name;       // without the extension
    std::string_view extension;  // with its full stop, or empty

    // Drive and folder together: what comes before the file name.
    std::string_view location() const {
        return {drive.data(), drive.size() + folder.size()};
    }
};
PathParts split_path(std::string_view path);

}  // namespace runtime

// Where things are: the current drive prefix and directory, the directory holding a
// file, the drives there are. Nothing here shows a message.
#pragma once

#include <string>
#include <vector>

namespace kelv {

// The drive letter of the current directory and ":" ("C:"), or the empty text when the
// current directory has no drive letter (a network path; on POSIX always).
std::string current_drive_prefix();

// Whether the directory can be made current; the current directory is back as it was
// (the whole of it, a network path too) before this returns.
bool DIR(const std::string& directory);
// The drive prefixes ("A:", "C:", ...) in alphabetical order: kind 0 every drive, 1 only
// the removable A: and B:, 2 only C: to Z:; any other kind none.
std::vector<std::string> ADISK(int kind = 0);
// "\" + the current directory of the drive (the current drive when no letter is given)
// without drive and outer separators, + "\" unless that would be "\" alone: "\" at the
// root, "\DATA\2024\" below it.
std::string CURPATH(const std::string& drive_letter = "");
// The directory that holds the file, from its full name: "C:\DATA" for C:\DATA\ARCH.DBF,
// and the root with its "\" ("C:\", or "\" where there are no drives) for a file there.
std::string FULLPATH(const std::string& file);

}  // namespace kelv

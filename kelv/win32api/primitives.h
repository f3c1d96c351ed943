// The file-system primitives: one platform call each (a short fixed sequence for
// SETFILEDATETIME), through the runtime's file-system seam (runtime/fs.h, which also says
// what each means on POSIX). A failure shows nothing: it is only the result (false, -1,
// 0, an empty name).
#pragma once

#include <cstdint>
#include <string>

namespace kelv {

// Copies a file over an existing target (CopyFileExA, flags 0); the pending window
// messages are processed after each part copied, so the windows stay responsive.
bool COPYFILE(const std::string& source, const std::string& target);
// Renames or moves (MoveFileA): an existing target is never replaced.
bool MOVEFILE(const std::string& old_name, const std::string& new_name);
bool DELETEFILE(const std::string& file);
bool CREATEDIR(const std::string& directory);
// Removes an empty directory (RemoveDirectoryA).
bool REMOVEDIR(const std::string& directory);
bool SETCURDIR(const std::string& directory);
// The attribute bits (read-only 1, hidden 2, ...), -1 when the path does not exist.
std::int32_t GETFILEATTRIBUTES(const std::string& path);
bool SETFILEATTRIBUTES(const std::string& path, std::uint32_t bits);
// Gives the target (file or directory) the source's last-write time, nothing else.
bool SETFILEDATETIME(const std::string& source, const std::string& target);
// The full name of a relative or absolute name; empty when it cannot be made or does
// not fit in 260 bytes.
std::string FULLNAME(const std::string& name);
// The drive type (2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk; 1 no root) of a
// root such as "C:\".
int GETDRIVETYPE(const std::string& root);
// All the free bytes of the disk holding the path (quotas aside); 0 when it cannot be
// asked.
std::uint64_t DISKFREESPACE(const std::string& path);

}  // namespace kelv

// What the POSIX side of the file-system seam (fs.cpp, fs_list.cpp) shares, the errno
// part with the table engine's POSIX file side too: the Windows meaning of an errno and of
// a file's mode (see runtime/fs.h).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fs.h"

namespace runtime::posix {

// The Windows error number of a failed call on the native path: "not found" is 2 when
// the folder holding it exists and 3 when it does not, as Windows tells them apart; an
// existing name is `exists`, as the Windows call it stands for answers: 183 for
// CreateDirectory and MoveFile, 80 for CreateFile. Anything else unknown is `fallback`.
int windows_error(int err, const std::string& native, int fallback,
                  int exists = oscode::kAlreadyExists);

// The attribute bits of an entry of that name (without folder) and mode.
std::uint32_t attributes_of(std::string_view name, const struct stat& st);

// Read-only, as Windows means it: nobody has write permission.
inline bool is_read_only(const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Windows counts file times in 100-nanosecond steps from 1601, POSIX from 1970.
FileTime file_time_of(const struct timespec& t);

}  // namespace runtime::posix

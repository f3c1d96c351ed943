// What the POSIX side of the file-system seam (fs.cpp, fs_list.cpp) shares: the Windows
// meaning of an errno and of a file's mode (see runtime/fs.h).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace runtime::posix {

// The Windows error number of a failed call on the native path: "not found" is 2 when
// the folder holding it exists and 3 when it does not, as Windows tells them apart.
int windows_error(int err, const std::string& native, int fallback);

// The attribute bits of an entry of that name (without folder) and mode.
std::uint32_t attributes_of(std::string_view name, const struct stat& st);

}  // namespace runtime::posix

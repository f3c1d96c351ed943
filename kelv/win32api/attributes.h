// The read-only and hidden bits of a file or directory, changed only when needed; a path
// that does not exist is left alone. (On POSIX hidden follows the name, runtime/fs.h.)
#pragma once

#include <string>

namespace kelv {

void CLEARREADONLY(const std::string& path);
void CLEARHIDDEN(const std::string& path);
void SETHIDDEN(const std::string& path);

}  // namespace kelv

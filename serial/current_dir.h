// The current drive and directory as the program sees them (Windows form). On POSIX the
// file system has one root and no drives (runtime/path.h): CURDRIVE is "\" and CURDIR is
// the directory below the root, e.g. "home\user\work" for /home/user/work.
#pragma once

#include <string>
#include <string_view>

namespace serial {

std::string CURDRIVE();
std::string CURDIR();

// The same, of a given directory text.
std::string drive_of(std::string_view directory);
std::string directory_of(std::string_view directory);

}  // namespace serial

// Port names of the program (Windows device paths) as POSIX device paths.
#pragma once

#include <string>
#include <string_view>

namespace serial::posix {

// The device prefix "\\.\" is dropped; then "COMn" (any case, n from 1) is /dev/ttyS<n-1>,
// a name starting with "/" is a device path as it stands, any other name is looked up
// under /dev/. Names are taken as 1252 text and passed on as UTF-8.
std::string device_path(std::string_view port_name);

}  // namespace serial::posix

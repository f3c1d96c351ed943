#include "serial/posix/device_path.h"

#include <cctype>
#include <charconv>

#include "runtime/text1252.h"

namespace serial::posix {

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

// n of "COMn", or 0 when the name is not of that form.
unsigned com_number(std::string_view name) {
    if (name.size() < 4 || !runtime::equals_ignore_case(name.substr(0, 3), "COM")) return 0;
    unsigned n = 0;
    auto digits = name.substr(3);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return ec == std::errc() && end == digits.data() + digits.size() ? n : 0;
}

}  // namespace

std::string device_path(std::string_view name) {
    if (name.substr(0, kDevicePrefix.size()) == kDevicePrefix) {
        name.remove_prefix(kDevicePrefix.size());
    }
    if (unsigned n = com_number(name); n > 0) return "/dev/ttyS" + std::to_string(n - 1);
    std::string path = runtime::to_utf8(name);
    return name.substr(0, 1) == "/" ? path : "/dev/" + path;
}

}  // namespace serial::posix

#include "runtime/path.h"

#include <filesystem>

#include "runtime/text1252.h"

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path) {
    return posix_path(windows_path);
}

std::string current_directory() {
    std::error_code ec;
    std::string dir = from_utf8(std::filesystem::current_path(ec).string());
    for (char& c : dir) {
        if (c == '/') c = '\\';
    }
    return dir;
}

}  // namespace runtime

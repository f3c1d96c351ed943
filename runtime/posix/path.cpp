#include "runtime/path.h"

#include <filesystem>

#include "runtime/text1252.h"

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path) {
    return posix_path(windows_path);
}

std::string windows_path(const std::filesystem::path& native) {
    std::string path = from_utf8(native.string());
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace runtime

#include "runtime/path.h"

#include <filesystem>

#include "runtime/text1252.h"

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path) {
    return std::filesystem::path(to_utf16(windows_path));
}

std::string current_directory() {
    std::error_code ec;
    return from_utf16(std::filesystem::current_path(ec).u16string());
}

}  // namespace runtime

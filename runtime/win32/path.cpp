#include "runtime/path.h"

#include <filesystem>

#include "runtime/text1252.h"

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path) {
    return std::filesystem::path(to_utf16(windows_path));
}

std::string windows_path(const std::filesystem::path& native) {
    return from_utf16(native.u16string());
}

}  // namespace runtime

#include "runtime/path.h"

#include <filesystem>

#include "runtime/win32/wide_text.h"

namespace runtime {

std::filesystem::path native_path(std::string_view windows_path) {
    return std::filesystem::path(wide(windows_path));
}

std::string windows_path(const std::filesystem::path& native) {
    return narrow(native.native());
}

}  // namespace runtime

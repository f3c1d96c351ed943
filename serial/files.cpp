#include "serial/files.h"

#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "runtime/path.h"
#include "runtime/text1252.h"

namespace serial {

std::string CFILEEXT(const std::string& path) {
    std::string name = path;
    std::size_t slash = path.rfind('\\');
    std::size_t colon = path.find(':');
    if (slash != std::string::npos && slash + 1 < path.size()) {
        name = path.substr(slash + 1);
    } else if (colon != std::string::npos) {
        name = path.substr(colon + 1);
    }
    name = runtime::trim(name);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return "";
    return runtime::trim(name.substr(dot + 1));
}

bool FILE(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(runtime::native_path(path), ec);
}

bool MEMOWRIT(const std::string& path, const std::string& bytes,
              const runtime::Value& end_of_file) {
    std::ofstream out(runtime::native_path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bool written = static_cast<bool>(out);
    if (!end_of_file.is_logical() || end_of_file.logical()) out.put('\x1A');
    out.close();
    return written && static_cast<bool>(out);
}

bool replace_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExW(runtime::native_path(from).c_str(), runtime::native_path(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
#else
    std::error_code ec;
    std::filesystem::rename(runtime::native_path(from), runtime::native_path(to), ec);
    return !ec;
#endif
}

bool delete_file(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(runtime::native_path(path), ec);
    return !ec;
}

}  // namespace serial

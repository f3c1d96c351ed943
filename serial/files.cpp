#include "serial/files.h"

#include <fstream>

#include "runtime/fs.h"
#include "runtime/path.h"
#include "runtime/text1252.h"

namespace serial {

std::string CFILEEXT(const std::string& path) {
    std::string_view extension = runtime::split_path(path).extension;
    return extension.empty() ? "" : runtime::trim(extension.substr(1));
}

bool FILE(const std::string& path) { return runtime::file_exists(path); }

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

}  // namespace serial

#include "serial/current_dir.h"

#include <cctype>

#include "runtime/fs.h"
#include "runtime/path.h"

namespace serial {

namespace {

bool is_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

std::string drive_of(std::string_view d) {
    std::string_view drive = runtime::split_path(d).drive;
    if (drive.empty()) return "\\";
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0]))));
}

std::string directory_of(std::string_view d) {
    d.remove_prefix(runtime::split_path(d).drive.size());
    if (!d.empty() && is_separator(d.front())) d.remove_prefix(1);
    if (!d.empty() && is_separator(d.back())) d.remove_suffix(1);
    return std::string(d);
}

std::string CURDRIVE() { return drive_of(runtime::current_folder()); }
std::string CURDIR() { return directory_of(runtime::current_folder()); }

}  // namespace serial

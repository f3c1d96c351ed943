#include "serial/current_dir.h"

#include <cctype>

#include "runtime/path.h"

namespace serial {

namespace {

bool has_drive(std::string_view d) {
    return d.size() >= 2 && std::isalpha(static_cast<unsigned char>(d[0])) && d[1] == ':';
}

bool is_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

std::string drive_of(std::string_view d) {
    if (has_drive(d))
        return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(d[0]))));
    return "\\";
}

std::string directory_of(std::string_view d) {
    if (has_drive(d)) d.remove_prefix(2);
    if (!d.empty() && is_separator(d.front())) d.remove_prefix(1);
    if (!d.empty() && is_separator(d.back())) d.remove_suffix(1);
    return std::string(d);
}

std::string CURDRIVE() { return drive_of(runtime::current_directory()); }
std::string CURDIR() { return directory_of(runtime::current_directory()); }

}  // namespace serial

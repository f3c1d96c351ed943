#include "kelv/win32api/profile_sections.h"

#include <algorithm>
#include <string_view>

#include "runtime/text1252.h"
#include "serial/profile.h"

namespace kelv {
namespace {

constexpr int kSectionNamesBuffer = 65536;

// The names of a list in which each is followed by a zero byte; the list ends at the
// first empty name, or where the text ends.
std::vector<std::string> names_of(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty() && list.front() != '\0') {
        std::size_t end = list.find('\0');
        if (end == std::string_view::npos) break;  // no zero byte written: nothing ends here
        names.emplace_back(list.substr(0, end));
        list.remove_prefix(end + 1);
    }
    return names;
}

}  // namespace

int GETPRIVATEPROFILESECTIONNAMES(std::string& buffer, int size, const std::string& file) {
    std::size_t room = std::min(buffer.size(), static_cast<std::size_t>(std::max(size, 0)));
    return static_cast<int>(serial::profile_section_names(buffer.data(), room, file));
}

std::vector<std::string> GETPVPROFSECTIONNAMES(const std::string& file) {
    std::string buffer(kSectionNamesBuffer, ' ');
    GETPRIVATEPROFILESECTIONNAMES(buffer, kSectionNamesBuffer, file);
    return names_of(buffer);
}

std::vector<std::string> GETPVPROFSECTION(const std::string& section, const std::string& file) {
    std::vector<std::string> names;
    const std::string text = serial::profile_entry_names(section, file);
    for (std::string_view rest = text; !rest.empty();) {
        std::size_t end = std::min(rest.find('\0'), rest.size());
        names.push_back(runtime::trim_right(rest.substr(0, end)));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return names;
}

}  // namespace kelv

#include "runtime/path.h"

#include <cctype>
#include <system_error>

#include "runtime/text1252.h"

namespace runtime {

namespace {

bool has_drive(std::string_view p) {
    return p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
}

// The entry of folder whose name equals part without regard to case; part when none.
std::string find_ignoring_case(const std::filesystem::path& folder, const std::string& part) {
    std::error_code ec;
    if (std::filesystem::exists(folder / part, ec)) return part;
    std::string wanted = from_utf8(part);
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = e.path().filename().string();
        if (equals_ignore_case(from_utf8(name), wanted)) return name;
    }
    return part;
}

}  // namespace

std::string posix_path(std::string_view windows_path) {
    std::string p(windows_path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    if (has_drive(p)) p.erase(0, 2);
    p = to_utf8(p);
    bool absolute = !p.empty() && p[0] == '/';
    std::filesystem::path resolved = absolute ? "/" : "";
    bool found = true;
    std::size_t at = absolute ? 1 : 0;
    std::string out = absolute ? "/" : "";
    while (at <= p.size()) {
        std::size_t slash = std::min(p.find('/', at), p.size());
        std::string part = p.substr(at, slash - at);
        if (found && !part.empty() && part != "." && part != "..") {
            std::filesystem::path folder = resolved.empty() ? "." : resolved;
            std::string actual = find_ignoring_case(folder, part);
            std::error_code ec;
            found = std::filesystem::exists(folder / actual, ec);
            part = actual;
        }
        resolved /= part;
        out += part;
        if (slash < p.size()) out += '/';
        at = slash + 1;
    }
    return out;
}

}  // namespace runtime

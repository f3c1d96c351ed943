#include "runtime/path.h"

#include <cctype>
#include <system_error>

#include "runtime/text1252.h"

namespace runtime {

namespace {

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

PathParts split_path(std::string_view path) {
    PathParts parts;
    bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                 path[1] == ':';
    parts.drive = path.substr(0, drive ? 2 : 0);
    std::string_view rest = path.substr(parts.drive.size());
    std::size_t cut = rest.find_last_of("\\/:");
    parts.folder = rest.substr(0, cut == std::string_view::npos ? 0 : cut + 1);
    std::string_view file = rest.substr(parts.folder.size());
    std::size_t dot = file.rfind('.');
    parts.name = file.substr(0, dot);
    parts.extension = file.substr(parts.name.size());
    return parts;
}

std::string posix_path(std::string_view windows_path) {
    std::string p(windows_path.substr(split_path(windows_path).drive.size()));
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
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

#include "kelv/win32api/read_line.h"

#include <algorithm>
#include <string_view>

namespace kelv {

std::optional<std::string> FREADLINE(runtime::FileHandle file, int maximum) {
    if (maximum <= 0) return std::nullopt;
    const auto most = static_cast<std::size_t>(maximum);
    // Two bytes beyond the line: its CR LF, when it ends right at the maximum.
    std::string buffer(most + 2, '\0');
    std::size_t got = 0;
    if (runtime::read_file(file, buffer.data(), buffer.size(), got) != 0 || got == 0)
        return std::nullopt;
    std::string_view bytes(buffer.data(), got);
    std::size_t end = bytes.substr(0, most).find_first_of(std::string_view("\r\0", 2));
    std::size_t used;  // the bytes the line and its line end take
    if (end != std::string_view::npos) {
        used = end + 1;
        if (bytes[end] == '\r' && used < got && bytes[used] == '\n') ++used;
    } else {
        end = std::min(most, got);
        used = end;
        if (bytes.substr(end, 2) == "\r\n") used += 2;
    }
    runtime::move_file_pointer(file, static_cast<std::int64_t>(used) -
                                         static_cast<std::int64_t>(got));
    return std::string(bytes.substr(0, end));
}

}  // namespace kelv

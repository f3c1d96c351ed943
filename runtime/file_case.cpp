#include "runtime/file_case.h"

#include "runtime/path.h"
#include "runtime/settings.h"
#include "runtime/text1252.h"

namespace runtime {

std::string apply_file_case(const std::string& path) {
    Value v = setting(kSettingFileCase);
    std::string mode = v.is_text() ? upper(v.text()) : "";
    std::size_t start = split_path(path).location().size();
    if (mode == "UPPER") return path.substr(0, start) + upper(path.substr(start));
    if (mode == "LOWER") return path.substr(0, start) + lower(path.substr(start));
    return path;
}

}  // namespace runtime

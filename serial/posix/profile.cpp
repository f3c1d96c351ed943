#include "serial/profile.h"

#include <fstream>
#include <iterator>

#include "runtime/path.h"
#include "runtime/text1252.h"
#include "serial/profile_text.h"

namespace serial {

namespace {

constexpr std::size_t kMostValue = 4095;

std::optional<std::string> read_file(const std::string& file) {
    std::ifstream in(runtime::native_path(file), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string GETPVPROFSTRING(const std::string& section, const runtime::Value& key,
                            const std::string& default_value, const std::string& file) {
    std::string text = read_file(file).value_or("");
    std::optional<std::string> found =
        key.is_text() ? profile_value(text, section, key.text()) : profile_keys(text, section);
    std::string result = found.value_or(runtime::trim_right(default_value));
    return result.substr(0, kMostValue);
}

bool WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) {
    std::string text = read_file(file).value_or("");
    std::string changed = profile_with(text, section, key, value);
    std::ofstream out(runtime::native_path(file), std::ios::binary | std::ios::trunc);
    out.write(changed.data(), static_cast<std::streamsize>(changed.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace serial

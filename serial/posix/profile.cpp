#include "serial/profile.h"

#include <algorithm>
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

std::size_t profile_section_names(char* buffer, std::size_t size, const std::string& file) {
    std::string names = profile_sections(read_file(file).value_or(""));
    // As the platform counts: the names fit when they leave room for two more bytes.
    bool fits = names.size() + 1 < size;
    std::size_t count = fits ? names.size() : size < 2 ? 0 : size - 2;
    names.resize(count);
    names.append(std::min<std::size_t>(size - count, fits ? 1 : 2), '\0');
    names.copy(buffer, names.size());
    return count;
}

std::string profile_entry_names(const std::string& section, const std::string& file) {
    return profile_keys(read_file(file).value_or(""), section).value_or("");
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

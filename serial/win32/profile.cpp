#include "serial/profile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/win32/wide_text.h"

namespace serial {

using runtime::narrow;
using runtime::wide;

std::string GETPVPROFSTRING(const std::string& section, const runtime::Value& key,
                            const std::string& default_value, const std::string& file) {
    std::vector<wchar_t> buffer(4096);
    std::wstring key_name = key.is_text() ? wide(key.text()) : std::wstring();
    DWORD n = GetPrivateProfileStringW(
        wide(section).c_str(), key.is_text() ? key_name.c_str() : nullptr,
        wide(default_value).c_str(), buffer.data(), 4095, wide(file).c_str());
    return narrow({buffer.data(), n});
}

std::size_t profile_section_names(char* buffer, std::size_t size, const std::string& file) {
    // The caller's bytes go in first, so that what the platform does not write stays.
    std::wstring names = wide(std::string_view(buffer, size));
    DWORD n = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(size),
                                             wide(file).c_str());
    narrow(names).copy(buffer, size);
    return n;
}

std::string profile_entry_names(const std::string& section, const std::string& file) {
    // The platform answers size - 2 when the names did not fit: ask again with more room.
    for (DWORD size = 4096;; size *= 2) {
        std::vector<wchar_t> names(size);
        DWORD n = GetPrivateProfileStringW(wide(section).c_str(), nullptr, L"", names.data(), size,
                                           wide(file).c_str());
        if (n + 2 < size) return narrow({names.data(), n});
    }
}

bool WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) {
    return WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(),
                                      wide(file).c_str()) != 0;
}

}  // namespace serial

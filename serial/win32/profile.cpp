#include "serial/profile.h"

#include <windows.h>

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

bool WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) {
    return WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(),
                                      wide(file).c_str()) != 0;
}

}  // namespace serial

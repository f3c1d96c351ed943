#include "dbf/engine_settings.h"

#include "runtime/fs.h"
#include "runtime/path.h"
#include "runtime/settings.h"
#include "runtime/text1252.h"

namespace dbf {
namespace {

std::string text_setting(const char* name, const char* fallback) {
    runtime::Value v = runtime::setting(name);
    return v.is_text() ? v.text() : fallback;
}

}  // namespace

bool deleted_hidden() {
    runtime::Value v = runtime::setting(kSettingDeletedHidden);
    return v.is_logical() && v.logical();
}

std::string memo_extension() { return text_setting(kSettingMemoExtension, ".DBT"); }

std::string default_driver() { return text_setting(kSettingDriver, kDriverName); }

int lock_scheme() {
    runtime::Value v = runtime::setting(kSettingLockScheme);
    return v.is_number() ? static_cast<int>(v.number()) : kLockScheme;
}

std::string with_default_extension(const std::string& path, const std::string& extension) {
    return runtime::split_path(path).extension.empty() ? path + extension : path;
}

std::string with_extension(const std::string& path, const std::string& extension) {
    std::size_t dot = path.size() - runtime::split_path(path).extension.size();
    return path.substr(0, dot) + extension;
}

std::string full_path(const std::string& path) {
    bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
    bool drive = path.size() >= 2 && path[1] == ':';
    if (rooted || drive) return path;
    std::string cwd = runtime::current_folder();
    if (cwd.empty()) return path;
    return cwd + (cwd.back() == '\\' ? "" : "\\") + path;
}

std::string base_name(const std::string& path) {
    return std::string(runtime::split_path(path).name);
}

}  // namespace dbf

#include "runtime/settings.h"

#include <map>
#include <string>

#include "runtime/text1252.h"

namespace runtime {
namespace {

std::map<std::string, Value>& table() {
    static std::map<std::string, Value> settings;
    return settings;
}

}  // namespace

Value setting(std::string_view name) {
    auto it = table().find(upper(name));
    return it == table().end() ? Value() : it->second;
}

Value set_setting(std::string_view name, Value value) {
    Value& slot = table()[upper(name)];
    Value old = slot;
    slot = std::move(value);
    return old;
}

void clear_settings() { table().clear(); }

}  // namespace runtime

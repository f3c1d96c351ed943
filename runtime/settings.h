// Process-wide named settings, readable and writable by name (names ignore case).
// Touched by the user-interface thread only, like every other library setting.
#pragma once

#include <string_view>

#include "runtime/value.h"

namespace runtime {

// Nothing when the setting was never written.
Value setting(std::string_view name);
// Writes the setting and returns its previous value.
Value set_setting(std::string_view name, Value value);
// Forgets every setting (the state a new process starts in).
void clear_settings();

}  // namespace runtime

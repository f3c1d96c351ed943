// The library's notion of an empty value, shared by the functions that pass empty values
// through untouched.
#pragma once

#include "runtime/value.h"

namespace runtime {

// Nothing, false, zero, the empty date or date-time, a text of nothing but blanks, tabs
// and line ends, an empty list. Objects and callbacks are never empty.
bool is_empty_value(const Value& value);

}  // namespace runtime

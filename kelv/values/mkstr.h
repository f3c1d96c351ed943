// A value written as the text of an expression that yields it again, for the run-time
// expression evaluator: texts between double quotes, a double quote between square
// brackets, pieces joined by " + "; dates through CTOD.
#pragma once

#include "runtime/value.h"

namespace kelv {

// An empty value gives two double quotes; a text, a date or a number gives its expression
// text; any other value (true, a list, an object) is returned unchanged.
runtime::Value MKSTR(const runtime::Value& xValue);

}  // namespace kelv

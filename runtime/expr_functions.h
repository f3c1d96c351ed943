// The expression evaluator's functions of plain values (UPPER, SUBSTR, STR, ...) and the
// registry of an application's named procedures. The evaluator itself handles the
// functions that need more than their argument values (IIF/IF, DELETED, RECNO).
#pragma once

#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/value.h"

namespace runtime {

// A failure inside an expression, carried to the evaluation's top, where it is raised.
struct ExprFailure {
    Error error;
};

// Builds the record of an expression failure (subsystem "BASE").
ExprFailure expr_failure(int gencode, int subcode, std::string description, std::string operation);

// Calls the built-in or registered function `name` (upper case); nothing when no function
// has that name. Bad arguments throw ExprFailure.
std::optional<Value> call_function(std::string_view name, std::vector<Value>& args);

// The text STR gives for a number in `width` columns with `decimals` places, rounded
// halves away from zero and with "." whatever the locale; asterisks when it does not fit.
std::string str_text(double value, int width, int decimals);

}  // namespace runtime

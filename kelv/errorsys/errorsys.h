// The runtime error handler (the unit ERRORSYS): every error the program raises
// (runtime::raise) comes here. It absorbs the expected conditions (a division by zero, a
// table another process holds, an append that cannot lock), explains disk and file
// conditions in one Italian sentence and abandons the failing operation, and treats
// everything else as fatal: a full description, the offer to mail it, and the end of the
// program through the library shut-down, with exit code 1.
#pragma once

#include <string>

#include "runtime/error.h"
#include "runtime/value.h"

namespace kelv {

// Installs DEFERROR as the process's error handler. The start-up bracket calls it first.
void ERRORSYS();

// The handler. Its answer goes back to the raiser: a substitute value, false for a quiet
// failure; an abandon is a thrown runtime::Break, the program's end a thrown runtime::Quit.
runtime::Value DEFERROR(const runtime::Error& oError);

// The full description: kind, subsystem and code, description, file or operation, and
// the innermost function on the call stack that carries line numbers (runtime/frame.h).
std::string ERRORMESSAGE(const runtime::Error& oError);

// The mailto address of an error report: no recipient, a subject, and in the body the
// program's file and the description (its ";" line breaks kept as line breaks).
std::string error_report_address(const std::string& description,
                                 const std::string& program_file);

}  // namespace kelv

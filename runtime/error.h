// The error record handed to the one installed error handler, and the two ways control
// leaves an operation: Break (abandon to the nearest recovery point, a try/catch of the
// caller) and Quit (end the program; caught in main, which then runs the shut-down).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "runtime/value.h"

namespace runtime {

struct Error {
    int gencode = 0;                     // general code, common to all subsystems
    std::optional<int> subcode;          // subsystem-specific code
    int oscode = 0;                      // OS code of the failing call, 0 when none
    std::optional<std::string> subsystem;
    std::optional<std::string> description;
    std::string filename;
    std::string operation;
    int severity = 2;                    // 0 none, 1 warning, 2 error, 3 catastrophic
    bool candefault = false;             // the raiser accepts a quiet failure
};

// General codes the handler and the raisers share.
namespace gencode {
constexpr int kArgument = 1;
constexpr int kZeroDivide = 5;
constexpr int kSyntax = 7;
constexpr int kNoFunction = 12;
constexpr int kNoVariable = 14;
constexpr int kNoAlias = 15;
constexpr int kCreate = 20;
constexpr int kOpen = 21;
constexpr int kRead = 23;
constexpr int kWrite = 24;
constexpr int kCorruption = 32;
constexpr int kDataType = 33;
constexpr int kDataWidth = 34;
constexpr int kShared = 37;
constexpr int kUnlocked = 38;
constexpr int kReadOnly = 39;
constexpr int kAppendLock = 40;
constexpr int kLock = 41;
constexpr int kOle = 1001;
}  // namespace gencode

// Subsystem codes of the runtime's own errors (subsystem "BASE"), one per kind of failure
// so that a report tells them apart.
namespace base_subcode {
constexpr int kSyntax = 1101;    // an expression that does not compile
constexpr int kOperand = 1102;   // an operator, IIF or EVAL given a value of the wrong kind
constexpr int kArgument = 1103;  // a function given a bad argument
constexpr int kZeroDivide = 1104;
constexpr int kNoFunction = 1105;
constexpr int kNoVariable = 1106;
constexpr int kNoAlias = 1107;
}  // namespace base_subcode

// Abandons the current operation; the nearest recovery point catches it.
struct Break {
    Value value;
};

// Ends the program with this exit code.
struct Quit {
    int exit_code = 0;
};

// The handler answers with a substitute value (false for a quiet failure) or throws
// Break or Quit itself.
using ErrorHandler = std::function<Value(const Error&)>;

// Installs the process-wide handler and returns the one it replaces.
ErrorHandler install_error_handler(ErrorHandler handler);

// Hands the error to the installed handler and returns its answer. With no handler the
// error is fatal: Quit with exit code 1.
Value raise(const Error& error);

}  // namespace runtime

// What the program's callbacks throw never crosses the driver (native code between the
// core and the callback cannot be unwound through, and Qt forbids it). The core runs every
// callback of an event guarded:
//   - an abandon (runtime::Break) that leaves the callback ends the handling of that event:
//     the event is its own recovery point, and the program goes on;
//   - anything else (the program's end, runtime::Quit, or any other exception) is kept,
//     every modal loop is asked to end, and it is thrown again where control is back in
//     the core: when a modal loop, a pump, a message box or the save dialog returns. So a
//     quit request from inside a dialog's button unwinds every dialog up to main().
// UI thread only.
#pragma once

#include <exception>
#include <type_traits>

#include "runtime/error.h"

namespace winlib {

// Keeps the exception (the first one, when several come) and ends every modal loop.
void carry(std::exception_ptr exception);
// Throws the kept exception, if any, once.
void rethrow_carried();

template <class Callback>
auto guarded(Callback&& callback) -> std::invoke_result_t<Callback> {
    using Result = std::invoke_result_t<Callback>;
    try {
        return callback();
    } catch (const runtime::Break&) {
    } catch (...) {
        carry(std::current_exception());
    }
    if constexpr (!std::is_void_v<Result>) return Result{};
}

}  // namespace winlib

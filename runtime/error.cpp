#include "runtime/error.h"

namespace runtime {
namespace {

ErrorHandler& installed() {
    static ErrorHandler handler;
    return handler;
}

}  // namespace

ErrorHandler install_error_handler(ErrorHandler handler) {
    ErrorHandler old = std::move(installed());
    installed() = std::move(handler);
    return old;
}

Value raise(const Error& error) {
    if (!installed()) throw Quit{1};
    return installed()(error);
}

}  // namespace runtime

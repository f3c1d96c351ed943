#include "winlib/carried.h"

#include <utility>

#include "winlib/window.h"

namespace winlib {
namespace {

std::exception_ptr kept;

}  // namespace

void carry(std::exception_ptr exception) {
    if (!kept) kept = std::move(exception);
    Window::end_modal_loops();
}

void rethrow_carried() {
    if (kept) std::rethrow_exception(std::exchange(kept, nullptr));
}

}  // namespace winlib

#include "kelv/win32api/attributes.h"

#include "kelv/win32api/primitives.h"
#include "runtime/fs.h"

namespace kelv {
namespace {

// Writes the attributes back with `bit` set or cleared, when it is not so already.
void change_bit(const std::string& path, std::uint32_t bit, bool set) {
    std::int32_t bits = GETFILEATTRIBUTES(path);
    if (bits == -1) return;
    auto now = static_cast<std::uint32_t>(bits);
    if (((now & bit) != 0) == set) return;
    SETFILEATTRIBUTES(path, set ? now + bit : now - bit);
}

}  // namespace

void CLEARREADONLY(const std::string& path) {
    change_bit(path, runtime::attribute::kReadOnly, false);
}

void CLEARHIDDEN(const std::string& path) { change_bit(path, runtime::attribute::kHidden, false); }

void SETHIDDEN(const std::string& path) { change_bit(path, runtime::attribute::kHidden, true); }

}  // namespace kelv

#include "tests/serial/pattern.h"

namespace serial::test {

std::string pattern(std::size_t count, std::size_t start) {
    std::string s(count, '\0');
    for (std::size_t i = 0; i < count; ++i) s[i] = static_cast<char>((start + i) % 251);
    return s;
}

}  // namespace serial::test

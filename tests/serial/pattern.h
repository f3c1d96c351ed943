// The bytes the tests and their peers send: 0, 1, 2 ... 250, 0, 1, ... A lost, doubled or
// reordered byte shows, and a stream can be resumed at any offset.
#pragma once

#include <cstddef>
#include <string>

namespace serial::test {

std::string pattern(std::size_t count, std::size_t start = 0);

}  // namespace serial::test

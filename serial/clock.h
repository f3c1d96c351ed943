// The clock and the bitwise exclusive or of the host services.
#pragma once

#include <cstdint>

namespace serial {

// Seconds since midnight, with a fractional part.
double SECONDS();

constexpr std::int64_t XOR(std::int64_t a, std::int64_t b) { return a ^ b; }

}  // namespace serial

// The text of N and F fields: a number right-aligned in its width with a fixed count of
// decimals, as "%*.*f" writes it in the "C" locale, and read back as strtod reads a decimal
// number there. Both take a short way for the common case and fall back to the standard
// library's conversions where that way could round differently, so the results are always
// the C library's, byte for byte and bit for bit, and "." stays the decimal point whatever
// locale the process runs in.
#pragma once

#include <cstddef>
#include <string_view>

namespace dbf {

// Writes `value` as snprintf(out, size, "%*.*f", width, decimals, value) does in the "C"
// locale and returns what it returns (the length the full text needs). `out` holds at
// least 64 bytes.
int format_number(char* out, std::size_t size, double value, int width, int decimals);

// The decimal number at the start of a field's text, as strtod reads one in the "C" locale
// (0 when there is none; hexadecimal is not read).
double parse_number(std::string_view text);

}  // namespace dbf

// The six number formatters: a number written the Italian way ("." between groups of
// thousands, "," before the decimals) right-aligned in a field of fixed width.
//
// The field has D integer positions (at most 15) and, for the E variants, two decimals;
// it is always D + (D - 1) / 3 characters long, plus 3 with decimals. The value is
// rounded halves away from zero on its 16-significant-digit form; a value too wide for
// its positions shows "*" in every digit position; a "-" left of a group separator moves
// into the separator's place. Without a width the natural width of the number is used:
// the integer width a table field declares, else 10, or 20 for an integer part (with its
// sign) longer than 10 characters. A width that leaves no integer position counts as one.
#pragma once

#include <optional>
#include <string>

#include "runtime/value.h"

namespace kelv {

// Whole numbers in nWidth positions (20 counts as 10, more than 15 as 15): zero shown as
// 0 (NSTR), or as blanks when exactly zero (ZSTR).
std::string NSTR(const runtime::Number& nValue, std::optional<int> nWidth = {});
std::string ZSTR(const runtime::Number& nValue, std::optional<int> nWidth = {});
// The absolute value as ZSTR writes it (as NSTR does when lZero holds), then " " or "-".
std::string SSTR(const runtime::Number& nValue, std::optional<int> nWidth = {}, bool lZero = false);

// Two decimals, nWidth counting every digit position, the decimals included; without a
// width 8 integer positions for the usual natural width of 10.
std::string ENSTR(const runtime::Number& nValue, std::optional<int> nWidth = {});
std::string EZSTR(const runtime::Number& nValue, std::optional<int> nWidth = {});
std::string ESSTR(const runtime::Number& nValue, std::optional<int> nWidth = {},
                  bool lZero = false);

// Plain numbers, with no declared width.
inline std::string NSTR(double n, std::optional<int> w = {}) { return NSTR(runtime::Number{n}, w); }
inline std::string ZSTR(double n, std::optional<int> w = {}) { return ZSTR(runtime::Number{n}, w); }
inline std::string SSTR(double n, std::optional<int> w = {}, bool z = false) {
    return SSTR(runtime::Number{n}, w, z);
}
inline std::string ENSTR(double n, std::optional<int> w = {}) {
    return ENSTR(runtime::Number{n}, w);
}
inline std::string EZSTR(double n, std::optional<int> w = {}) {
    return EZSTR(runtime::Number{n}, w);
}
inline std::string ESSTR(double n, std::optional<int> w = {}, bool z = false) {
    return ESSTR(runtime::Number{n}, w, z);
}

}  // namespace kelv

// Numbers as the library writes and reads them: the decimal form of 16 significant
// digits, rounded halves away from zero; the plain decimal text a number shows without a
// width; and the reading of a leading decimal number from a text.
#pragma once

#include <string>
#include <string_view>

#include "runtime/value.h"

namespace runtime {

// A finite value rounded to `decimals` places, working on its 16-significant-digit
// decimal form. `negative` is false when the rounded value is zero.
struct RoundedDecimal {
    bool negative = false;
    std::string integer = "0";  // no leading zeros, at least one digit
    std::string fraction;       // exactly `decimals` digits
};
RoundedDecimal round_decimal(double value, int decimals);

// Digits of the integer part of a finite value, without rounding (at least 1).
int integer_digit_count(double value);

// The plain decimal text, without blanks: a declared number of decimals when the number
// has one, otherwise the shortest text of at most 16 significant digits ("12", "-0.5").
std::string number_text(const Number& number);
std::string number_text(double value);

// Reads a leading decimal number: leading blanks, an optional sign, digits and an
// optional fraction; reading stops at the first character that cannot continue it, and
// a text with no leading digits reads as 0.
double leading_number(std::string_view text);

// The value in a field of `positions` integer places (at least 1) and `decimals` places,
// the Italian way: "." between groups of three integer places when a digit stands left of
// it, "," before the decimals. A value too wide for its places shows "*" in every digit
// place; a "-" left of a group separator moves into the separator's place. The field is
// always positions + (positions - 1) / 3 characters, plus decimals + 1 with decimals.
std::string grouped_number_text(double value, int positions, int decimals);

}  // namespace runtime

// Edit pictures: how an edit field shows its bound value and reads back what was typed.
//
//   "@!"        texts: letters a to z are typed in upper case
//   "999"       numbers: each "9" (or "#") an integer place; 1000 does not fit
//   "9999.99"   numbers: places after "." are decimals
//
// A number is shown the Italian way, as the library's formatters write it: "." between
// groups of three integer places (a "," in a picture is ignored: groups are always
// shown), "," before the decimals, "*" in every digit place when it does not fit. A
// function part before a blank ("@E 9999.99") is skipped. A picture without digit places
// puts no bound on a number, which is then shown in its plain decimal text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace winlib {

struct NumberPicture {
    int positions = 0;  // integer places
    int decimals = 0;
};

// Nothing when the picture has no digit places.
std::optional<NumberPicture> number_picture(std::string_view picture);
bool upper_case_picture(std::string_view picture);

// The number as the field shows it: the picture's field without its leading blanks, or
// the plain text when it has no digit places or the number does not fit (so that the
// user sees what to correct).
std::string field_number_text(double value, std::string_view picture);
// The value formatted with the picture begins with "*": it does not fit its places.
bool number_overflows(double value, std::string_view picture);
// What the user typed, read back: blanks and the group separator "." dropped, "," as
// the decimal point, then the leading number (0 when there is none).
double field_number_value(std::string_view text);

}  // namespace winlib

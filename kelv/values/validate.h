// Checks of the identifiers users type into forms: the Italian fiscal code and VAT
// number, the Italian IBAN, an e-mail address and a text of digits. Trailing blanks, as a
// form field pads them, are allowed where a check says so. Nothing is reported: every
// rejection is a false result.
#pragma once

#include <string_view>

namespace kelv {

// A personal fiscal code of 16 characters (any case); any other length is checked as a
// VAT number, which is accepted wherever a fiscal code is asked for.
bool ISCOD(std::string_view cCode);
// A VAT number of 11 characters with its check digit (the Luhn scheme). Characters other
// than digits are not rejected as such: they enter the arithmetic with their codes.
bool ISIVA(std::string_view cIva);
// An Italian IBAN of 27 characters, checked as ISO 13616 (ISO 7064 mod 97-10) on the text
// as given: blanks and lower-case letters enter the check with their own codes.
bool ISIBAN(std::string_view cIban);
// An address passing the character rules: letters, digits and . @ _ - ' only, at least
// one "." and one "@", no inner blank, not ending in ".".
bool ISEMAIL(std::string_view cMail);
// Every character a digit; the empty text is a number.
bool ISNUMBER(std::string_view cText);

}  // namespace kelv

// Two fixed character substitutions over Windows-1252 texts.
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// "&" and the letters à è é ì ò ù ° as numeric entities ("&#38;", "&#224;" ...); the
// ampersand goes first, so the entities' own ampersands stay. "<", ">" and the double
// quote pass unchanged.
std::string HTMLENCODE(std::string_view cText);
// The six accented small letters of the OEM code pages 437/850 (à è é ì ò ù) as their
// Windows-1252 bytes; every other byte stays.
std::string O2A(std::string_view cText);

}  // namespace kelv

// Windows-1252 text: every text inside the program is a byte string in this code page.
// Conversions to UTF-16 (Win32 wide calls) and UTF-8 (Qt, POSIX paths) happen only at a
// driver's edge, through these functions, never through the system's "ANSI" code page.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same value, as Windows does, so all 256 bytes round-trip.
char16_t cp1252_to_unicode(unsigned char byte);

// A character outside 1252 becomes '?', the platform's replacement for the code page.
char unicode_to_cp1252(char32_t code_point);

std::u16string to_utf16(std::string_view text);
std::string from_utf16(std::u16string_view text);
std::string to_utf8(std::string_view text);
// Malformed UTF-8 sequences become '?' byte by byte.
std::string from_utf8(std::string_view text);

// Upper- and lower-casing change the ASCII letters only.
std::string upper(std::string_view text);
std::string lower(std::string_view text);
std::string trim_right(std::string_view text);
std::string trim_left(std::string_view text);
std::string trim(std::string_view text);
// True when the text is empty or holds only blanks.
bool is_blank(std::string_view text);
// Case-insensitive comparison of ASCII letters, as Windows compares names.
bool equals_ignore_case(std::string_view a, std::string_view b);

}  // namespace runtime

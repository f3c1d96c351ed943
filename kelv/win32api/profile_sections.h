// The sections of a settings (INI) file and the entry names of one section: the
// platform's profile functions on Windows, the library's own reader on POSIX
// (serial/profile.h), with the same answers.
#pragma once

#include <string>
#include <vector>

namespace kelv {

// Fills buffer from its start, as far as size and the buffer's length allow, with every
// section name followed by a zero byte and one more zero byte after the last; the count
// of characters written (size - 2 when the names did not fit).
int GETPRIVATEPROFILESECTIONNAMES(std::string& buffer, int size, const std::string& file);
// The section names in file order (those that fit in 65536 bytes); none for a missing
// file or one without sections.
std::vector<std::string> GETPVPROFSECTIONNAMES(const std::string& file);
// The entry names (not the values) of the section in file order, each whole and one item
// each, without trailing blanks; none for a missing section or file.
std::vector<std::string> GETPVPROFSECTION(const std::string& section, const std::string& file);

}  // namespace kelv

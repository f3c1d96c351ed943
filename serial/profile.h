// The settings file services: read and write one value of a profile file. The platform's
// profile functions on Windows; on POSIX the same behaviour over profile_text.h.
#pragma once

#include <cstddef>
#include <string>

#include "runtime/value.h"

namespace serial {

// The key's value (at most 4095 bytes), the default (without trailing blanks) when the
// file, section or key is missing. A key that is not a text asks for the section's key
// names instead, each followed by a zero byte.
std::string GETPVPROFSTRING(const std::string& section, const runtime::Value& key,
                            const std::string& default_value, const std::string& file);

// The section names, in file order, each followed by a zero byte and one more zero byte
// after the last, written into buffer[0, size) as GetPrivateProfileSectionNamesA writes
// them: the count of characters written without the final zero. When they do not fit
// with two bytes to spare (the platform's rule), the list is cut to size - 2 characters
// and ended by two zero bytes, and size - 2 is the count. No file, or one without
// sections, writes just the final zero (count 0).
std::size_t profile_section_names(char* buffer, std::size_t size, const std::string& file);

// The section's entry names, each followed by a zero byte, every one whole however long
// the list (no 4095-byte cut); empty when the file or section is missing.
std::string profile_entry_names(const std::string& section, const std::string& file);

// Stores the value; the file and the section are created when missing. True when stored.
bool WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file);

}  // namespace serial

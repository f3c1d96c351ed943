// The settings file services: read and write one value of a profile file. The platform's
// profile functions on Windows; on POSIX the same behaviour over profile_text.h.
#pragma once

#include <string>

#include "runtime/value.h"

namespace serial {

// The key's value (at most 4095 bytes), the default (without trailing blanks) when the
// file, section or key is missing. A key that is not a text asks for the section's key
// names instead, each followed by a zero byte.
std::string GETPVPROFSTRING(const std::string& section, const runtime::Value& key,
                            const std::string& default_value, const std::string& file);

// Stores the value; the file and the section are created when missing. True when stored.
bool WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file);

}  // namespace serial

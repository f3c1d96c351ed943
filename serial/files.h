// File-name and file services of the host: extension, existence, and writing a byte string.
#pragma once

#include <string>

#include "runtime/value.h"

namespace serial {

// The extension of the path's file-name part, without the full stop and trimmed of
// blanks; empty when there is none.
std::string CFILEEXT(const std::string& path);

// True when a file (not a folder) of that name exists.
bool FILE(const std::string& path);

// Creates or empties the file and writes the bytes, then one 0x1A unless the third
// argument is false (anything but a logical counts as true). True when all were written.
bool MEMOWRIT(const std::string& path, const std::string& bytes,
              const runtime::Value& end_of_file = {});

// Puts the file `from` in the place of `to`, replacing it in one step: a reader sees the
// old file or the new one, never a part. True when done.
bool replace_file(const std::string& from, const std::string& to);
// True when the file is gone (also when it never existed).
bool delete_file(const std::string& path);

}  // namespace serial

// File-name and file services of the host: extension, existence, and writing a byte string.
// (Everything else the program does to files goes through runtime/fs.h.)
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

}  // namespace serial

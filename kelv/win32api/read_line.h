// Reading a text file line by line through a file handle of the file-system seam.
#pragma once

#include <optional>
#include <string>

#include "runtime/fs.h"

namespace kelv {

// The next line of a file whose lines end in CR LF, read from the current position: the
// bytes up to the first CR or zero byte, at most `maximum` of them; nothing at the end of
// the file. The position moves to just after what was returned and its line end (CR LF,
// a lone CR or the zero byte), so no byte is lost:
//   - a line longer than the maximum comes back cut, and the next call goes on with the
//     rest of it (a line of exactly the maximum takes its CR LF along);
//   - a last line without line end comes back as it is, not padded;
//   - an LF alone is no line end: an LF-only file comes back in pieces of the maximum.
std::optional<std::string> FREADLINE(runtime::FileHandle file, int maximum = 128);

}  // namespace kelv

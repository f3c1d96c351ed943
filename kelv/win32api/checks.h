// The checks a library function makes before it writes: is the drive there, can it be
// written, can the file be written; and the delete that makes both first. A failed check
// releases the system lock (SUNLOCK) and then tells the user with a kind 1 message.
#pragma once

#include <string>

namespace kelv {

// Whether the drive ("C:", or the empty text for the current directory, which is always
// ready) can be reached; "Disco non pronto." when not, if show_message.
bool ISREADY(const std::string& drive_prefix, bool show_message = true);
// True when the drive is not ready or a file cannot be created on it ("Disco protetto da
// scrittura."); the test file it writes is gone again when it could be written.
bool ISPROTECTED(const std::string& drive_prefix);
// True when opening the file for writing is refused as access denied (5): "File non
// accessibile.". A missing file, or one another program holds open without sharing, is
// not read-only.
bool ISREADONLY(const std::string& file);
// Erases the file after both checks, on its own drive (its "X:" or the current drive);
// a failed check abandons the caller's work (runtime::Break, after the message). A
// failure of the erase itself is not reported.
void DELFILE(const std::string& file);

}  // namespace kelv

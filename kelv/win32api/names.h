// Names: a fresh unique name for the library's temporary files and folders, and the test
// of a legal long file name.
#pragma once

#include <string>

namespace kelv {

// 0x7F, today's date as yyyymmdd and the hundredths of a second since midnight (1 to 7
// digits, no leading zeros). It returns once the clock has moved on to the next
// hundredth, sleeping meanwhile, so that the next call's name differs.
std::string GETNEWFNAME();
// False for an empty or blank name, one holding any of " * / : < > ? \ |, or one of the
// reserved device names NUL, CON, PRN, AUX, LPT1-3, COM1-4 as the whole name (case and
// outer blanks ignored: "com1 " is reserved, "nul.txt", "LPT4" and "COM5" are not).
bool LFNFNAME(const std::string& name);

}  // namespace kelv

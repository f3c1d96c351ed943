// The file-name case setting ("FileCase"): with "UPPER" the name and extension of every
// file the library and the table engine hand to the file system are upper-cased, with
// "LOWER" lower-cased; the folder part keeps its case ("C:\work\game.tap" is stored as
// "C:\work\GAME.TAP"). Anything else keeps names as given.
#pragma once

#include <string>

namespace runtime {

constexpr const char* kSettingFileCase = "FileCase";

std::string apply_file_case(const std::string& path);

}  // namespace runtime

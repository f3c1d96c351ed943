// Profile ("INI") text, read and changed the way the platform's profile functions do:
// "[section]" lines open a section, "key=value" lines inside it hold values; section and
// key names compare without regard to case and without their surrounding blanks; a value
// loses its surrounding blanks and one pair of enclosing quotes. A change rewrites only
// the line it concerns: every other line stays exactly as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace serial {

// The value of key in section; nothing when either is missing.
std::optional<std::string> profile_value(std::string_view text, std::string_view section,
                                         std::string_view key);

// The section's key names, each followed by a zero byte; nothing for a missing section.
std::optional<std::string> profile_keys(std::string_view text, std::string_view section);

// The names of the sections, in file order, each followed by a zero byte.
std::string profile_sections(std::string_view text);

// The text with key set to value in section: the key's line replaced (the key keeping its
// spelling), or a new line after
// the section's last key, or a new section at the end.
std::string profile_with(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace serial

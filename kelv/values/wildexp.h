// Expansion of file-name patterns into the names of the files they match.
#pragma once

#include <string>
#include <vector>

namespace kelv {

// For each pattern in turn (wildcards allowed, with or without a path), the names without
// path of the ordinary, read-only and hidden files it matches, in the order the file
// system lists them; folders and system files are left out, duplicates stay.
std::vector<std::string> WILDEXP(const std::vector<std::string>& aPatterns);

}  // namespace kelv

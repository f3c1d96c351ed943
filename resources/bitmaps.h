// The bitmaps and icons of resources/velkan.rc (the BMP and ICO files' bytes), embedded at
// build time for drivers that do not compile the resource script; empty for an unknown
// name.
#pragma once

#include <string_view>

namespace resources {

std::string_view bitmap(std::string_view name);
std::string_view icon(std::string_view name);

}  // namespace resources

// The text of resources/velkan.rc, embedded at build time for drivers that read the dialog
// templates themselves (the Windows build carries them as compiled resources instead).
#pragma once

#include <string_view>

namespace resources {

std::string_view rc_text();

}  // namespace resources

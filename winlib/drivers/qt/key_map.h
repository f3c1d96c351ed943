// Qt key codes to Win32 virtual-key codes, the library's vocabulary for keys.
#pragma once

class QKeyEvent;

namespace winlib::qt {

// The virtual-key code of the key of this event, or 0 for a key Windows has no code for.
int virtual_key(const QKeyEvent* event);

}  // namespace winlib::qt

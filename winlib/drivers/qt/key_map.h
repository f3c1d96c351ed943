// Qt key codes to Win32 virtual-key codes, the library's vocabulary for keys.
#pragma once

class QKeyEvent;

namespace winlib::qt {

// The virtual-key code of the key of this event, or 0 for a key Windows has no code for.
int virtual_key(const QKeyEvent* event);
// The Qt key of a virtual-key code, or 0 for one Qt has no key for.
int qt_key(int virtual_key);

}  // namespace winlib::qt

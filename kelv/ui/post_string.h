// Feeding keystrokes to a window, as if typed there.
#pragma once

#include <optional>
#include <string>

#include "winlib/types.h"

namespace kelv {

// Each byte in turn: above the blank a character message (WM_CHAR), else (the blank and
// control codes) a key-down message (WM_KEYDOWN) with the byte as the key code; pending
// messages are processed after each. No window: the window active at the call.
void POSTSTRING(std::optional<winlib::Handle> hWnd, const std::string& cText);

}  // namespace kelv

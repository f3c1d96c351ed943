// Bringing a dialog's controls up to date with their bound values.
#pragma once

#include "winlib/window.h"

namespace kelv {

// Refreshes each control whose text differs from its bound value (trailing blanks aside),
// leaving alone those that already show it, list boxes, a date field holding a bad date
// (the user's input stays) and the combo box that has the focus. A call made while one
// runs (from a message box's loop) returns at once.
void REFRESHALL(winlib::Window& oDlg);

}  // namespace kelv

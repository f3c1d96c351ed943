// The dialog convention: the close rule every dialog carries, its field checks, and
// finding a dialog's controls by position, variable name or id.
//
// Cargo of a dialog: nothing while open; 1 from the confirming button, 2 from the
// cancelling one. A result (nResult) of 0 or 2 means cancelled.
#pragma once

#include <memory>
#include <string>

#include "runtime/value.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace kelv {

// The close rule: true when the dialog may close. Leaving without confirming closes at
// once unless lAsk and the dialog was modified (then "Annullo le modifiche?", No by
// default); confirming runs the field checks. A nested call while one runs refuses.
bool __VALID(winlib::Window& oDlg, bool lAsk);
// The field checks of a dialog or folder page, in creation order; the first control
// rejected gets the focus and a notice.
bool __VALID2(winlib::Window& oWnd);
void UPDATEMODIFY(winlib::Window& oDlg);

// The n-th control (1-based) for a number; for a text, the first control whose variable
// name begins with it. Nothing when none.
std::shared_ptr<winlib::Control> CTL(const winlib::Window& oDlg, const runtime::Value& xKey);
std::shared_ptr<winlib::Control> ITEM(const winlib::Window& oDlg, int nId);

// Class names compare in upper case and by prefix.
bool class_begins(const winlib::Control& control, const std::string& prefix);

}  // namespace kelv

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
#include "winlib/folder.h"
#include "winlib/window.h"

namespace kelv {

// The close rule: true when the dialog may close. Leaving without confirming closes at
// once unless lAsk and the dialog or a page of its folders was modified (then "Annullo le
// modifiche?", No by default); confirming runs the field checks of the dialog and then of
// each folder page, brought to the front in turn (a failing page stays in front). A nested
// call while one runs refuses.
bool __VALID(winlib::Window& oDlg, bool lAsk);
// The field checks of a dialog or folder page, in creation order; the first control
// rejected gets the focus and a notice.
bool __VALID2(winlib::Window& oWnd);
// The dialog counts as modified when a page of one of its folders is.
void UPDATEMODIFY(winlib::Window& oDlg);

// The n-th control (1-based) for a number; for a text, the first control whose variable
// name begins with it, folders searched page by page (never matching themselves).
// Nothing when none. ITEM searches the same way by control id.
std::shared_ptr<winlib::Control> CTL(const winlib::Window& oDlg, const runtime::Value& xKey);
std::shared_ptr<winlib::Control> ITEM(const winlib::Window& oDlg, int nId);

// Class names compare in upper case and by prefix.
bool class_begins(const winlib::Control& control, const std::string& prefix);
// A field's text is a bad date when it is neither empty nor the empty date mask and does
// not read as a date under the date format in force.
bool bad_date(const std::string& text);
// The control as a folder, when its class begins with "TFOLDER"; else null.
winlib::TFolder* as_folder(winlib::Control& control);

}  // namespace kelv

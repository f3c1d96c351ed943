// Small helpers on a dialog's controls: enabling and disabling combo boxes, a list box's
// selection by prefix, a combo box's typing picture, and the pages of a folder.
#pragma once

#include <memory>
#include <string>

#include "winlib/control.h"
#include "winlib/folder.h"
#include "winlib/window.h"

namespace kelv {

// Disabling a combo box keeps its bound value aside (cTmpItem) and shows its selected item
// empty, the bound value empty too; enabling puts the kept value back. Any control is
// disabled or enabled.
void CTLDISABLE(winlib::Control& oCtl);
void CTLENABLE(winlib::Control& oCtl);
// Selects the first item of the list box that begins with cItem; none: no change.
void LBXSET(winlib::Control& oLbx, const std::string& cItem);
// While the user types into a combo box's edit field: "@!" turns its letters to upper
// case; "9" removes the first character that is not a digit, the caret one place back
// (never before the start of the text).
void CBPICTURE(winlib::Control& oCbx, const std::string& cPicture);
// Takes the page's tab away: the page goes to the end of ADIALOGS (which keeps its
// length) and its caption leaves APROMPTS. Only the first match counts.
void FLDHIDEITEM(winlib::TFolder& oFolder, const std::shared_ptr<winlib::TDialog>& oPage);
// Every page of the folder counts as unmodified again.
void RESETMODIFY(winlib::TFolder& oFolder);

}  // namespace kelv

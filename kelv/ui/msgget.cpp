#include "kelv/ui/msgget.h"

#include "kelv/ui/dialog_check.h"
#include "runtime/frame.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace kelv {

bool MSGGET(const std::string& cTitle, const std::string& cPrompt, runtime::Value& xValue,
            const std::string& cPicture) {
    runtime::Frame frame("MSGGET");
    runtime::Value cTemp = xValue;  // the dialog edits only this copy
    auto dlg = winlib::TDialog::FromResource("MSGGET", cTitle);
    dlg->lModify = false;
    winlib::TSay::Redefine(*dlg, 101, cPrompt);
    winlib::TGet::Redefine(*dlg, 102, &cTemp, cPicture)->cVarName = "cTemp";
    winlib::TButton::Redefine(*dlg, 201, [&d = *dlg] {
        d.Cargo = 1;
        d.End(1);
    });
    winlib::TButton::Redefine(*dlg, 202, [&d = *dlg] {
        d.Cargo = 2;
        d.End();
    });
    dlg->bValid = [&d = *dlg] { return __VALID(d, false); };
    frame.next_line();
    dlg->Activate(true);
    if (dlg->nResult == 0 || dlg->nResult == 2) return false;
    xValue = cTemp;
    return true;
}

}  // namespace kelv

#include "kelv/ui/infos.h"

#include "kelv/ui/dialog_check.h"
#include "runtime/frame.h"
#include "winlib/control.h"
#include "winlib/image.h"
#include "winlib/window.h"

namespace kelv {
namespace {

const std::string& or_default(const std::string& given, const std::string& maker) {
    return given.empty() ? maker : given;
}

}  // namespace

void INFOS(const std::string& cName, const std::string& cVersion, const std::string& cYear,
           const std::string& cAddress, const std::string& cPhone, const std::string& cEmail) {
    runtime::Frame frame("INFOS");
    const std::string address = kMakerAddress, phone = kMakerPhone, email = kMakerEmail;
    auto dlg = winlib::TDialog::FromResource("INFOS");
    dlg->lModify = false;
    winlib::TImage::Redefine(*dlg, 101, "KELV");
    winlib::TSay::Redefine(*dlg, 102, cName);
    winlib::TSay::Redefine(*dlg, 103, "Versione: " + cVersion);
    winlib::TSay::Redefine(*dlg, 104, "\xA9 " + cYear + " gli sviluppatori di VELKAN");
    winlib::TSay::Redefine(*dlg, 106, or_default(cAddress, address));
    winlib::TSay::Redefine(*dlg, 107, or_default(cPhone, phone));
    winlib::TSay::Redefine(*dlg, 108, or_default(cEmail, email));
    winlib::TButton::Redefine(*dlg, 201, [&d = *dlg] {
        d.Cargo = 1;
        d.End(1);
    });
    dlg->bValid = [&d = *dlg] { return __VALID(d, false); };
    frame.next_line();
    dlg->Activate(true);
}

}  // namespace kelv

#include "kelv/ui/dialog_check.h"
#include "runtime/frame.h"
#include "runtime/text1252.h"
#include "velkan/velkan.h"

namespace velkan {
namespace {

constexpr std::size_t kNameLength = 10;

// Result 1 confirms; 0 and 2 (Cancel, Esc, the close box) cancel.
bool confirmed(const winlib::Window& dlg) { return dlg.nResult != 0 && dlg.nResult != 2; }

// The buttons of both dialogs: confirm with Cargo 1 and result 1, cancel with 2 and 2.
void add_confirm_cancel(winlib::Window& dlg, int confirm_id, int cancel_id) {
    winlib::TButton::Redefine(dlg, confirm_id, [&dlg] {
        dlg.Cargo = 1;
        dlg.End(1);
    });
    winlib::TButton::Redefine(dlg, cancel_id, [&dlg] {
        dlg.Cargo = 2;
        dlg.End(2);
    });
}

}  // namespace

std::optional<FileList> AFILES() {
    runtime::Frame frame("AFILES");
    FileList files;
    std::string selected;
    auto dlg = winlib::TDialog::FromResource("AFILES");
    winlib::TListBox::Redefine(*dlg, 101, &selected, files)->cVarName = "cFil";
    add_confirm_cancel(*dlg, 201, 202);
    winlib::TButton::Redefine(*dlg, 203, [&] { ADDFILE(*dlg, files); });
    dlg->bValid = [&dlg = *dlg] { return kelv::__VALID(dlg, false); };
    frame.next_line();
    dlg->Activate(true);
    if (!confirmed(*dlg)) return std::nullopt;
    return files;
}

void ADDFILE(winlib::Window& oDlg, FileList& files) {
    runtime::Frame frame("ADDFILE");
    std::string name(kNameLength, ' ');
    frame.next_line();
    if (!MSGGET("Add file", "File name:", name) || runtime::is_blank(name)) return;
    files.push_back(name);
    frame.next_line();
    if (auto list = std::dynamic_pointer_cast<winlib::TListBox>(kelv::CTL(oDlg, "cFil")))
        list->SetItems(files);
}

bool MSGGET(const std::string& cTitle, const std::string& cPrompt, std::string& xValue,
            const std::string& cPicture) {
    runtime::Frame frame("MSGGET");
    std::string value = xValue;
    auto dlg = winlib::TDialog::FromResource("MSGGET2", cTitle);
    winlib::TSay::Redefine(*dlg, 101, cPrompt);
    winlib::TGet::Redefine(*dlg, 102, &value, cPicture)->cVarName = "cTemp";
    add_confirm_cancel(*dlg, 201, 202);
    dlg->bValid = [&dlg = *dlg] { return kelv::__VALID(dlg, false); };
    frame.next_line();
    dlg->Activate(true);
    if (!confirmed(*dlg)) return false;
    xValue = value;
    return true;
}

}  // namespace velkan

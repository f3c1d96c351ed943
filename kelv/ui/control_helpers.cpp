#include "kelv/ui/control_helpers.h"

#include <algorithm>

#include "kelv/ui/dialog_check.h"
#include "runtime/text1252.h"
#include "winlib/combo_box.h"
#include "winlib/vocabulary.h"

namespace kelv {
namespace {

winlib::TComboBox* as_combo(winlib::Control& control) {
    return class_begins(control, "TCOMBOBOX") ? dynamic_cast<winlib::TComboBox*>(&control)
                                              : nullptr;
}

}  // namespace

void CTLDISABLE(winlib::Control& oCtl) {
    if (winlib::TComboBox* combo = as_combo(oCtl)) {
        combo->cTmpItem = combo->VarGet();
        combo->Modify("", combo->nAt);
        combo->Select(combo->nAt);
        combo->VarPut(std::string());
    }
    oCtl.Disable();
}

void CTLENABLE(winlib::Control& oCtl) {
    if (winlib::TComboBox* combo = as_combo(oCtl);
        combo != nullptr && !combo->cTmpItem.is_nothing()) {
        combo->Modify(combo->cTmpItem.is_text() ? combo->cTmpItem.text() : "", combo->nAt);
        combo->Select(combo->nAt);
        combo->VarPut(combo->cTmpItem);
    }
    oCtl.Enable();
}

void LBXSET(winlib::Control& oLbx, const std::string& cItem) {
    auto* list = dynamic_cast<winlib::TListBox*>(&oLbx);
    if (list == nullptr) return;
    const auto it =
        std::find_if(list->aItems.begin(), list->aItems.end(),
                     [&](const std::string& item) { return item.rfind(cItem, 0) == 0; });
    if (it != list->aItems.end()) list->Select(static_cast<int>(it - list->aItems.begin()) + 1);
}

void CBPICTURE(winlib::Control& oCbx, const std::string& cPicture) {
    winlib::TComboBox* combo = as_combo(oCbx);
    if (combo == nullptr) return;
    int caret = static_cast<int>(combo->SendMsg(winlib::cb::kGetEditSel) & 0xFFFF);
    std::string text = combo->GetText();
    if (cPicture == "@!") {
        text = runtime::upper(text);
    } else if (cPicture == "9") {
        const std::size_t stray = text.find_first_not_of("0123456789");
        if (stray != std::string::npos) {
            text.erase(stray, 1);
            caret = std::max(caret - 1, 0);  // a caret at the start stays there
        }
    }
    combo->SetEditText(text);
    combo->SendMsg(winlib::cb::kSetEditSel, 0, static_cast<std::intptr_t>(caret) << 16 | caret);
}

void FLDHIDEITEM(winlib::TFolder& oFolder, const std::shared_ptr<winlib::TDialog>& oPage) {
    auto& pages = oFolder.ADIALOGS;
    const auto it = std::find(pages.begin(), pages.end(), oPage);
    if (it == pages.end()) return;
    const auto n = it - pages.begin();
    pages.erase(it);
    pages.push_back(oPage);
    if (n < static_cast<std::ptrdiff_t>(oFolder.APROMPTS.size()))
        oFolder.APROMPTS.erase(oFolder.APROMPTS.begin() + n);
    oFolder.Refresh();
}

void RESETMODIFY(winlib::TFolder& oFolder) {
    for (const auto& page : oFolder.ADIALOGS) page->lModify = false;
}

}  // namespace kelv

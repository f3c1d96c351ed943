#include "kelv/ui/dialog_check.h"

#include "kelv/ui/popmsg.h"
#include "runtime/date.h"
#include "runtime/text1252.h"
#include "winlib/services.h"

namespace kelv {
namespace {

using runtime::Value;

// Set while a close rule runs: a close request from a message dispatched meanwhile (the
// notice's own message loop) is refused.
bool validating = false;

struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
};


// The rejected control shows red behind its text while the notice is up.
constexpr long kRejectedPane = 255;

bool reject(winlib::Window& wnd, winlib::Control& control, const char* message) {
    control.SetFocus();
    const long pane = control.nClrPane;
    control.SetColor(control.nClrText, kRejectedPane);
    wnd.Refresh(false);
    POPMSG(message, 1);
    control.SetColor(control.nClrText, pane);
    wnd.Refresh(false);
    control.SetFocus();
    return false;
}

}  // namespace

bool bad_date(const std::string& text) {
    constexpr const char* kEmptyDateMask = "  /  /  ";
    if (text.empty() || text.rfind(kEmptyDateMask, 0) == 0) return false;
    return !runtime::date_from_text(text).has_value();
}

bool class_begins(const winlib::Control& control, const std::string& prefix) {
    return runtime::upper(control.ClassName()).rfind(runtime::upper(prefix), 0) == 0;
}

winlib::TFolder* as_folder(winlib::Control& control) {
    return class_begins(control, "TFOLDER") ? dynamic_cast<winlib::TFolder*>(&control) : nullptr;
}

bool __VALID(winlib::Window& oDlg, bool lAsk) {
    const winlib::Handle focus = winlib::focused_window();
    if (validating) return false;
    Guard guard(validating);

    bool confirming = !(oDlg.Cargo.is_nothing() ||
                        (oDlg.Cargo.is_number() && oDlg.Cargo.number() == 2));
    if (!confirming) {
        if (!lAsk) return true;
        UPDATEMODIFY(oDlg);
        if (!oDlg.lModify) return true;
        bool yes = POPMSG("Annullo le modifiche?", 5).logical();
        if (!yes) {
            if (const auto owner = winlib::Window::control_owning(focus)) owner->SetFocus();
        }
        return yes;
    }

    oDlg.Cargo = Value();
    if (const auto owner = winlib::Window::control_owning(focus)) owner->on_focus_lost();
    if (!__VALID2(oDlg)) return false;
    for (const auto& c : oDlg.aControls) {
        winlib::TFolder* folder = as_folder(*c);
        if (folder == nullptr) continue;
        for (std::size_t i = 0; i < folder->ADIALOGS.size(); ++i) {
            folder->SetOption(static_cast<int>(i) + 1);
            if (!__VALID2(*folder->ADIALOGS[i])) return false;
        }
    }
    return true;
}

bool __VALID2(winlib::Window& oWnd) {
    for (const auto& c : oWnd.aControls) {
        std::string cls = runtime::upper(c->ClassName());
        if (std::string("TMETER|TSAY").find(cls) != std::string::npos) continue;
        // What a combo box shows goes to its variable, even when the box is skipped below.
        if (class_begins(*c, "TCOMBOBOX")) c->VarPut(c->GetText());
        if (c->bWhen && !c->bWhen()) continue;
        Value bound = c->bSetGet ? c->VarGet() : Value();
        if (bound.is_date() && bad_date(c->GetText()))
            return reject(oWnd, *c, "Data non valida.");
        if (bound.is_number() && c->bad_number()) return reject(oWnd, *c, "Numero troppo grande.");
        if (c->Cargo.is_callback() && !c->Cargo.call({Value(c)}).logical())
            return reject(oWnd, *c, "Campo non valido.");
    }
    return true;
}

void UPDATEMODIFY(winlib::Window& oDlg) {
    for (const auto& c : oDlg.aControls)
        if (winlib::TFolder* folder = as_folder(*c))
            for (const auto& page : folder->ADIALOGS)
                if (page->lModify) oDlg.lModify = true;
}

namespace {

// The first control, in creation order, that matches; folders are searched page by page
// (pages holding folders too) and never match themselves.
template <class Match>
std::shared_ptr<winlib::Control> find_control(const winlib::Window& wnd, const Match& match) {
    for (const auto& c : wnd.aControls) {
        if (winlib::TFolder* folder = as_folder(*c)) {
            for (const auto& page : folder->ADIALOGS)
                if (auto found = find_control(*page, match)) return found;
        } else if (match(*c)) {
            return c;
        }
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<winlib::Control> CTL(const winlib::Window& oDlg, const Value& xKey) {
    if (xKey.is_number()) {
        double n = xKey.number();
        if (n >= 1 && n <= static_cast<double>(oDlg.aControls.size()))
            return oDlg.aControls[static_cast<std::size_t>(n) - 1];
        return nullptr;
    }
    if (!xKey.is_text()) return nullptr;
    return find_control(oDlg, [&](const winlib::Control& c) {
        return !c.cVarName.empty() && c.cVarName.rfind(xKey.text(), 0) == 0;
    });
}

std::shared_ptr<winlib::Control> ITEM(const winlib::Window& oDlg, int nId) {
    return find_control(oDlg, [nId](const winlib::Control& c) { return c.nId == nId; });
}

}  // namespace kelv

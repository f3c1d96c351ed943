#include "kelv/ui/refresh_all.h"

#include <optional>
#include <string>

#include "kelv/ui/dialog_check.h"
#include "runtime/date.h"
#include "runtime/text1252.h"
#include "winlib/control.h"
#include "winlib/picture.h"

namespace kelv {
namespace {

using runtime::Value;

bool refreshing = false;  // UI thread only

struct Guard {
    Guard() { refreshing = true; }
    ~Guard() { refreshing = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

// What an edit field shows for its bound value: a number as its picture formats it, as
// the field itself shows it; nothing for a value of another kind.
std::optional<std::string> field_text(const Value& bound, const std::string& picture) {
    if (bound.is_text()) return bound.text();
    if (bound.is_number()) return winlib::field_number_text(bound.number(), picture);
    if (bound.is_date())
        return bound.date().empty() ? std::string(8, ' ') : runtime::date_to_text(bound.date());
    return std::nullopt;
}

bool differs(const std::string& shown, const std::string& bound) {
    return runtime::trim_right(shown) != runtime::trim_right(bound);
}

}  // namespace

void REFRESHALL(winlib::Window& oDlg) {
    if (refreshing) return;
    Guard guard;
    for (std::size_t n = 1; n <= oDlg.aControls.size(); ++n) {
        const auto control = CTL(oDlg, static_cast<double>(n));
        if (class_begins(*control, "TLISTBOX") || !control->bSetGet) continue;
        if (class_begins(*control, "TGET")) {
            const Value bound = control->VarGet();
            if (bound.is_date() && bad_date(control->GetText())) continue;
            const auto* get = dynamic_cast<const winlib::TGet*>(control.get());
            const std::optional<std::string> text =
                field_text(bound, get != nullptr ? get->cPicture : std::string());
            if (!text || differs(control->GetText(), *text)) control->Refresh();
        } else if (class_begins(*control, "TMULTIGET") || class_begins(*control, "TCOMBOBOX")) {
            if (class_begins(*control, "TCOMBOBOX") && control->hWnd != 0 &&
                control->hWnd == oDlg.hCtlFocus)
                continue;
            const Value bound = control->VarGet();
            if (differs(control->GetText(), bound.is_text() ? bound.text() : ""))
                control->Refresh();
        } else {
            control->Refresh();
        }
    }
}

}  // namespace kelv

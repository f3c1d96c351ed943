// A combo box bound to a text variable: a list of item texts (aItems), the selected
// position (nAt) and, with an edit field (CBS_DROPDOWN), text typed freely. The bound
// variable takes the selected item's text, or what the edit field shows when the control
// loses the focus.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/value.h"
#include "winlib/control.h"

namespace winlib {

class TComboBox : public Control {
public:
    static std::shared_ptr<TComboBox> Redefine(Window& dlg, int id, std::string* variable,
                                               std::vector<std::string> items);
    // Built at run time; the rectangle's height includes the opened list.
    static std::shared_ptr<TComboBox> New(Window& dlg, Rect rect, std::string* variable,
                                          std::vector<std::string> items,
                                          unsigned style = cbs::kDropDown | cbs::kAutoHScroll);
    static constexpr ControlClass kClass{"TCOMBOBOX", window_class::kComboBox,
                                         ws::kVScroll | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }

    std::vector<std::string> aItems;
    int nAt = 0;              // the selected item, 1-based; 0 for none
    runtime::Value cTmpItem;  // a bound value kept aside while the control is disabled

    // Replaces the text of the item at that position; the selection stays.
    void Modify(const std::string& text, int position);
    // Selects the item at that position and gives the bound variable its text.
    void Select(int position);
    // The edit field's text, set without notifying a change.
    void SetEditText(const std::string& text);
    // Sends the box one of the messages it answers natively (cb::kGetEditSel,
    // cb::kSetEditSel) and returns its answer; 0 before it is realised.
    std::intptr_t SendMsg(unsigned message, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);
    // Shows the items and the bound text: the item equal to it selected, else in the edit.
    void Refresh() override;
    void on_changed() override;
    void on_focus_lost() override;
};

}  // namespace winlib

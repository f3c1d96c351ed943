// Combo boxes: items, the selected position and the bound text.
#include "winlib/combo_box.h"

#include <algorithm>

#include "runtime/text1252.h"
#include "winlib/driver/controls.h"
#include "winlib/window.h"

namespace winlib {
namespace {

std::shared_ptr<TComboBox> make_combo(std::string* variable, std::vector<std::string> items) {
    auto combo = std::make_shared<TComboBox>();
    combo->aItems = std::move(items);
    combo->bSetGet = bind_text(variable);
    return combo;
}

}  // namespace

std::shared_ptr<TComboBox> TComboBox::Redefine(Window& dlg, int id, std::string* variable,
                                               std::vector<std::string> items) {
    auto combo = make_combo(variable, std::move(items));
    bind_to_template(dlg, combo, id);
    return combo;
}

std::shared_ptr<TComboBox> TComboBox::New(Window& dlg, Rect rect, std::string* variable,
                                          std::vector<std::string> items, unsigned style) {
    auto combo = make_combo(variable, std::move(items));
    place(dlg, combo, rect, style);
    return combo;
}

void TComboBox::Modify(const std::string& text, int position) {
    if (position < 1 || position > static_cast<int>(aItems.size())) return;
    aItems[static_cast<std::size_t>(position - 1)] = text;
    if (hWnd == 0) return;
    // The native list is filled again: its selection would go, so it is given back.
    const std::string shown = GetText();
    driver::set_items(*this, aItems);
    driver::select(*this, nAt);
    if (nAt != position) driver::set_text(*this, shown);
}

void TComboBox::Select(int position) {
    if (position < 0 || position > static_cast<int>(aItems.size())) return;
    nAt = position;
    if (hWnd != 0) driver::select(*this, position);
    if (position >= 1) VarPut(aItems[static_cast<std::size_t>(position - 1)]);
}

void TComboBox::SetEditText(const std::string& text) {
    if (hWnd != 0) driver::set_text(*this, text);
}

std::intptr_t TComboBox::SendMsg(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    return hWnd != 0 ? driver::control_message(*this, message, wparam, lparam) : 0;
}

void TComboBox::Refresh() {
    if (hWnd == 0) return;
    const runtime::Value value = VarGet();
    const std::string text = value.is_text() ? runtime::trim_right(value.text()) : "";
    driver::set_items(*this, aItems);
    const auto it = std::find_if(aItems.begin(), aItems.end(), [&](const std::string& item) {
        return runtime::trim_right(item) == text;
    });
    nAt = it == aItems.end() ? 0 : static_cast<int>(it - aItems.begin()) + 1;
    driver::select(*this, nAt);
    if (nAt == 0) driver::set_text(*this, text);
}

// A newly chosen item gives its text (the edit field may not show it yet); typing gives
// what the edit field shows.
void TComboBox::on_changed() {
    const int position = driver::selection(*this);
    if (position >= 1 && position <= static_cast<int>(aItems.size()) && position != nAt) {
        nAt = position;
        VarPut(aItems[static_cast<std::size_t>(position - 1)]);
    } else {
        VarPut(GetText());
    }
    Control::on_changed();
}

void TComboBox::on_focus_lost() { VarPut(GetText()); }

}  // namespace winlib

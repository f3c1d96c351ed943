// Controls: bound values, the field's length and picture rules, and the modified flag
// every user change sets on the dialog.
#include "winlib/control.h"

#include <algorithm>

#include "runtime/text1252.h"
#include "winlib/driver.h"
#include "winlib/window.h"

namespace winlib {
namespace {

// A get/set callback over a text variable.
std::function<runtime::Value(const runtime::Value&)> bind_text(std::string* variable) {
    return [variable](const runtime::Value& value) {
        if (value.is_text()) *variable = value.text();
        return runtime::Value(*variable);
    };
}

// The variable's new value from what the field shows: under the picture, cut to the
// variable's length and filled with blanks to it. A variable of length 0 takes the text
// as typed (there is no length to keep).
std::string field_value(const std::string& shown, const std::string& picture, int length) {
    std::string value = picture.find("@!") != std::string::npos ? runtime::upper(shown) : shown;
    if (length > 0) value.resize(static_cast<std::size_t>(length), ' ');
    return value;
}

unsigned picture_style(const std::string& picture) {
    return picture.find("@!") != std::string::npos ? style::kUppercase : 0;
}

std::shared_ptr<TGet> make_get(Window& dlg, std::string* variable, std::string picture) {
    auto get = std::make_shared<TGet>();
    get->cPicture = std::move(picture);
    get->nLimit = static_cast<int>(variable->size());
    get->nStyle |= picture_style(get->cPicture);
    get->bSetGet = bind_text(variable);
    dlg.add_control(get);
    return get;
}

}  // namespace

Control::~Control() = default;

runtime::Value Control::VarGet() const {
    return bSetGet ? bSetGet(runtime::Value()) : runtime::Value();
}

void Control::VarPut(const runtime::Value& value) {
    if (bSetGet) bSetGet(value);
}

std::string Control::GetText() const { return hWnd != 0 ? driver::get_text(*this) : cText; }

void Control::Refresh() {
    if (hWnd == 0) return;
    const runtime::Value value = VarGet();
    if (value.is_text()) driver::set_text(*this, value.text());
}

void Control::SetFocus() {
    if (hWnd != 0) driver::set_focus(*this);
}

void Control::Enable() {
    lEnabled = true;
    if (hWnd != 0) driver::enable(*this, true);
}

void Control::Disable() {
    lEnabled = false;
    if (hWnd != 0) driver::enable(*this, false);
}

void Control::on_changed() {
    if (oWnd != nullptr) oWnd->lModify = true;
    if (bChange) bChange();
}

void Control::on_focus_lost() {}

void Control::on_command() {}

// --- TSay ---

std::shared_ptr<TSay> TSay::Redefine(Window& dlg, int id, std::string text) {
    auto say = std::make_shared<TSay>();
    say->nId = id;
    say->lFromResource = true;
    say->cText = std::move(text);
    dlg.add_control(say);
    return say;
}

std::shared_ptr<TSay> TSay::New(Window& dlg, Rect rect, std::string text) {
    auto say = std::make_shared<TSay>();
    say->rect = rect;
    say->cText = std::move(text);
    dlg.add_control(say);
    return say;
}

void TSay::SetText(const std::string& text) {
    cText = text;
    Refresh();
}

void TSay::Refresh() {
    if (hWnd != 0) driver::set_text(*this, cText);
}

// --- TGet ---

std::shared_ptr<TGet> TGet::Redefine(Window& dlg, int id, std::string* variable,
                                     std::string picture) {
    auto get = make_get(dlg, variable, std::move(picture));
    get->nId = id;
    get->lFromResource = true;
    return get;
}

std::shared_ptr<TGet> TGet::New(Window& dlg, Rect rect, std::string* variable, std::string picture,
                                unsigned style) {
    auto get = make_get(dlg, variable, std::move(picture));
    get->rect = rect;
    get->nStyle |= style | style::kBorder | style::kAutoHScroll;
    return get;
}

void TGet::Refresh() {
    if (hWnd == 0) return;
    const runtime::Value value = VarGet();
    if (value.is_text()) driver::set_text(*this, runtime::trim_right(value.text()));
}

void TGet::on_changed() {
    VarPut(field_value(GetText(), cPicture, nLimit));
    Control::on_changed();
}

void TGet::on_focus_lost() { VarPut(field_value(GetText(), cPicture, nLimit)); }

// --- TMultiGet ---

std::shared_ptr<TMultiGet> TMultiGet::New(Window& dlg, int row, int col, std::string* variable,
                                          bool read_only) {
    // The default size; a client control is refitted to the window anyway.
    constexpr int kDefaultWidth = 200, kDefaultHeight = 100;
    auto multi = std::make_shared<TMultiGet>();
    multi->rect = {col, row, kDefaultWidth, kDefaultHeight};
    multi->nStyle =
        style::kMultiline | style::kBorder | style::kVScroll | (read_only ? style::kReadOnly : 0);
    multi->bSetGet = bind_text(variable);
    dlg.add_control(multi);
    return multi;
}

void TMultiGet::GoBottom() {
    if (hWnd != 0) driver::go_bottom(*this);
}

void TMultiGet::Refresh() { Control::Refresh(); }

void TMultiGet::on_changed() {
    VarPut(GetText());
    Control::on_changed();
}

// --- TListBox ---

std::shared_ptr<TListBox> TListBox::Redefine(Window& dlg, int id, std::string* selected,
                                             std::vector<std::string> items) {
    auto list = std::make_shared<TListBox>();
    list->nId = id;
    list->lFromResource = true;
    list->aItems = std::move(items);
    list->bSetGet = bind_text(selected);
    dlg.add_control(list);
    return list;
}

void TListBox::SetItems(std::vector<std::string> items) {
    aItems = std::move(items);
    if (hWnd != 0) driver::set_items(*this, aItems);
    Select(aItems.empty() ? 0 : 1);
}

void TListBox::Select(int position) {
    if (hWnd != 0) driver::select(*this, position);
    if (position >= 1 && position <= static_cast<int>(aItems.size()))
        VarPut(aItems[static_cast<std::size_t>(position - 1)]);
}

int TListBox::GetPos() const {
    if (hWnd != 0) return driver::selection(*this);
    const runtime::Value value = VarGet();
    const auto it = std::find(aItems.begin(), aItems.end(), value.is_text() ? value.text() : "");
    return it == aItems.end() ? 0 : static_cast<int>(it - aItems.begin()) + 1;
}

// Shows the items again with the bound text selected when it is one of them.
void TListBox::Refresh() {
    if (hWnd == 0) return;
    const runtime::Value value = VarGet();
    driver::set_items(*this, aItems);
    const auto it = std::find(aItems.begin(), aItems.end(), value.is_text() ? value.text() : "");
    driver::select(*this, it == aItems.end() ? 0 : static_cast<int>(it - aItems.begin()) + 1);
}

void TListBox::on_changed() {
    const int position = GetPos();
    if (position >= 1 && position <= static_cast<int>(aItems.size()))
        VarPut(aItems[static_cast<std::size_t>(position - 1)]);
    Control::on_changed();
}

// --- TButton ---

std::shared_ptr<TButton> TButton::Redefine(Window& dlg, int id, std::function<void()> action) {
    auto button = std::make_shared<TButton>();
    button->nId = id;
    button->lFromResource = true;
    button->bAction = std::move(action);
    dlg.add_control(button);
    return button;
}

void TButton::on_command() {
    if (bAction) bAction();
}

}  // namespace winlib

// Controls: bound values, the field's length and picture rules, and the modified flag
// every user change sets on the dialog.
#include "winlib/control.h"

#include <algorithm>

#include "runtime/text1252.h"
#include "winlib/driver/controls.h"
#include "winlib/picture.h"
#include "winlib/window.h"

namespace winlib {
namespace {

// The variable's new text from what the field shows: under the picture, cut to the
// variable's length and filled with blanks to it. A variable of length 0 takes the text
// as typed (there is no length to keep).
std::string field_text(const std::string& shown, const std::string& picture, int length) {
    std::string value = upper_case_picture(picture) ? runtime::upper(shown) : shown;
    if (length > 0) value.resize(static_cast<std::size_t>(length), ' ');
    return value;
}

// The length of a date's text under the date format in force ("  /  /    ").
int date_length() { return static_cast<int>(runtime::date_to_text(runtime::Date()).size()); }

// The get/set callback over the variable, and the most characters the field takes: a
// text's length, a date's text; a number is not limited, so that a value too large for
// its picture can be typed and then refused.
struct Binding {
    std::function<runtime::Value(const runtime::Value&)> set_get;
    int limit = 0;
};

struct Bind {
    Binding operator()(std::string* text) const {
        return {bind_text(text), static_cast<int>(text->size())};
    }
    Binding operator()(double* number) const {
        return {[number](const runtime::Value& value) {
                    if (value.is_number()) *number = value.number();
                    return runtime::Value(*number);
                },
                0};
    }
    Binding operator()(runtime::Date* date) const {
        return {[date](const runtime::Value& value) {
                    if (value.is_date()) *date = value.date();
                    return runtime::Value(*date);
                },
                date_length()};
    }
    Binding operator()(runtime::Value* any) const {
        return {[any](const runtime::Value& value) {
                    if (!value.is_nothing()) *any = value;
                    return *any;
                },
                any->is_text()   ? static_cast<int>(any->text().size())
                : any->is_date() ? date_length()
                                 : 0};
    }
};

std::shared_ptr<TGet> make_get(TGet::Variable variable, std::string picture) {
    auto get = std::make_shared<TGet>();
    Binding binding = std::visit(Bind{}, variable);
    get->cPicture = std::move(picture);
    get->nLimit = binding.limit;
    if (upper_case_picture(get->cPicture)) get->nStyle |= es::kUppercase;
    get->bSetGet = std::move(binding.set_get);
    return get;
}

}  // namespace

// A control bound to the template's control of this id.
void bind_to_template(Window& dlg, const std::shared_ptr<Control>& control, int id) {
    control->nId = id;
    control->lFromResource = true;
    dlg.add_control(control);
}

// A control built at run time: its rectangle and the whole style of its class.
void place(Window& dlg, const std::shared_ptr<Control>& control, Rect rect, unsigned style) {
    control->rect = rect;
    control->nStyle |= ws::kChild | ws::kVisible | control->Class().style | style;
    dlg.add_control(control);
}

std::function<runtime::Value(const runtime::Value&)> bind_text(std::string* variable) {
    return [variable](const runtime::Value& value) {
        if (value.is_text()) *variable = value.text();
        return runtime::Value(*variable);
    };
}

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

void Control::Show() {
    if (hWnd != 0) driver::show_control(*this, true);
}

void Control::Hide() {
    if (hWnd != 0) driver::show_control(*this, false);
}

bool Control::IsShown() const { return hWnd != 0 && driver::control_shown(*this); }

void Control::SetColor(long text, long pane) {
    nClrText = text;
    nClrPane = pane;
    if (hWnd != 0) driver::set_colours(*this);
}

void Control::Repaint(bool erase) {
    if (hWnd != 0) driver::repaint_control(*this, erase);
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
    say->cText = std::move(text);
    bind_to_template(dlg, say, id);
    return say;
}

std::shared_ptr<TSay> TSay::New(Window& dlg, Rect rect, std::string text) {
    auto say = std::make_shared<TSay>();
    say->cText = std::move(text);
    place(dlg, say, rect, 0);
    return say;
}

void TSay::SetText(const std::string& text) {
    cText = text;
    Refresh();
}

void TSay::Refresh() {
    if (hWnd != 0) driver::set_text(*this, cText);
}

// --- TBitmapButton ---

std::shared_ptr<TBitmapButton> TBitmapButton::Redefine(Window& dlg, int id, std::string bitmap) {
    auto button = std::make_shared<TBitmapButton>();
    button->cBitmap = std::move(bitmap);
    bind_to_template(dlg, button, id);
    return button;
}

void TBitmapButton::Refresh() {
    if (hWnd != 0) driver::set_bitmap(*this, cBitmap);
}

// --- TIcon ---

std::shared_ptr<TIcon> TIcon::New(Window& dlg, Rect rect, int system_icon) {
    auto icon = std::make_shared<TIcon>();
    icon->nIcon = system_icon;
    place(dlg, icon, rect, 0);
    return icon;
}

void TIcon::Refresh() {
    if (hWnd != 0) driver::set_system_icon(*this, nIcon);
}

// --- TProgress ---

std::shared_ptr<TProgress> TProgress::New(Window& dlg, Rect rect) {
    auto bar = std::make_shared<TProgress>();
    place(dlg, bar, rect, 0);
    return bar;
}

void TProgress::SetRange(int min, int max) {
    nMin = min;
    nMax = max;
    if (hWnd != 0) driver::set_progress_range(*this, min, max);
}

void TProgress::SetPos(int pos) {
    nPos = pos;
    if (hWnd != 0) driver::set_progress_position(*this, pos);
}

void TProgress::Refresh() {
    if (hWnd == 0) return;
    driver::set_progress_range(*this, nMin, nMax);
    driver::set_progress_position(*this, nPos);
}

// --- TGet ---

std::shared_ptr<TGet> TGet::Redefine(Window& dlg, int id, Variable variable, std::string picture) {
    auto get = make_get(variable, std::move(picture));
    bind_to_template(dlg, get, id);
    return get;
}

std::shared_ptr<TGet> TGet::New(Window& dlg, Rect rect, Variable variable, std::string picture,
                                unsigned style) {
    auto get = make_get(variable, std::move(picture));
    place(dlg, get, rect, style);
    return get;
}

void TGet::Refresh() {
    if (hWnd == 0) return;
    const runtime::Value value = VarGet();
    if (value.is_text()) driver::set_text(*this, runtime::trim_right(value.text()));
    if (value.is_number()) driver::set_text(*this, field_number_text(value.number(), cPicture));
    if (value.is_date()) driver::set_text(*this, runtime::date_to_text(value.date()));
}

bool TGet::bad_number() const {
    const runtime::Value value = VarGet();
    return value.is_number() && number_overflows(value.number(), cPicture);
}

void TGet::store(const std::string& shown) {
    const runtime::Value value = VarGet();
    if (value.is_number()) {
        runtime::Number typed = value.number_info();  // keeps a declared width
        typed.value = field_number_value(shown);
        VarPut(typed);
    } else if (value.is_date()) {
        if (const auto date = runtime::date_from_text(shown)) VarPut(*date);
    } else {
        VarPut(field_text(shown, cPicture, nLimit));
    }
}

void TGet::on_changed() {
    store(GetText());
    Control::on_changed();
}

void TGet::on_focus_lost() { store(GetText()); }

// --- TMultiGet ---

std::shared_ptr<TMultiGet> TMultiGet::New(Window& dlg, int row, int col, std::string* variable,
                                          bool read_only) {
    // The default size; a client control is refitted to the window anyway.
    constexpr int kDefaultWidth = 200, kDefaultHeight = 100;
    auto multi = std::make_shared<TMultiGet>();
    multi->bSetGet = bind_text(variable);
    place(dlg, multi, {col, row, kDefaultWidth, kDefaultHeight},
          ws::kBorder | ws::kVScroll | (read_only ? es::kReadOnly : 0));
    return multi;
}

void TMultiGet::GoBottom() {
    if (hWnd != 0) driver::go_bottom(*this);
}

void TMultiGet::on_changed() {
    VarPut(GetText());
    Control::on_changed();
}

// --- TListBox ---

std::shared_ptr<TListBox> TListBox::Redefine(Window& dlg, int id, std::string* selected,
                                             std::vector<std::string> items) {
    auto list = std::make_shared<TListBox>();
    list->aItems = std::move(items);
    list->bSetGet = bind_text(selected);
    bind_to_template(dlg, list, id);
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
    button->bAction = std::move(action);
    bind_to_template(dlg, button, id);
    return button;
}

std::shared_ptr<TButton> TButton::New(Window& dlg, Rect rect, int id, std::string caption,
                                      std::function<void()> action) {
    auto button = std::make_shared<TButton>();
    button->bAction = std::move(action);
    button->nId = id;
    button->cText = std::move(caption);
    place(dlg, button, rect, 0);
    return button;
}

void TButton::on_command() {
    if (bAction) bAction();
}

}  // namespace winlib

// Controls of the portable core: class name, id, bound value, field check, enabling
// condition. A control from a template is bound to the template's native control by id
// (lFromResource); one built at run time is created by the driver from its rectangle.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/value.h"
#include "winlib/types.h"

namespace winlib {

class Window;

// Style bits a driver honours (the Win32 values: WS_*, ES_*).
namespace style {
constexpr unsigned kBorder = 0x00800000;   // WS_BORDER
constexpr unsigned kVScroll = 0x00200000;  // WS_VSCROLL
constexpr unsigned kHScroll = 0x00100000;  // WS_HSCROLL
constexpr unsigned kMultiline = 0x0004;    // ES_MULTILINE
constexpr unsigned kUppercase = 0x0008;    // ES_UPPERCASE
constexpr unsigned kPassword = 0x0020;     // ES_PASSWORD
constexpr unsigned kAutoHScroll = 0x0080;  // ES_AUTOHSCROLL
constexpr unsigned kReadOnly = 0x0800;     // ES_READONLY
constexpr unsigned kDefault = 0x0001;      // BS_DEFPUSHBUTTON
}  // namespace style

class Control : public runtime::Object {
public:
    ~Control() override;

    // "TSAY", "TGET", "TMULTIGET", "TLISTBOX", "TBUTTON" (upper case).
    virtual std::string ClassName() const = 0;

    // --- what the driver reads to realise the control ---
    Window* oWnd = nullptr;  // the owning window (it outlives its controls)
    int nId = 0;
    bool lFromResource = false;
    Rect rect;  // pixels, for a control built at run time
    unsigned nStyle = 0;
    std::string cText;  // initial text (caption of a button or a static)
    int nLimit = 0;     // edits: at most this many characters; 0 = no limit

    // --- set by the driver ---
    Handle hWnd = 0;

    // --- the library's fields ---
    std::string cVarName;
    runtime::Value Cargo;  // optional field check: a callback taking the control
    std::function<bool()> bWhen;
    // The bound value: called with nothing it reads, with a value it writes.
    std::function<runtime::Value(const runtime::Value&)> bSetGet;
    std::function<void()> bChange;  // after the user changed the control
    bool lEnabled = true;

    runtime::Value VarGet() const;
    void VarPut(const runtime::Value& value);
    std::string GetText() const;
    // Shows the bound value again.
    virtual void Refresh();
    void SetFocus();
    void Enable();
    void Disable();

    // Core reactions to the driver's events.
    virtual void on_changed();
    virtual void on_focus_lost();
    virtual void on_command();
};

class TSay : public Control {
public:
    static std::shared_ptr<TSay> Redefine(Window& dlg, int id, std::string text);
    static std::shared_ptr<TSay> New(Window& dlg, Rect rect, std::string text);
    std::string ClassName() const override { return "TSAY"; }
    void SetText(const std::string& text);
    void Refresh() override;
};

// An edit field bound to a text variable: at most as many characters as the variable is
// long, written back filled with blanks to that length, under an optional picture.
class TGet : public Control {
public:
    static std::shared_ptr<TGet> Redefine(Window& dlg, int id, std::string* variable,
                                          std::string picture = "");
    static std::shared_ptr<TGet> New(Window& dlg, Rect rect, std::string* variable,
                                     std::string picture = "", unsigned style = 0);
    std::string ClassName() const override { return "TGET"; }
    std::string cPicture;
    // Shows the variable without its trailing blanks, so typing fills the field.
    void Refresh() override;
    void on_changed() override;
    void on_focus_lost() override;
};

class TMultiGet : public Control {
public:
    // At row, column in pixels with the default size; read-only when asked.
    static std::shared_ptr<TMultiGet> New(Window& dlg, int row, int col, std::string* variable,
                                          bool read_only);
    std::string ClassName() const override { return "TMULTIGET"; }
    void GoBottom();
    void Refresh() override;
    void on_changed() override;
};

class TListBox : public Control {
public:
    // Bound to a list of texts (shown in order) and a text receiving the selected item.
    static std::shared_ptr<TListBox> Redefine(Window& dlg, int id, std::string* selected,
                                              std::vector<std::string> items);
    std::string ClassName() const override { return "TLISTBOX"; }
    std::vector<std::string> aItems;
    // Shows all items and selects the first.
    void SetItems(std::vector<std::string> items);
    void Select(int position);
    int GetPos() const;
    void Refresh() override;
    void on_changed() override;
};

class TButton : public Control {
public:
    static std::shared_ptr<TButton> Redefine(Window& dlg, int id, std::function<void()> action);
    std::string ClassName() const override { return "TBUTTON"; }
    std::function<void()> bAction;
    void on_command() override;
};

}  // namespace winlib

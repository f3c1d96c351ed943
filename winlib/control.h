// Controls of the portable core: class, id, bound value, field check, enabling condition.
// A control from a template is bound to the template's native control by id
// (lFromResource); one built at run time is created by the driver from its class,
// rectangle and style, as the driver creates a template's controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/date.h"
#include "runtime/value.h"
#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace winlib {

class Window;
class Control;

// What a control class's constructors share: binding to the template's control of this
// id, or placing a control built at run time with its rectangle and its class's style.
void bind_to_template(Window& dlg, const std::shared_ptr<Control>& control, int id);
void place(Window& dlg, const std::shared_ptr<Control>& control, Rect rect, unsigned style);

// What a control class is: the library's name for it, the Win32 window class that
// realises it and the style bits of that class (besides WS_CHILD | WS_VISIBLE). A new
// class is one such entry here plus, in each driver, the realisation of its window class.
struct ControlClass {
    std::string_view name;          // "TSAY", "TGET", ... (upper case)
    std::string_view window_class;  // window_class::kEdit, ...
    unsigned style = 0;
};

class Control : public runtime::Object {
public:
    ~Control() override;

    virtual const ControlClass& Class() const = 0;
    std::string ClassName() const { return std::string(Class().name); }

    // --- what the driver reads to realise the control ---
    Window* oWnd = nullptr;  // the owning window (it outlives its controls)
    int nId = 0;
    bool lFromResource = false;
    Rect rect;  // pixels, for a control built at run time
    // Built at run time: the whole Win32 style (WS_CHILD | WS_VISIBLE, the class's bits
    // and the control's own). Bound to a template: the bits the core adds to the
    // template's style (ES_UPPERCASE, ES_PASSWORD).
    unsigned nStyle = 0;
    std::string cText;  // initial text (caption of a button or a static)
    int nLimit = 0;     // edits: at most this many characters; 0 = no limit
    Font oFont;         // the control's font; none: the window's

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
    // Colours as 0x00BBGGRR; kSystemColour leaves the platform's own.
    static constexpr long kSystemColour = -1;
    long nClrText = kSystemColour;
    long nClrPane = kSystemColour;

    runtime::Value VarGet() const;
    void VarPut(const runtime::Value& value);
    std::string GetText() const;
    // Shows the bound value again.
    virtual void Refresh();
    void SetFocus();
    void Enable();
    void Disable();
    void Show();
    void Hide();
    // Set to show (its window may itself be hidden); false once the control has no window.
    bool IsShown() const;
    // Text and background colours; shown at once.
    void SetColor(long text, long pane);
    // Paints the control again, its background first when erasing.
    void Repaint(bool erase = true);
    // The bound number does not fit the control's picture.
    virtual bool bad_number() const { return false; }

    // Core reactions to the driver's events.
    virtual void on_changed();
    virtual void on_focus_lost();
    virtual void on_command();
    // The native control exists (its window is realised), and it has gone with its window.
    virtual void on_created() {}
    virtual void on_window_gone() {}
};

// A get/set callback (Control::bSetGet) over a text variable.
std::function<runtime::Value(const runtime::Value&)> bind_text(std::string* variable);

class TSay : public Control {
public:
    static std::shared_ptr<TSay> Redefine(Window& dlg, int id, std::string text);
    static std::shared_ptr<TSay> New(Window& dlg, Rect rect, std::string text);
    static constexpr ControlClass kClass{"TSAY", window_class::kStatic, ss::kLeft};
    const ControlClass& Class() const override { return kClass; }
    void SetText(const std::string& text);
    void Refresh() override;
};

// An edit field bound to a variable under an optional picture (winlib/picture.h). A text
// takes at most as many characters as the variable is long and is written back filled
// with blanks to that length; a number is read back from what was typed; a date is
// written back only when the text is a date under the date format in force (else the
// variable keeps its last date and the field shows what was typed). A value variable
// keeps the kind it holds.
class TGet : public Control {
public:
    using Variable = std::variant<std::string*, double*, runtime::Date*, runtime::Value*>;
    static std::shared_ptr<TGet> Redefine(Window& dlg, int id, Variable variable,
                                          std::string picture = "");
    static std::shared_ptr<TGet> New(Window& dlg, Rect rect, Variable variable,
                                     std::string picture = "", unsigned style = 0);
    static constexpr ControlClass kClass{"TGET", window_class::kEdit,
                                         es::kAutoHScroll | ws::kBorder | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    std::string cPicture;
    // Shows the variable: a text without its trailing blanks, so typing fills the field.
    void Refresh() override;
    bool bad_number() const override;
    void on_changed() override;
    void on_focus_lost() override;

private:
    void store(const std::string& shown);
};

class TMultiGet : public Control {
public:
    // At row, column in pixels with the default size; read-only when asked.
    static std::shared_ptr<TMultiGet> New(Window& dlg, int row, int col, std::string* variable,
                                          bool read_only);
    static constexpr ControlClass kClass{"TMULTIGET", window_class::kEdit,
                                         es::kMultiline | es::kAutoVScroll | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    void GoBottom();
    void on_changed() override;
};

class TListBox : public Control {
public:
    // Bound to a list of texts (shown in order) and a text receiving the selected item.
    static std::shared_ptr<TListBox> Redefine(Window& dlg, int id, std::string* selected,
                                              std::vector<std::string> items);
    static constexpr ControlClass kClass{"TLISTBOX", window_class::kListBox,
                                         lbs::kNotify | ws::kVScroll | ws::kBorder | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    std::vector<std::string> aItems;
    // Shows all items and selects the first.
    void SetItems(std::vector<std::string> items);
    void Select(int position);
    int GetPos() const;
    void Refresh() override;
    void on_changed() override;
};

// A push button showing a bitmap of the program's resources (BS_BITMAP).
class TBitmapButton : public Control {
public:
    static std::shared_ptr<TBitmapButton> Redefine(Window& dlg, int id, std::string bitmap);
    static constexpr ControlClass kClass{"TBITMAPBUTTON", window_class::kButton,
                                         bs::kPushButton | bs::kBitmap | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    std::string cBitmap;
    void Refresh() override;
};

// An icon control showing one of the system's icons (IDI_ numbers: 32515 the exclamation).
class TIcon : public Control {
public:
    static std::shared_ptr<TIcon> New(Window& dlg, Rect rect, int system_icon);
    static constexpr ControlClass kClass{"TICON", window_class::kStatic, ss::kIcon};
    const ControlClass& Class() const override { return kClass; }
    int nIcon = 0;
    void Refresh() override;
};

// A progress bar over a range; the position is kept within it by the platform.
class TProgress : public Control {
public:
    static std::shared_ptr<TProgress> New(Window& dlg, Rect rect);
    static constexpr ControlClass kClass{"TPROGRESS", window_class::kProgress, 0};
    const ControlClass& Class() const override { return kClass; }
    int nMin = 0;
    int nMax = 100;
    int nPos = 0;
    void SetRange(int min, int max);
    void SetPos(int pos);
    void Refresh() override;
};

class TButton : public Control {
public:
    static std::shared_ptr<TButton> Redefine(Window& dlg, int id, std::function<void()> action);
    static std::shared_ptr<TButton> New(Window& dlg, Rect rect, int id, std::string caption,
                                        std::function<void()> action);
    static constexpr ControlClass kClass{"TBUTTON", window_class::kButton,
                                         bs::kPushButton | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    std::function<void()> bAction;
    void on_command() override;
};

}  // namespace winlib

// Windows and dialogs of the windowing library's portable core: the object model the
// library's code reads and writes (Cargo, nResult, lModify, the close rule, the start
// hook, controls in creation order). A driver realises them natively (winlib/driver/).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/value.h"
#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace winlib {

class Control;

class Window : public runtime::Object, public std::enable_shared_from_this<Window> {
public:
    ~Window() override;

    // --- what the driver reads to realise the window ---
    std::string cResName;  // dialog template name; empty for a window built at run time
    std::string cCaption;
    int nWidth = 0;  // pixels, for a window built at run time
    int nHeight = 0;
    unsigned nStyle = 0;  // window style value; 0 = overlapped, title bar and border only
    int nCursor = 0;      // the system's mouse cursor over the window (IDC_ number); 0: the arrow
    std::vector<std::shared_ptr<Control>> aControls;  // creation order

    // --- set by the driver ---
    Handle hWnd = 0;

    // --- the library's fields ---
    runtime::Value Cargo;
    int nResult = 0;
    bool lModify = false;
    bool lModal = false;
    bool lEnding = false;  // End() accepted; a modal window ends when the message returns
    Handle hCtlFocus = 0;  // the control of this window that last had the keyboard focus
    std::shared_ptr<Control> oClient;  // the client control, refitted on every resize

    std::function<void()> bInit;   // once, after the window and its controls exist, before shown
    std::function<bool()> bValid;  // the close rule: false keeps the window open
    std::function<void()> bStart;  // once, after the first paint; cleared before it runs
    std::function<void(std::uintptr_t, std::intptr_t)> bCommNotify;  // arrival notification

    // Shows the window centred. Modal: returns when the window has ended (nResult holds
    // the result). Non-modal: returns once the window is shown.
    void Activate(bool modal);
    // Asks the window to end with a result. False (the window stays) when the close rule
    // refuses. A modal window ends when the message being handled returns.
    bool End(int result = id::kCancel);
    // Makes a control the client control, sized to the client area now and on resize.
    void SetControl(std::shared_ptr<Control> control);
    void CommNotify(std::uintptr_t wparam, std::intptr_t lparam);
    void SetText(const std::string& caption);
    void Refresh(bool erase = true);

    // The live window with this handle, or nothing.
    static std::shared_ptr<Window> from_handle(Handle handle);
    // The control, in any live window, that owns this native handle (its window or one
    // of its parts); nothing when none.
    static std::shared_ptr<Control> control_owning(Handle handle);
    // Realises this window as a page of a folder (winlib/folder.h), hidden; it lives as
    // long as the window holding the folder.
    void realise_as_page(const Control& folder);
    // The whole size of the realised window, and a new one.
    Size GetSize() const;
    void SetSize(Size size);
    Size GetClientSize() const;
    // Asks every window in its modal loop to end, without its close rule (winlib/carried.h).
    static void end_modal_loops();
    void add_control(std::shared_ptr<Control> control);
    // The control with this id, or the one owning this native handle; nothing when none.
    std::shared_ptr<Control> control_by_id(int id) const;
    std::shared_ptr<Control> control_from_handle(Handle handle) const;

protected:
    Window() = default;

private:
    enum class Stage { kUnrealised, kInitialising, kShown, kModalLoop };
    friend class TFolder;
    void finish();  // the native window is gone: forget its handles
    void show_controls();  // fonts and bound values, once the controls exist
    Stage stage_ = Stage::kUnrealised;
};

class TDialog : public Window {
public:
    // A dialog built at run time: caption, size in pixels, window style value.
    static std::shared_ptr<TDialog> New(std::string caption, int width, int height,
                                        unsigned style = 0);
    // A dialog from a named template of the program's resources.
    static std::shared_ptr<TDialog> FromResource(std::string name, std::string caption = "");
};

}  // namespace winlib

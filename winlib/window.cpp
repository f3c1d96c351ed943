// Windows and dialogs: the handle registry, the activation sequence (create, bInit, show,
// modal loop) and the close rule every End passes.
#include "winlib/window.h"

#include <map>

#include "winlib/carried.h"
#include "winlib/control.h"
#include "winlib/driver/controls.h"
#include "winlib/driver/windows.h"

namespace winlib {
namespace {

// Live windows by handle. UI thread only, like every window.
std::map<Handle, std::weak_ptr<Window>>& registry() {
    static std::map<Handle, std::weak_ptr<Window>> windows;
    return windows;
}

}  // namespace

Window::~Window() {
    if (hWnd != 0) {
        registry().erase(hWnd);
        driver::destroy_window(*this);
    }
}

void Window::Activate(bool modal) {
    const auto self = shared_from_this();  // the window lives at least until it has ended
    lModal = modal;
    lEnding = false;
    nResult = 0;
    driver::create_window(*this);
    if (hWnd == 0) return;  // no such template: nResult 0, as cancelled
    registry()[hWnd] = self;
    stage_ = Stage::kInitialising;
    if (nCursor != 0) driver::set_cursor(*this, nCursor);
    show_controls();
    if (oClient) SetControl(oClient);
    if (bInit) bInit();
    if (lEnding) {  // ended before it was ever shown
        driver::destroy_window(*this);
        finish();
        return;
    }
    driver::show_window(*this);
    stage_ = Stage::kShown;
    if (!modal) return;
    stage_ = Stage::kModalLoop;
    driver::run_modal(*this);
    finish();
    rethrow_carried();
}

bool Window::End(int result) {
    if (bValid && !bValid()) return false;
    nResult = result;
    lEnding = true;
    switch (stage_) {
        case Stage::kModalLoop:
            driver::end_modal(*this);
            break;
        case Stage::kShown:
            driver::destroy_window(*this);
            finish();
            break;
        case Stage::kUnrealised:
        case Stage::kInitialising:  // Activate sees lEnding once bInit returns
            break;
    }
    return true;
}

void Window::SetControl(std::shared_ptr<Control> control) {
    oClient = std::move(control);
    if (hWnd == 0 || !oClient || oClient->hWnd == 0) return;
    const Size client = driver::client_size(*this);
    driver::set_bounds(*oClient, {0, 0, client.width, client.height});
}

void Window::CommNotify(std::uintptr_t wparam, std::intptr_t lparam) {
    if (bCommNotify) bCommNotify(wparam, lparam);
}

void Window::SetText(const std::string& caption) {
    cCaption = caption;
    if (hWnd != 0) driver::set_caption(*this, caption);
}

void Window::Refresh(bool erase) {
    if (hWnd != 0) driver::repaint(*this, erase);
}

std::shared_ptr<Window> Window::from_handle(Handle handle) {
    const auto it = registry().find(handle);
    return it == registry().end() ? nullptr : it->second.lock();
}

Size Window::GetSize() const { return hWnd != 0 ? driver::window_size(*this) : Size{}; }

Size Window::GetClientSize() const { return hWnd != 0 ? driver::client_size(*this) : Size{}; }

void Window::SetSize(Size size) {
    if (hWnd != 0) driver::set_window_size(*this, size);
}

void Window::end_modal_loops() {
    for (const auto& [handle, weak] : registry()) {
        const auto window = weak.lock();
        if (!window || window->stage_ != Stage::kModalLoop) continue;
        window->lEnding = true;
        driver::end_modal(*window);
    }
}

void Window::add_control(std::shared_ptr<Control> control) {
    control->oWnd = this;
    aControls.push_back(std::move(control));
}

std::shared_ptr<Control> Window::control_by_id(int id) const {
    for (const auto& control : aControls)
        if (control->nId == id) return control;
    return nullptr;
}

std::shared_ptr<Control> Window::control_from_handle(Handle handle) const {
    if (handle == 0) return nullptr;
    for (const auto& control : aControls)
        if (control->hWnd != 0 && driver::owns(*control, handle)) return control;
    return nullptr;
}

void Window::show_controls() {
    for (const auto& control : aControls) {
        if (control->oFont.height > 0 && control->hWnd != 0)
            driver::set_font(*control, control->oFont);
        control->Refresh();
        control->on_created();
    }
}

void Window::realise_as_page(const Control& folder) {
    driver::create_page(*this, folder);
    if (hWnd == 0) return;
    registry()[hWnd] = shared_from_this();
    stage_ = Stage::kShown;
    show_controls();
}

std::shared_ptr<Control> Window::control_owning(Handle handle) {
    for (const auto& [window_handle, weak] : registry())
        if (const auto window = weak.lock())
            if (auto control = window->control_from_handle(handle)) return control;
    return nullptr;
}

void Window::finish() {
    registry().erase(hWnd);
    hWnd = 0;
    hCtlFocus = 0;
    for (const auto& control : aControls) {
        control->hWnd = 0;
        control->on_window_gone();
    }
    stage_ = Stage::kUnrealised;
}

std::shared_ptr<TDialog> TDialog::New(std::string caption, int width, int height, unsigned style) {
    auto dialog = std::make_shared<TDialog>();
    dialog->cCaption = std::move(caption);
    dialog->nWidth = width;
    dialog->nHeight = height;
    dialog->nStyle = style;
    return dialog;
}

std::shared_ptr<TDialog> TDialog::FromResource(std::string name, std::string caption) {
    auto dialog = std::make_shared<TDialog>();
    dialog->cResName = std::move(name);
    dialog->cCaption = std::move(caption);
    return dialog;
}

}  // namespace winlib

// Group frames and radio buttons.
#include "winlib/buttons.h"

#include "winlib/driver/controls.h"
#include "winlib/window.h"

namespace winlib {
namespace {

template <class T>
std::shared_ptr<T> bound_to_template(Window& dlg, int id) {
    auto control = std::make_shared<T>();
    bind_to_template(dlg, control, id);
    return control;
}

template <class T>
std::shared_ptr<T> built(Window& dlg, Rect rect, std::string caption, unsigned style) {
    auto control = std::make_shared<T>();
    control->cText = std::move(caption);
    place(dlg, control, rect, style);
    return control;
}

}  // namespace

std::shared_ptr<TGroup> TGroup::Redefine(Window& dlg, int id, std::string caption) {
    auto group = bound_to_template<TGroup>(dlg, id);
    group->cText = std::move(caption);
    return group;
}

std::shared_ptr<TGroup> TGroup::New(Window& dlg, Rect rect, std::string caption) {
    return built<TGroup>(dlg, rect, std::move(caption), 0);
}

void TGroup::Refresh() {
    if (hWnd != 0) driver::set_text(*this, cText);
}

std::shared_ptr<TRadio> TRadio::Redefine(Window& dlg, int id) {
    return bound_to_template<TRadio>(dlg, id);
}

std::shared_ptr<TRadio> TRadio::New(Window& dlg, Rect rect, int id, std::string caption,
                                    bool lGroup) {
    auto radio = built<TRadio>(dlg, rect, std::move(caption), lGroup ? ws::kGroup : 0);
    radio->nId = id;
    return radio;
}

void TRadio::SetCheck(bool checked) {
    lChecked = checked;
    if (hWnd != 0) driver::set_checked(*this, checked);
}

void TRadio::Refresh() {
    if (hWnd != 0) driver::set_checked(*this, lChecked);
}

// The platform has cleared the other buttons of the group: they learn it here.
void TRadio::on_command() {
    if (oWnd != nullptr)
        for (const auto& control : oWnd->aControls)
            if (auto* radio = dynamic_cast<TRadio*>(control.get());
                radio != nullptr && radio->hWnd != 0)
                radio->lChecked = driver::checked(*radio);
    Control::on_changed();
}

}  // namespace winlib

// Group frames and automatic radio buttons. A group of radio buttons begins with a
// control that has WS_GROUP and runs to the next one that has it, as on Windows; choosing
// one button of a group clears the others (BS_AUTORADIOBUTTON).
#pragma once

#include <memory>
#include <string>

#include "winlib/control.h"

namespace winlib {

// A frame with a caption around other controls (BS_GROUPBOX); it takes no input.
class TGroup : public Control {
public:
    static std::shared_ptr<TGroup> Redefine(Window& dlg, int id, std::string caption);
    static std::shared_ptr<TGroup> New(Window& dlg, Rect rect, std::string caption);
    static constexpr ControlClass kClass{"TGROUP", window_class::kButton, bs::kGroupBox};
    const ControlClass& Class() const override { return kClass; }
    void Refresh() override;
};

class TRadio : public Control {
public:
    static std::shared_ptr<TRadio> Redefine(Window& dlg, int id);
    // lGroup: the button begins a new group.
    static std::shared_ptr<TRadio> New(Window& dlg, Rect rect, int id, std::string caption,
                                       bool lGroup);
    static constexpr ControlClass kClass{"TRADIO", window_class::kButton,
                                         bs::kAutoRadioButton | ws::kTabStop};
    const ControlClass& Class() const override { return kClass; }
    bool lChecked = false;  // what the button shows; the user's choice updates it

    void SetCheck(bool checked);
    void Refresh() override;
    void on_command() override;  // chosen by the user
};

}  // namespace winlib

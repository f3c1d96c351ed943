// The image control: a static showing a bitmap of the program's resources (SS_BITMAP),
// and the sunken static line that separates a dialog's parts.
#pragma once

#include <memory>
#include <string>

#include "winlib/control.h"

namespace winlib {

class TImage : public Control {
public:
    static std::shared_ptr<TImage> Redefine(Window& dlg, int id, std::string bitmap);
    static std::shared_ptr<TImage> New(Window& dlg, Rect rect, std::string bitmap);
    static constexpr ControlClass kClass{"TIMAGE", window_class::kStatic, ss::kBitmap};
    const ControlClass& Class() const override { return kClass; }
    std::string cBitmap;
    void Refresh() override;
};

// A line of one pixel's height (or width) with a sunken edge.
class TLine : public Control {
public:
    static std::shared_ptr<TLine> New(Window& dlg, Rect rect);
    static constexpr ControlClass kClass{"TLINE", window_class::kStatic, ss::kSunken};
    const ControlClass& Class() const override { return kClass; }
};

}  // namespace winlib

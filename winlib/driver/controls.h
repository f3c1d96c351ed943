// The driver seam, controls: the state of a realised control. UI thread only; each call
// is made for a control that has its handle (Control::hWnd not 0).
// Rules of the whole seam: winlib/driver/README.md.
#pragma once

#include <string>
#include <vector>

#include "winlib/types.h"

namespace winlib {
class Control;
}

namespace winlib::driver {

void set_text(Control& control, const std::string& text);
// A list box's text is its selected item.
std::string get_text(const Control& control);
// List boxes: replaces all items; selection is a 1-based position, 0 for none. Setting
// either notifies nobody, as on Windows.
void set_items(Control& control, const std::vector<std::string>& items);
void select(Control& control, int position);
int selection(const Control& control);
void set_bounds(Control& control, Rect pixels);
void set_focus(Control& control);
void enable(Control& control, bool enabled);
// The control's text in this font (WM_SETFONT of a font made by face and height).
void set_font(Control& control, const Font& font);
// An icon control shows the system's icon of this number (LoadIcon(NULL, id), STM_SETICON).
void set_system_icon(Control& control, int id);
// The control's colours (nClrText, nClrPane; Control::kSystemColour the platform's own),
// shown at once, as WM_CTLCOLOR* answers give them on Windows.
void set_colours(Control& control);
// Paints the control again now; its background first when erasing.
void repaint_control(Control& control, bool erase);
// Shows or hides the control.
void show_control(Control& control, bool shown);
// A bitmap button or an image control shows the bitmap of that name from the program's
// resources.
void set_bitmap(Control& control, const std::string& name);
// Progress bars: the range, and the position within it (PBM_SETRANGE32, PBM_SETPOS).
void set_progress_range(Control& control, int min, int max);
void set_progress_position(Control& control, int position);
// Multi-line edit: caret after the last character, last line scrolled into view.
void go_bottom(Control& control);
// The control that has the keyboard focus, or 0.
Handle focused_handle();

}  // namespace winlib::driver

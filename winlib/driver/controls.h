// The driver seam, controls: the state of a realised control. UI thread only; each call
// is made for a control that has its handle (Control::hWnd not 0).
// Rules of the whole seam: winlib/driver/README.md.
#pragma once

#include <cstdint>
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
// List boxes, combo boxes and the tabs of a folder: replaces all items; selection is a
// 1-based position, 0 for none. Setting either notifies nobody, as on Windows. A combo
// box's text is what its edit field shows (the selected item's text once one is selected).
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
// Whether the control is set to show (the window it lies in may itself be hidden).
bool control_shown(const Control& control);
// A bitmap button or an image control shows the bitmap of that name from the program's
// resources.
void set_bitmap(Control& control, const std::string& name);
// Progress bars: the range, and the position within it (PBM_SETRANGE32, PBM_SETPOS).
void set_progress_range(Control& control, int min, int max);
void set_progress_position(Control& control, int position);
// Multi-line edit: caret after the last character, last line scrolled into view.
void go_bottom(Control& control);
// The control that has the keyboard focus, or 0. A control made of several native parts
// (a combo box and its edit field) may answer with the handle of a part: owns() tells.
Handle focused_handle();
// True when the handle is the control's window or one of its parts.
bool owns(const Control& control, Handle handle);
// Sends a control one of the Win32 messages it answers natively and returns its answer.
// Both drivers answer cb::kGetEditSel and cb::kSetEditSel on a combo box with an edit
// field; the Qt driver answers 0 to any other.
std::intptr_t control_message(Control& control, unsigned message, std::uintptr_t wparam,
                              std::intptr_t lparam);
// Check boxes and radio buttons: the check mark (BM_SETCHECK, BM_GETCHECK).
void set_checked(Control& control, bool checked);
bool checked(const Control& control);
// A folder's display area below its tabs, in pixels of the window that holds the folder:
// where its pages go (TCM_ADJUSTRECT).
Rect page_area(const Control& folder);

}  // namespace winlib::driver

// The wait box (TMsgBox): a small non-modal window that tells the user to wait while a
// long operation runs, with an optional progress bar, or in its print variant a page
// counter (the PRINTDLG template). There is at most one; only POPMSG reaches it.
#pragma once

#include <string>

#include "runtime/value.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace kelv {

bool wait_box_open();
// Opens the box with the text (and a progress bar over nMin..nMax when nMin is a
// number), or the print variant, which leaves the text aside; the window active now is
// disabled until the box closes.
void open_wait_box(const runtime::Value& cText, const runtime::Value& cCaption,
                   const runtime::Value& nMin, const runtime::Value& nMax, bool print);
// Closes the box, if one is open, and enables again the window it disabled.
void close_wait_box();
void wait_box_set_text(const std::string& text);
// Moves the progress bar, if the box has one.
void wait_box_set_position(int position);
void wait_box_next_page();
// The text the box was opened with ("" for a blank text); nothing when none is open.
runtime::Value wait_box_text();
// The open box's window and progress bar; null when there is none.
const winlib::TDialog* wait_box_window();
const winlib::TProgress* wait_box_progress();

}  // namespace kelv

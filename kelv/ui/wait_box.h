// The wait box (TMsgBox): a small non-modal window that tells the user to wait while a
// long operation runs. There is at most one; only POPMSG reaches it. The progress bar and
// the print variant's page counter window are not built yet: a position is ignored.
#pragma once

#include <string>

#include "runtime/value.h"

namespace kelv {

bool wait_box_open();
// Opens the box with the text; the window active now is disabled until the box closes.
void open_wait_box(const runtime::Value& cText, const runtime::Value& cCaption,
                   const runtime::Value& nMin, const runtime::Value& nMax, bool print);
// Closes the box, if one is open, and enables again the window it disabled.
void close_wait_box();
void wait_box_set_text(const std::string& text);
void wait_box_next_page();
// The text the box was opened with ("" for a blank text); nothing when none is open.
runtime::Value wait_box_text();

}  // namespace kelv

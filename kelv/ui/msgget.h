// The input dialog: one value asked for in a small modal dialog (template MSGGET) with a
// prompt, an edit field under a picture, Conferma and Annulla.
#pragma once

#include <string>

#include "runtime/value.h"

namespace kelv {

// Edits a working copy of xValue (a text, number or date) under cPicture (may be empty).
// True when confirmed: xValue then holds the edited value, which has passed the field
// checks of the close rule. False when cancelled (Annulla, Esc, the close box): xValue is
// untouched, whatever was typed.
bool MSGGET(const std::string& cTitle, const std::string& cPrompt, runtime::Value& xValue,
            const std::string& cPicture = "");

}  // namespace kelv

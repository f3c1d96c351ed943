// A portable reader of the dialog templates in resources/velkan.rc, for drivers that have
// no resource compiler of their own. It knows the statements the program's templates use:
//
//   NAME DIALOG x, y, cx, cy        (DIALOGEX too; a help id after it is ignored)
//   STYLE a | b | NOT c             CAPTION "text"          FONT size, "face"
//   EXSTYLE ...                     (read and ignored)
//   BEGIN ... END  (or { ... })     with these control statements:
//     LTEXT, RTEXT, CTEXT, PUSHBUTTON, DEFPUSHBUTTON, GROUPBOX  "text", id, x, y, cx, cy [, style]
//     EDITTEXT, LISTBOX, COMBOBOX                               id, x, y, cx, cy [, style]
//     CONTROL "text", id, "class", style, x, y, cx, cy
//
// Styles are Win32 names joined by "|"; each control statement starts from the defaults
// the resource compiler gives it (WS_CHILD | WS_VISIBLE and the statement's own). Lines
// starting with "#" and C/C++ comments are skipped. Texts stay Windows-1252 bytes.
// Positions and sizes stay in dialog units; dialog_units_to_pixels() converts them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "winlib/types.h"

namespace winlib {

struct ControlTemplate {
    std::string cClass;  // a window_class:: name (winlib/vocabulary.h) or CONTROL's class
    std::string cText;
    int nId = 0;
    Rect rect;  // dialog units
    unsigned nStyle = 0;
};

struct DialogTemplate {
    std::string cName;
    Rect rect;  // dialog units; the size is the client area's
    unsigned nStyle = 0;
    std::string cCaption;
    std::string cFontName;
    int nFontSize = 0;  // points
    std::vector<ControlTemplate> aControls;
};

struct TemplateFile {
    std::vector<DialogTemplate> dialogs;
    std::string error;  // empty when the whole text was read; else the first fault and its line
};

TemplateFile parse_templates(std::string_view rc_text);
// The template of that name (compared without regard to case), or nothing.
std::optional<DialogTemplate> find_template(const TemplateFile& file, std::string_view name);

// The horizontal and vertical dialog base units of a font, as Windows derives them: the
// average width of "A".."Z" "a".."z" (width of the 52 letters / 26, plus 1, halved) and the
// font's height in pixels.
struct BaseUnits {
    int cx = 0, cy = 0;
};
BaseUnits base_units(int width_of_52_letters, int font_height);
// x * cx / 4 and y * cy / 8, rounded as Windows' MulDiv rounds.
Rect dialog_units_to_pixels(Rect units, BaseUnits base);

}  // namespace winlib

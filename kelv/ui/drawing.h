// Drawing helpers of the library for the windowing layer and applications: a rectangle
// filled with whatever a caller calls a colour, multi-band gradients, a progress bar, a
// window's background bitmap, a pop-up menu's height and three thin graphics wrappers.
//
// A rectangle is {top, left, bottom, right} in pixels. For FILLRECTEX and DRAWPROGRESSBAR
// it is the platform's fill rectangle, the bottom row and right column outside it; the
// edges GRADIENTFILL takes are rows and columns it paints (its bands end on their
// bottom row and the next starts one below).
//
// A fill description (xFill) is one of: a TBrush object; a number that is a brush handle;
// an AlphaBrush object; a colour number (0..16777215 0x00BBGGRR, above that 0xAARRGGBB
// blended, negative taken by its absolute value); nothing (the hollow brush, nothing
// painted); a gradient description for GRADIENTFILL.
#pragma once

#include <array>
#include <optional>

#include "runtime/value.h"
#include "winlib/menu.h"
#include "winlib/types.h"
#include "winlib/window.h"

namespace kelv {

using Edges = std::array<int, 4>;  // {top, left, bottom, right}

void FILLRECTEX(winlib::Handle hDC, const Edges& aRect, const runtime::Value& xFill);

// aGrad: {colour 1, colour 2}, a radial gradient from the centre; or bands {fraction,
// first colour, second colour}, each taking that part of the whole height (or width), the
// last running to the end, optionally followed by a logical that replaces lVertical.
// Anything else is filled as FILLRECTEX fills it.
void GRADIENTFILL(winlib::Handle hDC, int nTop, int nLeft, int nBottom, int nRight,
                  const runtime::Value& aGrad, bool lVertical = true);

// The bar takes the part nValue of nMax of the width; aColors {bar, rest} are fill
// descriptions. Absent nMax: 1 for a value in (0, 1], 100 otherwise. Absent colours: green
// on white, framed.
void DRAWPROGRESSBAR(winlib::Handle hDC, const Edges& aRect, std::optional<double> nValue = {},
                     std::optional<double> nMax = {}, const runtime::Value& aColors = {},
                     bool lBorder = false);

// The bitmap (0: none) stretched over the window's client area.
void PAINTBGBMP(const winlib::Window& oWnd, winlib::Handle hDC, winlib::Handle hBmp);

int GETMENUHEIGHT(const winlib::TMenu& oMenu);

// The platform's object type number (obj::), 0 when not an object.
int GETOBJECTTYPE(winlib::Handle hObj);
bool ISHBITMAP(winlib::Handle hObj);
// Clips the device context to the region; no region removes the clipping.
void SELECTCLIPRGN(winlib::Handle hDC, winlib::Handle hRgn = 0);

}  // namespace kelv

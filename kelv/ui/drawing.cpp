// Drawing helpers (drawing.h). The sections: fills, gradients, the progress bar, the
// background bitmap, menus and the graphics wrappers.
#include "kelv/ui/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "winlib/device_context.h"

namespace kelv {

using runtime::Value;
using winlib::Colour;
using winlib::Handle;

namespace {

constexpr double kLargestColour = 4294967295.0;
constexpr Colour kOpaqueLimit = 16777215;  // above: a colour with transparency
constexpr Colour kBarGreen = 32768;
constexpr Colour kRestWhite = 16777215;
constexpr Colour kRestYellow = 65535;

// The platform's fill rectangle of {top, left, bottom, right}.
winlib::Rect fill_area(const Edges& edges) {
    return {edges[1], edges[0], edges[3] - edges[1], edges[2] - edges[0]};
}

Colour colour_of(double number) {
    return static_cast<Colour>(std::min(std::fabs(number), kLargestColour));
}

bool is_brush(double number) {
    constexpr double kLowest = static_cast<double>(std::numeric_limits<Handle>::min());
    constexpr double kHighest = static_cast<double>(std::numeric_limits<Handle>::max());
    return number == std::trunc(number) && number >= kLowest && number < kHighest &&
           winlib::object_type(static_cast<Handle>(number)) == winlib::obj::kBrush;
}

// Paints one two-colour band whose last row and column are painted.
void paint_band(Handle dc, int top, int left, int bottom, int right, const Value& band,
                bool vertical) {
    if (bottom < top || right < left) return;
    const winlib::Rect area{left, top, right - left + 1, bottom - top + 1};
    winlib::linear_gradient(dc, area, colour_of(band.at(2).number()),
                            colour_of(band.at(3).number()), vertical);
}

}  // namespace

// --- fills ---

void FILLRECTEX(Handle hDC, const Edges& aRect, const Value& xFill) {
    const winlib::Rect area = fill_area(aRect);
    if (const auto brush = xFill.object_as<winlib::TBrush>()) {
        winlib::fill_rect(hDC, area, brush->hBrush);
    } else if (const auto alpha = xFill.object_as<winlib::AlphaBrush>()) {
        winlib::fill_rect_alpha(hDC, area, alpha->argb);
    } else if (xFill.is_nothing()) {
        winlib::fill_rect(hDC, area, winlib::stock_object(winlib::stock::kHollowBrush));
    } else if (xFill.is_number() && is_brush(xFill.number())) {
        winlib::fill_rect(hDC, area, static_cast<Handle>(xFill.number()));
    } else if (xFill.is_number()) {
        const Colour colour = colour_of(xFill.number());
        if (colour > kOpaqueLimit) {
            winlib::fill_rect_alpha(hDC, area, colour);
        } else {
            const Handle solid = winlib::create_solid_brush(colour);
            winlib::fill_rect(hDC, area, solid);
            winlib::delete_object(solid);
        }
    } else if (xFill.is_list() && !xFill.items().empty()) {
        // The gradient's edges are painted rows and columns: the fill's last ones.
        GRADIENTFILL(hDC, aRect[0], aRect[1], aRect[2] - 1, aRect[3] - 1, xFill, true);
    }
    // An empty list has no colour to paint (and would only come back here).
}

// --- gradients ---

void GRADIENTFILL(Handle hDC, int nTop, int nLeft, int nBottom, int nRight, const Value& aGrad,
                  bool lVertical) {
    if (!aGrad.is_list() || aGrad.items().empty()) {
        if (!aGrad.is_list()) FILLRECTEX(hDC, {nTop, nLeft, nBottom + 1, nRight + 1}, aGrad);
        return;
    }
    const runtime::List& items = aGrad.items();
    if (items.size() == 2 && items[0].is_number() && items[1].is_number()) {
        winlib::radial_gradient(hDC, {nLeft, nTop, nRight - nLeft + 1, nBottom - nTop + 1},
                                colour_of(items[0].number()), colour_of(items[1].number()));
        return;
    }
    // A trailing logical overrides the direction; the caller's list stays as it is.
    std::size_t bands = items.size();
    if (items.back().is_logical()) {
        lVertical = items.back().logical();
        --bands;
    }
    const int first = lVertical ? nTop : nLeft;
    const int last = lVertical ? nBottom : nRight;
    const double total = last - first + 1;
    int start = first;
    for (std::size_t i = 0; i < bands; ++i) {
        const Value& band = items[i];
        // A band ends no further than the rectangle and no higher than one row above its
        // start (an empty band).
        const double reach = start + total * band.at(1).number() - 1;
        const int end =
            i + 1 == bands
                ? last
                : static_cast<int>(std::clamp(reach, start - 1.0, static_cast<double>(last)));
        if (lVertical)
            paint_band(hDC, start, nLeft, end, nRight, band, true);
        else
            paint_band(hDC, nTop, start, nBottom, end, band, false);
        start = end + 1;
        if (start > last) break;
    }
}

// --- the progress bar ---

void DRAWPROGRESSBAR(Handle hDC, const Edges& aRect, std::optional<double> nValue,
                     std::optional<double> nMax, const Value& aColors, bool lBorder) {
    double value = nValue.value_or(0);
    const double maximum = nMax.value_or(value > 0 && value <= 1 ? 1 : 100);
    // Outside 0..maximum the bar would leave its rectangle.
    value = std::clamp(value, 0.0, std::max(maximum, 0.0));

    Value bar_colour = double{kBarGreen};
    Value rest_colour = double{kRestWhite};
    if (!aColors.is_list() || aColors.items().empty() || aColors.at(1).is_nothing()) {
        lBorder = true;
    } else {
        bar_colour = aColors.at(1);
        rest_colour = aColors.items().size() >= 2 && !aColors.at(2).is_nothing()
                          ? aColors.at(2)
                          : Value(double{kRestYellow});
    }

    Edges inner = aRect;
    if (lBorder) {
        winlib::frame_rect(hDC, fill_area(aRect));
        inner = {inner[0] + 1, inner[1] + 1, inner[2] - 1, inner[3] - 1};
    }
    // A maximum of 0 leaves the bar empty instead of dividing by it.
    const int width = maximum > 0 ? static_cast<int>((inner[3] - inner[1]) * value / maximum) : 0;
    const int bar_right = inner[1] + width;
    FILLRECTEX(hDC, {inner[0], inner[1], inner[2], bar_right}, bar_colour);
    FILLRECTEX(hDC, {inner[0], bar_right, inner[2], inner[3]}, rest_colour);
}

// --- the background bitmap ---

void PAINTBGBMP(const winlib::Window& oWnd, Handle hDC, Handle hBmp) {
    if (hBmp == 0) return;
    // The library's windows have no button bar or message bar: the bitmap covers the
    // whole client area.
    const winlib::Size client = oWnd.GetClientSize();
    const winlib::Rect area{0, 0, client.width, client.height};
    if (winlib::has_alpha_channel(hBmp))
        winlib::alpha_blend_bitmap(hDC, hBmp, area);
    else
        winlib::stretch_bitmap(hDC, hBmp, area);
}

// --- menus ---

int GETMENUHEIGHT(const winlib::TMenu& oMenu) {
    constexpr int kItem = 22, kSeparator = 7, kMargin = 5;
    int height = kMargin;
    for (const winlib::TMenuItem& item : oMenu.aItems)
        height += item.cPrompt.empty() ? kSeparator : kItem;
    return height;
}

// --- the graphics wrappers ---

int GETOBJECTTYPE(Handle hObj) { return winlib::object_type(hObj); }

bool ISHBITMAP(Handle hObj) { return (GETOBJECTTYPE(hObj) & 7) == 7; }

void SELECTCLIPRGN(Handle hDC, Handle hRgn) { winlib::select_clip_region(hDC, hRgn); }

}  // namespace kelv

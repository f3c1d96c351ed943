// The driver seam, painting on a device context. Coming with the drawing helpers of the
// library: neither driver realises these calls yet, and nothing calls them. A device
// context and every graphics object are integer handles, as windows are; colours are
// 0x00BBGGRR, or with an opacity in the top byte, painted with anti-aliasing. The
// driver will hand the window's device context to the core while it paints (the paint
// report of events.h gains it). Rules of the whole seam: winlib/driver/README.md.
// UI thread only.
#pragma once

#include <cstdint>

#include "winlib/types.h"

namespace winlib::driver {

// Fills the rectangle with a colour, or with a brush the platform made.
void fill_rect(Handle dc, Rect pixels, std::uint32_t colour);
void fill_rect_with_brush(Handle dc, Rect pixels, Handle brush);
// The rectangle's outline with the device context's current pen.
void frame_rect(Handle dc, Rect pixels);
// Two-colour gradients over the rectangle: linear from the top (vertical) or the left
// edge, or radial from the centre.
void linear_gradient(Handle dc, Rect pixels, std::uint32_t from, std::uint32_t to, bool vertical);
void radial_gradient(Handle dc, Rect pixels, std::uint32_t inner, std::uint32_t outer);
// The bitmap stretched over the rectangle; one with an alpha channel is blended.
void draw_bitmap(Handle dc, Handle bitmap, Rect pixels);
// The platform's type number of a graphics object (1 pen, 2 brush, 6 font, 7 bitmap), 0
// for anything else.
int object_type(Handle object);
// Clips the device context's painting to the region; 0 removes the clipping.
void select_clip_region(Handle dc, Handle region);
// A new font made from the system's menu font; the caller owns it.
Handle menu_font();

}  // namespace winlib::driver

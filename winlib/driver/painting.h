// The driver seam, painting on a device context. A device context and every graphics
// object are integer handles, as windows are, and the objects answer with the platform's
// type numbers (winlib/vocabulary.h, obj::). Colours are 0x00BBGGRR; a colour with
// transparency is 0xAARRGGBB and is painted with anti-aliasing. Rectangles are in pixels
// of the device context; an empty one paints nothing. The arithmetic of the library's
// drawing (bands, bars) is the core's: these calls only paint. Rules of the whole seam:
// winlib/driver/README.md. UI thread only.
//
// Not yet here: the device context of a window while it paints (the paint report of
// events.h will hand it to the core).
#pragma once

#include <cstdint>
#include <vector>

#include "winlib/types.h"

namespace winlib::driver {

// --- device contexts of memory ---
// A device context over a bitmap of 32-bit pixels of this size, black at first. 0 when the
// platform cannot make one.
Handle create_memory_dc(Size size);
void delete_dc(Handle dc);
// One pixel's colour, 0x00BBGGRR.
std::uint32_t pixel(Handle dc, int x, int y);

// --- graphics objects ---
Handle create_solid_brush(std::uint32_t colour);
Handle create_pen(std::uint32_t colour, int width);
// A bitmap of these pixels (0xAARRGGBB, rows from the top). With `alpha` the bitmap
// carries an alpha channel (32 bits a pixel); without, the top bytes are dropped.
Handle create_bitmap(Size size, const std::vector<std::uint32_t>& pixels, bool alpha);
Handle create_rect_region(Rect pixels);
// A stock object of the platform (stock::); never deleted.
Handle stock_object(int number);
// A new font made from the system's menu font; the caller owns it.
Handle menu_font();
// Makes a pen, brush or font the device context's current one; answers the one it
// replaces, to be selected back before the new one is deleted (0 when nothing was).
Handle select_object(Handle dc, Handle object);
// Deletes a pen, brush, font, bitmap or region; a stock object or 0 is left alone.
void delete_object(Handle object);
// The platform's type number of the object (obj::), 0 for anything else.
int object_type(Handle object);
// True for a bitmap with an alpha channel.
bool has_alpha_channel(Handle bitmap);

// --- painting ---
void fill_rect(Handle dc, Rect pixels, Handle brush);
// Blends a colour with transparency over the rectangle through the anti-aliasing layer.
void fill_rect_alpha(Handle dc, Rect pixels, std::uint32_t argb);
// The rectangle's outline, one pen wide, inside the rectangle, with the current pen.
void frame_rect(Handle dc, Rect pixels);
// Two-colour gradients over the rectangle: linear from the top (vertical) or left edge to
// the opposite one, or radial from the centre to the corners.
void linear_gradient(Handle dc, Rect pixels, std::uint32_t from, std::uint32_t to, bool vertical);
void radial_gradient(Handle dc, Rect pixels, std::uint32_t inner, std::uint32_t outer);
// The bitmap stretched over the rectangle: as it is, or blended by its alpha channel
// (constant opacity full).
void stretch_bitmap(Handle dc, Handle bitmap, Rect pixels);
void alpha_blend_bitmap(Handle dc, Handle bitmap, Rect pixels);
// Clips the device context's painting to the region; 0 removes the clipping.
void select_clip_region(Handle dc, Handle region);

}  // namespace winlib::driver

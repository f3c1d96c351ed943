// Painting on a device context, as the library's code sees it: the painting calls of the
// build's driver (winlib/driver/painting.h has their contract), a device context of
// memory to paint off screen, and the library's brush objects. Colours are 0x00BBGGRR;
// a colour with transparency is 0xAARRGGBB. UI thread only.
#pragma once

#include <cstdint>

#include "runtime/value.h"
#include "winlib/driver/painting.h"
#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace winlib {

using Colour = std::uint32_t;

using driver::alpha_blend_bitmap;
using driver::create_bitmap;
using driver::create_pen;
using driver::create_rect_region;
using driver::create_solid_brush;
using driver::delete_object;
using driver::fill_rect;
using driver::fill_rect_alpha;
using driver::frame_rect;
using driver::has_alpha_channel;
using driver::linear_gradient;
using driver::menu_font;
using driver::object_type;
using driver::radial_gradient;
using driver::select_clip_region;
using driver::select_object;
using driver::stock_object;
using driver::stretch_bitmap;

// A device context over a bitmap of its own, black at first, deleted with the object.
class MemoryDc {
public:
    explicit MemoryDc(Size size);
    ~MemoryDc();
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    Handle handle() const { return dc_; }
    Colour pixel(int x, int y) const;

private:
    Handle dc_;
};

// A brush of the library: a solid brush of a colour, deleted with the object.
class TBrush : public runtime::Object {
public:
    explicit TBrush(Colour colour) : hBrush(create_solid_brush(colour)) {}
    ~TBrush() override { delete_object(hBrush); }
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    const Handle hBrush;
};

// A brush of the anti-aliasing layer: a colour with transparency, blended where it fills.
class AlphaBrush : public runtime::Object {
public:
    explicit AlphaBrush(Colour colour) : argb(colour) {}
    const Colour argb;
};

}  // namespace winlib

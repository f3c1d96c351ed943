// The drawing helpers painting on a real device context of the build's driver (a DIB
// section under GDI, a QImage under Qt), read back pixel by pixel.
#include "kelv/ui/drawing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "winlib/device_context.h"
#include "winlib/window.h"

namespace kelv {
namespace {

using runtime::Value;
using winlib::Colour;
using winlib::MemoryDc;

constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kBlack = 0,
                 kWhite = 0xFFFFFF, kGrey = 0x808080, kYellow = 0x00FFFF, kBarGreen = 0x008000;

std::string hex(Colour colour) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%06X", colour);
    return text;
}

// Colours as close as the platforms' shading and blending round them.
::testing::AssertionResult near(Colour actual, Colour expected, int tolerance = 8) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) -
                     static_cast<int>((expected >> shift) & 0xFF)) > tolerance)
            return ::testing::AssertionFailure()
                   << "colour " << ::testing::PrintToString(hex(actual)) << ", expected about "
                   << ::testing::PrintToString(hex(expected));
    return ::testing::AssertionSuccess();
}

int brightness(Colour colour) { return (colour & 0xFF) + ((colour >> 8) & 0xFF) + (colour >> 16); }

Value list(runtime::List items) { return Value::list(std::move(items)); }
// A colour as the library's number.
Value n(Colour colour) { return static_cast<double>(colour); }

TEST(Fillrectex, PaintsWhatEachFillDescriptionMeans) {
    const winlib::Handle brush_handle = winlib::create_solid_brush(kGreen);
    struct Case {
        const char* what;
        Value fill;
        Colour background;
        Colour expected;
    } cases[] = {
        {"a negative colour by its absolute value", -255, kBlack, kRed},
        {"a colour number", n(0xFF0000), kBlack, kBlue},
        // 0xAARRGGBB: as a solid colour of its low bytes it would be blue, not red.
        {"an opaque colour with transparency", n(0xFFFF0000u), kBlack, kRed},
        {"a half transparent blue, blended", n(0x800000FFu), kWhite, 0xFF7F7F},
        {"a brush of the anti-aliasing layer",
         Value(std::make_shared<winlib::AlphaBrush>(0x800000FFu)), kWhite, 0xFF7F7F},
        {"a brush object", Value(std::make_shared<winlib::TBrush>(kYellow)), kBlack, kYellow},
        {"a brush handle", static_cast<double>(brush_handle), kBlack, kGreen},
        {"nothing: the hollow brush", Value(), kGrey, kGrey},
        {"a gradient of one band", list({list({1, n(kRed), n(kRed)})}), kBlack, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryDc dc({20, 20});
        FILLRECTEX(dc.handle(), {0, 0, 20, 20}, n(c.background));
        FILLRECTEX(dc.handle(), {5, 4, 15, 10}, c.fill);  // rows 5..14, columns 4..9
        EXPECT_TRUE(near(dc.pixel(4, 5), c.expected));
        EXPECT_TRUE(near(dc.pixel(9, 14), c.expected));
        EXPECT_EQ(dc.pixel(10, 10), c.background);  // the right edge is outside
        EXPECT_EQ(dc.pixel(5, 15), c.background);   // and so is the bottom one
        EXPECT_EQ(dc.pixel(3, 4), c.background);
    }
    winlib::delete_object(brush_handle);
}

// Rows (or columns) 0..99 of a 100 x 100 context filled with the bands.
struct Painted {
    MemoryDc dc{{100, 100}};
    explicit Painted(const Value& bands, bool vertical = true) {
        GRADIENTFILL(dc.handle(), 0, 0, 99, 99, bands, vertical);
    }
    Colour row(int y) const { return dc.pixel(50, y); }
    Colour column(int x) const { return dc.pixel(x, 50); }
};

TEST(Gradientfill, TwoHalfBandsPaintEachHalfWithItsGradient) {
    const Painted p(list({list({0.5, n(kRed), n(kBlack)}), list({0.5, n(kBlue), n(kGreen)})}));
    EXPECT_TRUE(near(p.row(0), kRed));
    EXPECT_TRUE(near(p.row(49), kBlack));
    EXPECT_TRUE(near(p.row(50), kBlue));
    EXPECT_TRUE(near(p.row(99), kGreen));
    EXPECT_TRUE(near(p.row(25), 0x00007F, 12));  // halfway down the first band
    EXPECT_TRUE(near(p.column(0), p.column(99), 0)) << "a band shades downwards only";
}

TEST(Gradientfill, TrailingLogicalTurnsTheBandsAndLeavesTheCallersList) {
    const Value bands =
        list({list({0.5, n(kRed), n(kRed)}), list({0.5, n(kBlue), n(kBlue)}), false});
    const Painted p(bands, true);
    EXPECT_TRUE(near(p.column(0), kRed));
    EXPECT_TRUE(near(p.column(49), kRed));
    EXPECT_TRUE(near(p.column(50), kBlue));
    EXPECT_TRUE(near(p.row(0), p.row(99), 0));
    ASSERT_EQ(bands.items().size(), 3u);
    EXPECT_EQ(bands.at(3), Value(false));
}

TEST(Gradientfill, FractionsAreNotNormalised) {
    // Less than the whole: the last band takes the rest.
    const Painted short_of(list({list({0.2, n(kRed), n(kRed)}), list({0.2, n(kBlue), n(kBlue)})}));
    EXPECT_TRUE(near(short_of.row(19), kRed));
    EXPECT_TRUE(near(short_of.row(20), kBlue));
    EXPECT_TRUE(near(short_of.row(99), kBlue));
    // More than the whole: the second band is cut at the bottom and the third never painted.
    const Painted beyond(list({list({0.7, n(kRed), n(kRed)}), list({0.7, n(kBlue), n(kBlue)}),
                               list({0.5, n(kGreen), n(kGreen)})}));
    EXPECT_TRUE(near(beyond.row(69), kRed));
    EXPECT_TRUE(near(beyond.row(70), kBlue));
    EXPECT_TRUE(near(beyond.row(99), kBlue));
    // A band of no height (or less) paints nothing and the next starts where it would have.
    const Painted none(list({list({-0.5, n(kGreen), n(kGreen)}), list({1, n(kRed), n(kRed)})}));
    EXPECT_TRUE(near(none.row(0), kRed));
    EXPECT_TRUE(near(none.row(99), kRed));
}

TEST(Gradientfill, TwoNumbersPaintARadialGradient) {
    MemoryDc dc({101, 101});
    GRADIENTFILL(dc.handle(), 0, 0, 100, 100, list({n(kWhite), n(kBlack)}));
    EXPECT_TRUE(near(dc.pixel(50, 50), kWhite, 12));
    for (const auto& [x, y] : {std::pair{0, 0}, {100, 0}, {0, 100}, {100, 100}})
        EXPECT_TRUE(near(dc.pixel(x, y), kBlack, 24)) << x << "," << y;
    // The same at the same distance from the centre in every direction ...
    const Colour top = dc.pixel(50, 0), left = dc.pixel(0, 50), right = dc.pixel(100, 50);
    EXPECT_TRUE(near(top, left, 12));
    EXPECT_TRUE(near(top, right, 12));
    // ... and darker outwards, with the edges' middles in between.
    EXPECT_GT(brightness(dc.pixel(50, 50)), brightness(dc.pixel(60, 60)));
    EXPECT_GT(brightness(dc.pixel(60, 60)), brightness(dc.pixel(80, 80)));
    EXPECT_GT(brightness(top), brightness(dc.pixel(0, 0)) + 60);
    EXPECT_LT(brightness(top), brightness(dc.pixel(50, 50)) - 60);
}

// A 102 x 20 bar on grey: its frame at columns 0 and 101, inside it 100 columns.
struct Bar {
    MemoryDc dc{{110, 30}};
    Bar() { FILLRECTEX(dc.handle(), {0, 0, 30, 110}, n(kGrey)); }
    Colour at(int x) const { return dc.pixel(x, 10); }
};

TEST(Drawprogressbar, AFractionFillsItsPartOfTheFrame) {
    Bar bar;
    DRAWPROGRESSBAR(bar.dc.handle(), {0, 0, 20, 102}, 0.25);
    EXPECT_EQ(bar.at(0), kBlack);
    EXPECT_EQ(bar.at(101), kBlack);
    EXPECT_EQ(bar.dc.pixel(50, 0), kBlack);
    EXPECT_EQ(bar.dc.pixel(50, 19), kBlack);
    EXPECT_EQ(bar.at(1), kBarGreen);
    EXPECT_EQ(bar.at(25), kBarGreen);
    EXPECT_EQ(bar.at(26), kWhite);
    EXPECT_EQ(bar.at(100), kWhite);
    EXPECT_EQ(bar.at(102), kGrey);
    EXPECT_EQ(bar.dc.pixel(50, 20), kGrey);
}

TEST(Drawprogressbar, ValuesBeyondTheBounds) {
    struct Case {
        const char* what;
        double value, maximum;
        Colour first, last;
    } cases[] = {
        {"150 of 100 fills it all", 150, 100, kBarGreen, kBarGreen},
        {"a maximum of 0 leaves it empty", 50, 0, kWhite, kWhite},
        {"a value below 0 leaves it empty", -30, 100, kWhite, kWhite},
        {"half of 100", 50, 100, kBarGreen, kWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bar bar;
        DRAWPROGRESSBAR(bar.dc.handle(), {0, 0, 20, 102}, c.value, c.maximum);
        EXPECT_EQ(bar.at(0), kBlack);
        EXPECT_EQ(bar.at(1), c.first);
        EXPECT_EQ(bar.at(100), c.last);
        EXPECT_EQ(bar.at(102), kGrey);
    }
}

TEST(Drawprogressbar, GivenColoursWithoutFrameAndTheYellowRest) {
    Bar bar;
    DRAWPROGRESSBAR(bar.dc.handle(), {0, 0, 20, 100}, 30, {}, list({n(kBlue)}));
    EXPECT_EQ(bar.at(0), kBlue);
    EXPECT_EQ(bar.at(29), kBlue);
    EXPECT_EQ(bar.at(30), kYellow);
    EXPECT_EQ(bar.at(99), kYellow);
    EXPECT_EQ(bar.dc.pixel(50, 0), kYellow);
}

TEST(Paintbgbmp, StretchesTheBitmapOverTheClientArea) {
    const auto dialog = winlib::TDialog::New("Sfondo", 240, 160);
    dialog->Activate(false);
    const winlib::Size client = dialog->GetClientSize();
    ASSERT_GT(client.width, 20);
    ASSERT_GT(client.height, 20);
    const int right = client.width - 2, bottom = client.height - 2;
    // 0xAARRGGBB: red, green / blue, white; and the same half transparent.
    const std::vector<Colour> quadrants = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const std::vector<Colour> veiled = {0x80FF0000, 0x8000FF00, 0x800000FF, 0x80FFFFFF};
    struct Case {
        const char* what;
        winlib::Handle bitmap;
        Colour top_left, top_right, bottom_left, bottom_right;
    } cases[] = {
        {"no bitmap", 0, kGrey, kGrey, kGrey, kGrey},
        {"a bitmap", winlib::create_bitmap({2, 2}, quadrants, false), kRed, kGreen, kBlue, kWhite},
        {"a bitmap without alpha ignores it", winlib::create_bitmap({2, 2}, veiled, false), kRed,
         kGreen, kBlue, kWhite},
        {"a bitmap with alpha, blended over grey", winlib::create_bitmap({2, 2}, veiled, true),
         0x4040C0, 0x40C040, 0xC04040, 0xC0C0C0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryDc dc(client);
        FILLRECTEX(dc.handle(), {0, 0, client.height, client.width}, n(kGrey));
        PAINTBGBMP(*dialog, dc.handle(), c.bitmap);
        EXPECT_TRUE(near(dc.pixel(1, 1), c.top_left, 12));
        EXPECT_TRUE(near(dc.pixel(right, 1), c.top_right, 12));
        EXPECT_TRUE(near(dc.pixel(1, bottom), c.bottom_left, 12));
        EXPECT_TRUE(near(dc.pixel(right, bottom), c.bottom_right, 12));
        winlib::delete_object(c.bitmap);
    }
    dialog->End();
}

TEST(Getmenuheight, ItemsAndSeparators) {
    winlib::TMenu menu;
    EXPECT_EQ(GETMENUHEIGHT(menu), 5);
    menu.Add("Apri");
    menu.Add("Salva");
    menu.AddSeparator();
    menu.Add("Esci");
    EXPECT_EQ(GETMENUHEIGHT(menu), 78);
}

TEST(Getobjecttype, ThePlatformsTypeNumbers) {
    MemoryDc dc({4, 4});
    const winlib::Handle brush = winlib::create_solid_brush(kRed);
    const winlib::Handle pen = winlib::create_pen(kRed, 1);
    const winlib::Handle font = winlib::menu_font();
    const winlib::Handle bitmap = winlib::create_bitmap({2, 2}, {0, 0, 0, 0}, false);
    const winlib::Handle region = winlib::create_rect_region({0, 0, 2, 2});
    struct Case {
        const char* what;
        winlib::Handle object;
        int type;
        bool bitmap;
    } cases[] = {
        {"a brush", brush, 2, false},      {"a pen", pen, 1, false},
        {"the menu font", font, 6, false}, {"a bitmap", bitmap, 7, true},
        {"a region", region, 8, false},    {"a memory device context", dc.handle(), 10, false},
        {"no object", 0, 0, false},        {"a number that is no object", 12345, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GETOBJECTTYPE(c.object), c.type);
        EXPECT_EQ(ISHBITMAP(c.object), c.bitmap);
    }
    for (winlib::Handle object : {brush, pen, font, bitmap}) winlib::delete_object(object);
    winlib::delete_object(region);
    EXPECT_EQ(GETOBJECTTYPE(brush), 0) << "a deleted brush is no object";
}

TEST(Selectcliprgn, ClipsToTheRegionUntilRemoved) {
    MemoryDc dc({20, 20});
    const winlib::Handle region = winlib::create_rect_region({5, 5, 5, 5});
    SELECTCLIPRGN(dc.handle(), region);
    FILLRECTEX(dc.handle(), {0, 0, 20, 20}, n(kRed));
    EXPECT_EQ(dc.pixel(5, 5), kRed);
    EXPECT_EQ(dc.pixel(9, 9), kRed);
    EXPECT_EQ(dc.pixel(10, 10), kBlack);
    EXPECT_EQ(dc.pixel(0, 0), kBlack);
    SELECTCLIPRGN(dc.handle());
    FILLRECTEX(dc.handle(), {0, 0, 20, 20}, n(kBlue));
    EXPECT_EQ(dc.pixel(0, 0), kBlue);
    winlib::delete_object(region);
}

}  // namespace
}  // namespace kelv

// Painting on a device context, Win32 driver (winlib/driver/painting.h): GDI, with the
// gradient and alpha calls of msimg32 (GradientFill, AlphaBlend) for the shaded and the
// blended fills. A memory device context carries a 32-bit top-down DIB section.
#include "winlib/driver/painting.h"

#include <cmath>
#include <map>

#include "winlib/drivers/win32/native.h"
#include "winlib/vocabulary.h"

namespace winlib::driver {
namespace {

HDC to_hdc(Handle dc) { return reinterpret_cast<HDC>(dc); }
HGDIOBJ to_object(Handle object) { return reinterpret_cast<HGDIOBJ>(object); }
Handle to_handle(HGDIOBJ object) { return reinterpret_cast<Handle>(object); }

// The bitmap a memory device context paints on, and the one it came with. UI thread only.
struct Surface {
    HBITMAP bitmap;
    HGDIOBJ original;
};
std::map<HDC, Surface>& surfaces() {
    static std::map<HDC, Surface> table;
    return table;
}

bool empty(Rect pixels) { return pixels.width <= 0 || pixels.height <= 0; }

// A top-down DIB section, 32 bits a pixel unless asked; its pixels through `bits`.
HBITMAP dib_section(Size size, void** bits, int bits_per_pixel = 32) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits_per_pixel);
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// AlphaBlend takes colours premultiplied by their opacity.
std::uint32_t premultiplied(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    const auto channel = [&](int shift) {
        return (((argb >> shift) & 0xFF) * alpha / 255) << shift;
    };
    return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

TRIVERTEX vertex(LONG x, LONG y, std::uint32_t bgr) {
    return {x,
            y,
            static_cast<COLOR16>((bgr & 0xFF) << 8),
            static_cast<COLOR16>(((bgr >> 8) & 0xFF) << 8),
            static_cast<COLOR16>(((bgr >> 16) & 0xFF) << 8),
            0};
}

// Draws the bitmap stretched through a device context of its own.
void blit(Handle dc, Handle bitmap, Rect pixels, bool blend) {
    BITMAP info{};
    if (empty(pixels) || GetObjectW(to_object(bitmap), sizeof(info), &info) == 0) return;
    HDC source = CreateCompatibleDC(to_hdc(dc));
    HGDIOBJ original = SelectObject(source, to_object(bitmap));
    if (blend) {
        const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(to_hdc(dc), pixels.x, pixels.y, pixels.width, pixels.height, source, 0, 0,
                   info.bmWidth, info.bmHeight, function);
    } else {
        SetStretchBltMode(to_hdc(dc), COLORONCOLOR);
        StretchBlt(to_hdc(dc), pixels.x, pixels.y, pixels.width, pixels.height, source, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
    }
    SelectObject(source, original);
    DeleteDC(source);
}

}  // namespace

// --- device contexts of memory ---

Handle create_memory_dc(Size size) {
    void* bits = nullptr;
    HBITMAP bitmap = dib_section(size, &bits);
    if (bitmap == nullptr) return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        return 0;
    }
    surfaces()[dc] = {bitmap, SelectObject(dc, bitmap)};
    return reinterpret_cast<Handle>(dc);
}

void delete_dc(Handle dc) {
    const auto it = surfaces().find(to_hdc(dc));
    if (it == surfaces().end()) return;
    SelectObject(it->first, it->second.original);
    DeleteObject(it->second.bitmap);
    DeleteDC(it->first);
    surfaces().erase(it);
}

std::uint32_t pixel(Handle dc, int x, int y) {
    const COLORREF colour = GetPixel(to_hdc(dc), x, y);
    return colour == CLR_INVALID ? 0 : static_cast<std::uint32_t>(colour);
}

// --- graphics objects ---

Handle create_solid_brush(std::uint32_t bgr) { return to_handle(CreateSolidBrush(bgr & 0xFFFFFF)); }

Handle create_pen(std::uint32_t bgr, int width) {
    return to_handle(CreatePen(PS_SOLID, width, bgr & 0xFFFFFF));
}

Handle create_bitmap(Size size, const std::vector<std::uint32_t>& pixels, bool alpha) {
    if (pixels.size() < static_cast<std::size_t>(size.width) * size.height) return 0;
    if (alpha) {
        void* bits = nullptr;
        HBITMAP bitmap = dib_section(size, &bits);
        if (bitmap == nullptr) return 0;
        auto* out = static_cast<std::uint32_t*>(bits);
        for (std::size_t i = 0; i < static_cast<std::size_t>(size.width) * size.height; ++i)
            out[i] = premultiplied(pixels[i]);
        return to_handle(bitmap);
    }
    // Without an alpha channel: 24 bits a pixel, rows padded to four bytes.
    void* bits = nullptr;
    HBITMAP bitmap = dib_section(size, &bits, 24);
    if (bitmap == nullptr) return 0;
    const std::size_t stride = (static_cast<std::size_t>(size.width) * 3 + 3) & ~std::size_t{3};
    auto* out = static_cast<unsigned char*>(bits);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const std::uint32_t argb = pixels[static_cast<std::size_t>(y) * size.width + x];
            unsigned char* at = out + y * stride + x * 3;
            at[0] = argb & 0xFF;
            at[1] = (argb >> 8) & 0xFF;
            at[2] = (argb >> 16) & 0xFF;
        }
    return to_handle(bitmap);
}

Handle create_rect_region(Rect pixels) {
    return to_handle(
        CreateRectRgn(pixels.x, pixels.y, pixels.x + pixels.width, pixels.y + pixels.height));
}

Handle stock_object(int number) { return to_handle(GetStockObject(number)); }

Handle menu_font() {
    // The ANSI record: its 344 bytes include the padded border width (Vista and later);
    // the face name never leaves the driver, so the code page does not matter.
    NONCLIENTMETRICSA metrics{};
    static_assert(sizeof(metrics) == 344);
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return 0;
    return to_handle(CreateFontIndirectA(&metrics.lfMenuFont));
}

Handle select_object(Handle dc, Handle object) {
    return to_handle(SelectObject(to_hdc(dc), to_object(object)));
}

void delete_object(Handle object) {
    if (object != 0) DeleteObject(to_object(object));  // a stock object is ignored by GDI
}

int object_type(Handle object) {
    return object == 0 ? 0 : static_cast<int>(GetObjectType(to_object(object)));
}

bool has_alpha_channel(Handle bitmap) {
    BITMAP info{};
    return GetObjectW(to_object(bitmap), sizeof(info), &info) != 0 && info.bmBitsPixel == 32;
}

// --- painting ---

void fill_rect(Handle dc, Rect pixels, Handle brush) {
    if (empty(pixels)) return;
    const RECT area{pixels.x, pixels.y, pixels.x + pixels.width, pixels.y + pixels.height};
    FillRect(to_hdc(dc), &area, reinterpret_cast<HBRUSH>(brush));
}

void fill_rect_alpha(Handle dc, Rect pixels, std::uint32_t argb) {
    if (empty(pixels)) return;
    // One premultiplied pixel, stretched and blended over the rectangle.
    void* bits = nullptr;
    HBITMAP dot = dib_section({1, 1}, &bits);
    if (dot == nullptr) return;
    *static_cast<std::uint32_t*>(bits) = premultiplied(argb);
    blit(dc, to_handle(dot), pixels, true);
    DeleteObject(dot);
}

void frame_rect(Handle dc, Rect pixels) {
    if (empty(pixels)) return;
    HGDIOBJ brush = SelectObject(to_hdc(dc), GetStockObject(NULL_BRUSH));
    Rectangle(to_hdc(dc), pixels.x, pixels.y, pixels.x + pixels.width, pixels.y + pixels.height);
    SelectObject(to_hdc(dc), brush);
}

void linear_gradient(Handle dc, Rect pixels, std::uint32_t from, std::uint32_t to, bool vertical) {
    if (empty(pixels)) return;
    TRIVERTEX corners[] = {vertex(pixels.x, pixels.y, from),
                           vertex(pixels.x + pixels.width, pixels.y + pixels.height, to)};
    GRADIENT_RECT shape{0, 1};
    GradientFill(to_hdc(dc), corners, 2, &shape, 1,
                 vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void radial_gradient(Handle dc, Rect pixels, std::uint32_t inner, std::uint32_t outer) {
    if (empty(pixels)) return;
    // GDI has no radial shading: a fan of triangles from the centre to the ellipse through
    // the rectangle's corners, each shaded from the inner colour to the outer one, clipped
    // to the rectangle.
    constexpr int kSegments = 64;
    const double cx = pixels.x + pixels.width / 2.0, cy = pixels.y + pixels.height / 2.0;
    const double rx = pixels.width / std::sqrt(2.0), ry = pixels.height / std::sqrt(2.0);
    TRIVERTEX vertices[kSegments + 1];
    vertices[0] = vertex(std::lround(cx), std::lround(cy), inner);
    for (int i = 0; i < kSegments; ++i) {
        const double angle = 2 * 3.14159265358979323846 * i / kSegments;
        vertices[i + 1] = vertex(std::lround(cx + rx * std::cos(angle)),
                                 std::lround(cy + ry * std::sin(angle)), outer);
    }
    GRADIENT_TRIANGLE fan[kSegments];
    for (int i = 0; i < kSegments; ++i)
        fan[i] = {0, static_cast<ULONG>(i + 1), static_cast<ULONG>(i + 1 < kSegments ? i + 2 : 1)};
    const int saved = SaveDC(to_hdc(dc));
    IntersectClipRect(to_hdc(dc), pixels.x, pixels.y, pixels.x + pixels.width,
                      pixels.y + pixels.height);
    GradientFill(to_hdc(dc), vertices, kSegments + 1, fan, kSegments, GRADIENT_FILL_TRIANGLE);
    RestoreDC(to_hdc(dc), saved);
}

void stretch_bitmap(Handle dc, Handle bitmap, Rect pixels) { blit(dc, bitmap, pixels, false); }

void alpha_blend_bitmap(Handle dc, Handle bitmap, Rect pixels) { blit(dc, bitmap, pixels, true); }

void select_clip_region(Handle dc, Handle region) {
    SelectClipRgn(to_hdc(dc), reinterpret_cast<HRGN>(region));
}

}  // namespace winlib::driver

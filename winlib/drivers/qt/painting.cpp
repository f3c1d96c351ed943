// Painting on a device context, Qt driver (winlib/driver/painting.h). A device context is
// a QPainter over a QImage with anti-aliasing; pens, brushes, fonts, bitmaps and regions
// are kept in a table under integer handles, each with the object type Windows would
// report for it. The handles lie above 32 bits, out of reach of any colour number, so a
// colour is never taken for a brush.
#include "winlib/driver/painting.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QRegion>
#include <cmath>
#include <map>
#include <memory>
#include <variant>

#include "winlib/drivers/qt/native.h"
#include "winlib/vocabulary.h"

namespace winlib::driver {
namespace {

using GraphicsObject = std::variant<QPen, QBrush, QFont, QImage, QRegion>;
constexpr int kTypeOf[] = {obj::kPen, obj::kBrush, obj::kFont, obj::kBitmap, obj::kRegion};

// The objects selected into a device context are held by handle; 0 is the context's own
// (a black pen one pixel wide, a white brush, the application's font).
struct DeviceContext {
    QImage image;
    QPainter painter;
    Handle pen = 0, brush = 0, font = 0;
};

// UI thread only.
std::map<Handle, GraphicsObject>& objects() {
    static std::map<Handle, GraphicsObject> table;
    return table;
}
std::map<Handle, std::unique_ptr<DeviceContext>>& contexts() {
    static std::map<Handle, std::unique_ptr<DeviceContext>> table;
    return table;
}
Handle next_handle = Handle{1} << 32;
Handle hollow_brush = 0;

Handle keep(GraphicsObject object) {
    const Handle handle = next_handle++;
    objects().emplace(handle, std::move(object));
    return handle;
}

template <class T>
const T* object_of(Handle handle) {
    const auto it = objects().find(handle);
    return it == objects().end() ? nullptr : std::get_if<T>(&it->second);
}

QPainter* painter_of(Handle dc) {
    const auto it = contexts().find(dc);
    return it == contexts().end() ? nullptr : &it->second->painter;
}

QColor colour(std::uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QColor colour_argb(std::uint32_t argb) { return QColor::fromRgba(argb); }

QRect rect(Rect pixels) { return {pixels.x, pixels.y, pixels.width, pixels.height}; }

bool empty(Rect pixels) { return pixels.width <= 0 || pixels.height <= 0; }

}  // namespace

// --- device contexts of memory ---

Handle create_memory_dc(Size size) {
    qt::ensure_application();
    auto context = std::make_unique<DeviceContext>();
    context->image = QImage(size.width, size.height, QImage::Format_ARGB32_Premultiplied);
    if (context->image.isNull()) return 0;
    context->image.fill(Qt::black);
    context->painter.begin(&context->image);
    context->painter.setRenderHint(QPainter::Antialiasing);
    const Handle handle = next_handle++;
    contexts().emplace(handle, std::move(context));
    return handle;
}

void delete_dc(Handle dc) { contexts().erase(dc); }

std::uint32_t pixel(Handle dc, int x, int y) {
    const auto it = contexts().find(dc);
    if (it == contexts().end() || !it->second->image.valid(x, y)) return 0;
    const QRgb rgb = it->second->image.pixel(x, y);
    return static_cast<std::uint32_t>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

// --- graphics objects ---

Handle create_solid_brush(std::uint32_t bgr) { return keep(QBrush(colour(bgr))); }

Handle create_pen(std::uint32_t bgr, int width) { return keep(QPen(colour(bgr), width)); }

Handle create_bitmap(Size size, const std::vector<std::uint32_t>& pixels, bool alpha) {
    QImage image(size.width, size.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() || pixels.size() < static_cast<std::size_t>(size.width) * size.height)
        return 0;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            image.setPixel(
                x, y,
                pixels[static_cast<std::size_t>(y) * size.width + x] | (alpha ? 0 : 0xFF000000u));
    return keep(std::move(image));
}

Handle create_rect_region(Rect pixels) { return keep(QRegion(rect(pixels))); }

Handle stock_object(int number) {
    if (number != stock::kHollowBrush) return 0;
    if (hollow_brush == 0) hollow_brush = keep(QBrush(Qt::NoBrush));
    return hollow_brush;
}

Handle menu_font() {
    qt::ensure_application();
    return keep(QApplication::font("QMenu"));
}

Handle select_object(Handle dc, Handle object) {
    const auto it = contexts().find(dc);
    const int type = object_type(object);
    if (it == contexts().end() || (type != obj::kPen && type != obj::kBrush && type != obj::kFont))
        return 0;
    DeviceContext& context = *it->second;
    Handle& slot = type == obj::kPen     ? context.pen
                   : type == obj::kBrush ? context.brush
                                         : context.font;
    const Handle previous = slot;
    slot = object;
    if (type == obj::kFont) context.painter.setFont(*object_of<QFont>(object));
    return previous;
}

void delete_object(Handle object) {
    if (object != hollow_brush) objects().erase(object);
}

int object_type(Handle object) {
    if (contexts().count(object) != 0) return obj::kMemoryDc;
    const auto it = objects().find(object);
    return it == objects().end() ? 0 : kTypeOf[it->second.index()];
}

bool has_alpha_channel(Handle bitmap) {
    const QImage* image = object_of<QImage>(bitmap);
    return image != nullptr && image->hasAlphaChannel();
}

// --- painting ---

void fill_rect(Handle dc, Rect pixels, Handle brush) {
    QPainter* painter = painter_of(dc);
    const QBrush* fill = object_of<QBrush>(brush);
    if (painter == nullptr || fill == nullptr || empty(pixels)) return;
    painter->fillRect(rect(pixels), *fill);
}

void fill_rect_alpha(Handle dc, Rect pixels, std::uint32_t argb) {
    QPainter* painter = painter_of(dc);
    if (painter == nullptr || empty(pixels)) return;
    painter->fillRect(rect(pixels), colour_argb(argb));
}

void frame_rect(Handle dc, Rect pixels) {
    const auto it = contexts().find(dc);
    if (it == contexts().end() || empty(pixels)) return;
    QPainter& painter = it->second->painter;
    painter.save();
    // Whole pixels, as GDI's outline: a one-pixel pen centred on them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPen* pen = object_of<QPen>(it->second->pen);
    painter.setPen(pen != nullptr ? *pen : QPen(QColor(Qt::black), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(pixels.x, pixels.y, pixels.width - 1, pixels.height - 1));
    painter.restore();
}

void linear_gradient(Handle dc, Rect pixels, std::uint32_t from, std::uint32_t to, bool vertical) {
    QPainter* painter = painter_of(dc);
    if (painter == nullptr || empty(pixels)) return;
    const QRect area = rect(pixels);
    // From the first row's (column's) centre to the last one's, as GDI shades a rectangle.
    const QPointF start(area.left() + 0.5, area.top() + 0.5);
    const QPointF end =
        vertical ? QPointF(start.x(), area.bottom() + 0.5) : QPointF(area.right() + 0.5, start.y());
    QLinearGradient gradient(start, end);
    gradient.setColorAt(0, colour(from));
    gradient.setColorAt(1, colour(to));
    painter->fillRect(area, gradient);
}

void radial_gradient(Handle dc, Rect pixels, std::uint32_t inner, std::uint32_t outer) {
    QPainter* painter = painter_of(dc);
    if (painter == nullptr || empty(pixels)) return;
    // A unit circle stretched into the ellipse through the rectangle's corners.
    QRadialGradient gradient(QPointF(0, 0), 1);
    gradient.setColorAt(0, colour(inner));
    gradient.setColorAt(1, colour(outer));
    QBrush brush(gradient);
    brush.setTransform(QTransform()
                           .translate(pixels.x + pixels.width / 2.0, pixels.y + pixels.height / 2.0)
                           .scale(pixels.width / std::sqrt(2.0), pixels.height / std::sqrt(2.0)));
    painter->fillRect(rect(pixels), brush);
}

void stretch_bitmap(Handle dc, Handle bitmap, Rect pixels) {
    QPainter* painter = painter_of(dc);
    const QImage* image = object_of<QImage>(bitmap);
    if (painter == nullptr || image == nullptr || empty(pixels)) return;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(rect(pixels), image->convertToFormat(QImage::Format_RGB32));
    painter->restore();
}

void alpha_blend_bitmap(Handle dc, Handle bitmap, Rect pixels) {
    QPainter* painter = painter_of(dc);
    const QImage* image = object_of<QImage>(bitmap);
    if (painter == nullptr || image == nullptr || empty(pixels)) return;
    painter->drawImage(rect(pixels), *image);
}

void select_clip_region(Handle dc, Handle region) {
    QPainter* painter = painter_of(dc);
    if (painter == nullptr) return;
    if (const QRegion* clip = object_of<QRegion>(region))
        painter->setClipRegion(*clip);
    else
        painter->setClipping(false);
}

}  // namespace winlib::driver

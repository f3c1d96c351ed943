#include "winlib/image.h"

#include "winlib/driver/controls.h"

namespace winlib {

std::shared_ptr<TImage> TImage::Redefine(Window& dlg, int id, std::string bitmap) {
    auto image = std::make_shared<TImage>();
    image->cBitmap = std::move(bitmap);
    bind_to_template(dlg, image, id);
    return image;
}

std::shared_ptr<TImage> TImage::New(Window& dlg, Rect rect, std::string bitmap) {
    auto image = std::make_shared<TImage>();
    image->cBitmap = std::move(bitmap);
    place(dlg, image, rect, 0);
    return image;
}

void TImage::Refresh() {
    if (hWnd != 0) driver::set_bitmap(*this, cBitmap);
}

std::shared_ptr<TLine> TLine::New(Window& dlg, Rect rect) {
    auto line = std::make_shared<TLine>();
    place(dlg, line, rect, 0);
    return line;
}

}  // namespace winlib

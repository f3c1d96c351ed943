#include "kelv/ui/post_string.h"

#include "winlib/messages.h"
#include "winlib/services.h"
#include "winlib/vocabulary.h"

namespace kelv {

void POSTSTRING(std::optional<winlib::Handle> hWnd, const std::string& cText) {
    const winlib::Handle target = hWnd ? *hWnd : winlib::active_window();
    for (const char byte : cText) {
        const auto code = static_cast<unsigned char>(byte);
        winlib::post_message(target, code > ' ' ? winlib::msg::kChar : winlib::msg::kKeyDown, code,
                             0);
        winlib::pump();
    }
}

}  // namespace kelv

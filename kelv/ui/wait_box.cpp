#include "kelv/ui/wait_box.h"

#include <algorithm>
#include <memory>

#include "runtime/text1252.h"
#include "winlib/control.h"
#include "winlib/messages.h"
#include "winlib/services.h"
#include "winlib/vocabulary.h"
#include "winlib/window.h"

namespace kelv {
namespace {

using runtime::Value;

// A pop-up window with a title bar and a modal-dialog frame, without system menu or
// close box.
constexpr unsigned kBoxStyle = winlib::ws::kPopup | winlib::ws::kCaption | winlib::ds::kModalFrame;
constexpr int kFontHeight = 15;   // the box font: Arial, 15 pixels
constexpr int kAverageWidth = 7;  // its average character width, for measuring lines
constexpr std::size_t kWrapColumns = 79;

class TMsgBox {
public:
    std::shared_ptr<winlib::TDialog> oDlg;
    std::shared_ptr<winlib::TSay> oText;
    winlib::Handle hWnd = 0;
    int nPag = 1;
};

std::unique_ptr<TMsgBox> oWaitBox;
Value cWaitText;

struct Measure {
    int lines = 1;
    int width = 0;
};

// Lines broken at CR LF, then wrapped at 79 columns (a tab counts as 4); the width of
// the widest line without its trailing blanks.
Measure measure(const std::string& text) {
    if (runtime::is_blank(text)) return {1, static_cast<int>(text.size()) - 100};
    Measure m{0, 0};
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        std::size_t columns = 0;
        for (char c : runtime::trim_right(line)) columns += c == '\t' ? 4 : 1;
        std::size_t rows = std::max<std::size_t>(1, (columns + kWrapColumns - 1) / kWrapColumns);
        m.lines += static_cast<int>(rows);
        m.width = std::max(m.width, static_cast<int>(std::min(columns, kWrapColumns)) * kAverageWidth);
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return m;
}

}  // namespace

bool wait_box_open() { return oWaitBox != nullptr; }

void open_wait_box(const Value& cText, const Value& cCaption, const Value& nMin, const Value&,
                   bool) {
    std::string text = cText.is_text() ? cText.text() : "";
    std::string caption = cCaption.is_text() ? cCaption.text() : "Attendere";
    Measure m = measure(text);
    cWaitText = runtime::is_blank(text) ? Value("") : Value(text);
    if (nMin.is_number()) {
        m.lines += 1;
        m.width += 5;
    }
    int width = m.width + 110;
    int height = (m.lines + 5) * kFontHeight;

    auto box = std::make_unique<TMsgBox>();
    box->oDlg = winlib::TDialog::New(caption, width, height, kBoxStyle);
    box->oText = winlib::TSay::New(*box->oDlg, {65, 20, width - 90, height - 80}, text);
    box->hWnd = winlib::active_window();
    // Refuses to close while Esc or F4 is held, so a key meant for the work below it
    // does not dismiss the box.
    box->oDlg->bValid = [] {
        return !winlib::key_down(winlib::vk::kEscape) && !winlib::key_down(winlib::vk::kF4);
    };
    box->oDlg->Activate(false);
    if (box->hWnd != 0) winlib::enable_window(box->hWnd, false);
    oWaitBox = std::move(box);
}

void close_wait_box() {
    if (!oWaitBox) return;
    if (oWaitBox->hWnd != 0) {
        winlib::enable_window(oWaitBox->hWnd, true);
        winlib::pump();
    }
    oWaitBox->oDlg->bValid = nullptr;
    oWaitBox->oDlg->End();
    oWaitBox.reset();
    cWaitText = Value();
}

void wait_box_set_text(const std::string& text) {
    if (oWaitBox) oWaitBox->oText->SetText(text);
}

void wait_box_next_page() {
    if (!oWaitBox) return;
    ++oWaitBox->nPag;
    oWaitBox->oText->SetText(std::to_string(oWaitBox->nPag));
}

Value wait_box_text() { return cWaitText; }

}  // namespace kelv

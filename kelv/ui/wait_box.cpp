// The wait box, TMsgBox, as POPMSG opens, updates and closes it. Sections: measuring the
// text; the class (New, End, SetMsg, SetPos); the module state and POPMSG's calls.
#include "kelv/ui/wait_box.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "kelv/ui/dialog_check.h"
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
const winlib::Font kBoxFont{"Arial", 15};
constexpr std::size_t kWrapColumns = 79;
constexpr int kExclamationIcon = 32515;  // IDI_EXCLAMATION
constexpr int kWaitCursor = 32514;       // IDC_WAIT

// ---- measuring the text ------------------------------------------------------------------

struct Measure {
    int lines = 1;
    int width = 0;
};

// The text broken at its CR LF pairs, each piece word-wrapped to lines of at most 79
// columns (a tab counting as 4).
std::vector<std::string> box_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find("\r\n", start);
        std::string piece;
        for (char c : text.substr(start, end == std::string::npos ? end : end - start))
            piece += c == '\t' ? std::string(4, ' ') : std::string(1, c);
        // Word-wrapped: a line breaks after its last blank within the limit, or at the
        // limit when a word is longer.
        while (piece.size() > kWrapColumns) {
            std::size_t cut = piece.rfind(' ', kWrapColumns);
            cut = cut == std::string::npos || cut == 0 ? kWrapColumns : cut + 1;
            lines.push_back(piece.substr(0, cut));
            piece.erase(0, cut);
        }
        lines.push_back(piece);
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

// A blank text is one line 100 pixels narrower than its length; any other is its lines,
// as wide as the widest without trailing blanks on the active window's surface.
Measure measure(const std::string& text, winlib::Handle surface) {
    if (runtime::is_blank(text)) return {1, static_cast<int>(text.size()) - 100};
    Measure m{0, 0};
    for (const std::string& line : box_lines(text)) {
        ++m.lines;
        m.width = std::max(m.width, winlib::text_width(surface, runtime::trim_right(line)));
    }
    return m;
}

// ---- the class ---------------------------------------------------------------------------

class TMsgBox {
public:
    std::shared_ptr<winlib::TDialog> oDlg;
    std::shared_ptr<winlib::TProgress> oPrg;
    winlib::Handle hWnd = 0;
    int nPag = 1;

    static std::unique_ptr<TMsgBox> New(const Value& cText, const Value& cCaption,
                                        const Value& nMin, const Value& nMax, Value& wait_text);
    // The print variant: the page counter beside the printer.
    static std::unique_ptr<TMsgBox> NewPrint();
    void End();
    void SetMsg(const std::string& cText);
    void SetPos(int nPos);

private:
    std::shared_ptr<winlib::TSay> text_;  // the box's second control

    void show();
};

std::unique_ptr<TMsgBox> TMsgBox::New(const Value& cText, const Value& cCaption,
                                      const Value& nMin, const Value& nMax, Value& wait_text) {
    auto box = std::make_unique<TMsgBox>();
    const std::string caption = cCaption.is_text() ? cCaption.text() : "Attendere";
    const std::string text = cText.is_text() ? cText.text() : "";
    box->hWnd = winlib::active_window();
    Measure m = measure(text, box->hWnd);
    wait_text = runtime::is_blank(text) ? Value("") : Value(text);
    const bool progress = nMin.is_number();
    if (progress) {
        m.lines += 1;
        m.width += 5;
    }
    const int width = m.width + 110;
    const int height = (m.lines + 5) * kBoxFont.height;

    box->oDlg = winlib::TDialog::New(caption, width, height, kBoxStyle);
    box->oDlg->nCursor = kWaitCursor;
    winlib::TIcon::New(*box->oDlg, {8, 7, 32, 32}, kExclamationIcon);
    box->text_ = winlib::TSay::New(*box->oDlg, {65, 20, width - 90, height - 80}, text);
    box->text_->oFont = kBoxFont;
    if (progress) {
        box->oPrg = winlib::TProgress::New(*box->oDlg, {15, height - 60, width - 35, 20});
        box->oPrg->SetRange(static_cast<int>(nMin.number()),
                            nMax.is_number() ? static_cast<int>(nMax.number()) : 100);
    }
    // Refuses to close while Esc or F4 is held, so that a key meant for the work below it
    // does not dismiss the box.
    box->oDlg->bValid = [] {
        return !winlib::key_down(winlib::vk::kEscape) && !winlib::key_down(winlib::vk::kF4);
    };
    box->show();
    return box;
}

std::unique_ptr<TMsgBox> TMsgBox::NewPrint() {
    constexpr int kHeightCut = 33;  // the hidden cancel button's row
    auto box = std::make_unique<TMsgBox>();
    box->hWnd = winlib::active_window();
    box->oDlg = winlib::TDialog::FromResource("PRINTDLG", "Attendere");
    winlib::TDialog* dlg = box->oDlg.get();
    winlib::TBitmapButton::Redefine(*dlg, 101, "PRINT");
    box->text_ = winlib::TSay::Redefine(*dlg, 102, "");
    auto cancel = winlib::TButton::Redefine(*dlg, 201, {});
    dlg->bValid = [dlg] { return __VALID(*dlg, false); };
    dlg->bInit = [dlg, cancel] {
        const winlib::Size size = dlg->GetSize();
        dlg->SetSize({size.width, size.height - kHeightCut});
        cancel->Hide();
    };
    box->show();
    return box;
}

// Shown without waiting, centred on the screen; the box takes the keyboard focus, so keys
// go to it rather than to the window it covers, which is disabled until End().
void TMsgBox::show() {
    oDlg->Activate(false);
    winlib::post_message(oDlg->hWnd, winlib::msg::kSetFocus, 0, 0);
    if (hWnd != 0) winlib::enable_window(hWnd, false);
}

void TMsgBox::End() {
    if (hWnd != 0) {
        winlib::enable_window(hWnd, true);
        winlib::pump();
    }
    oDlg->bValid = nullptr;
    oDlg->End();
}

void TMsgBox::SetMsg(const std::string& cText) { text_->SetText(cText); }

// The bar is first set one position past where it ends, so that it redraws at once (a
// bar moving back is drawn without its animation); at the end of the range, past it
// through a range widened by one.
void TMsgBox::SetPos(int nPos) {
    if (!oPrg) return;
    const int min = oPrg->nMin, max = oPrg->nMax;
    if (nPos < max) {
        oPrg->SetPos(nPos + 1);
        oPrg->SetPos(nPos);
    } else {
        oPrg->SetRange(min, max + 1);
        oPrg->SetPos(max + 1);
        oPrg->SetRange(min, max);
        oPrg->SetPos(max);
    }
}

// ---- the module state --------------------------------------------------------------------

std::unique_ptr<TMsgBox> oWaitBox;
Value cWaitText;

}  // namespace

bool wait_box_open() { return oWaitBox != nullptr; }

void open_wait_box(const Value& cText, const Value& cCaption, const Value& nMin,
                   const Value& nMax, bool print) {
    oWaitBox = print ? TMsgBox::NewPrint() : TMsgBox::New(cText, cCaption, nMin, nMax, cWaitText);
}

void close_wait_box() {
    if (!oWaitBox) return;
    oWaitBox->End();
    oWaitBox.reset();
    cWaitText = Value();
}

void wait_box_set_text(const std::string& text) {
    if (oWaitBox) oWaitBox->SetMsg(text);
}

void wait_box_set_position(int position) {
    if (oWaitBox) oWaitBox->SetPos(position);
}

void wait_box_next_page() {
    if (!oWaitBox) return;
    ++oWaitBox->nPag;
    oWaitBox->SetMsg(std::to_string(oWaitBox->nPag));
}

Value wait_box_text() { return cWaitText; }

const winlib::TDialog* wait_box_window() { return oWaitBox ? oWaitBox->oDlg.get() : nullptr; }

const winlib::TProgress* wait_box_progress() {
    return oWaitBox ? oWaitBox->oPrg.get() : nullptr;
}

}  // namespace kelv

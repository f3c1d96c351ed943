#include "kelv/ui/popmsg.h"

#include <memory>
#include <string>

#include "kelv/values/text_subst.h"
#include "kelv/ui/wait_box.h"
#include "winlib/messages.h"
#include "winlib/services.h"
#include "winlib/vocabulary.h"

namespace kelv {
namespace {

using runtime::Value;

struct Kind {
    unsigned style;  // the system message box's style value
    bool tone;
};

// Indexed by message kind 1..6.
constexpr Kind kKinds[] = {
    {winlib::mb::kOk | winlib::mb::kIconInformation, false},
    {winlib::mb::kOkCancel | winlib::mb::kIconQuestion, true},
    {winlib::mb::kYesNoCancel | winlib::mb::kIconQuestion, true},
    {winlib::mb::kYesNo | winlib::mb::kIconQuestion, true},
    {winlib::mb::kYesNo | winlib::mb::kIconQuestion | winlib::mb::kDefButton2, true},
    {winlib::mb::kOkCancel | winlib::mb::kIconHand, true},
};

// One clock tick of 1/18.2 s.
constexpr int kToneHz = 880;
constexpr int kToneMs = 54;

bool flag(const Value& v) { return v.is_logical() && v.logical(); }

// Old-style accents to their display forms, and ";" to a line break.
std::string display_text(const std::string& text) {
    std::string out;
    for (char c : O2A(text)) {
        if (c == ';') out += "\r\n";
        else out.push_back(c);
    }
    return out;
}

Value answer(int kind, int button) {
    switch (kind) {
        case 1: return {};
        case 3: return button;
        case 2:
        case 6: return button == winlib::id::kOk;
        default: return button == winlib::id::kYes;
    }
}

Value message_box(const std::string& text, const Value& nKind, const Value& cCaption) {
    std::string caption = cCaption.is_text() ? cCaption.text() : "Attenzione";
    close_wait_box();
    double n = nKind.is_number() ? nKind.number() : 0;
    if (n < 1 || n > 6 || n != static_cast<int>(n)) return {};
    int kind = static_cast<int>(n);
    const Kind& k = kKinds[kind - 1];
    if (k.tone) winlib::beep(kToneHz, kToneMs);
    return answer(kind, winlib::message_box(text, caption, k.style));
}

Value wait_box_request(const Value& cText, const Value& cCaption, const Value& lUpdate,
                       const Value& nMin, const Value& nMax, const Value& nPos, bool print,
                       bool next_page) {
    if (cText.is_nothing() && !print && !next_page) {
        close_wait_box();
    } else if (!wait_box_open()) {
        open_wait_box(cText, cCaption, nMin, nMax, print);
    } else if (flag(lUpdate) || nPos.is_number()) {
        if (flag(lUpdate) && cText.is_text()) wait_box_set_text(cText.text());
        if (nPos.is_number()) wait_box_set_position(static_cast<int>(nPos.number()));
    } else if (next_page) {
        wait_box_next_page();
    }
    return {};
}

}  // namespace

Value POPMSG(const Value& cText, const Value& nKind, const Value& cCaption, const Value& lUpdate,
             const Value& nMin, const Value& nMax, const Value& nPos, const Value& lPrint,
             const Value& lNextPage) {
    Value text = cText.is_text() ? Value(display_text(cText.text())) : cText;
    Value result = nKind.is_nothing()
                       ? wait_box_request(text, cCaption, lUpdate, nMin, nMax, nPos, flag(lPrint),
                                          flag(lNextPage))
                       : message_box(text.is_text() ? text.text() : "", nKind, cCaption);
    winlib::pump();
    return result;
}

Value CURMSG() { return wait_box_text(); }

}  // namespace kelv

// The template reader: a tokenizer for the resource script's lexical rules (numbers,
// quoted texts with "" for a quote, names, punctuation) and a parser of the DIALOG
// statements listed in dialog_template.h.
#include "winlib/dialog_template.h"

#include <cctype>
#include <cstdint>
#include <map>

#include "runtime/text1252.h"
#include "winlib/vocabulary.h"

namespace winlib {
namespace {

// Win32 style names the templates may use (winlib/vocabulary.h holds their values).
const std::map<std::string, unsigned, std::less<>>& style_names() {
    static const std::map<std::string, unsigned, std::less<>> names = {
        {"WS_OVERLAPPED", ws::kOverlapped},
        {"WS_POPUP", ws::kPopup},
        {"WS_CHILD", ws::kChild},
        {"WS_MINIMIZE", ws::kMinimize},
        {"WS_VISIBLE", ws::kVisible},
        {"WS_DISABLED", ws::kDisabled},
        {"WS_CLIPSIBLINGS", ws::kClipSiblings},
        {"WS_CLIPCHILDREN", ws::kClipChildren},
        {"WS_MAXIMIZE", ws::kMaximize},
        {"WS_CAPTION", ws::kCaption},
        {"WS_BORDER", ws::kBorder},
        {"WS_DLGFRAME", ws::kDlgFrame},
        {"WS_VSCROLL", ws::kVScroll},
        {"WS_HSCROLL", ws::kHScroll},
        {"WS_SYSMENU", ws::kSysMenu},
        {"WS_THICKFRAME", ws::kThickFrame},
        {"WS_GROUP", ws::kGroup},
        {"WS_TABSTOP", ws::kTabStop},
        {"WS_MINIMIZEBOX", ws::kMinimizeBox},
        {"WS_MAXIMIZEBOX", ws::kMaximizeBox},
        {"DS_ABSALIGN", ds::kAbsAlign},
        {"DS_SYSMODAL", ds::kSysModal},
        {"DS_SETFONT", ds::kSetFont},
        {"DS_MODALFRAME", ds::kModalFrame},
        {"DS_NOIDLEMSG", ds::kNoIdleMsg},
        {"DS_SETFOREGROUND", ds::kSetForeground},
        {"DS_3DLOOK", ds::k3dLook},
        {"DS_CONTROL", ds::kControl},
        {"DS_CENTER", ds::kCenter},
        {"ES_LEFT", es::kLeft},
        {"ES_CENTER", es::kCenter},
        {"ES_RIGHT", es::kRight},
        {"ES_MULTILINE", es::kMultiline},
        {"ES_UPPERCASE", es::kUppercase},
        {"ES_LOWERCASE", es::kLowercase},
        {"ES_PASSWORD", es::kPassword},
        {"ES_AUTOVSCROLL", es::kAutoVScroll},
        {"ES_AUTOHSCROLL", es::kAutoHScroll},
        {"ES_NOHIDESEL", es::kNoHideSel},
        {"ES_READONLY", es::kReadOnly},
        {"ES_WANTRETURN", es::kWantReturn},
        {"ES_NUMBER", es::kNumber},
        {"LBS_NOTIFY", lbs::kNotify},
        {"LBS_SORT", lbs::kSort},
        {"LBS_NOREDRAW", lbs::kNoRedraw},
        {"LBS_MULTIPLESEL", lbs::kMultipleSel},
        {"LBS_NOINTEGRALHEIGHT", lbs::kNoIntegralHeight},
        {"LBS_USETABSTOPS", lbs::kUseTabStops},
        {"LBS_DISABLENOSCROLL", lbs::kDisableNoScroll},
        {"LBS_EXTENDEDSEL", lbs::kExtendedSel},
        {"LBS_STANDARD", lbs::kStandard},
        {"CBS_SIMPLE", cbs::kSimple},
        {"CBS_DROPDOWN", cbs::kDropDown},
        {"CBS_DROPDOWNLIST", cbs::kDropDownList},
        {"CBS_AUTOHSCROLL", cbs::kAutoHScroll},
        {"CBS_SORT", cbs::kSort},
        {"CBS_HASSTRINGS", cbs::kHasStrings},
        {"BS_PUSHBUTTON", bs::kPushButton},
        {"BS_DEFPUSHBUTTON", bs::kDefPushButton},
        {"BS_CHECKBOX", bs::kCheckBox},
        {"BS_AUTOCHECKBOX", bs::kAutoCheckBox},
        {"BS_RADIOBUTTON", bs::kRadioButton},
        {"BS_GROUPBOX", bs::kGroupBox},
        {"BS_AUTORADIOBUTTON", bs::kAutoRadioButton},
        {"BS_BITMAP", bs::kBitmap},
        {"SS_LEFT", ss::kLeft},
        {"SS_CENTER", ss::kCenter},
        {"SS_RIGHT", ss::kRight},
        {"SS_ICON", ss::kIcon},
        {"SS_BITMAP", ss::kBitmap},
        {"SS_NOPREFIX", ss::kNoPrefix},
        {"SS_ETCHEDHORZ", ss::kEtchedHorz},
        {"SS_SUNKEN", ss::kSunken},
    };
    return names;
}

constexpr unsigned kChildVisible = ws::kChild | ws::kVisible;

// What each control statement means: its window class and the styles it starts from.
struct Statement {
    std::string_view cClass;
    unsigned nStyle;
    bool has_text;
};
const std::map<std::string, Statement, std::less<>>& statements() {
    static const std::map<std::string, Statement, std::less<>> table = {
        {"LTEXT", {window_class::kStatic, kChildVisible | ws::kGroup | ss::kLeft, true}},
        {"CTEXT", {window_class::kStatic, kChildVisible | ws::kGroup | ss::kCenter, true}},
        {"RTEXT", {window_class::kStatic, kChildVisible | ws::kGroup | ss::kRight, true}},
        {"PUSHBUTTON",
         {window_class::kButton, kChildVisible | ws::kTabStop | bs::kPushButton, true}},
        {"DEFPUSHBUTTON",
         {window_class::kButton, kChildVisible | ws::kTabStop | bs::kDefPushButton, true}},
        {"GROUPBOX", {window_class::kButton, kChildVisible | bs::kGroupBox, true}},
        {"EDITTEXT", {window_class::kEdit, kChildVisible | ws::kTabStop | ws::kBorder, false}},
        {"LISTBOX", {window_class::kListBox, kChildVisible | ws::kBorder | lbs::kNotify, false}},
        {"COMBOBOX", {window_class::kComboBox, kChildVisible | ws::kTabStop, false}},
    };
    return table;
}

// A fault in the text; carries the message with its line.
struct Fault {
    std::string message;
};

enum class Tok { kEnd, kName, kNumber, kText, kPunct };

struct Token {
    Tok kind = Tok::kEnd;
    std::string text;  // name (upper case), text bytes, or the punctuation character
    long number = 0;
    int line = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view src) : s_(src) {}

    Token next() {
        skip_blanks();
        Token t;
        t.line = line_;
        if (i_ >= s_.size()) return t;
        const char c = s_[i_];
        if (c == '"') {
            t.kind = Tok::kText;
            ++i_;
            while (i_ < s_.size()) {
                if (s_[i_] == '"') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                        t.text += '"';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    return t;
                }
                if (s_[i_] == '\n') break;
                t.text += s_[i_++];
            }
            throw Fault{"line " + std::to_string(t.line) + ": unterminated text"};
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            t.kind = Tok::kNumber;
            std::size_t used = 0;
            const std::string rest(s_.substr(i_, 24));
            t.number = std::stol(rest, &used, 0);
            i_ += used;
            if (i_ < s_.size() && (s_[i_] == 'L' || s_[i_] == 'l')) ++i_;
            return t;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = Tok::kName;
            while (i_ < s_.size() &&
                   (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_'))
                t.text += s_[i_++];
            t.text = runtime::upper(t.text);
            return t;
        }
        t.kind = Tok::kPunct;
        t.text = std::string(1, c);
        ++i_;
        return t;
    }

private:
    void skip_blanks() {
        bool line_start = i_ == 0 || s_[i_ - 1] == '\n';
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '\n') {
                ++line_;
                ++i_;
                line_start = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++i_;
            } else if (line_start && c == '#') {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            } else if (s_.substr(i_, 2) == "//") {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            } else if (s_.substr(i_, 2) == "/*") {
                const std::size_t end = s_.find("*/", i_ + 2);
                for (std::size_t k = i_; k < std::min(end, s_.size()); ++k)
                    if (s_[k] == '\n') ++line_;
                i_ = end == std::string_view::npos ? s_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    std::string_view s_;
    std::size_t i_ = 0;
    int line_ = 1;
};

class Parser {
public:
    explicit Parser(std::string_view src) : lex_(src) { advance(); }

    std::vector<DialogTemplate> parse_file() {
        std::vector<DialogTemplate> out;
        while (tok_.kind != Tok::kEnd) {
            if (auto dialog = parse_resource()) out.push_back(std::move(*dialog));
        }
        return out;
    }

private:
    void advance() { tok_ = lex_.next(); }
    [[noreturn]] void fail(const std::string& what) const { fail_at(tok_.line, what); }
    [[noreturn]] static void fail_at(int line, const std::string& what) {
        throw Fault{"line " + std::to_string(line) + ": " + what};
    }
    bool at_name(std::string_view name) const {
        return tok_.kind == Tok::kName && tok_.text == name;
    }
    bool at_punct(char c) const { return tok_.kind == Tok::kPunct && tok_.text[0] == c; }
    void expect_punct(char c) {
        if (!at_punct(c)) fail(std::string("'") + c + "' expected");
        advance();
    }
    void skip_comma() {
        if (at_punct(',')) advance();
    }
    std::string expect_name() {
        if (tok_.kind != Tok::kName) fail("name expected");
        std::string n = tok_.text;
        advance();
        return n;
    }
    std::string expect_text() {
        if (tok_.kind != Tok::kText) fail("quoted text expected");
        std::string t = tok_.text;
        advance();
        return t;
    }
    int expect_number() {
        bool negative = false;
        if (at_punct('-')) {
            negative = true;
            advance();
        }
        long n = 0;
        if (tok_.kind == Tok::kNumber) {
            n = tok_.number;
        } else if (at_name("IDOK")) {
            n = id::kOk;
        } else if (at_name("IDCANCEL")) {
            n = id::kCancel;
        } else {
            fail("number expected");
        }
        advance();
        return static_cast<int>(negative ? -n : n);
    }
    Rect expect_rect() {
        Rect r;
        r.x = expect_number();
        expect_punct(',');
        r.y = expect_number();
        expect_punct(',');
        r.width = expect_number();
        expect_punct(',');
        r.height = expect_number();
        return r;
    }
    // style-expression: term { "|" term }, term: [NOT] name | number. NOT clears bits.
    unsigned expect_style(unsigned start) {
        unsigned value = start;
        for (;;) {
            bool clear = false;
            if (at_name("NOT")) {
                clear = true;
                advance();
            }
            unsigned bits = 0;
            if (tok_.kind == Tok::kNumber) {
                bits = static_cast<unsigned>(tok_.number);
                advance();
            } else {
                const int line = tok_.line;
                const std::string name = expect_name();
                const auto it = style_names().find(name);
                if (it == style_names().end()) fail_at(line, "unknown style " + name);
                bits = it->second;
            }
            value = clear ? (value & ~bits) : (value | bits);
            if (!at_punct('|')) return value;
            advance();
        }
    }
    bool at_block_end() const { return at_name("END") || at_punct('}'); }

    // A dialog template; a bitmap or an icon (NAME BITMAP "file", NAME ICON "file") is
    // passed over: the drivers find them by name elsewhere.
    std::optional<DialogTemplate> parse_resource() {
        DialogTemplate d;
        d.cName = expect_name();
        const int line = tok_.line;
        const std::string kind = expect_name();
        if (kind == "BITMAP" || kind == "ICON") {
            expect_text();
            return std::nullopt;
        }
        if (kind != "DIALOG" && kind != "DIALOGEX")
            fail_at(line, "DIALOG expected after " + d.cName);
        d.rect = expect_rect();
        if (kind == "DIALOGEX" && at_punct(',')) {
            advance();
            expect_number();
        }
        d.nStyle = ws::kPopup | ws::kCaption | ws::kSysMenu;
        for (;;) {
            if (at_name("STYLE")) {
                advance();
                d.nStyle = expect_style(0);
            } else if (at_name("EXSTYLE")) {
                advance();
                expect_style(0);
            } else if (at_name("CAPTION")) {
                advance();
                d.cCaption = expect_text();
            } else if (at_name("FONT")) {
                advance();
                d.nFontSize = expect_number();
                expect_punct(',');
                d.cFontName = expect_text();
                while (at_punct(',')) {  // DIALOGEX: weight, italic, charset
                    advance();
                    expect_number();
                }
            } else {
                break;
            }
        }
        if (at_name("BEGIN") || at_punct('{')) {
            advance();
        } else {
            fail("BEGIN expected");
        }
        while (!at_block_end()) {
            if (tok_.kind == Tok::kEnd) fail("END expected");
            d.aControls.push_back(parse_control());
        }
        advance();
        return d;
    }

    ControlTemplate parse_control() {
        const int line = tok_.line;
        const std::string stmt = expect_name();
        ControlTemplate c;
        if (stmt == "CONTROL") {
            c.cText = expect_text();
            expect_punct(',');
            c.nId = expect_number();
            expect_punct(',');
            c.cClass = runtime::upper(expect_text());
            expect_punct(',');
            c.nStyle = expect_style(kChildVisible);
            expect_punct(',');
            c.rect = expect_rect();
        } else {
            const auto it = statements().find(stmt);
            if (it == statements().end()) fail_at(line, "unknown control statement " + stmt);
            c.cClass = std::string(it->second.cClass);
            if (it->second.has_text) {
                c.cText = expect_text();
                expect_punct(',');
            }
            c.nId = expect_number();
            expect_punct(',');
            c.rect = expect_rect();
            c.nStyle = it->second.nStyle;
            if (at_punct(',')) {
                advance();
                c.nStyle = expect_style(c.nStyle);
            }
        }
        if (at_punct(',')) {  // extended style
            advance();
            expect_style(0);
        }
        return c;
    }

    Lexer lex_;
    Token tok_;
};

int mul_div(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

TemplateFile parse_templates(std::string_view rc_text) {
    TemplateFile file;
    try {
        file.dialogs = Parser(rc_text).parse_file();
    } catch (const Fault& fault) {
        file.error = fault.message;
    }
    return file;
}

std::optional<DialogTemplate> find_template(const TemplateFile& file, std::string_view name) {
    for (const auto& d : file.dialogs)
        if (runtime::equals_ignore_case(d.cName, name)) return d;
    return std::nullopt;
}

BaseUnits base_units(int width_of_52_letters, int font_height) {
    return {(width_of_52_letters / 26 + 1) / 2, font_height};
}

Rect dialog_units_to_pixels(Rect units, BaseUnits base) {
    return {mul_div(units.x, base.cx, 4), mul_div(units.y, base.cy, 8),
            mul_div(units.width, base.cx, 4), mul_div(units.height, base.cy, 8)};
}

}  // namespace winlib

#include "winlib/dialog_template.h"

#include <gtest/gtest.h>

#include "resources/rc_text.h"

namespace winlib {
namespace {

bool operator==(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

constexpr unsigned kChild = 0x40000000, kVisible = 0x10000000, kTabStop = 0x00010000;
constexpr unsigned kBorder = 0x00800000, kVScroll = 0x00200000, kGroup = 0x00020000;
constexpr unsigned kDialogStyle = 0x80 | 0x80000000 | 0x00C00000 | 0x00080000;

struct Expected {
    int id;
    const char* cls;
    const char* text;
    Rect rect;
    unsigned style;
};

void expect_controls(const DialogTemplate& d, const std::vector<Expected>& expected) {
    ASSERT_EQ(d.aControls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        const ControlTemplate& c = d.aControls[i];
        EXPECT_EQ(c.nId, expected[i].id);
        EXPECT_EQ(c.cClass, expected[i].cls);
        EXPECT_EQ(c.cText, expected[i].text);
        EXPECT_TRUE(c.rect == expected[i].rect);
        EXPECT_EQ(c.nStyle, expected[i].style);
    }
}

TEST(DialogTemplate, ProgramTemplatesReadWhole) {
    const TemplateFile file = parse_templates(resources::rc_text());
    ASSERT_EQ(file.error, "");

    const auto afiles = find_template(file, "afiles");
    ASSERT_TRUE(afiles);
    EXPECT_TRUE(afiles->rect == (Rect{0, 0, 250, 265}));
    EXPECT_EQ(afiles->nStyle, kDialogStyle);
    EXPECT_EQ(afiles->cCaption, "");
    EXPECT_EQ(afiles->cFontName, "MS Sans Serif");
    EXPECT_EQ(afiles->nFontSize, 8);
    const unsigned button = kChild | kVisible | kTabStop;
    expect_controls(*afiles, {
                                 {101,
                                  "LISTBOX",
                                  "",
                                  {10, 10, 180, 225},
                                  kChild | kVisible | kBorder | kVScroll | kTabStop | 1},
                                 {203, "BUTTON", "Add file", {200, 10, 40, 15}, button},
                                 {201, "BUTTON", "Start", {10, 245, 40, 15}, button},
                                 {202, "BUTTON", "Cancel", {55, 245, 40, 15}, button},
                             });

    const auto msgget2 = find_template(file, "MSGGET2");
    ASSERT_TRUE(msgget2);
    EXPECT_TRUE(msgget2->rect == (Rect{73, 93, 255, 70}));
    expect_controls(
        *msgget2,
        {
            {101, "STATIC", "", {10, 10, 235, 10}, kChild | kVisible | kGroup},
            {102, "EDIT", "", {10, 20, 235, 13}, kChild | kVisible | kTabStop | kBorder | 0x80},
            {201, "BUTTON", "OK", {10, 50, 40, 15}, button | 1},
            {202, "BUTTON", "Cancel", {55, 50, 40, 15}, button},
        });
}

// The library's input dialog and information box, as their tables give them.
TEST(DialogTemplate, InputAndInformationDialogs) {
    const TemplateFile file = parse_templates(resources::rc_text());
    ASSERT_EQ(file.error, "");
    const unsigned button = kChild | kVisible | kTabStop;
    const unsigned text = kChild | kVisible | kGroup;

    const auto msgget = find_template(file, "MSGGET");
    ASSERT_TRUE(msgget);
    EXPECT_TRUE(msgget->rect == (Rect{73, 93, 255, 70}));
    EXPECT_EQ(msgget->nStyle, 0x80C800C0u);
    EXPECT_EQ(msgget->cFontName, "MS Sans Serif");
    EXPECT_EQ(msgget->nFontSize, 8);
    expect_controls(
        *msgget,
        {
            {101, "STATIC", "", {10, 10, 235, 10}, text},
            {102, "EDIT", "", {10, 20, 235, 13}, kChild | kVisible | kTabStop | kBorder | 0x80},
            {201, "BUTTON", "&Conferma", {10, 50, 40, 15}, button | 1},
            {202, "BUTTON", "&Annulla", {55, 50, 40, 15}, button},
        });

    const auto infos = find_template(file, "INFOS");
    ASSERT_TRUE(infos);
    EXPECT_TRUE(infos->rect == (Rect{66, 53, 235, 145}));
    EXPECT_EQ(infos->nStyle, 0x804800C0u);
    EXPECT_EQ(infos->cCaption, "");
    EXPECT_EQ(infos->cFontName, "Arial");
    EXPECT_EQ(infos->nFontSize, 9);
    constexpr unsigned kBitmap = 0x0E, kSunken = 0x1000;
    expect_controls(*infos,
                    {
                        {101, "STATIC", "KELV", {10, 10, 57, 57}, kChild | kVisible | kBitmap},
                        {102, "STATIC", "", {80, 11, 145, 10}, text},
                        {103, "STATIC", "", {80, 26, 145, 10}, text},
                        {104, "STATIC", "", {80, 41, 145, 10}, text},
                        {-1, "STATIC", "", {80, 70, 145, 1}, kChild | kVisible | kSunken},
                        {-1, "STATIC", "Gli sviluppatori di VELKAN", {80, 77, 145, 10}, text},
                        {106, "STATIC", "", {80, 92, 145, 10}, text},
                        {107, "STATIC", "", {80, 107, 145, 10}, text},
                        {108, "STATIC", "", {80, 122, 145, 10}, text},
                        {201, "BUTTON", "&Chiudi", {16, 112, 45, 20}, button | 1},
                    });
}

TEST(DialogTemplate, OtherStatementsAndTexts) {
    const TemplateFile file = parse_templates(
        "/* two\n lines */ X DIALOGEX 1, 2, 30, 40, 0\n"
        "STYLE WS_POPUP | WS_CAPTION\nCAPTION \"Citt\xE0 \"\"A\"\"\"\n"
        "FONT 8, \"MS Sans Serif\", 400, 0, 0x1\n{\n"
        "  CONTROL \"Go\", IDOK, \"Button\", BS_DEFPUSHBUTTON | WS_TABSTOP, 1, 2, 3, 4\n"
        "  EDITTEXT 7, 1, 2, 3, 4, ES_PASSWORD | NOT WS_BORDER // no frame\n"
        "  CTEXT \"c\", -1, 0, 0, 5, 5\n}\n");
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.dialogs.size(), 1u);
    const DialogTemplate& d = file.dialogs[0];
    EXPECT_EQ(d.cCaption, "Citt\xE0 \"A\"");
    EXPECT_EQ(d.nStyle, 0x80000000 | 0x00C00000);
    expect_controls(d, {
                           {1, "BUTTON", "Go", {1, 2, 3, 4}, kChild | kVisible | kTabStop | 1},
                           {7, "EDIT", "", {1, 2, 3, 4}, kChild | kVisible | kTabStop | 0x20},
                           {-1, "STATIC", "c", {0, 0, 5, 5}, kChild | kVisible | kGroup | 1},
                       });
}

TEST(DialogTemplate, FaultsNameTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"A DIALOG 0, 0, 1, 1\nSTYLE WS_BOGUS\nBEGIN\nEND\n", "line 2: unknown style WS_BOGUS"},
        {"A DIALOG 0, 0, 1\nBEGIN\nEND\n", "line 2: ',' expected"},
        {"A DIALOG 0, 0, 1, 1\nBEGIN\n SLIDER 1, 2, 3, 4, 5\nEND\n",
         "line 3: unknown control statement SLIDER"},
        {"A DIALOG 0, 0, 1, 1\nBEGIN\n LTEXT \"x, 1, 2, 3, 4, 5\nEND\n",
         "line 3: unterminated text"},
        {"A DIALOG 0, 0, 1, 1\nBEGIN\n", "line 3: END expected"},
        {"A MENU\n", "line 1: DIALOG expected after A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse_templates(c.text).error, c.error);
    }
}

TEST(DialogUnits, ConvertLikeWindows) {
    // 52 letters of MS Sans Serif 8 at 96 dpi measure 312 pixels, its height is 13: the
    // classic 6 x 13 base units; Tahoma 8 is 5 x 13 (its letters measure 283 pixels).
    EXPECT_EQ(base_units(312, 13).cx, 6);
    EXPECT_EQ(base_units(283, 13).cx, 5);
    EXPECT_EQ(base_units(283, 13).cy, 13);
    const struct {
        Rect units;
        BaseUnits base;
        Rect pixels;
    } cases[] = {
        {{10, 10, 180, 225}, {6, 13}, {15, 16, 270, 366}},  // 10*13/8 = 16.25, 225*13/8 = 365.6
        {{0, 0, 250, 265}, {6, 13}, {0, 0, 375, 431}},
        {{55, 245, 40, 15}, {5, 13}, {69, 398, 50, 24}},  // 55*5/4 = 68.75, 15*13/8 = 24.4
        {{-3, 0, 1, 1}, {6, 13}, {-5, 0, 2, 2}},          // halves round away from zero
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(dialog_units_to_pixels(c.units, c.base) == c.pixels)
            << c.units.x << "," << c.units.y << "," << c.units.width << "," << c.units.height;
    }
}

}  // namespace
}  // namespace winlib

// The input dialog and the information box, worked by a user: the field checks of the
// close rule on dates and numbers, the rejected field shown red while the notice is up,
// cancelling that leaves the caller's variable alone, and the information box's lines.
#include <gtest/gtest.h>

#include "kelv/ui/infos.h"
#include "kelv/ui/msgget.h"
#include "runtime/date.h"
#include "tests/winlib/user.h"
#include "winlib/vocabulary.h"

namespace kelv {
namespace {

using runtime::Date;
using runtime::Value;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;
constexpr long kRed = 255, kWhite = 0xFFFFFF;
constexpr const char* kTitle = "Valore";

Value date(int y, int m, int d) { return Value(*Date::from_ymd(y, m, d)); }

struct Case {
    const char* name;
    Value start;
    const char* picture;
    const char* typed;    // nothing typed: the field as it starts
    const char* refused;  // the notice a confirming click gets; then Esc cancels
    Value stored;         // the variable after the dialog
};

TEST(InputDialog, FieldChecksOnConfirming) {
    const Case cases[] = {
        {"an impossible date is refused", Value(Date()), "", "31/02/2024", "Data non valida.",
         Value(Date())},
        {"the empty date mask passes", Value(Date()), "", nullptr, nullptr, Value(Date())},
        {"a real date is stored", Value(Date()), "", "25/12/2024", nullptr, date(2024, 12, 25)},
        {"a number too large for its picture", Value(5), "999", "1000", "Numero troppo grande.",
         Value(5)},
        {"a number within its picture", Value(0), "9999.99", "1234,5", nullptr, Value(1234.5)},
        {"a text under @!", Value("abc  "), "@!", "xy", nullptr, Value("XY   ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Value variable = c.start;
        auto user = make_user();
        user->wait_window(kTitle);
        if (c.typed != nullptr) user->type(kTitle, 102, c.typed);
        user->click(kTitle, 201);
        if (c.refused != nullptr) {
            user->wait_window("Attenzione")
                .expect_text("Attenzione", kText, c.refused)
                .expect_colour(kTitle, 102, kRed)
                .click("Attenzione", 1)
                .wait_gone("Attenzione")
                .expect_text(kTitle, 102, c.typed)  // the dialog stays, as typed
                .expect_colour(kTitle, 102, kWhite)
                .key(kTitle, winlib::vk::kEscape);
        }
        user->start();
        const bool confirmed = MSGGET(kTitle, "Inserire il valore:", variable, c.picture);
        EXPECT_TRUE(user->finished()) << user->report();
        EXPECT_EQ(confirmed, c.refused == nullptr);
        EXPECT_EQ(variable, c.stored);
    }
}

TEST(InputDialog, CancelledLeavesTheVariableUntouched) {
    for (const int cancel : {0, 202}) {  // Esc, then Annulla
        SCOPED_TRACE(cancel);
        Value variable("ABC");
        auto user = make_user();
        user->wait_window(kTitle).type(kTitle, 102, "XYZ").expect_text(kTitle, 102, "XYZ");
        if (cancel == 0) {
            user->key(kTitle, winlib::vk::kEscape);
        } else {
            user->click(kTitle, cancel);
        }
        user->wait_gone(kTitle);
        user->start();
        EXPECT_FALSE(MSGGET(kTitle, "Nome:", variable));
        EXPECT_TRUE(user->finished()) << user->report();
        EXPECT_EQ(variable, Value("ABC"));
    }
}

TEST(InformationBox, ShowsTheLinesAndClosesByButtonOrEsc) {
    const struct {
        const char* phone;
        const char* shown;
        bool by_button;
    } cases[] = {
        {"", kMakerPhone, true},
        {"Tel. 0432 123456", "Tel. 0432 123456", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.phone);
        auto user = make_user();
        // The box has no title bar: its caption is empty.
        user->wait_window("")
            .expect_text("", 102, "VELKAN")
            .expect_text("", 103, "Versione: 1.2")
            .expect_text("", 104, "\xA9 2026 gli sviluppatori di VELKAN")
            .expect_text("", 106, kMakerAddress)
            .expect_text("", 107, c.shown)
            .expect_text("", 108, "Email: info@velkan.example");
        if (c.by_button) {
            user->click("", 201);
        } else {
            user->key("", winlib::vk::kEscape);
        }
        user->start();
        INFOS("VELKAN", "1.2", "2026", "", c.phone, "Email: info@velkan.example");
        EXPECT_TRUE(user->finished()) << user->report();
    }
}

}  // namespace
}  // namespace kelv

// The host services that go through the windowing layer, worked by a user
// (tests/winlib/user.h) on the build's driver.
#include "serial/ui_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/path.h"
#include "tests/winlib/user.h"
#include "winlib/messages.h"
#include "winlib/vocabulary.h"

namespace serial {
namespace {

using winlib::testing::make_user;

// Refreshes until the condition holds or about five seconds have passed.
template <class Condition>
bool refresh_until(Condition condition) {
    for (int i = 0; i < 500 && !condition(); ++i) {
        EXPECT_TRUE(SYSREFRESH());
        winlib::wait_event(10);
    }
    return condition();
}

TEST(SysRefresh, IsFalseOnlyWhenItMeetsAQuitRequest) {
    EXPECT_TRUE(SYSREFRESH());
    winlib::post_quit(0);
    EXPECT_FALSE(SYSREFRESH());
    EXPECT_TRUE(SYSREFRESH()) << "the request is met once";
}

TEST(GetAsyncKeyState, IsTrueWhileTheUserHoldsTheKey) {
    ASSERT_FALSE(GETASYNCKEYSTATE(winlib::vk::kF4));
    auto user = make_user();
    user->hold(winlib::vk::kF4, 1500);
    user->start();
    EXPECT_TRUE(refresh_until([] { return GETASYNCKEYSTATE(winlib::vk::kF4); }));
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_FALSE(GETASYNCKEYSTATE(winlib::vk::kF4));
}

class CGetFile : public ::testing::TestWithParam<bool> {};

TEST_P(CGetFile, ShowsTheFirst255BytesOfTheTitleAndGivesThePathOrNothing) {
    const bool confirm = GetParam();
    std::string folder = runtime::windows_path(std::filesystem::temp_directory_path());
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    const std::string path = folder + "\\velkan-cgetfile.tap";
    const std::string shown = "Salva " + std::string(249, 'x');
    auto user = make_user();
    user->wait_window(shown);
    if (confirm) {
        user->save_as(shown, path);
    } else {
        user->cancel_file_dialog(shown);
    }
    user->start();
    std::string chosen = CGETFILE("File TAP (*.tap)|*.tap", shown + "yyyy", 2, folder);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(chosen, confirm ? path : "");
}

INSTANTIATE_TEST_SUITE_P(ConfirmAndCancel, CGetFile, ::testing::Bool());

}  // namespace
}  // namespace serial

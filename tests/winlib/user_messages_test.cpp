// The message side worked by a user (tests/winlib/user.h): a worker thread's
// send-to-window, message boxes, the key-down query and the save dialog. Shared by the
// drivers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "runtime/path.h"
#include "tests/winlib/user.h"
#include "winlib/messages.h"
#include "winlib/services.h"
#include "winlib/window.h"

namespace winlib {
namespace {

using namespace std::chrono_literals;
using testing::make_user;

// Pumps until the condition holds or about five seconds have passed.
template <class Condition>
bool pump_until(Condition condition) {
    for (int i = 0; i < 500 && !condition(); ++i) {
        pump();
        wait_event(10);
    }
    return condition();
}

// A non-modal window whose arrival callback records what reached it, and on which thread.
struct Receiver {
    std::shared_ptr<TDialog> dialog = TDialog::New("Receiver", 300, 200);
    std::atomic<int> arrivals{0};
    std::thread::id handled_on;
    std::uintptr_t port = 0;
    std::intptr_t flag = 0;

    Receiver() {
        dialog->bCommNotify = [this](std::uintptr_t wparam, std::intptr_t lparam) {
            handled_on = std::this_thread::get_id();
            port = wparam;
            flag = lparam;
            ++arrivals;
        };
        dialog->Activate(false);
    }
    ~Receiver() { dialog->End(2); }
};

TEST(SendToWindow, IsHandledInsideThePumpAndNeverOutsideIt) {
    Receiver receiver;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        send_message(receiver.dialog->hWnd, msg::kCommNotify, 5, 1);
        returned = true;
    });
    // The UI thread busy elsewhere: nothing is delivered, the sender stays blocked.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(receiver.arrivals, 0);
    EXPECT_FALSE(returned);
    EXPECT_TRUE(pump_until([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(receiver.arrivals, 1);
    EXPECT_EQ(receiver.handled_on, std::this_thread::get_id());
    EXPECT_EQ(receiver.port, 5u);
    EXPECT_EQ(receiver.flag, 1);
}

TEST(SendToWindow, IsHandledInsideAMessageBoxLoop) {
    Receiver receiver;
    std::atomic<bool> box_open{false};
    std::thread worker([&] {
        while (!box_open) std::this_thread::sleep_for(10ms);
        send_message(receiver.dialog->hWnd, msg::kCommNotify, 7, 1);
    });
    auto user = make_user();
    // The box stays long enough for the message to be delivered while it is open.
    user->wait_window("Nested").pause(500).key("Nested", vk::kReturn);
    user->start();
    box_open = true;
    message_box("Waiting", "Nested", mb::kOk);
    const int arrived_while_open = receiver.arrivals;
    worker.join();
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(arrived_while_open, 1);
    EXPECT_EQ(receiver.port, 7u);
}

struct BoxCase {
    unsigned style;
    const char* answer;  // "enter", "esc", "close", or "click" on the button
    int button;
    int result;
};

class MessageBoxKinds : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxKinds, GiveTheResultOfTheAnswer) {
    const BoxCase& c = GetParam();
    auto user = make_user();
    user->wait_window("Kind");
    const std::string answer = c.answer;
    if (answer == "enter") user->key("Kind", vk::kReturn);
    if (answer == "esc") user->key("Kind", vk::kEscape);
    if (answer == "close") user->close("Kind");
    if (answer == "click") user->click("Kind", c.button);
    user->wait_gone("Kind");
    user->start();
    EXPECT_EQ(message_box("Are you sure?", "Kind", c.style), c.result);
    EXPECT_TRUE(user->finished()) << user->report();
}

INSTANTIATE_TEST_SUITE_P(
    StylesAndAnswers, MessageBoxKinds,
    ::testing::Values(
        BoxCase{mb::kOk | mb::kIconInformation, "enter", 0, id::kOk},
        BoxCase{mb::kOkCancel | mb::kIconQuestion, "enter", 0, id::kOk},
        BoxCase{mb::kOkCancel | mb::kIconQuestion, "esc", 0, id::kCancel},
        BoxCase{mb::kYesNoCancel | mb::kIconQuestion, "click", id::kNo, id::kNo},
        BoxCase{mb::kYesNoCancel | mb::kIconQuestion, "esc", 0, id::kCancel},
        BoxCase{mb::kYesNoCancel | mb::kIconQuestion, "close", 0, id::kCancel},
        BoxCase{mb::kYesNo | mb::kIconQuestion, "enter", 0, id::kYes},
        BoxCase{mb::kYesNo | mb::kIconQuestion | mb::kDefButton2, "enter", 0, id::kNo},
        BoxCase{mb::kYesNo | mb::kIconQuestion | mb::kDefButton2, "click", id::kYes, id::kYes},
        BoxCase{mb::kOkCancel | mb::kIconHand, "close", 0, id::kCancel}));

TEST(KeyDown, IsTrueWhileTheKeyIsHeld) {
    ASSERT_FALSE(key_down(vk::kF4));
    auto user = make_user();
    user->hold(vk::kF4, 1500);
    user->start();
    EXPECT_TRUE(pump_until([] { return key_down(vk::kF4); }));
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_FALSE(key_down(vk::kF4));
}

class SaveDialog : public ::testing::TestWithParam<bool> {};

TEST_P(SaveDialog, ReturnsTheTypedPathOrNothingOnCancel) {
    const bool confirm = GetParam();
    // A folder that exists on every platform, in the program's Windows form.
    std::string folder = runtime::windows_path(std::filesystem::temp_directory_path());
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    const std::string path = folder + "\\velkan-out.tap";
    auto user = make_user();
    user->wait_window("Salva il file");
    if (confirm) {
        user->save_as("Salva il file", path);
    } else {
        user->cancel_file_dialog("Salva il file");
    }
    user->start();
    const std::string chosen =
        save_file_dialog("File TAP (*.tap)|*.tap", "Salva il file", folder);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(chosen, confirm ? path : "");
}

INSTANTIATE_TEST_SUITE_P(ConfirmAndCancel, SaveDialog, ::testing::Bool());

}  // namespace
}  // namespace winlib

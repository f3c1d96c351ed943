// The arrival notification from another thread: handled while the UI thread processes
// messages (pump, modal loops, message boxes), never while it does something else.
#include <QMessageBox>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "robot.h"
#include "winlib/window.h"

namespace {

using namespace std::chrono_literals;
using winlib::TDialog;

struct Arrival {
    std::atomic<bool> sent{false};
    int calls = 0;
    std::uintptr_t port = 0;
    std::intptr_t flag = 0;
    std::thread::id thread;

    void watch(winlib::Window& window) {
        window.bCommNotify = [this](std::uintptr_t wparam, std::intptr_t lparam) {
            ++calls;
            port = wparam;
            flag = lparam;
            thread = std::this_thread::get_id();
        };
    }
    std::thread send_from_reader(winlib::Handle window) {
        return std::thread([this, window] {
            winlib::send_message(window, winlib::msg::kCommNotify, 7, 1);
            sent = true;
        });
    }
};

TEST_F(UiTest, SendFromAnotherThreadIsHandledInsideThePumpOnly) {
    auto dlg = TDialog::New("Porta", 200, 100);
    Arrival arrival;
    arrival.watch(*dlg);
    dlg->Activate(false);
    std::thread reader = arrival.send_from_reader(dlg->hWnd);

    std::this_thread::sleep_for(200ms);  // the UI thread is busy elsewhere
    EXPECT_EQ(arrival.calls, 0);
    EXPECT_FALSE(arrival.sent);  // the sender waits

    for (int i = 0; i < 500 && !arrival.sent; ++i) {
        winlib::wait_event(10);
        winlib::pump();
    }
    reader.join();
    EXPECT_EQ(arrival.calls, 1);
    EXPECT_EQ(arrival.port, 7u);
    EXPECT_EQ(arrival.flag, 1);
    EXPECT_EQ(arrival.thread, std::this_thread::get_id());
    EXPECT_TRUE(dlg->End(1));
}

TEST_F(UiTest, SendFromAnotherThreadIsHandledInsideAModalLoop) {
    auto dlg = TDialog::New("Trasferimento", 200, 100);
    Arrival arrival;
    arrival.watch(*dlg);
    std::thread reader;
    dlg->bStart = [&] { reader = arrival.send_from_reader(dlg->hWnd); };
    const auto notify = dlg->bCommNotify;
    dlg->bCommNotify = [&, notify](std::uintptr_t wparam, std::intptr_t lparam) {
        notify(wparam, lparam);
        dlg->End(1);
    };
    dlg->Activate(true);
    reader.join();
    EXPECT_EQ(arrival.calls, 1);
    EXPECT_EQ(arrival.thread, std::this_thread::get_id());
    EXPECT_EQ(dlg->nResult, 1);
}

TEST_F(UiTest, SendFromAnotherThreadIsHandledInsideAMessageBox) {
    auto dlg = TDialog::New("Porta", 200, 100);
    Arrival arrival;
    arrival.watch(*dlg);
    dlg->Activate(false);
    std::thread reader = arrival.send_from_reader(dlg->hWnd);
    robot::when([&] { return arrival.sent && robot::top_level<QMessageBox>() != nullptr; },
                [] { robot::key(robot::top_level<QMessageBox>(), Qt::Key_Return); });
    EXPECT_EQ(winlib::message_box("Attendere", "Attenzione", winlib::mb::kIconInformation),
              winlib::id::kOk);
    reader.join();
    EXPECT_EQ(arrival.calls, 1);
    dlg->End(1);
}

TEST_F(UiTest, SendToAWindowThatIsGoneAnswersZero) {
    EXPECT_EQ(winlib::send_message(0x7fff0000, winlib::msg::kCommNotify, 1, 1), 0);
}

TEST_F(UiTest, QuitRequestMakesThePumpAnswerFalseOnce) {
    EXPECT_TRUE(winlib::pump());
    winlib::post_quit(0);
    EXPECT_FALSE(winlib::pump());
    // No main loop of the library runs to take it again: the request was consumed.
    EXPECT_TRUE(winlib::pump());
}

}  // namespace

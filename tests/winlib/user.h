// A user at the keyboard and mouse, for the windowing tests that both drivers share.
//
// A test queues the user's steps first, then start()s the user and runs its dialogs; the
// steps are carried out in order while the dialogs run, each waiting (up to a few seconds)
// for the window it names by caption. finished() waits for the last step and tells whether
// every step was carried out and every check held. Ids are the controls' ids; message-box
// buttons have the Win32 result numbers as ids (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7).
//
// Each driver's tests link one implementation of make_user(): the Win32 one runs the
// robot (tools/robot) as a separate process that works the windows through window
// messages and SendInput.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace winlib::testing {

class User {
public:
    virtual ~User() = default;

    virtual User& wait_window(const std::string& caption) = 0;
    // Until the window has closed, not merely left the screen: the program may still be
    // busy in between (under Wine with no window manager, for up to 2 s).
    virtual User& wait_gone(const std::string& caption) = 0;
    virtual User& click(const std::string& caption, int id) = 0;
    // Types the text (Windows-1252) into the control, character by character.
    virtual User& type(const std::string& caption, int id, const std::string& text) = 0;
    // Presses and releases a virtual key in the window's focused control.
    virtual User& key(const std::string& caption, int virtual_key) = 0;
    // Holds a key down for that long (the key state is down meanwhile).
    virtual User& hold(int virtual_key, int milliseconds) = 0;
    // Holds a key down for that long and, while it is down, asks the window to close (as
    // Alt+F4 does with F4 held).
    virtual User& hold_closing(int virtual_key, int milliseconds, const std::string& caption) = 0;
    // Asks the window to close, as its close box does.
    virtual User& close(const std::string& caption) = 0;
    virtual User& pause(int milliseconds) = 0;
    // Checks: the control (id 0: the window's caption; 0xFFFF: a message box's text) shows
    // exactly this text; the list
    // box holds these items in order; its selected item is at this position (1-based, 0
    // for none).
    virtual User& expect_text(const std::string& caption, int id, const std::string& text) = 0;
    virtual User& expect_items(const std::string& caption, int id,
                               const std::vector<std::string>& items) = 0;
    virtual User& expect_selection(const std::string& caption, int id, int position) = 0;
    // The control shows this colour (0x00BBGGRR) near its right edge, halfway down, where
    // a short text leaves its background: read from a picture of the screen (Win32) or of
    // the widget (Qt).
    virtual User& expect_colour(const std::string& caption, int id, long colour) = 0;
    // The save-file dialog: type a path into its file name field and confirm, or cancel.
    virtual User& save_as(const std::string& caption, const std::string& path) = 0;
    virtual User& cancel_file_dialog(const std::string& caption) = 0;

    virtual void start() = 0;
    // Waits for the steps to end; true when all of them were carried out.
    virtual bool finished() = 0;
    // What the user did and saw, for a failing test's message.
    virtual std::string report() const = 0;
};

std::unique_ptr<User> make_user();

}  // namespace winlib::testing

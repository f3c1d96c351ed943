// The Win32 user: the robot (velkan-robot.exe, copied next to the test program) run as a
// separate process with the queued steps as its command line. Its report goes to a file
// that report() reads back. When the robot fails, the test's windows are asked to close,
// so that the test fails with the robot's report instead of waiting for its time limit;
// when they stay open, or the test still waits long after the robot's last step, the
// test program ends with the report.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/text1252.h"
#include "tests/winlib/user.h"
#include "winlib/messages.h"

namespace winlib::testing {
namespace {

std::wstring wide(const std::string& text) {
    const std::u16string utf16 = runtime::to_utf16(text);
    return {utf16.begin(), utf16.end()};
}

// One argument as the C runtime's command-line parser reads it back.
std::wstring quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::wstring beside_this_program(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

BOOL CALLBACK ask_to_close(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

class RobotUser : public User {
public:
    ~RobotUser() override {
        if (process_ != nullptr) {
            finished();
            CloseHandle(process_);
        }
        done_ = true;
        if (watcher_.joinable()) watcher_.join();
        if (!log_path_.empty()) DeleteFileW(log_path_.c_str());
    }

    User& wait_window(const std::string& caption) override {
        return step({L"wait-window", wide(caption)});
    }
    User& wait_gone(const std::string& caption) override {
        return step({L"wait-gone", wide(caption)});
    }
    User& click(const std::string& caption, int id) override {
        return step({L"click", wide(caption), std::to_wstring(id)});
    }
    User& type(const std::string& caption, int id, const std::string& text) override {
        return step({L"type", wide(caption), std::to_wstring(id), wide(text)});
    }
    User& key(const std::string& caption, int virtual_key) override {
        return step({L"key", wide(caption), std::to_wstring(virtual_key)});
    }
    User& hold(int virtual_key, int milliseconds) override {
        return step({L"hold", std::to_wstring(virtual_key), std::to_wstring(milliseconds)});
    }
    User& hold_closing(int virtual_key, int milliseconds, const std::string& caption) override {
        return step({L"hold", std::to_wstring(virtual_key), std::to_wstring(milliseconds),
                     wide(caption)});
    }
    User& close(const std::string& caption) override { return step({L"close", wide(caption)}); }
    User& pause(int milliseconds) override {
        return step({L"sleep", std::to_wstring(milliseconds)});
    }
    User& expect_text(const std::string& caption, int id, const std::string& text) override {
        return step({L"expect-text", wide(caption), std::to_wstring(id), wide(text)});
    }
    User& expect_items(const std::string& caption, int id,
                       const std::vector<std::string>& items) override {
        std::vector<std::wstring> args{L"expect-items", wide(caption), std::to_wstring(id)};
        for (const auto& item : items) args.push_back(wide(item));
        return step(args);
    }
    User& expect_selection(const std::string& caption, int id, int position) override {
        return step(
            {L"expect-selection", wide(caption), std::to_wstring(id), std::to_wstring(position)});
    }
    User& expect_colour(const std::string& caption, int id, long colour) override {
        return step(
            {L"expect-colour", wide(caption), std::to_wstring(id), std::to_wstring(colour)});
    }
    // The file name field of the system's file dialogs (cmb13), and its buttons.
    User& save_as(const std::string& caption, const std::string& path) override {
        wait_window(caption);
        step({L"type", wide(caption), L"1148", wide(path)});
        return click(caption, IDOK);
    }
    User& cancel_file_dialog(const std::string& caption) override {
        return click(caption, IDCANCEL);
    }

    void start() override {
        wchar_t folder[MAX_PATH];
        wchar_t file[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"rob", 0, file);
        log_path_ = file;
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE log = CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = log;
        startup.hStdError = log;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::wstring line = quoted(beside_this_program(L"velkan-robot.exe")) + command_;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                           nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
        } else {
            std::fprintf(stderr, "The robot did not start (error %lu).\n", GetLastError());
        }
        CloseHandle(log);
        // No user at all is a failed one: the windows waiting for the user must not wait.
        watcher_ = std::thread(&RobotUser::watch_the_user, this, GetCurrentThreadId());
    }

    bool finished() override {
        done_ = true;
        if (process_ == nullptr) return false;
        // The program's windows keep answering meanwhile (a non-modal window has no loop
        // of its own), as the Qt user's do: the robot reads texts by messages.
        const DWORD start = GetTickCount();
        while (MsgWaitForMultipleObjects(1, &process_, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
            winlib::pump();
            if (GetTickCount() - start > 30000) {
                TerminateProcess(process_, 3);
                WaitForSingleObject(process_, INFINITE);
                break;
            }
        }
        DWORD code = 1;
        GetExitCodeProcess(process_, &code);
        return code == 0;
    }

    std::string report() const override {
        std::ifstream in(log_path_.c_str());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    // When the robot fails (or never started), the test's windows are asked to close, for
    // 5 s. When they stay open (or open after that), or when the robot has done every step
    // and a minute later the test has still not come to finished() (a step that never
    // reached its window), the test program ends with the robot's report: a test waiting
    // for a user who has gone would otherwise wait for its time limit, and say nothing.
    void watch_the_user(DWORD ui_thread) {
        DWORD code = 1;
        if (process_ != nullptr) {
            WaitForSingleObject(process_, INFINITE);
            GetExitCodeProcess(process_, &code);
        }
        for (int i = 0; !done_ && i < (code != 0 ? 50 : 600); ++i) {
            if (code != 0) EnumThreadWindows(ui_thread, ask_to_close, 0);
            Sleep(100);
        }
        if (done_) return;
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n%s\n",
                     code != 0 ? "The user gave up and the test's windows stay open:"
                               : "The user's steps are done, yet the test still waits for one:",
                     report().c_str());
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 1);
    }

    User& step(const std::vector<std::wstring>& args) {
        if (!command_.empty()) command_ += L" ;";
        for (const auto& arg : args) command_ += L" " + quoted(arg);
        return *this;
    }

    std::wstring command_;
    std::wstring log_path_;
    HANDLE process_ = nullptr;
    std::atomic<bool> done_{false};
    std::thread watcher_;
};

}  // namespace

std::unique_ptr<User> make_user() { return std::make_unique<RobotUser>(); }

}  // namespace winlib::testing

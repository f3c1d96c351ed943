// velkan-robot: acts as a user on another program's windows under Wine (or Windows), for
// the Windows builds' tests. It finds top-level windows by caption and works them through
// window messages, the way the keyboard and mouse would: button clicks, typed characters,
// key presses, and keys held down through SendInput.
//
// Usage: velkan-robot [--timeout ms] <command> [args...] [; <command> [args...]]...
// Commands run in order; the first failing one ends the robot with exit code 1.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kHelp[] =
    L"velkan-robot [--timeout ms] <command> [args...] [; <command> [args...]]...\n"
    L"\n"
    L"Windows are top-level windows found by their exact caption; a command that needs one\n"
    L"waits for it to be visible (and enabled, for click, type, key and close), up to the\n"
    L"timeout (default 10000 ms). Ids are decimal; a control is\n"
    L"looked for in the windows inside the window too (a folder's pages).\n"
    L"\n"
    L"  wait-window <caption>            wait until the window is visible\n"
    L"  wait-gone <caption>              wait until no window has that caption, shown or\n"
    L"                                   hidden (closed, not only off the screen)\n"
    L"  click <caption> <id>             press the button (BM_CLICK, posted)\n"
    L"  type <caption> <id> <text>       type the text into the control (WM_CHAR each);\n"
    L"                                   a combo box's edit takes it (file dialogs: 1148)\n"
    L"  key <caption> <vk>               press and release a virtual key in the window's\n"
    L"                                   focused control, once the focus is in the window\n"
    L"                                   (Esc 27, Enter 13)\n"
    L"  hold <vk> <ms> [<caption>]       key down now (SendInput, then says \"key down\"),\n"
    L"                                   key up after ms; with a\n"
    L"                                   caption, that window is asked to close meanwhile\n"
    L"  close <caption>                  ask the window to close (WM_CLOSE)\n"
    L"  expect-text <caption> <id> <text>  fail unless the control comes to show exactly\n"
    L"                                   the text within the timeout (as every expect-)\n"
    L"                                   (id 0: the window's caption)\n"
    L"  expect-items <caption> <id> <item>...  fail unless the list box holds these items,\n"
    L"                                   in order\n"
    L"  expect-selection <caption> <id> <position>  fail unless the list box's selected\n"
    L"                                   item is at that position (1-based, 0 for none)\n"
    L"  expect-colour <caption> <id> <colour>  fail unless the screen shows the colour\n"
    L"                                   (0x00BBGGRR, decimal) 5 pixels left of the control's\n"
    L"                                   right edge, halfway down\n"
    L"  dump <caption>                   print the window's controls: id, class, text\n"
    L"  sleep <ms>\n";

DWORD timeout_ms = 10000;

void say(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::printf("robot: %s\n", utf8.c_str());
    std::fflush(stdout);
}

struct Failure {
    std::wstring what;
};

[[noreturn]] void fail(const std::wstring& what) { throw Failure{what}; }

int number(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 0);
    if (text.empty() || *end != 0) fail(L"not a number: " + text);
    return static_cast<int>(value);
}

HWND visible_window(const std::wstring& caption) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, nullptr, caption.c_str())) != nullptr) {
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

// Looking needs a visible window; acting on it needs an enabled one too, as a user can
// act only on a window that takes input (a dialog's owner stays disabled until the
// message box or dialog it opened has returned).
enum class Use { kLook, kAct };

HWND find_window(const std::wstring& caption, Use use = Use::kLook) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = visible_window(caption);
        if (hwnd != nullptr && (use == Use::kLook || IsWindowEnabled(hwnd))) return hwnd;
        if (GetTickCount() - start > timeout_ms) {
            fail(hwnd == nullptr ? L"no window \"" + caption + L"\""
                                 : L"window \"" + caption + L"\" stays disabled");
        }
        Sleep(20);
    }
}

// A control of the window or of a window inside it (a folder's page), by id.
HWND descendant(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lparam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lparam);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_control(const std::wstring& caption, const std::wstring& id, Use use = Use::kLook) {
    HWND window = find_window(caption, use);
    if (number(id) == 0) return window;
    HWND control = GetDlgItem(window, number(id));
    if (control == nullptr) control = descendant(window, number(id));
    if (control == nullptr) fail(L"no control " + id + L" in \"" + caption + L"\"");
    return control;
}

// WM_GETTEXT, not GetWindowText: for a window of another process GetWindowText gives
// only the window name and never asks the control (an edit's text stays unseen).
std::wstring text_of(HWND hwnd) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

std::wstring list_item(HWND list, WPARAM index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool has_class(HWND hwnd, const wchar_t* name) {
    wchar_t buffer[64] = {};
    GetClassNameW(hwnd, buffer, 64);
    return lstrcmpiW(buffer, name) == 0;
}

// The edit a user types into: the control itself, or the edit inside a combo box (the
// file name field of the file dialogs).
HWND edit_in(HWND control) {
    if (has_class(control, L"Edit")) return control;
    for (HWND child = GetWindow(control, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (HWND edit = edit_in(child)) return edit;
    }
    return nullptr;
}

// Checks again until the check passes (it returns "") or the time is up: what was typed
// or clicked before reaches the window through its queue, in its own time.
template <class Check>
void settle(Check check) {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::wstring mismatch = check();
        if (mismatch.empty()) return;
        if (GetTickCount() - start > timeout_ms) fail(mismatch);
        Sleep(20);
    }
}

// The control that has the keyboard focus in the window, once the window has taken it: a
// user presses a key in the window in front of them. A window can be on the screen and
// take input before its thread has moved the focus into it, and a key sent meanwhile
// would reach the window that had the focus before, where the new one never sees it.
HWND focus_in(HWND window) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const DWORD start = GetTickCount();
    for (;;) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr &&
            (info.hwndFocus == window || IsChild(window, info.hwndFocus))) {
            return info.hwndFocus;
        }
        if (GetTickCount() - start > timeout_ms) fail(L"the window never takes the focus");
        Sleep(20);
    }
}

void send_key(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (SendInput(1, &input, sizeof input) != 1) fail(L"SendInput refused the key");
}

void run(const std::vector<std::wstring>& cmd) {
    const std::wstring& name = cmd[0];
    auto need = [&](size_t count) {
        if (cmd.size() < count + 1) fail(name + L": missing arguments");
    };
    if (name == L"wait-window") {
        need(1);
        find_window(cmd[1]);
    } else if (name == L"wait-gone") {
        need(1);
        // A window leaves the screen before it is destroyed, and its program may still be
        // busy in between, while a message box's owner already takes input again. So gone
        // means destroyed, which comes right before the box or dialog returns.
        const DWORD start = GetTickCount();
        while (FindWindowW(nullptr, cmd[1].c_str()) != nullptr) {
            if (GetTickCount() - start > timeout_ms) fail(L"window stays: \"" + cmd[1] + L"\"");
            Sleep(20);
        }
    } else if (name == L"click") {
        need(2);
        PostMessageW(find_control(cmd[1], cmd[2], Use::kAct), BM_CLICK, 0, 0);
    } else if (name == L"type") {
        need(3);
        HWND control = find_control(cmd[1], cmd[2], Use::kAct);
        HWND edit = edit_in(control);
        for (wchar_t c : cmd[3]) PostMessageW(edit != nullptr ? edit : control, WM_CHAR, c, 1);
    } else if (name == L"key") {
        need(2);
        HWND target = focus_in(find_window(cmd[1], Use::kAct));
        const auto vk = static_cast<WPARAM>(number(cmd[2]));
        const LPARAM scan =
            static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, WM_KEYDOWN, vk, scan | 1);
        PostMessageW(target, WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
    } else if (name == L"hold") {
        need(2);
        const auto vk = static_cast<WORD>(number(cmd[1]));
        send_key(vk, true);
        say(L"key down");  // whoever waits on the hold goes on from here
        if (cmd.size() > 3) PostMessageW(find_window(cmd[3], Use::kAct), WM_CLOSE, 0, 0);
        Sleep(static_cast<DWORD>(number(cmd[2])));
        send_key(vk, false);
    } else if (name == L"close") {
        need(1);
        PostMessageW(find_window(cmd[1], Use::kAct), WM_CLOSE, 0, 0);
    } else if (name == L"expect-text") {
        need(3);
        HWND control = find_control(cmd[1], cmd[2]);
        settle([&]() -> std::wstring {
            const std::wstring shown = text_of(control);
            return shown == cmd[3] ? L""
                                   : L"shows \"" + shown + L"\", expected \"" + cmd[3] + L"\"";
        });
    } else if (name == L"expect-items") {
        need(2);
        HWND list = find_control(cmd[1], cmd[2]);
        settle([&]() -> std::wstring {
            const auto count = static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
            if (count != cmd.size() - 3) return L"holds " + std::to_wstring(count) + L" items";
            for (size_t i = 0; i < count; ++i) {
                const std::wstring item = list_item(list, i);
                if (item != cmd[3 + i]) {
                    return L"item " + std::to_wstring(i + 1) + L" is \"" + item + L"\"";
                }
            }
            return L"";
        });
    } else if (name == L"expect-selection") {
        need(3);
        HWND list = find_control(cmd[1], cmd[2]);
        settle([&]() -> std::wstring {
            const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
            const int position = index == LB_ERR ? 0 : static_cast<int>(index) + 1;
            return position == number(cmd[3]) ? L"" : L"selected: " + std::to_wstring(position);
        });
    } else if (name == L"expect-colour") {
        need(3);
        HWND control = find_control(cmd[1], cmd[2]);
        const auto expected = static_cast<COLORREF>(number(cmd[3]));
        settle([&]() -> std::wstring {
            RECT r{};
            GetWindowRect(control, &r);
            HDC screen = GetDC(nullptr);
            const COLORREF seen = GetPixel(screen, r.right - 5, (r.top + r.bottom) / 2);
            ReleaseDC(nullptr, screen);
            return seen == expected ? L"" : L"colour " + std::to_wstring(seen);
        });
    } else if (name == L"dump") {
        need(1);
        HWND window = find_window(cmd[1]);
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64] = {};
            GetClassNameW(child, cls, 64);
            say(std::to_wstring(GetDlgCtrlID(child)) + L" " + cls + L" \"" + text_of(child) +
                L"\"");
        }
    } else if (name == L"sleep") {
        need(1);
        Sleep(static_cast<DWORD>(number(cmd[1])));
    } else {
        fail(L"unknown command " + name);
    }
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::vector<std::wstring>> commands(1);
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h") {
            std::fputws(kHelp, stdout);
            return 0;
        }
        if (arg == L"--timeout" && i + 1 < argc && commands.front().empty()) {
            timeout_ms = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
        } else if (arg == L";") {
            commands.emplace_back();
        } else {
            commands.back().push_back(arg);
        }
    }
    LocalFree(argv);
    try {
        for (const auto& cmd : commands) {
            if (cmd.empty()) continue;
            run(cmd);
            std::wstring line = L"ok:";
            for (const auto& part : cmd) line += L" " + part;
            say(line);
        }
    } catch (const Failure& failure) {
        say(L"FAILED: " + failure.what);
        return 1;
    }
    return 0;
}

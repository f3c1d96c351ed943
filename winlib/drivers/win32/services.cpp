// System services of the Win32 driver: message box, active window, key state, beep, the
// save-file dialog and the shell's open.
// commdlg.h and shellapi.h need windows.h (through native.h) first.
// clang-format off
#include "winlib/drivers/win32/native.h"
#include <commdlg.h>
#include <shellapi.h>
// clang-format on

#include "winlib/driver/services.h"

#include <algorithm>
#include <string>

namespace winlib::driver {

using win32::to_handle;
using win32::to_hwnd;
using win32::wide;

int message_box(Handle owner, const std::string& text, const std::string& caption, unsigned style) {
    return MessageBoxW(to_hwnd(owner), wide(text).c_str(), wide(caption).c_str(), style);
}

Handle active_window() { return to_handle(GetActiveWindow()); }

void enable_window(Handle window, bool enabled) {
    EnableWindow(to_hwnd(window), enabled ? TRUE : FALSE);
}

bool window_enabled(Handle window) { return IsWindowEnabled(to_hwnd(window)) != FALSE; }

bool key_down(int virtual_key) { return (GetAsyncKeyState(virtual_key) & 0x8000) != 0; }

void beep(int frequency_hz, int duration_ms) {
    Beep(static_cast<DWORD>(frequency_hz), static_cast<DWORD>(duration_ms));
}

namespace {
// "shown|pattern|..." in the dialog's form: each bar a string end, two at the end.
std::wstring native_filter(const std::string& filter) {
    std::wstring result = wide(filter);
    std::replace(result.begin(), result.end(), L'|', L'\0');
    result.append(2, L'\0');
    return result;
}
}  // namespace

std::string save_file_dialog(Handle owner, const std::string& filter, const std::string& title,
                             const std::string& initial_dir) {
    const std::wstring native = native_filter(filter);  // empty: no filter
    const std::wstring caption = wide(title);
    const std::wstring folder = wide(initial_dir);
    std::wstring file(512, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = to_hwnd(owner);
    dialog.lpstrFilter = filter.empty() ? nullptr : native.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return {};
    file.resize(file.find(L'\0'));
    return win32::narrow(file);
}

int text_width(Handle window, const std::string& text) {
    HWND hwnd = to_hwnd(window);
    HDC dc = GetDC(hwnd);
    const std::wstring line = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

void shell_open(const std::string& target, const std::string& parameters, int show_command) {
    const std::wstring file = wide(target);
    const std::wstring arguments = wide(parameters);
    ShellExecuteW(nullptr, nullptr, file.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                  nullptr, show_command);
}

}  // namespace winlib::driver

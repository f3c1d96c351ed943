// Small value types shared by the windowing core and its drivers.
#pragma once

#include <cstdint>

namespace winlib {

// Window handles are integers, as on Windows; 0 is no window.
using Handle = std::intptr_t;

struct Size {
    int width = 0, height = 0;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Win32 numbers the library speaks, whatever the driver.
namespace msg {
constexpr unsigned kCommNotify = 0x0044;  // WM_COMMNOTIFY: wparam port handle, lparam 1
}

namespace vk {
constexpr int kReturn = 0x0D;
constexpr int kEscape = 0x1B;
constexpr int kF4 = 0x73;
}  // namespace vk

namespace mb {
constexpr unsigned kOk = 0x0, kOkCancel = 0x1, kYesNoCancel = 0x3, kYesNo = 0x4;
constexpr unsigned kIconHand = 0x10, kIconQuestion = 0x20, kIconInformation = 0x40;
constexpr unsigned kDefButton2 = 0x100;
}  // namespace mb

namespace id {
constexpr int kOk = 1, kCancel = 2, kYes = 6, kNo = 7;
}

}  // namespace winlib

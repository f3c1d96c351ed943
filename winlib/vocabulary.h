// The Win32 vocabulary the library speaks whatever the driver: window classes, style bits,
// messages, virtual keys, message-box styles and results. Every layer takes these numbers
// from here; a driver realises what they mean on its platform (winlib/driver/). Each
// namespace is named after the prefix of the Win32 names it holds (winuser.h), and each
// constant after the rest of its Win32 name: WS_BORDER is ws::kBorder.
#pragma once

#include <string_view>

namespace winlib {

// The window classes a control is made of, as the resource script and CreateWindow name
// them (compared without regard to case on Windows; the library writes them in upper case).
namespace window_class {
constexpr std::string_view kButton = "BUTTON";
constexpr std::string_view kEdit = "EDIT";
constexpr std::string_view kStatic = "STATIC";
constexpr std::string_view kListBox = "LISTBOX";
constexpr std::string_view kComboBox = "COMBOBOX";
constexpr std::string_view kProgress = "MSCTLS_PROGRESS32";  // PROGRESS_CLASS
constexpr std::string_view kTabControl = "SYSTABCONTROL32";   // WC_TABCONTROL
}  // namespace window_class

// Window styles (WS_).
namespace ws {
constexpr unsigned kOverlapped = 0x00000000;
constexpr unsigned kPopup = 0x80000000;
constexpr unsigned kChild = 0x40000000;
constexpr unsigned kMinimize = 0x20000000;
constexpr unsigned kVisible = 0x10000000;
constexpr unsigned kDisabled = 0x08000000;
constexpr unsigned kClipSiblings = 0x04000000;
constexpr unsigned kClipChildren = 0x02000000;
constexpr unsigned kMaximize = 0x01000000;
constexpr unsigned kCaption = 0x00C00000;  // a border and a title bar
constexpr unsigned kBorder = 0x00800000;
constexpr unsigned kDlgFrame = 0x00400000;
constexpr unsigned kVScroll = 0x00200000;
constexpr unsigned kHScroll = 0x00100000;
constexpr unsigned kSysMenu = 0x00080000;
constexpr unsigned kThickFrame = 0x00040000;
constexpr unsigned kGroup = 0x00020000;
constexpr unsigned kTabStop = 0x00010000;
constexpr unsigned kMinimizeBox = 0x00020000;  // on a top-level window, the bit of kGroup
constexpr unsigned kMaximizeBox = 0x00010000;  // on a top-level window, the bit of kTabStop
}  // namespace ws

// Dialog styles (DS_).
namespace ds {
constexpr unsigned kAbsAlign = 0x0001;
constexpr unsigned kSysModal = 0x0002;
constexpr unsigned k3dLook = 0x0004;
constexpr unsigned kSetFont = 0x0040;
constexpr unsigned kModalFrame = 0x0080;
constexpr unsigned kNoIdleMsg = 0x0100;
constexpr unsigned kSetForeground = 0x0200;
constexpr unsigned kControl = 0x0400;  // a child dialog inside another (a folder's page)
constexpr unsigned kCenter = 0x0800;
}  // namespace ds

// Edit styles (ES_).
namespace es {
constexpr unsigned kLeft = 0x0000;
constexpr unsigned kCenter = 0x0001;
constexpr unsigned kRight = 0x0002;
constexpr unsigned kMultiline = 0x0004;
constexpr unsigned kUppercase = 0x0008;
constexpr unsigned kLowercase = 0x0010;
constexpr unsigned kPassword = 0x0020;
constexpr unsigned kAutoVScroll = 0x0040;
constexpr unsigned kAutoHScroll = 0x0080;
constexpr unsigned kNoHideSel = 0x0100;
constexpr unsigned kReadOnly = 0x0800;
constexpr unsigned kWantReturn = 0x1000;
constexpr unsigned kNumber = 0x2000;
}  // namespace es

// List-box styles (LBS_).
namespace lbs {
constexpr unsigned kNotify = 0x0001;
constexpr unsigned kSort = 0x0002;
constexpr unsigned kNoRedraw = 0x0004;
constexpr unsigned kMultipleSel = 0x0008;
constexpr unsigned kUseTabStops = 0x0080;
constexpr unsigned kNoIntegralHeight = 0x0100;
constexpr unsigned kExtendedSel = 0x0800;
constexpr unsigned kDisableNoScroll = 0x1000;
constexpr unsigned kStandard = kNotify | kSort | ws::kVScroll | ws::kBorder;
}  // namespace lbs

// Combo-box styles (CBS_); the two low bits are the kind.
namespace cbs {
constexpr unsigned kSimple = 0x0001;
constexpr unsigned kDropDown = 0x0002;
constexpr unsigned kDropDownList = 0x0003;
constexpr unsigned kKindMask = 0x0003;
constexpr unsigned kAutoHScroll = 0x0040;
constexpr unsigned kSort = 0x0100;
constexpr unsigned kHasStrings = 0x0200;
}  // namespace cbs

// Button styles (BS_); the four low bits are the kind.
namespace bs {
constexpr unsigned kPushButton = 0x0000;
constexpr unsigned kDefPushButton = 0x0001;
constexpr unsigned kCheckBox = 0x0002;
constexpr unsigned kAutoCheckBox = 0x0003;
constexpr unsigned kRadioButton = 0x0004;
constexpr unsigned kGroupBox = 0x0007;
constexpr unsigned kAutoRadioButton = 0x0009;
constexpr unsigned kBitmap = 0x0080;  // shows a bitmap instead of its text
constexpr unsigned kKindMask = 0x000F;
}  // namespace bs

// Static styles (SS_).
namespace ss {
constexpr unsigned kLeft = 0x0000;
constexpr unsigned kCenter = 0x0001;
constexpr unsigned kRight = 0x0002;
constexpr unsigned kIcon = 0x0003;
constexpr unsigned kBitmap = 0x000E;
constexpr unsigned kEtchedHorz = 0x0010;
constexpr unsigned kTypeMask = 0x001F;
constexpr unsigned kNoPrefix = 0x0080;
constexpr unsigned kSunken = 0x1000;
}  // namespace ss

// Messages (WM_) that cross the seam with a meaning of their own.
namespace msg {
constexpr unsigned kSetFocus = 0x0007;    // WM_SETFOCUS: the window takes the keyboard focus
constexpr unsigned kCommNotify = 0x0044;  // WM_COMMNOTIFY: wparam port handle, lparam 1
constexpr unsigned kKeyDown = 0x0100;     // WM_KEYDOWN: wparam the virtual key
constexpr unsigned kChar = 0x0102;        // WM_CHAR: wparam the character
}

// Combo-box messages (CB_) the library sends to a combo box's edit field.
namespace cb {
constexpr unsigned kGetEditSel = 0x0140;  // answer: start in the low word, end in the high
constexpr unsigned kSetEditSel = 0x0142;  // lparam: start in the low word, end in the high
}

// Virtual-key codes (VK_). Letters and digits are their upper-case ASCII codes.
namespace vk {
constexpr int kBack = 0x08;
constexpr int kTab = 0x09;
constexpr int kReturn = 0x0D;
constexpr int kShift = 0x10;
constexpr int kControl = 0x11;
constexpr int kMenu = 0x12;  // Alt
constexpr int kPause = 0x13;
constexpr int kCapital = 0x14;
constexpr int kEscape = 0x1B;
constexpr int kSpace = 0x20;
constexpr int kPrior = 0x21;  // Page Up
constexpr int kNext = 0x22;   // Page Down
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kSnapshot = 0x2C;  // Print Screen
constexpr int kInsert = 0x2D;
constexpr int kDelete = 0x2E;
constexpr int kLWin = 0x5B;
constexpr int kF1 = 0x70;  // F1..F24 follow in order
constexpr int kF4 = 0x73;
constexpr int kNumLock = 0x90;
constexpr int kScroll = 0x91;
}  // namespace vk

// Message-box styles (MB_): the low four bits are the buttons, the next four the icon,
// the next four the default button (0 the first).
namespace mb {
constexpr unsigned kOk = 0x0, kOkCancel = 0x1, kAbortRetryIgnore = 0x2, kYesNoCancel = 0x3,
                   kYesNo = 0x4, kRetryCancel = 0x5;
constexpr unsigned kIconHand = 0x10, kIconQuestion = 0x20, kIconExclamation = 0x30,
                   kIconInformation = 0x40;
constexpr unsigned kDefButton2 = 0x100;
constexpr unsigned kTypeMask = 0x000F, kIconMask = 0x00F0, kDefMask = 0x0F00;
constexpr int kDefShift = 8;
}  // namespace mb

// Show commands (SW_) of a window or of a program the shell opens.
namespace sw {
constexpr int kHide = 0, kShowNormal = 1;
}

// Dialog and message-box results (ID), also the ids of the standard buttons.
namespace id {
constexpr int kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7;
}

// Graphics object types (OBJ_), as the platform reports them for a handle.
namespace obj {
constexpr int kPen = 1, kBrush = 2, kDc = 3, kFont = 6, kBitmap = 7, kRegion = 8, kMemoryDc = 10;
}

// Stock graphics objects (GetStockObject).
namespace stock {
constexpr int kHollowBrush = 5;  // NULL_BRUSH: paints nothing
}

}  // namespace winlib

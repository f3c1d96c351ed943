#include "winlib/drivers/qt/key_map.h"

#include <QKeyEvent>
#include <utility>
#include <vector>

#include "winlib/vocabulary.h"

namespace winlib::qt {

namespace {

// Qt keys and their virtual-key codes, besides letters, digits and function keys. The
// first of two Qt keys with the same code is the one a code turns into.
const std::vector<std::pair<int, int>>& keys() {
    static const std::vector<std::pair<int, int>> table = {
        {Qt::Key_Backspace, vk::kBack},  {Qt::Key_Tab, vk::kTab},
        {Qt::Key_Backtab, vk::kTab},     {Qt::Key_Return, vk::kReturn},
        {Qt::Key_Enter, vk::kReturn},    {Qt::Key_Shift, vk::kShift},
        {Qt::Key_Control, vk::kControl}, {Qt::Key_Alt, vk::kMenu},
        {Qt::Key_Pause, vk::kPause},     {Qt::Key_CapsLock, vk::kCapital},
        {Qt::Key_Escape, vk::kEscape},   {Qt::Key_Space, vk::kSpace},
        {Qt::Key_PageUp, vk::kPrior},    {Qt::Key_PageDown, vk::kNext},
        {Qt::Key_End, vk::kEnd},         {Qt::Key_Home, vk::kHome},
        {Qt::Key_Left, vk::kLeft},       {Qt::Key_Up, vk::kUp},
        {Qt::Key_Right, vk::kRight},     {Qt::Key_Down, vk::kDown},
        {Qt::Key_Print, vk::kSnapshot},  {Qt::Key_Insert, vk::kInsert},
        {Qt::Key_Delete, vk::kDelete},   {Qt::Key_Meta, vk::kLWin},
        {Qt::Key_NumLock, vk::kNumLock}, {Qt::Key_ScrollLock, vk::kScroll},
    };
    return table;
}

}  // namespace

int virtual_key(const QKeyEvent* event) {
    const int key = event->key();
    // Letters and digits have the same codes in both (ASCII upper case and digits).
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::kF1 + (key - Qt::Key_F1);
    for (const auto& [qt, code] : keys())
        if (qt == key) return code;
    return 0;
}

int qt_key(int virtual_key) {
    if ((virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9'))
        return virtual_key;
    if (virtual_key >= vk::kF1 && virtual_key < vk::kF1 + 24)
        return Qt::Key_F1 + (virtual_key - vk::kF1);
    for (const auto& [qt, code] : keys())
        if (code == virtual_key) return qt;
    return 0;
}

}  // namespace winlib::qt

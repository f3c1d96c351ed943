#include "winlib/drivers/qt/key_map.h"

#include <QKeyEvent>
#include <map>

namespace winlib::qt {

int virtual_key(const QKeyEvent* event) {
    const int key = event->key();
    // Letters and digits have the same codes in both (ASCII upper case and digits).
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    static const std::map<int, int> table = {
        {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},
        {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},      {Qt::Key_Shift, 0x10},
        {Qt::Key_Control, 0x11},   {Qt::Key_Alt, 0x12},        {Qt::Key_Pause, 0x13},
        {Qt::Key_CapsLock, 0x14},  {Qt::Key_Escape, 0x1B},     {Qt::Key_Space, 0x20},
        {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22},   {Qt::Key_End, 0x23},
        {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},       {Qt::Key_Up, 0x26},
        {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},       {Qt::Key_Print, 0x2C},
        {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},     {Qt::Key_Meta, 0x5B},
        {Qt::Key_NumLock, 0x90},   {Qt::Key_ScrollLock, 0x91},
    };
    const auto it = table.find(key);
    return it == table.end() ? 0 : it->second;
}

}  // namespace winlib::qt

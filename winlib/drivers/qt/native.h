// What the Qt driver's files share: the QApplication, the integer handles of its widgets,
// the held-key table, the text conversions at Qt's edge and the widget that realises a
// core window. Private to winlib/drivers/qt (its Win32 counterpart is
// winlib/drivers/win32/native.h).
//
// The QApplication is created on the first call of any driver function from the UI thread
// (the thread that makes it becomes the UI thread) and lives until the process ends: it
// is never deleted, because Qt's own global objects are torn down by exit handlers in an
// order the driver does not control, and deleting it from one of them crashes. The
// program never creates one of its own.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "winlib/types.h"

class QButtonGroup;
class QEventLoop;

namespace winlib {
class Window;
}  // namespace winlib

namespace winlib::qt {

// Creates the application on first use.
void ensure_application();
// True once the application exists (another thread may ask, to avoid creating it).
bool application_exists();

// Handles: every native window and control gets one; the widget carries it as the
// property "hwnd" and a control its id as "id", as a user robot finds them on Windows.
Handle register_widget(QWidget* widget, Window* window);
void forget_window(Window* window);  // the window's handle and its controls'
QWidget* widget_of(Handle handle);
Handle handle_of(const QWidget* widget);

// Virtual-key codes held down now, as seen by the application's key events.
bool key_held(int virtual_key);

// Windows-1252 bytes to and from Qt's strings, through the program's own table.
QString to_qstring(std::string_view text);
std::string from_qstring(const QString& text);

// A bitmap of the program's resources by name (resources/bitmaps.h); empty when unknown.
QPixmap resource_bitmap(const std::string& name);

// A window of the library is a QDialog: it turns Esc and the close box into close requests
// and reports paints and resizes. `core` is cleared when the core lets go of the window,
// so that events still queued for a widget awaiting deletion reach nobody.
class NativeWindow : public QDialog {
public:
    explicit NativeWindow(Window& window) : core(&window) {}

    Window* core;
    QEventLoop* loop = nullptr;  // the running modal loop, if any
    bool ending = false;         // end_modal() was called
    QButtonGroup* radio_group = nullptr;  // the group the next radio button joins, if any

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool paint_reported_ = false;
};

NativeWindow* native_window(const Window& window);

}  // namespace winlib::qt

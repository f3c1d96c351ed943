// The Qt widget that realises a core window, shared by the driver's window and control
// functions. Driver-internal.
#pragma once

#include <QDialog>

class QEventLoop;

namespace winlib {
class Window;
}

namespace winlib::qt {

// A window of the library is a QDialog: it turns Esc and the close box into close requests
// and reports paints and resizes. `core` is cleared when the core lets go of the window,
// so that events still queued for a widget awaiting deletion reach nobody.
class NativeWindow : public QDialog {
public:
    explicit NativeWindow(Window& window) : core(&window) {}

    Window* core;
    QEventLoop* loop = nullptr;  // the running modal loop, if any
    bool ending = false;         // end_modal() was called

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

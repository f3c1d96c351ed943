// The Qt bar watched through its value-changed signal, its range read at each change.
#include "tests/winlib/progress_watch.h"

#include <QProgressBar>

#include "tests/winlib/qt/robot.h"
#include "winlib/window.h"

namespace winlib::testing {

std::vector<ProgressShown> watch_progress(const TProgress& bar, const std::function<void()>& work) {
    std::vector<ProgressShown> shown;
    QWidget* window = bar.oWnd != nullptr ? robot::window(bar.oWnd->hWnd) : nullptr;
    auto* widget = window != nullptr ? window->findChild<QProgressBar*>() : nullptr;
    if (widget == nullptr) return shown;
    const QMetaObject::Connection watch =
        QObject::connect(widget, &QProgressBar::valueChanged, [&shown, widget](int value) {
            shown.push_back({widget->minimum(), widget->maximum(), value});
        });
    work();
    QObject::disconnect(watch);
    return shown;
}

}  // namespace winlib::testing

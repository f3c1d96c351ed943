// What the Qt driver's files share (native.h): the application, the widgets' handles, the
// held keys and the text at Qt's edge.
#include "winlib/drivers/qt/native.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <atomic>
#include <map>
#include <set>

#include "resources/bitmaps.h"
#include "runtime/text1252.h"
#include "winlib/drivers/qt/key_map.h"

namespace winlib::qt {
namespace {

struct Entry {
    QPointer<QWidget> widget;
    Window* window = nullptr;
};

// UI thread only.
std::map<Handle, Entry>& handles() {
    static std::map<Handle, Entry> table;
    return table;
}
Handle next_handle = 0x100;

std::set<int>& held_keys() {
    static std::set<int> keys;
    return keys;
}

// Sees every key event of the application before its widget does. Windows answers the
// key-down query from the physical keyboard; Qt only tells the application about keys
// typed into its own windows, so a key held while another program has the focus does not
// count, and the table is emptied when the application loses the focus (its releases
// would go elsewhere).
class KeyTracker : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                if (const int vk = virtual_key(static_cast<QKeyEvent*>(event)); vk != 0)
                    held_keys().insert(vk);
                break;
            case QEvent::KeyRelease: {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (const int vk = virtual_key(key); vk != 0 && !key->isAutoRepeat())
                    held_keys().erase(vk);
                break;
            }
            case QEvent::ApplicationDeactivate:
                held_keys().clear();
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
};

std::atomic<QApplication*> application{nullptr};

}  // namespace

void ensure_application() {
    if (application.load() != nullptr) return;
    static int argc = 1;
    static char name[] = "velkan";
    static char* argv[] = {name, nullptr};
    auto* app = new QApplication(argc, argv);
    app->installEventFilter(new KeyTracker);  // owned by nobody: lives as long as the app
    application.store(app);
}

bool application_exists() { return application.load() != nullptr; }

Handle register_widget(QWidget* widget, Window* window) {
    const Handle handle = next_handle++;
    handles()[handle] = {widget, window};
    widget->setProperty("hwnd", QVariant::fromValue<qlonglong>(handle));
    return handle;
}

void forget_window(Window* window) {
    for (auto it = handles().begin(); it != handles().end();)
        it = it->second.window == window ? handles().erase(it) : std::next(it);
}

QWidget* widget_of(Handle handle) {
    const auto it = handles().find(handle);
    return it == handles().end() ? nullptr : it->second.widget.data();
}

Handle handle_of(const QWidget* widget) {
    return widget == nullptr ? 0 : static_cast<Handle>(widget->property("hwnd").toLongLong());
}

bool key_held(int virtual_key) { return held_keys().count(virtual_key) != 0; }

QPixmap resource_bitmap(const std::string& name) {
    const std::string_view bytes = resources::bitmap(name);
    QPixmap pixmap;
    pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                        static_cast<uint>(bytes.size()), "BMP");
    return pixmap;
}

QString to_qstring(std::string_view text) {
    const std::string utf8 = runtime::to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string from_qstring(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return runtime::from_utf8(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace winlib::qt

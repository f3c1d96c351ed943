#include "robot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <memory>

namespace robot {

QWidget* window(winlib::Handle handle) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->property("hwnd").toLongLong() == handle) return w;
    return nullptr;
}

template <class T>
T* top_level() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) return t;
    return nullptr;
}
template QMessageBox* top_level<QMessageBox>();
template QFileDialog* top_level<QFileDialog>();

QWidget* item(QWidget* window, int id) {
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->property("id").isValid() && w->property("id").toInt() == id) return w;
    return nullptr;
}

void when(std::function<bool()> ready, std::function<void()> step) {
    constexpr int kTries = 500;  // 5 s
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (ready()) {
            timer->deleteLater();
            timer->stop();
            step();
        } else if (++*tries == kTries) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "the robot waited in vain";
        }
    });
    timer->start(10);
}

void when_shown(const winlib::Handle* handle, std::function<void(QWidget*)> step) {
    when([handle] { return window(*handle) != nullptr; },
         [handle, step] { step(window(*handle)); });
}

void click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

void key(QWidget* widget, Qt::Key k) {
    ASSERT_NE(widget, nullptr);
    QTest::keyClick(widget, k);
}

}  // namespace robot

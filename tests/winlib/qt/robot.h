// A small user robot for the Qt driver's tests: it finds the program's windows the way a
// user sees them (top-level widgets, the window handle the widget carries, control ids)
// and acts on them with QTest clicks and keys while the program sits in its own loops.
#pragma once

#include <QWidget>
#include <functional>

#include "winlib/types.h"

namespace robot {

// The visible top-level widget carrying this window handle, or null.
QWidget* window(winlib::Handle handle);
// The visible top-level widget of this type (the first one), or null.
template <class T>
T* top_level();
// The control of a window with this id, or null.
QWidget* item(QWidget* window, int id);

// Runs the step from the program's event processing as soon as `ready` holds (checked
// every 10 ms), as a user acts once the window has appeared. A step that never becomes
// ready fails the test after a few seconds and is dropped.
void when(std::function<bool()> ready, std::function<void()> step);
// Runs the step once the window of this handle shows.
void when_shown(const winlib::Handle* handle, std::function<void(QWidget*)> step);

void click(QWidget* widget);
void key(QWidget* widget, Qt::Key key);

}  // namespace robot

#include <gtest/gtest.h>

#include "winlib/messages.h"
#include "winlib/services.h"

// Tests of the Qt driver start with one pump: the driver creates the application on its
// first use, and the robot's timers need it.
class UiTest : public testing::Test {
protected:
    void SetUp() override { winlib::pump(); }
};

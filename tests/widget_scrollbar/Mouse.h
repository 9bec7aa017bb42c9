#pragma once
// Mouse input for the scroll bar's widgets: presses and releases go through the window, as the
// platform delivers them, so the application knows which buttons are held; moves at fractional
// pixels (a drag to twips that are no whole pixel) go to the widget.

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "../unit/scrollbar/Harness.h"

namespace sbtest {

inline void press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(w->window()->windowHandle(), b, Qt::NoModifier, w->mapTo(w->window(), at));
}
inline void release(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(w->window()->windowHandle(), b, Qt::NoModifier, w->mapTo(w->window(), at));
}
// A move to `at` (pixels, relative to w) while `held` is down.
inline void moveTo(QWidget* w, QPointF at, Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent me(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &me);
}
// Releases the button as soon as the event loop runs again: inside the press's first wait.
inline void releaseSoon(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    QTimer::singleShot(0, w, [w, at, b] { release(w, at, b); });
}

}  // namespace sbtest

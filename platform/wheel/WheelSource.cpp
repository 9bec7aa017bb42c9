#include "wheel/WheelSource.h"

#include <QApplication>
#include <QWheelEvent>

namespace wheel {

WheelSource::WheelSource(QObject* parent) : QObject(parent) {}

void WheelSource::setWindow(QWidget* window) {
    if (!m_window && window) qApp->installEventFilter(this);
    if (m_window && !window) qApp->removeEventFilter(this);
    m_window = window;
}

bool WheelSource::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || !m_window) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    // Only the widget the event was sent to counts, not the parents it propagates to.
    if (!w || !(w == m_window || m_window->isAncestorOf(w))) return false;
    const auto* e = static_cast<QWheelEvent*>(event);
    const int amount = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    if (amount == 0) return false;
    emit wheelTurned(amount);
    return true;
}

}  // namespace wheel

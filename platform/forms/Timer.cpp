#include "forms/Timer.h"

namespace forms {

Timer::Timer(QObject* parent) : QObject(parent) {
    // A single-shot QTimer is stopped before it emits, so a handler that re-enables the timer
    // arms it afresh.
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
}

void Timer::setInterval(int ms) {
    m_timer.setInterval(ms);
}

void Timer::setEnabled(bool on) {
    if (on)
        m_timer.start();
    else
        m_timer.stop();
}

}  // namespace forms

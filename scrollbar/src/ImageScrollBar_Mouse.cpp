// The mouse: dragging the tick, stepping from the arrows and the track with auto-repeat, and
// the events Click, Change, Scroll and ClickDown. Every button acts alike.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTime>
#include <QTimer>
#include <cmath>
#include <limits>

#include "ImageScrollBar.h"
#include "Qm_ImgScrollBar/ImageScrollBar.h"
#include "ScrollMath.h"

namespace Qm_ImgScrollBar {

namespace E = __ImageScrollBar;
using math::roundWhole;

namespace {

constexpr float kRepeatSeconds = 0.2f;

// The platform timer: seconds since midnight, in single precision.
float timerNow() {
    return float(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

// Lets the host run pending events until more than `seconds` passed on the timer; a release of
// the button arrives during this wait. The wake-up timer keeps the loop from sleeping past the
// deadline when nothing else happens; the absolute difference survives midnight.
void letEventsRunFor(float seconds) {
    const float start = timerNow();
    QTimer wake;
    wake.start(10);
    while (!(std::fabs(timerNow() - start) > seconds))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

void ImageScrollBar::tickDown(float x, float y) {
    shielded([&] {
        if (const Status st = raise(E::ClickDown); st != Status::Ok) return st;
        // LastDragPos starts at the pointer, not the tick's edge, so the first drag step is
        // applied even when it leaves the tick where it is.
        if (horizontal()) {
            m_grabOffsetX = roundWhole(x);
            m_pressed = true;
            m_lastDragPos = roundWhole(m_tick->left() + x);
        } else {
            m_grabOffsetY = roundWhole(y);
            m_pressed = true;
            m_lastDragPos = roundWhole(m_tick->top() + y);
        }
        return Status::Ok;
    });
}

void ImageScrollBar::tickMove(float x, float y) {
    shielded([&] {
        if (!m_pressed) return Status::Ok;
        const Element& up = *m_up[arrowIndex()];
        const Element& down = *m_down[arrowIndex()];
        const bool across = horizontal();
        const math::Travel travel =
            across ? math::dragTravel(m_p.arrowVisible, {up.left(), up.width()},
                                      {down.left(), down.width()}, m_tick->width(), W())
                   : math::dragTravel(m_p.arrowVisible, {up.top(), up.height()},
                                      {down.top(), down.height()}, m_tick->height(), H());
        const double wanted = across ? double(m_tick->left()) + x - m_grabOffsetX
                                     : double(m_tick->top()) + y - m_grabOffsetY;
        const double p = math::clampDrag(wanted, travel);
        if (p == m_lastDragPos) return Status::Ok;
        if (across)
            m_tick->setLeft(p);
        else
            m_tick->setTop(p);
        if (travel.end != travel.start) {
            const double at = across ? m_tick->left() : m_tick->top();
            const int32_t v = math::dragValue(at, travel, m_p.min, m_p.max);
            if (v != m_p.value) {
                // Stored as it is: the tick follows the pointer, not the value.
                m_p.value = v;
                if (const Status st = raise(E::Scroll); st != Status::Ok) return st;
            }
        }
        m_lastDragPos = roundWhole(p);
        m_dragged = true;
        return Status::Ok;
    });
}

void ImageScrollBar::tickUp() {
    shielded([&] {
        m_pressed = false;
        // Dragged stays set for the life of the instance, so every later release reports Change.
        if (m_dragged)
            if (const Status st = raise(E::Change); st != Status::Ok) return st;
        return raise(E::Click);
    });
}

void ImageScrollBar::arrowDown(int direction) {
    shielded([&] {
        if (const Status st = raise(E::ClickDown); st != Status::Ok) return st;
        m_pressed = true;
        return RepeatStep(m_p.smallChange, direction);
    });
}

void ImageScrollBar::arrowUp() {
    shielded([&] {
        m_pressed = false;
        return raise(E::Click);
    });
}

void ImageScrollBar::trackDown(float x, float y) {
    shielded([&] {
        if (!m_p.enabled) return Status::Ok;
        if (const Status st = raise(E::ClickDown); st != Status::Ok) return st;
        m_pressed = true;
        // A press exactly at the tick's leading edge steps down.
        const int direction =
            horizontal() ? (x > m_tick->left() ? 1 : -1) : (y > m_tick->top() ? 1 : -1);
        return RepeatStep(m_p.largeChange, direction);
    });
}

void ImageScrollBar::trackUp() {
    shielded([&] {
        if (!m_p.enabled) return Status::Ok;
        m_pressed = false;
        return raise(E::Click);
    });
}

Status ImageScrollBar::RepeatStep(int32_t amount, int direction) {
    // Sums are taken in 64 bits, so a step next to the 32-bit limits clamps instead of
    // overflowing; a change below one (only from a saved state) steps by one.
    const int64_t step = int64_t(direction) * math::positiveChange(amount);
    auto toLimit = [&]() -> std::optional<Status> {
        switch (math::stepBound(m_p.value, step, m_p.min, m_p.max)) {
            case math::StepBound::AboveMax:
                return setValue(m_p.max);
            case math::StepBound::BelowMin:
                return setValue(m_p.min);
            case math::StepBound::Inside:
                break;
        }
        return std::nullopt;
    };
    if (const auto done = toLimit()) return *done;
    for (;;) {
        if (!m_pressed) return Status::Ok;
        // The host may have moved Value or the range during the wait; the set clamps.
        const int64_t next =
            std::clamp<int64_t>(int64_t(m_p.value) + step, std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max());
        if (const Status st = setValue(int32_t(next)); st != Status::Ok) return st;
        if (const auto done = toLimit()) return *done;
        const std::shared_ptr<Life> life = m_life;
        letEventsRunFor(kRepeatSeconds);
        if (!life->alive || gone()) return kGone;
        // The release may never reach us: a host that disables the bar or its window in a
        // Change handler loses it. The platform still knows whether a button is held.
        if (QGuiApplication::mouseButtons() == Qt::NoButton) m_pressed = false;
    }
}

}  // namespace Qm_ImgScrollBar

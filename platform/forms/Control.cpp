#include "forms/Control.h"

#include <QMouseEvent>

#include "forms/MouseArgs.h"

namespace forms {

Control::Control(QWidget* parent) : QWidget(parent) {
    // The classic controls report every move, not only drags.
    setMouseTracking(true);
}

void Control::mousePressEvent(QMouseEvent* event) {
    m_leftOnly = (!m_pressed || m_leftOnly) && event->buttons() == Qt::LeftButton;
    m_pressed = true;
    const QPoint pos = event->position().toPoint();
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), pos.x(), pos.y());
}

void Control::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), pos.x(), pos.y());
    if (event->buttons() != Qt::NoButton) return;
    const bool click = m_pressed && rect().contains(pos);
    m_pressed = false;
    if (click) emit clicked();
    if (click && m_leftOnly) emit leftClicked();
}

void Control::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit mouseMove(buttonsCode(event->buttons()), shiftCode(event->modifiers()), pos.x(), pos.y());
}

}  // namespace forms

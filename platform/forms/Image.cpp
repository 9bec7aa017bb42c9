#include "forms/Image.h"

#include <QMouseEvent>
#include <QPainter>

#include "forms/MouseArgs.h"

namespace forms {

Image::Image(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void Image::setPicture(const QImage& picture) {
    m_picture = picture;
    if (!m_picture.isNull()) resize(m_picture.size());
    update();
}

void Image::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

void Image::mousePressEvent(QMouseEvent* event) {
    m_pressed = true;
    const QPoint pos = event->position().toPoint();
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), pos.x(), pos.y());
}

void Image::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), pos.x(), pos.y());
    if (event->buttons() != Qt::NoButton) return;
    const bool click = m_pressed && rect().contains(pos);
    m_pressed = false;
    if (click) emit clicked();
}

void Image::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit mouseMove(buttonsCode(event->buttons()), shiftCode(event->modifiers()), pos.x(), pos.y());
}

}  // namespace forms

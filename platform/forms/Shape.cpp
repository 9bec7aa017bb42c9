#include "forms/Shape.h"

#include <QPainter>

namespace forms {

Shape::Shape(QWidget* parent) : QWidget(parent) {
    // Clicks go to whatever lies under the shape, as with the classic lightweight control.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setBorderColor(gdi::COLORREF c) {
    m_borderColor = c;
    update();
}

void Shape::setBackColor(gdi::COLORREF c) {
    m_backColor = c;
    update();
}

void Shape::setOpaque(bool on) {
    m_opaque = on;
    update();
}

void Shape::setBorderVisible(bool on) {
    m_border = on;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    if (m_opaque) p.fillRect(rect(), gdi::toQColor(m_backColor));
    if (!m_border || w <= 0 || h <= 0) return;
    // Four one-pixel strips rather than drawRect, whose outline depends on pen geometry.
    const QColor c = gdi::toQColor(m_borderColor);
    p.fillRect(0, 0, w, 1, c);
    p.fillRect(0, h - 1, w, 1, c);
    p.fillRect(0, 0, 1, h, c);
    p.fillRect(w - 1, 0, 1, h, c);
}

}  // namespace forms

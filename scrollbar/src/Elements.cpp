#include "Elements.h"

#include <QMouseEvent>
#include <cmath>

#include "ImageScrollBar.h"
#include "ScrollMath.h"

namespace Qm_ImgScrollBar {

using math::toPixels;

Surface::Surface(QWidget* parent, ImageScrollBar* owner, TwipsPerPixel tpp)
    : forms::PictureBox(parent), m_owner(owner), m_tpp(tpp) {}

void Surface::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPointF p = event->position();
    if (m_owner) m_owner->trackDown(float(p.x() * m_tpp.x), float(p.y() * m_tpp.y));
}

void Surface::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (m_owner) m_owner->trackUp();
}

void Surface::mouseMoveEvent(QMouseEvent* event) {
    // The track does nothing with moves.
    event->accept();
}

void Surface::resizeEvent(QResizeEvent* event) {
    forms::PictureBox::resizeEvent(event);
    if (m_owner) m_owner->surfaceResized();
}

Element::Element(QWidget* surface, ImageScrollBar* owner, Role role, TwipsPerPixel tpp)
    : forms::Image(surface), m_owner(owner), m_role(role), m_tpp(tpp) {
    resize(0, 0);
}

void Element::moveTo(double left, double top) {
    // Left and Top are singles, as the classic elements hold them.
    m_left = float(left);
    m_top = float(top);
    move(toPixels(m_left, m_tpp.x), toPixels(m_top, m_tpp.y));
}

void Element::showPicture(const controls::PictureRef& picture) {
    if (controls::HasNoBitmap(picture)) {
        setPicture(QImage());
        return;
    }
    setPicture(picture->image());
    m_width = float(picture->width() * m_tpp.x);
    m_height = float(picture->height() * m_tpp.y);
}

void Element::showDrawn(const QImage& image, double widthTwips, double heightTwips) {
    setPicture(image);
    m_width = float(widthTwips);
    m_height = float(heightTwips);
    resize(toPixels(m_width, m_tpp.x), toPixels(m_height, m_tpp.y));
}

QPointF Element::twipsOf(const QMouseEvent* event) const {
    // Measured from the element's own twips position, not from the pixel it was rounded to,
    // so a drag follows the pointer exactly wherever the tick stands.
    const QPointF onSurface = event->position() + QPointF(pos());
    return {onSurface.x() * m_tpp.x - m_left, onSurface.y() * m_tpp.y - m_top};
}

void Element::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!m_owner) return;
    const QPointF p = twipsOf(event);
    switch (m_role) {
        case Role::Tick:
            m_owner->tickDown(float(p.x()), float(p.y()));
            break;
        case Role::Decrease:
            m_owner->arrowDown(-1);
            break;
        case Role::Increase:
            m_owner->arrowDown(+1);
            break;
    }
}

void Element::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!m_owner) return;
    if (m_role == Role::Tick)
        m_owner->tickUp();
    else
        m_owner->arrowUp();
}

void Element::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!m_owner || m_role != Role::Tick) return;
    const QPointF p = twipsOf(event);
    m_owner->tickMove(float(p.x()), float(p.y()));
}

Scratch::Scratch(QWidget* surface, TwipsPerPixel tpp)
    : m_box(new forms::PictureBox(surface)), m_tpp(tpp) {
    m_box->hide();
    m_box->resize(0, 0);
}

void Scratch::setAutoSize(bool on) {
    m_box->setAutoSize(on);
    syncTwips();
}

void Scratch::setPicture(const controls::PictureRef& picture) {
    m_box->setPicture(controls::HasNoBitmap(picture) ? QImage() : picture->image());
    syncTwips();
}

void Scratch::resize(double widthTwips, double heightTwips) {
    m_width = widthTwips;
    m_height = heightTwips;
    m_box->resize(toPixels(widthTwips, m_tpp.x), toPixels(heightTwips, m_tpp.y));
}

void Scratch::line(double x1, double y1, double x2, double y2, gdi::COLORREF c) {
    m_box->Line(toPixels(x1, m_tpp.x), toPixels(y1, m_tpp.y), toPixels(x2, m_tpp.x),
                toPixels(y2, m_tpp.y), c);
}

void Scratch::syncTwips() {
    // A picture taken with auto-size gives the size, even when it has the old pixel size:
    // 16 pixels are 240 twips, whatever the twips were before.
    if (m_box->autoSize() && m_box->hasPicture()) {
        m_width = m_box->width() * m_tpp.x;
        m_height = m_box->height() * m_tpp.y;
        return;
    }
    const QSize px(toPixels(m_width, m_tpp.x), toPixels(m_height, m_tpp.y));
    if (m_box->size() == px) return;
    m_width = m_box->width() * m_tpp.x;
    m_height = m_box->height() * m_tpp.y;
}

}  // namespace Qm_ImgScrollBar

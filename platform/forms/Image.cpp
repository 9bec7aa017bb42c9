#include "forms/Image.h"

#include <QPainter>

namespace forms {

Image::Image(QWidget* parent) : Control(parent) {}

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

}  // namespace forms

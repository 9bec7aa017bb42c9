#include "forms/Image.h"

#include <QPainter>

#include "graphics/Raster.h"

namespace forms {

Image::Image(QWidget* parent) : Control(parent) {}

void Image::setPicture(const QImage& picture) {
    m_picture = picture;
    if (!m_picture.isNull()) resize(gdi::raster::logicalSize(m_picture));
    update();
}

void Image::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(0, 0, m_picture);
}

}  // namespace forms

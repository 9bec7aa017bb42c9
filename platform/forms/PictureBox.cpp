#include "forms/PictureBox.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <utility>

#include "graphics/Raster.h"

namespace forms {

PictureBox::PictureBox(QWidget* parent) : Control(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    reset();
    // Asking the ratio makes no surface: a plain box has none.
    m_dc = gdi::CreateWindowDC([this] { return &target(); }, [this] { update(); },
                               [this] { return ratio(); });
}

PictureBox::~PictureBox() {
    gdi::ReleaseWindowDC(m_dc);
}

void PictureBox::setBackColor(gdi::COLORREF c) {
    m_backColor = c;
    // As in the classic control, a new back colour erases all drawing, persistent or not;
    // the Picture stays.
    reset();
    m_currentX = m_currentY = 0;
    update();
}

void PictureBox::setAutoRedraw(bool on) {
    if (on == m_autoRedraw) return;
    syncSize();
    // Only the images in use are kept: a page-sized box must not hold three copies.
    if (on) {
        m_buffer = m_background;
        m_background = QImage();
        m_screen = QImage();
    } else {
        m_background = m_buffer;
        m_screen = QImage();
        m_buffer = QImage();
    }
    m_autoRedraw = on;
    update();
}

void PictureBox::setPicture(const QImage& picture) {
    m_picture = picture;
    const QString source = picture.text(QStringLiteral("source"));
    m_resource = source.startsWith(QLatin1String(":/")) ? source : QString();
    m_resourceRatio = picture.devicePixelRatio();
    if (m_autoSize && hasPicture()) resize(gdi::raster::logicalSize(m_picture));
    reset();
    if (isHidden() && !m_resource.isEmpty()) m_picture = QImage();
    update();
}

const QImage& PictureBox::picture() const {
    if (m_picture.isNull() && !m_resource.isEmpty())
        m_picture = gdi::LoadImageFor(m_resource, m_resourceRatio);
    return m_picture;
}

void PictureBox::setVisible(bool visible) {
    Control::setVisible(visible);
    if (!visible && !m_resource.isEmpty()) m_picture = QImage();
}

void PictureBox::setDrawing(Drawing drawing) {
    m_drawing = std::move(drawing);
    reset();
    m_currentX = m_currentY = 0;
    update();
}

void PictureBox::setAutoSize(bool on) {
    m_autoSize = on;
    if (m_autoSize && hasPicture() && size() != gdi::raster::logicalSize(picture())) {
        resize(gdi::raster::logicalSize(picture()));
        syncSize();
    }
}

QImage PictureBox::image() const {
    const QImage& img = m_autoRedraw ? m_buffer : m_background;
    return fits(img) ? img : resized(img, size());
}

QImage PictureBox::screenImage() const {
    const QImage& img = m_autoRedraw ? m_buffer : shown();
    return fits(img) ? img : resized(img, size());
}

void PictureBox::Cls() {
    syncSize();
    if (m_autoRedraw)
        refill(m_buffer);
    else
        m_screen = QImage();
    m_currentX = m_currentY = 0;
    update();
}

void PictureBox::ClsBeforeCovering(const QRect& covering) {
    if (!m_autoRedraw || !covering.contains(rect())) {
        Cls();
        return;
    }
    syncSize();
    if (m_buffer.isDetached() && fits(m_buffer)) {
        m_currentX = m_currentY = 0;
        return;
    }
    // The image is shared (a snapshot of the last spread, say). Keep a reference to it: once
    // its other holder lets go, it is ours alone and serves as the next buffer, so a box that
    // is drawn and handed out over and over cycles between two images instead of allocating.
    if (m_spare.isDetached() && fits(m_spare) &&
        m_spare.format() == QImage::Format_RGB32) {
        std::swap(m_buffer, m_spare);
    } else {
        m_spare = m_buffer;
        m_buffer = gdi::raster::surface(size(), ratio());
    }
    m_currentX = m_currentY = 0;
}

void PictureBox::ClsWith(QImage img) {
    syncSize();
    if (!m_autoRedraw || !fits(img) || img.format() != QImage::Format_RGB32) {
        ClsBeforeCovering(gdi::raster::logicalRect(img));
        if (!img.isNull() && !target().isNull()) gdi::raster::put(target(), QPoint(0, 0), img);
        update();
        return;
    }
    m_buffer = std::move(img);
    m_spare = QImage();
    m_currentX = m_currentY = 0;
    update();
}

void PictureBox::dropImages() {
    m_buffer = QImage();
    m_background = QImage();
    m_screen = QImage();
    m_spare = QImage();
    m_currentX = m_currentY = 0;
}

void PictureBox::Print(const QString& text) {
    const QFontMetrics fm(font());
    if (!text.isEmpty()) {
        QPainter p(&target());
        p.setFont(font());
        p.setPen(gdi::toQColor(m_foreColor));
        p.drawText(QPoint(m_currentX, m_currentY + fm.ascent()), text);
    }
    m_currentX = 0;
    m_currentY += fm.height();
    update();
}

void PictureBox::Line(int x1, int y1, int x2, int y2, gdi::COLORREF color) {
    gdi::raster::line(target(), QPoint(x1, y1), QPoint(x2, y2), gdi::toQColor(color).rgb(), true);
    update();
}

void PictureBox::FillRect(const QRect& r, gdi::COLORREF color) {
    QPainter p(&target());
    p.fillRect(r, gdi::toQColor(color));
    update();
}

void PictureBox::Refresh() {
    repaint();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    syncSize();
    QPainter p(this);
    const QImage& img = m_autoRedraw ? m_buffer : shown();
    if (img.isNull()) {
        paintBackground(p, event->rect());
        return;
    }
    const QRectF r = event->rect();
    const qreal k = img.devicePixelRatio();
    p.drawImage(r, img, QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    syncSize();
}

qreal PictureBox::ratio() const {
    return devicePixelRatioF();
}

bool PictureBox::fits(const QImage& img) const {
    const QSize s = size();
    if (s.isEmpty()) return img.isNull() || gdi::raster::logicalSize(img) == s;
    return img.devicePixelRatio() == ratio() && gdi::raster::logicalSize(img) == s;
}

void PictureBox::paintBackground(QPainter& p, const QRect& area) const {
    p.fillRect(area, gdi::toQColor(m_backColor));
    if (hasPicture()) {
        // A picture made for another resolution is scaled smoothly to the box's.
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(0, 0, picture());
        p.restore();
    }
    if (m_drawing) m_drawing(p, area);
}

QImage PictureBox::blank(const QSize& size) const {
    QImage img = gdi::raster::surface(size, ratio());
    if (img.isNull()) return img;
    QPainter p(&img);
    paintBackground(p, QRect(QPoint(0, 0), size));
    return img;
}

QImage& PictureBox::target() {
    syncSize();
    // The plain background becomes an image once it is drawn on.
    QImage& img = m_autoRedraw ? m_buffer : m_screen;
    if (img.isNull()) img = m_autoRedraw || m_background.isNull() ? blank(size()) : m_background;
    return img;
}

QImage PictureBox::resized(const QImage& img, const QSize& size) const {
    QImage out = blank(size);
    if (!out.isNull() && !img.isNull()) gdi::raster::put(out, QPoint(0, 0), img);
    return out;
}

void PictureBox::refill(QImage& img) const {
    if (img.isNull()) return;
    if (!fits(img) || !img.isDetached() || img.format() != QImage::Format_RGB32) {
        img = QImage();
        return;
    }
    QPainter p(&img);
    paintBackground(p, QRect(QPoint(0, 0), size()));
}

void PictureBox::reset() {
    if (m_autoRedraw)
        refill(m_buffer);
    else
        m_buffer = QImage();
    m_background = QImage();
    m_screen = QImage();
}

void PictureBox::syncSize() {
    // A hidden widget gets its resize event only when shown, and the box is often drawn on
    // long before that (or never shown at all), so every entry point catches up here.
    const QSize s = size();
    if (m_autoRedraw) {
        if (!m_buffer.isNull() && !fits(m_buffer)) m_buffer = resized(m_buffer, s);
        return;
    }
    if (!m_screen.isNull() && m_screen.constBits() == m_background.constBits())
        m_screen = QImage();
    if (!m_background.isNull() && !fits(m_background)) m_background = resized(m_background, s);
    if (!m_screen.isNull() && !fits(m_screen)) m_screen = resized(m_screen, s);
}

}  // namespace forms

#include "graphics/Raster.h"

#include <QPainter>
#include <cstdlib>
#include <cstring>

namespace gdi::raster {

void line(QImage& img, QPoint a, QPoint b, QRgb color, bool includeEnd) {
    const int w = img.width(), h = img.height();
    // A line wholly beyond one edge touches nothing; skipping it keeps far-away coordinates cheap.
    if ((a.x() < 0 && b.x() < 0) || (a.y() < 0 && b.y() < 0) || (a.x() >= w && b.x() >= w) ||
        (a.y() >= h && b.y() >= h))
        return;
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x(), y = a.y();
    auto plot = [&](int px, int py) {
        if (px >= 0 && py >= 0 && px < w && py < h) img.setPixel(px, py, color);
    };
    for (;;) {
        if (x == b.x() && y == b.y()) {
            if (includeEnd) plot(x, y);
            return;
        }
        plot(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void put(QImage& img, QPoint at, const QImage& block) {
    putPart(img, at, block, block.rect());
}

void putPart(QImage& img, QPoint at, const QImage& src, const QRect& part) {
    const QRect from = part.intersected(src.rect());
    if (from.isEmpty()) return;
    const QPoint origin = at + (from.topLeft() - part.topLeft());
    const QRect area = QRect(origin, from.size()).intersected(img.rect());
    if (area.isEmpty()) return;
    const QPoint shift = from.topLeft() - origin;  // from a target pixel to its source pixel
    if (img.depth() != 32) {
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(area.topLeft(), src, area.translated(shift));
        return;
    }
    // Raw rows are only valid in the target's own pixel format (RGB32 wants opaque alpha).
    const QImage same = src.format() == img.format() ? src : src.convertToFormat(img.format());
    const size_t bytes = size_t(area.width()) * 4;
    // Row pointers step by the stride: a one-pixel column of a tall page is copied many
    // times a frame while a page turns, and asking for every scan line would dominate.
    uchar* out = img.scanLine(area.top()) + area.left() * 4;
    const uchar* in = same.constScanLine(area.top() + shift.y()) + (area.left() + shift.x()) * 4;
    const qsizetype outStride = img.bytesPerLine(), inStride = same.bytesPerLine();
    for (int y = area.top(); y <= area.bottom(); ++y, out += outStride, in += inStride)
        std::memcpy(out, in, bytes);
}

}  // namespace gdi::raster

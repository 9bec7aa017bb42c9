#include "graphics/Raster.h"

#include <QPainter>
#include <algorithm>
#include <optional>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace gdi::raster {

int toDevice(int v, qreal r) {
    return r == 1.0 ? v : int(std::lround(v * r));
}

QRect toDevice(const QRect& logical, qreal r) {
    if (r == 1.0) return logical;
    const int x0 = toDevice(logical.x(), r), y0 = toDevice(logical.y(), r);
    return QRect(x0, y0, toDevice(logical.x() + logical.width(), r) - x0,
                 toDevice(logical.y() + logical.height(), r) - y0);
}

QSize logicalSize(const QImage& img) {
    const qreal r = img.devicePixelRatio();
    if (r == 1.0) return img.size();
    return QSize(int(std::lround(img.width() / r)), int(std::lround(img.height() / r)));
}

QImage surface(QSize logical, qreal r, QImage::Format format) {
    if (logical.width() <= 0 || logical.height() <= 0) return QImage();
    QImage img(toDevice(logical.width(), r), toDevice(logical.height(), r), format);
    if (!img.isNull()) img.setDevicePixelRatio(r);
    return img;
}

namespace {

// Sets every pixel of device rectangle d (clipped to img) of a 32-bit img to color.
void fillDevice(QImage& img, const QRect& d, QRgb color) {
    const QRect area = d.intersected(img.rect());
    if (area.isEmpty()) return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, color);
    }
}

// A level or upright line is the block of device pixels its logical pixels cover, filled at
// once: the edges of neighbouring logical pixels meet, so it is the same pixels.
void levelOrUpright(QImage& img, QPoint a, QPoint b, QRgb color, bool includeEnd) {
    // The logical pixels from a towards b, b itself only when asked.
    int x0 = a.x(), x1 = b.x(), y0 = a.y(), y1 = b.y();
    if (!includeEnd) {
        if (a == b) return;
        if (x0 != x1)
            x1 += x1 > x0 ? -1 : 1;
        else
            y1 += y1 > y0 ? -1 : 1;
    }
    const QRect span(QPoint(std::min(x0, x1), std::min(y0, y1)),
                     QPoint(std::max(x0, x1), std::max(y0, y1)));
    fillDevice(img, toDevice(span.intersected(logicalRect(img)), img.devicePixelRatio()), color);
}

}  // namespace

void line(QImage& img, QPoint a, QPoint b, QRgb color, bool includeEnd) {
    const qreal r = img.devicePixelRatio();
    const QSize size = logicalSize(img);
    const int w = size.width(), h = size.height();
    // A line wholly beyond one edge touches nothing; skipping it keeps far-away coordinates cheap.
    if ((a.x() < 0 && b.x() < 0) || (a.y() < 0 && b.y() < 0) || (a.x() >= w && b.x() >= w) ||
        (a.y() >= h && b.y() >= h))
        return;
    if ((a.x() == b.x() || a.y() == b.y()) && img.depth() == 32) {
        levelOrUpright(img, a, b, color, includeEnd);
        return;
    }
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x(), y = a.y();
    // On a scaled surface a logical pixel is the block of device pixels it covers.
    auto plot = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= w || py >= h) return;
        if (r == 1.0) {
            img.setPixel(px, py, color);
            return;
        }
        const QRect d = toDevice(QRect(px, py, 1, 1), r).intersected(img.rect());
        for (int yy = d.top(); yy <= d.bottom(); ++yy) {
            QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(yy));
            if (img.depth() == 32) {
                for (int xx = d.left(); xx <= d.right(); ++xx) row[xx] = color;
            } else {
                for (int xx = d.left(); xx <= d.right(); ++xx) img.setPixel(xx, yy, color);
            }
        }
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
    putPart(img, at, block, logicalRect(block));
}

namespace {

// The device-pixel copy: area (on img) and its source's top-left (on src), both in device pixels
// and already clipped.
void copyRows(QImage& img, const QRect& area, const QImage& src, QPoint source) {
    if (img.depth() != 32) {
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        // The painter works in logical pixels; this copy is in device ones.
        p.scale(1 / img.devicePixelRatio(), 1 / img.devicePixelRatio());
        QImage plain = src;
        plain.setDevicePixelRatio(1);
        p.drawImage(area.topLeft(), plain, QRect(source, area.size()));
        return;
    }
    // Raw rows are only valid in the target's own pixel format (RGB32 wants opaque alpha).
    const QImage same = src.format() == img.format() ? src : src.convertToFormat(img.format());
    const size_t bytes = size_t(area.width()) * 4;
    // Row pointers step by the stride: a one-pixel column of a tall page is copied many
    // times a frame while a page turns, and asking for every scan line would dominate.
    uchar* out = img.scanLine(area.top()) + area.left() * 4;
    const uchar* in = same.constScanLine(source.y()) + source.x() * 4;
    const qsizetype outStride = img.bytesPerLine(), inStride = same.bytesPerLine();
    for (int y = area.top(); y <= area.bottom(); ++y, out += outStride, in += inStride)
        std::memcpy(out, in, bytes);
}

}  // namespace

void putDevice(QImage& img, QPoint deviceAt, const QImage& block) {
    const QRect d = QRect(deviceAt, block.size()).intersected(img.rect());
    if (d.isEmpty()) return;
    copyRows(img, d, block, d.topLeft() - deviceAt);
}

namespace {

// Where putPart's copy of a src of img's own ratio lands, in device pixels: the rectangle on img
// and the top-left of its source on src, clipped to both; none when nothing is copied.
struct DeviceCopy {
    QRect area;
    QPoint source;
};
// The logical rectangle on img a copy of src's part to `at` covers, clipped to both, and the
// step from a pixel of it to its source pixel; none when nothing is copied.
struct LogicalCopy {
    QRect area;
    QPoint shift;
};
std::optional<LogicalCopy> logicalCopy(const QImage& img, QPoint at, const QImage& src,
                                       const QRect& part) {
    const QRect from = part.intersected(logicalRect(src));
    if (from.isEmpty()) return std::nullopt;
    const QPoint origin = at + (from.topLeft() - part.topLeft());
    const QRect area = QRect(origin, from.size()).intersected(logicalRect(img));
    if (area.isEmpty()) return std::nullopt;
    return LogicalCopy{area, from.topLeft() - origin};
}

std::optional<DeviceCopy> deviceCopy(const QImage& img, QPoint at, const QImage& src,
                                     const QRect& part) {
    const std::optional<LogicalCopy> c = logicalCopy(img, at, src, part);
    if (!c) return std::nullopt;
    const QRect& area = c->area;
    const qreal r = img.devicePixelRatio();
    // The target's device rectangle decides the size; the source starts at its own device edge.
    const QRect d = toDevice(area, r).intersected(img.rect());
    if (d.isEmpty()) return std::nullopt;
    QPoint s(toDevice(area.x() + c->shift.x(), r), toDevice(area.y() + c->shift.y(), r));
    s += d.topLeft() - toDevice(area, r).topLeft();
    const QRect in = QRect(s, d.size()).intersected(src.rect());
    if (in.isEmpty()) return std::nullopt;
    return DeviceCopy{QRect(d.topLeft() + (in.topLeft() - s), in.size()), in.topLeft()};
}

// A part of another resolution (a picture drawn for another screen): scaled smoothly into place.
void putScaled(QImage& img, QPoint at, const QImage& src, const QRect& part) {
    const std::optional<LogicalCopy> c = logicalCopy(img, at, src, part);
    if (!c) return;
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal s = src.devicePixelRatio();
    const QRect a = c->area.translated(c->shift);
    p.drawImage(QRectF(c->area), src,
                QRectF(a.x() * s, a.y() * s, a.width() * s, a.height() * s));
}

}  // namespace

void putPart(QImage& img, QPoint at, const QImage& src, const QRect& part) {
    if (src.devicePixelRatio() != img.devicePixelRatio()) return putScaled(img, at, src, part);
    if (const std::optional<DeviceCopy> c = deviceCopy(img, at, src, part))
        copyRows(img, c->area, src, c->source);
}

namespace {

// Copies already clipped to img and src, of 32-bit images of one format: row by row across the
// parts, so a part a few pixels wide costs its pixels, not a call a row.
void copyAcross(QImage& img, const QImage& src, const std::vector<DevicePart>& copies) {
    int rows = 0;
    for (const DevicePart& c : copies) rows = std::max(rows, c.area.height());
    auto* const out = reinterpret_cast<quint32*>(img.bits());
    const auto* const in = reinterpret_cast<const quint32*>(src.constBits());
    const qsizetype outStride = img.bytesPerLine() / 4, inStride = src.bytesPerLine() / 4;
    for (int y = 0; y < rows; ++y) {
        for (const DevicePart& c : copies) {
            if (y >= c.area.height()) continue;
            quint32* o = out + (c.area.top() + y) * outStride + c.area.left();
            const quint32* i = in + (c.source.y() + y) * inStride + c.source.x();
            const int n = c.area.width();
            if (n > 16) {
                std::memcpy(o, i, size_t(n) * 4);
                continue;
            }
            for (int k = 0; k < n; ++k) o[k] = i[k];
        }
    }
}

}  // namespace

void putParts(QImage& img, const QImage& src, const std::vector<Part>& parts) {
    if (src.devicePixelRatio() != img.devicePixelRatio() || img.depth() != 32 ||
        src.format() != img.format()) {
        for (const Part& p : parts) putPart(img, p.at, src, p.part);
        return;
    }
    std::vector<DevicePart> copies;
    copies.reserve(parts.size());
    for (const Part& p : parts)
        if (const std::optional<DeviceCopy> c = deviceCopy(img, p.at, src, p.part))
            copies.push_back({c->area, c->source});
    copyAcross(img, src, copies);
}

void putDeviceParts(QImage& img, const QImage& src, const std::vector<DevicePart>& parts) {
    // Each clipped to img, then its source to src (moving the area with it).
    std::vector<DevicePart> copies;
    copies.reserve(parts.size());
    for (const DevicePart& p : parts) {
        const QRect area = p.area.intersected(img.rect());
        const QPoint source = p.source + (area.topLeft() - p.area.topLeft());
        const QRect in = QRect(source, area.size()).intersected(src.rect());
        if (area.isEmpty() || in.isEmpty()) continue;
        copies.push_back(
            {QRect(area.topLeft() + (in.topLeft() - source), in.size()), in.topLeft()});
    }
    if (img.depth() != 32 || src.format() != img.format()) {
        for (const DevicePart& c : copies) copyRows(img, c.area, src, c.source);
        return;
    }
    copyAcross(img, src, copies);
}

}  // namespace gdi::raster

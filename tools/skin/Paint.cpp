#include "Paint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace skin {

namespace {
int g_scale = 1;
}  // namespace

int scale() {
    return g_scale;
}

void setScale(int k) {
    g_scale = k < 1 ? 1 : k;
}

QSize logicalSize(const QImage& img) {
    const int k = std::max(1, qRound(img.devicePixelRatio()));
    return QSize(img.width() / k, img.height() / k);
}

QImage canvas(QSize size, QColor fill) {
    QImage img(size * g_scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(g_scale);
    img.fill(fill);
    return img;
}

QImage layer(QSize size) {
    QImage img(size * g_scale, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(g_scale);
    img.fill(Qt::transparent);
    return img;
}

QPainter& smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    return p;
}

QColor mix(QColor a, QColor b, qreal t) {
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

QColor scaled(QColor c, qreal factor) {
    auto s = [factor](int v) { return std::clamp(int(std::lround(v * factor)), 0, 255); };
    return QColor(s(c.red()), s(c.green()), s(c.blue()));
}

void fillRows(QPainter& p, const QRect& r, QColor top, QColor bottom) {
    const int n = r.height();
    for (int i = 0; i < n; ++i) {
        const qreal t = n > 1 ? qreal(i) / (n - 1) : 0.0;
        p.fillRect(r.left(), r.top() + i, r.width(), 1, mix(top, bottom, t));
    }
}

void line(QPainter& p, int x1, int y1, int x2, int y2, QColor c) {
    // Axis-aligned lines as rectangles: no pen geometry, no half-pixel surprises.
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                     QPoint(std::max(x1, x2), std::max(y1, y2))),
               c);
}

void ring(QPainter& p, const QRect& r, QColor topLeft, QColor bottomRight) {
    line(p, r.left(), r.top(), r.right(), r.top(), topLeft);
    line(p, r.left(), r.top(), r.left(), r.bottom(), topLeft);
    line(p, r.left() + 1, r.bottom(), r.right(), r.bottom(), bottomRight);
    line(p, r.right(), r.top() + 1, r.right(), r.bottom(), bottomRight);
}

void roundedBorder(QPainter& p, const QRect& r, QColor edge, QColor behind) {
    line(p, r.left() + 1, r.top(), r.right() - 1, r.top(), edge);
    line(p, r.left() + 1, r.bottom(), r.right() - 1, r.bottom(), edge);
    line(p, r.left(), r.top() + 1, r.left(), r.bottom() - 1, edge);
    line(p, r.right(), r.top() + 1, r.right(), r.bottom() - 1, edge);
    const QColor corner = mix(edge, behind, 0.6);
    for (const QPoint& c : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        p.fillRect(c.x(), c.y(), 1, 1, corner);
}

void buttonFace(QPainter& p, const QRect& r, State state, QColor behind) {
    const bool down = state == State::Down;
    // Pressed faces take a cool tint: it reads as "on" for toggles and as pressed for the rest.
    const QColor top = down ? QColor(186, 200, 220) : QColor(252, 252, 251);
    const QColor bottom = down ? QColor(214, 226, 242) : QColor(222, 222, 218);
    fillRows(p, r.adjusted(1, 1, -1, -1), top, bottom);
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (down) {
        // Inset: the shadow falls on the top/left inner edge.
        line(p, inner.left(), inner.top(), inner.right(), inner.top(), QColor(150, 162, 182));
        line(p, inner.left(), inner.top(), inner.left(), inner.bottom(), QColor(164, 176, 196));
    } else {
        ring(p, inner, QColor(255, 255, 255), QColor(204, 204, 200));
    }
    roundedBorder(p, r, down ? QColor(104, 116, 138) : QColor(160, 160, 156), behind);
}

void groove(QPainter& p, const QRect& r, QColor top, QColor bottom) {
    fillRows(p, r.adjusted(1, 1, -1, -1), top, bottom);
    line(p, r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1, scaled(top, 0.9));
    roundedBorder(p, r.adjusted(0, 0, 0, -1), QColor(150, 150, 150), kPanelGrey);
    line(p, r.left() + 1, r.bottom(), r.right() - 1, r.bottom(), QColor(255, 255, 255));
}

QFont uiFont(qreal pixelSize, bool bold) {
    static const QString family = [] {
        const QStringList wanted{"NanumGothic", "NanumBarunGothic", "Noto Sans CJK KR", "UnDotum",
                                 "Baekmuk Gulim"};
        for (const QString& f : wanted)
            if (QFontDatabase::hasFamily(f)) return f;
        return QFont().defaultFamily();
    }();
    QFont f(family);
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

namespace {

// Unhinted outlines come out grey at label sizes; steepening the coverage gives back the
// weight hinting would have, without asking the host how it hints.
QImage inked(const QPainterPath& path, const QRect& area, QColor c) {
    // At the surface's own resolution: a doubled picture gets doubly fine letters.
    QImage mask(area.size() * g_scale, QImage::Format_Alpha8);
    mask.setDevicePixelRatio(g_scale);
    mask.fill(0);
    {
        QPainter m(&mask);
        smooth(m);
        m.translate(-area.topLeft());
        m.fillPath(path, Qt::black);
    }
    QImage out(mask.size(), QImage::Format_ARGB32);
    out.setDevicePixelRatio(g_scale);
    for (int y = 0; y < out.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = qRgba(c.red(), c.green(), c.blue(), std::clamp((in[x] * 3 - 40) / 2, 0, 255));
    }
    return out;
}

}  // namespace

void text(QPainter& p, const QRectF& box, const QString& s, const QFont& f, QColor c,
          Qt::Alignment align) {
    QPainterPath path;
    path.addText(0, 0, f, s);
    const QRectF ink = path.boundingRect();
    const QFontMetricsF fm(f);
    // Centre on the ink horizontally, but on the font's cap area vertically, so labels that
    // happen to lack descenders still share one baseline.
    qreal x = box.left() + (box.width() - ink.width()) / 2 - ink.left();
    if (align & Qt::AlignLeft) x = box.left() - ink.left();
    if (align & Qt::AlignRight) x = box.right() - ink.right();
    const qreal capHeight = fm.capHeight() > 0 ? fm.capHeight() : fm.ascent() * 0.72;
    const QPoint origin(qRound(x), qRound(box.top() + (box.height() + capHeight) / 2));

    const QRect area = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    p.drawImage(origin + area.topLeft(), inked(path, area, c));
}

QImage faded(const QImage& img, QColor toward, qreal amount) {
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb v = row[x];
            const int g = qGray(v);
            const QColor grey = mix(QColor(g, g, g), toward, amount);
            row[x] = qRgba(grey.red(), grey.green(), grey.blue(), qAlpha(v));
        }
    }
    return out.convertToFormat(img.format());
}

void stamp(QImage& dest, const QImage& src, QPoint at) {
    QPainter p(&dest);
    p.drawImage(at, src);
}

}  // namespace skin

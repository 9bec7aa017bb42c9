#include "Pictures.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skin {
namespace {

const QColor kCover(116, 40, 33);

// The splash's own emblem: an open book on its cover, with a ribbon in the gutter.
void bookEmblem(QPainter& p, const QRectF& r) {
    smooth(p);
    const qreal cx = r.center().x(), w = r.width(), h = r.height();
    QPainterPath board;
    board.addRoundedRect(QRectF(r.left(), r.top() + h * 0.16, w, h * 0.8), 2.5, 2.5);
    p.fillPath(board, kCover);
    for (int side : {-1, 1}) {
        QPainterPath leaf;
        const qreal outer = cx + side * (w / 2 - 3);
        leaf.moveTo(cx, r.top() + h * 0.12);
        leaf.cubicTo(cx + side * w * 0.16, r.top(), outer, r.top() + h * 0.02, outer,
                     r.top() + h * 0.08);
        leaf.lineTo(outer, r.top() + h * 0.84);
        leaf.cubicTo(outer - side * w * 0.18, r.top() + h * 0.76, cx + side * w * 0.12,
                     r.top() + h * 0.82, cx, r.top() + h * 0.9);
        leaf.closeSubpath();
        p.setPen(QPen(QColor(150, 120, 90), 1));
        p.setBrush(QColor(kPaper));
        p.drawPath(leaf);
        p.setPen(QPen(QColor(196, 180, 160), 1));
        for (int i = 0; i < 4; ++i) {
            const qreal y = r.top() + h * (0.28 + i * 0.14);
            p.drawLine(QPointF(cx + side * 4, y), QPointF(cx + side * (w / 2 - 7), y - 1));
        }
    }
    QPainterPath tab;
    tab.moveTo(cx - 2, r.top() + h * 0.5);
    tab.lineTo(cx + 2, r.top() + h * 0.5);
    tab.lineTo(cx + 2, r.bottom());
    tab.lineTo(cx, r.bottom() - 2.5);
    tab.lineTo(cx - 2, r.bottom());
    tab.closeSubpath();
    p.fillPath(tab, QColor(206, 36, 42));
}

}  // namespace

QImage splash() {
    QImage img = canvas(QSize(447, 85), QColor(kPaper));
    QPainter p(&img);
    fillRows(p, QRect(0, 0, 447, 85), QColor(255, 253, 247), QColor(250, 243, 228));
    // Leather bands top and bottom, like the cover of the book being opened.
    const QColor gilt(196, 150, 88);
    fillRows(p, QRect(0, 0, 447, 6), scaled(kCover, 1.25), kCover);
    line(p, 0, 4, 446, 4, gilt);
    fillRows(p, QRect(0, 77, 447, 8), kCover, scaled(kCover, 0.7));
    line(p, 0, 78, 446, 78, gilt);
    ring(p, img.rect(), scaled(kCover, 0.8), scaled(kCover, 0.55));
    bookEmblem(p, QRectF(10, 9, 44, 34));
    text(p, QRectF(62, 9, 60, 30), QStringLiteral("루모북"), uiFont(21, true), scaled(kCover, 0.9),
         Qt::AlignLeft | Qt::AlignVCenter);
    return img;
}

QImage bookmarkTab() {
    QImage img = canvas(QSize(15, 15), QColor(kPaper));
    QPainter p(&img);
    // Whole pixels only: at this size any smoothing just blurs the notch away.
    const QColor face(214, 38, 44), light(246, 110, 104), edge(140, 18, 26);
    for (int x = 4; x <= 10; ++x) {
        const int notch = 3 - std::abs(x - 7);
        const int bottom = 14 - std::max(notch, 0);
        const QColor c = x == 4 || x == 10 ? edge : (x == 5 ? light : face);
        line(p, x, 0, x, bottom, c);
        p.fillRect(x, bottom, 1, 1, edge);
    }
    line(p, 4, 0, 10, 0, edge);
    return img;
}

QImage scrollArrow(int dx, int dy) {
    QImage img = canvas(QSize(12, 12), QColor(kPanelGrey));
    QPainter p(&img);
    buttonFace(p, img.rect(), State::Normal, QColor(kPanelGrey));
    glyph::arrow(p, QRectF(img.rect()), dx, dy, QColor(56, 56, 60));
    return img;
}

}  // namespace skin

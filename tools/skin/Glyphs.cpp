#include "Glyphs.h"

#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <cmath>

namespace skin::glyph {
namespace {

// Glyphs are designed on a square from -0.5 to 0.5 around the box centre; the square is
// snapped to whole pixels so straight edges land crisply.
struct Unit {
    QPointF centre;
    qreal side;
    explicit Unit(const QRectF& box)
        : centre(std::round(box.center().x()), std::round(box.center().y())),
          side(std::floor(std::min(box.width(), box.height()))) {}
    QPointF at(qreal x, qreal y) const { return centre + QPointF(x * side, y * side); }
    QRectF rect(qreal x1, qreal y1, qreal x2, qreal y2) const {
        return QRectF(at(x1, y1), at(x2, y2));
    }
};

const QColor kNavLight(88, 150, 214);
const QColor kNavDark(28, 78, 146);
const QColor kNavEdge(18, 52, 104);

QBrush vertical(const QRectF& r, QColor top, QColor bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, QColor edge) {
    p.save();
    smooth(p);
    p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

QPainterPath triangle(const Unit& u, qreal tipX, qreal baseX, qreal halfHeight) {
    QPainterPath path;
    path.moveTo(u.at(baseX, -halfHeight));
    path.lineTo(u.at(tipX, 0));
    path.lineTo(u.at(baseX, halfHeight));
    path.closeSubpath();
    return path;
}

void navigation(QPainter& p, const QPainterPath& path) {
    shape(p, path, vertical(path.boundingRect(), kNavLight, kNavDark), kNavEdge);
}

}  // namespace

void folder(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath back;
    back.addRoundedRect(u.rect(-0.46, -0.30, 0.40, 0.36), 1.5, 1.5);
    back.addRoundedRect(u.rect(-0.46, -0.38, -0.08, -0.22), 1.5, 1.5);
    back = back.simplified();
    shape(p, back, QColor(214, 150, 44), QColor(140, 90, 20));
    QPainterPath sheet;
    sheet.addRect(u.rect(-0.30, -0.22, 0.30, 0.14));
    shape(p, sheet, QColor(255, 255, 252), QColor(150, 140, 120));
    for (qreal y : {-0.12, -0.02})
        line(p, qRound(u.at(-0.20, y).x()), qRound(u.at(0, y).y()), qRound(u.at(0.2, y).x()),
             qRound(u.at(0, y).y()), QColor(170, 176, 190));
    QPainterPath front;
    front.moveTo(u.at(-0.46, 0.36));
    front.lineTo(u.at(-0.32, -0.04));
    front.lineTo(u.at(0.54, -0.04));
    front.lineTo(u.at(0.40, 0.36));
    front.closeSubpath();
    shape(p, front, vertical(front.boundingRect(), QColor(252, 212, 110), QColor(230, 168, 56)),
          QColor(140, 90, 20));
}

void list(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath sheet;
    sheet.addRoundedRect(u.rect(-0.40, -0.44, 0.40, 0.44), 1.5, 1.5);
    shape(p, sheet, vertical(sheet.boundingRect(), QColor(255, 255, 255), QColor(232, 236, 242)),
          QColor(110, 120, 140));
    for (int i = 0; i < 4; ++i) {
        const int y = qRound(u.at(0, -0.27 + i * 0.18).y());
        const int left = qRound(u.at(-0.26, 0).x());
        p.fillRect(left, y - 1, 3, 3, QColor(48, 104, 176));
        line(p, left + 5, y, qRound(u.at(0.27, 0).x()), y, QColor(80, 84, 96));
    }
}

void ribbon(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath path;
    path.moveTo(u.at(-0.24, -0.46));
    path.lineTo(u.at(0.24, -0.46));
    path.lineTo(u.at(0.24, 0.46));
    path.lineTo(u.at(0, 0.24));
    path.lineTo(u.at(-0.24, 0.46));
    path.closeSubpath();
    QLinearGradient g(u.at(-0.24, 0), u.at(0.24, 0));
    g.setColorAt(0, QColor(236, 74, 70));
    g.setColorAt(0.45, QColor(210, 36, 42));
    g.setColorAt(1, QColor(164, 20, 30));
    shape(p, path, g, QColor(120, 16, 24));
    line(p, qRound(u.at(-0.12, 0).x()), qRound(u.at(0, -0.40).y()), qRound(u.at(-0.12, 0).x()),
         qRound(u.at(0, 0.22).y()), QColor(250, 150, 140));
}

void first(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath path;
    path.addRect(u.rect(-0.50, -0.32, -0.38, 0.32));
    path.addPath(triangle(u, -0.36, 0.06, 0.32));
    path.addPath(triangle(u, 0.06, 0.48, 0.32));
    navigation(p, path);
}

void previous(QPainter& p, const QRectF& box) {
    const Unit u(box);
    navigation(p, triangle(u, -0.30, 0.26, 0.36));
}

void next(QPainter& p, const QRectF& box) {
    const Unit u(box);
    navigation(p, triangle(u, 0.30, -0.26, 0.36));
}

void last(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath path;
    path.addPath(triangle(u, -0.06, -0.48, 0.32));
    path.addPath(triangle(u, 0.36, -0.06, 0.32));
    path.addRect(u.rect(0.38, -0.32, 0.50, 0.32));
    navigation(p, path);
}

void help(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath disc;
    disc.addEllipse(u.rect(-0.46, -0.46, 0.46, 0.46));
    shape(p, disc, vertical(disc.boundingRect(), QColor(104, 170, 236), QColor(26, 86, 170)),
          QColor(18, 60, 120));
    text(p, u.rect(-0.5, -0.5, 0.5, 0.5), QStringLiteral("?"), uiFont(u.side * 0.8, true),
         QColor(255, 255, 255));
}

void check(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath path;
    path.moveTo(u.at(-0.38, 0.02));
    path.lineTo(u.at(-0.10, 0.30));
    path.lineTo(u.at(0.40, -0.28));
    p.save();
    smooth(p);
    p.strokePath(
        path, QPen(QColor(34, 132, 52), u.side * 0.18, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.restore();
}

void cross(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath path;
    path.moveTo(u.at(-0.30, -0.30));
    path.lineTo(u.at(0.30, 0.30));
    path.moveTo(u.at(0.30, -0.30));
    path.lineTo(u.at(-0.30, 0.30));
    p.save();
    smooth(p);
    p.strokePath(path, QPen(QColor(196, 44, 44), u.side * 0.17, Qt::SolidLine, Qt::RoundCap));
    p.restore();
}

void boldLetter(QPainter& p, const QRectF& box) {
    text(p, box, QStringLiteral("가"), uiFont(13, true), QColor(kInk));
}

void colouredLetter(QPainter& p, const QRectF& box) {
    const QRectF letter(box.left(), box.top(), box.width(), box.height() - 5);
    text(p, letter, QStringLiteral("가"), uiFont(12, true), QColor(kInk));
    const int y = qRound(box.bottom()) - 4;
    const int x = qRound(box.center().x()) - 9;
    const QColor bands[] = {QColor(220, 40, 40), QColor(240, 180, 20), QColor(40, 150, 60),
                            QColor(40, 90, 200)};
    for (int i = 0; i < 4; ++i) p.fillRect(x + i * 5, y, i == 3 ? 4 : 5, 3, bands[i]);
}

void paintedPage(QPainter& p, const QRectF& box) {
    const Unit u(box);
    QPainterPath page;
    page.moveTo(u.at(-0.40, -0.46));
    page.lineTo(u.at(0.12, -0.46));
    page.lineTo(u.at(0.34, -0.24));
    page.lineTo(u.at(0.34, 0.46));
    page.lineTo(u.at(-0.40, 0.46));
    page.closeSubpath();
    shape(p, page, vertical(page.boundingRect(), QColor(255, 250, 226), QColor(250, 226, 170)),
          QColor(120, 100, 70));
    QPainterPath fold;
    fold.moveTo(u.at(0.12, -0.46));
    fold.lineTo(u.at(0.12, -0.24));
    fold.lineTo(u.at(0.34, -0.24));
    shape(p, fold, Qt::NoBrush, QColor(120, 100, 70));
    QPainterPath drop;
    drop.moveTo(u.at(0.40, -0.02));
    drop.cubicTo(u.at(0.48, 0.16), u.at(0.62, 0.26), u.at(0.54, 0.40));
    drop.cubicTo(u.at(0.48, 0.52), u.at(0.26, 0.50), u.at(0.26, 0.34));
    drop.cubicTo(u.at(0.26, 0.22), u.at(0.36, 0.12), u.at(0.40, -0.02));
    shape(p, drop, vertical(drop.boundingRect(), QColor(110, 180, 250), QColor(30, 100, 200)),
          QColor(20, 66, 140));
}

void arrow(QPainter& p, const QRectF& box, int dx, int dy, QColor c) {
    // Integer geometry: at 12 px an antialiased triangle turns to mush.
    const int cx = qRound(box.center().x() - 0.5), cy = qRound(box.center().y() - 0.5);
    for (int i = 0; i < 4; ++i) {
        const int along = (i - 2) * (dx + dy);  // from the base towards the tip
        const int half = 3 - i;
        if (dx != 0)
            p.fillRect(cx + along, cy - half, 1, 2 * half + 1, c);
        else
            p.fillRect(cx - half, cy + along, 2 * half + 1, 1, c);
    }
}

void grip(QPainter& p, const QRectF& box, int count) {
    const int cx = qRound(box.center().x()), top = qRound(box.top()), bottom = qRound(box.bottom());
    const int left = cx - count;
    for (int i = 0; i < count; ++i) {
        const int x = left + i * 2;
        line(p, x, top, x, bottom - 1, QColor(120, 120, 118));
        line(p, x + 1, top + 1, x + 1, bottom, QColor(255, 255, 255));
    }
}

}  // namespace skin::glyph

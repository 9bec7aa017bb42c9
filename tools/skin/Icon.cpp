#include "Pictures.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace skin {
namespace {

// The reader's mark is its own book: a leather hardcover lying open, the two leaves arching
// up from the gutter, and the red ribbon of the bookmark hanging out below.
const QColor kLeather(116, 40, 33);
const QColor kGilt(214, 172, 96);
const QColor kLeafEdge(150, 120, 90);
const QColor kLine(186, 168, 142);
const QColor kRibbonLight(236, 74, 70);
const QColor kRibbon(210, 36, 42);
const QColor kRibbonDark(150, 20, 28);

// ---- Small sizes: whole pixels, laid out column by column ----------------------------------

void px(QImage& img, int x, int y, QColor c) {
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixelColor(x, y, c);
}

QImage pixelIcon(int n) {
    QImage img = layer(QSize(n, n));
    const int top = n / 4;                             // first row of the board
    const int bottom = n - 1 - (n >= 22 ? 2 : 1);      // last row of the board
    const int g = n / 2;                               // first column right of the gutter
    const int peak = top - 2, outerTop = top - 1;      // the leaves' top edge
    const int outerBottom = bottom - 3, gutterBottom = bottom - 2;

    // The board, shaded top to bottom, with a dark rim and softened corners.
    for (int y = top; y <= bottom; ++y) {
        const QColor face = scaled(kLeather, 1.15 - 0.3 * (y - top) / std::max(1, bottom - top));
        for (int x = 0; x < n; ++x) {
            const bool rim = x == 0 || x == n - 1 || y == top || y == bottom;
            px(img, x, y, rim ? scaled(kLeather, 0.62) : face);
        }
    }
    for (int x : {0, n - 1})
        for (int y : {top, bottom}) {
            QColor c = scaled(kLeather, 0.62);
            c.setAlpha(110);
            px(img, x, y, c);
        }

    // Each column of a leaf: its top and bottom rows, from the outer edge (t = 0) to the gutter.
    struct Column {
        int top, bottom;
        double t;
    };
    auto column = [&](int x) {
        const int i = x < g ? x : n - 1 - x;  // mirrored: 1 = outer edge, g - 1 = gutter
        const double t = double(i - 1) / std::max(1, g - 2);
        const double rise = std::max(0.0, (0.25 - t) / 0.25);
        const double fall = std::pow(std::max(0.0, (t - 0.6) / 0.4), 2);
        const double dip = std::pow(std::max(0.0, (t - 0.5) / 0.5), 2);
        return Column{int(std::lround(peak + (outerTop - peak) * rise + (top - peak) * fall)),
                      int(std::lround(outerBottom + (gutterBottom - outerBottom) * dip)), t};
    };

    // Ribbon first: the leaves lie over its upper end.
    const int rx = g + (n - 2 - g) / 2 - 1;
    for (int x = rx; x < rx + 3; ++x) {
        const QColor c = x == rx ? kRibbonLight : (x == rx + 1 ? kRibbon : kRibbonDark);
        for (int y = column(x).bottom + 1; y < n - 1; ++y) px(img, x, y, c);
        if (x != rx + 1) px(img, x, n - 1, c);  // the notch
    }

    for (int x = 1; x < n - 1; ++x) {
        const Column c = column(x);
        const bool outer = x == 1 || x == n - 2;
        for (int y = c.top; y <= c.bottom; ++y) {
            // Paper darkens into the gutter; the top row and outer column draw the leaf's edge.
            QColor paper = mix(QColor(kPaper), QColor(214, 196, 166),
                               std::pow(std::max(0.0, (c.t - 0.55) / 0.45), 1.5));
            if (y == c.top || outer) paper = mix(kLeafEdge, paper, 0.35);
            px(img, x, y, paper);
        }
        if (!(x >= rx && x < rx + 3)) px(img, x, c.bottom + 1, QColor(222, 206, 178));  // page block
    }

    // Lines of text, every other row; the last one ends a paragraph.
    const int inset = n >= 22 ? 3 : 2;
    std::vector<int> rows;
    for (int y = top + 1; y <= outerBottom - 2; y += 2) rows.push_back(y);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int shorten = i + 1 == rows.size() ? std::max(1, n / 10) : 0;
        for (int x = inset; x <= g - 3 - shorten; ++x) px(img, x, rows[i], kLine);
        for (int x = g + 2; x <= n - 1 - inset - shorten; ++x) px(img, x, rows[i], kLine);
    }
    return img;
}

// ---- Larger sizes and the SVG: one outline design, snapped to each size's pixels ------------

struct Shape {
    QPainterPath path;
    QGradientStops fill;  // one stop: a flat colour; none: no fill
    QPointF from, to;     // the gradient's axis
    QColor edge;          // invalid: no outline
    qreal edgeWidth = 0;
};

std::vector<Shape> outlineDesign(int n) {
    const qreal s = n / 256.0;
    auto at = [s](qreal x, qreal y) { return QPointF(x * s, y * s); };
    auto snap = [s](qreal v) { return std::round(v * s); };
    auto solid = [](QColor c) { return QGradientStops{{0, c}}; };
    const qreal hair = std::max(1.0, 2.5 * s);
    std::vector<Shape> out;

    // Board: the rim is the outer shape, the face an inset one, so its edge stays whole pixels.
    const QRectF board(QPointF(snap(10), snap(62)), QPointF(snap(246), snap(228)));
    const qreal rim = std::max(1.0, snap(4));
    QPainterPath outer, face;
    outer.addRoundedRect(board, 14 * s, 14 * s);
    face.addRoundedRect(board.adjusted(rim, rim, -rim, -rim), 14 * s - rim, 14 * s - rim);
    out.push_back({outer, solid(scaled(kLeather, 0.55)), {}, {}, {}, 0});
    out.push_back({face,
                   {{0, scaled(kLeather, 1.25)}, {1, scaled(kLeather, 0.8)}},
                   board.topLeft(),
                   board.bottomLeft(),
                   {},
                   0});
    if (n >= 64) {
        QPainterPath fillet;
        const qreal in = snap(9) + 0.5;
        fillet.addRoundedRect(board.adjusted(in, in, -in, -in), 7 * s, 7 * s);
        out.push_back({fillet, {}, {}, {}, kGilt, std::max(1.0, snap(3))});
    }

    // Ribbon, from under the right leaf down past the board.
    const qreal rl = snap(150), rr = snap(174), rb = snap(250), notch = snap(10);
    QPainterPath ribbon;
    ribbon.moveTo(rl, snap(180));
    ribbon.lineTo(rr, snap(180));
    ribbon.lineTo(rr, rb);
    ribbon.lineTo((rl + rr) / 2, rb - notch);
    ribbon.lineTo(rl, rb);
    ribbon.closeSubpath();
    out.push_back({ribbon,
                   {{0, kRibbonLight}, {0.45, kRibbon}, {1, kRibbonDark}},
                   {rl, 0},
                   {rr, 0},
                   scaled(kRibbonDark, 0.8),
                   hair * 0.8});

    // Two leaves, mirrored at the gutter, each over the edges of the pages beneath it.
    for (int side : {-1, 1}) {
        auto leaf = [&](qreal dx, qreal dy) {
            // dx moves the leaf outwards, away from the gutter.
            auto p = [&](qreal x, qreal y) { return at(128 + side * (x - dx - 128), y + dy); };
            QPainterPath path;
            path.moveTo(p(128, 60));
            path.cubicTo(p(104, 44), p(64, 36), p(24, 44));
            path.lineTo(p(24, 204));
            path.cubicTo(p(64, 196), p(104, 200), p(128, 214));
            path.closeSubpath();
            return path;
        };
        const QPointF outerEdge = at(128 + side * -104, 0), gutter = at(128, 0);
        // The page block shows as one or two edges below each leaf, at least a pixel apart.
        const qreal step = std::max(1.0, std::round(4 * s)) / s;
        if (n >= 48)
            out.push_back({leaf(0.75 * step, 2 * step), solid(QColor(222, 206, 178)), {}, {},
                           kLeafEdge, hair});
        out.push_back({leaf(0.375 * step, step),
                       solid(n >= 48 ? QColor(240, 230, 210) : QColor(222, 206, 178)), {}, {},
                       kLeafEdge, hair});
        out.push_back({leaf(0, 0),
                       {{0, QColor(kPaper)}, {0.72, QColor(250, 241, 222)}, {1, QColor(214, 196, 166)}},
                       outerEdge,
                       gutter,
                       kLeafEdge,
                       hair});

        // Lines of text on whole pixel rows; fewer and thicker as the icon shrinks.
        const int count = n < 48 ? 3 : (n < 64 ? 4 : (n < 128 ? 5 : 7));
        const qreal first = snap(78), last = snap(180), thick = std::max(1.0, snap(5));
        for (int i = 0; i < count; ++i) {
            const qreal y = std::round(first + (last - first) * i / (count - 1));
            const qreal shorten = i == count - 1 ? 30 : 0;
            const qreal a = snap(128 - side * 18), b = snap(128 - side * (86 - shorten));
            QPainterPath row;
            row.addRect(QRectF(QPointF(std::min(a, b), y), QPointF(std::max(a, b), y + thick)));
            out.push_back({row, solid(kLine), {}, {}, {}, 0});
        }
    }
    // The ribbon hangs below the board: lift the whole, by whole pixels, to sit mid-square.
    const qreal lift = snap(10);
    for (Shape& sh : out) {
        sh.path.translate(0, -lift);
        sh.from.ry() -= lift;
        sh.to.ry() -= lift;
    }
    return out;
}

QBrush brushOf(const Shape& sh) {
    if (sh.fill.isEmpty()) return Qt::NoBrush;
    if (sh.fill.size() == 1) return sh.fill.front().second;
    QLinearGradient g(sh.from, sh.to);
    g.setStops(sh.fill);
    return g;
}

QImage outlineIcon(int n) {
    QImage img = layer(QSize(n, n));
    QPainter p(&img);
    smooth(p);
    for (const Shape& sh : outlineDesign(n)) {
        p.setPen(sh.edge.isValid() ? QPen(sh.edge, sh.edgeWidth, Qt::SolidLine, Qt::RoundCap,
                                          Qt::RoundJoin)
                                   : QPen(Qt::NoPen));
        p.setBrush(brushOf(sh));
        p.drawPath(sh.path);
    }
    return img;
}

QString number(qreal v) {
    QString s = QString::number(v, 'f', 2);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString svgPath(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString xy = number(e.x) + QLatin1Char(' ') + number(e.y);
        if (e.isMoveTo()) {
            if (!d.isEmpty()) d += QStringLiteral("Z ");
            d += QStringLiteral("M ") + xy + QLatin1Char(' ');
        } else if (e.isLineTo()) {
            d += QStringLiteral("L ") + xy + QLatin1Char(' ');
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += QStringLiteral("C ") + xy + QLatin1Char(' ') + number(c2.x) + QLatin1Char(' ') +
                 number(c2.y) + QLatin1Char(' ') + number(end.x) + QLatin1Char(' ') +
                 number(end.y) + QLatin1Char(' ');
            i += 2;
        }
    }
    return d + QLatin1Char('Z');
}

}  // namespace

QImage appIcon(int size) {
    return size < 32 ? pixelIcon(size) : outlineIcon(size);
}

QByteArray appIconSvg() {
    const std::vector<Shape> shapes = outlineDesign(256);
    QString defs, body;
    int gradients = 0;
    for (const Shape& sh : shapes) {
        QString fill = QStringLiteral("none");
        if (sh.fill.size() == 1) {
            fill = sh.fill.front().second.name();
        } else if (!sh.fill.isEmpty()) {
            const QString id = QStringLiteral("g%1").arg(++gradients);
            defs += QStringLiteral("    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                   "x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\">\n")
                        .arg(id, number(sh.from.x()), number(sh.from.y()), number(sh.to.x()),
                             number(sh.to.y()));
            for (const QGradientStop& st : sh.fill)
                defs += QStringLiteral("      <stop offset=\"%1\" stop-color=\"%2\"/>\n")
                            .arg(number(st.first), st.second.name());
            defs += QStringLiteral("    </linearGradient>\n");
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        QString stroke;
        if (sh.edge.isValid())
            stroke = QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                         .arg(sh.edge.name(), number(sh.edgeWidth));
        body += QStringLiteral("  <path fill=\"%1\"%2 d=\"%3\"/>\n").arg(fill, stroke, svgPath(sh.path));
    }
    const QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                       "viewBox=\"0 0 256 256\">\n  <defs>\n") +
        defs + QStringLiteral("  </defs>\n") + body + QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

}  // namespace skin

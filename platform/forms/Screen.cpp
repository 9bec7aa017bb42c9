#include "forms/Screen.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

namespace forms::Screen {

namespace {
// Without a screen (no display at all) the classic 96 dpi stands in.
constexpr double kDefaultTwipsPerPixel = 15.0;

QScreen* primary() {
    return QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
}
}  // namespace

double TwipsPerPixelX() {
    QScreen* s = primary();
    return s && s->logicalDotsPerInchX() > 0 ? 1440.0 / s->logicalDotsPerInchX()
                                             : kDefaultTwipsPerPixel;
}

double TwipsPerPixelY() {
    QScreen* s = primary();
    return s && s->logicalDotsPerInchY() > 0 ? 1440.0 / s->logicalDotsPerInchY()
                                             : kDefaultTwipsPerPixel;
}

double Width() {
    QScreen* s = primary();
    return s ? s->geometry().width() * TwipsPerPixelX() : 0.0;
}

double Height() {
    QScreen* s = primary();
    return s ? s->geometry().height() * TwipsPerPixelY() : 0.0;
}

QList<QRectF> AvailableAreas() {
    QList<QRectF> areas;
    QScreen* first = primary();
    if (!first) return areas;
    const double tx = TwipsPerPixelX(), ty = TwipsPerPixelY();
    auto twips = [&](const QRect& r) {
        return QRectF(r.x() * tx, r.y() * ty, r.width() * tx, r.height() * ty);
    };
    areas << twips(first->availableGeometry());
    for (QScreen* s : QGuiApplication::screens())
        if (s != first) areas << twips(s->availableGeometry());
    return areas;
}

QStringList Fonts() {
    return QFontDatabase::families();
}

}  // namespace forms::Screen

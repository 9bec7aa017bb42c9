#include "Pictures.h"

#include <algorithm>
#include <cmath>

namespace skin {
namespace {

// A whole open book is rendered once at a made-up size and every piece is cut out of it at
// the place the reader will put it back. Strips are constant along their length, so any cut
// tiles, and corners and spine meet the strips because they were never apart.
constexpr int kW = 800;
constexpr int kH = 500;
constexpr int kMid = 400;  // x of the gutter column
constexpr int kEdge = 20;  // cover showing around the pages
constexpr double kRadius = 5.0;
constexpr double kSpineHalf = 11.5;  // pixel centres from mid-12 to mid+11
const QColor kLeather(116, 40, 33);
const QColor kGilt(214, 172, 96);

double bump(double x, double centre, double width) {
    const double t = (x - centre) / width;
    return std::exp(-t * t);
}

// Position across the spine, -1..1, or nothing outside it.
double spineWindow(double px, double* s) {
    *s = (px - (kMid + 0.5)) / kSpineHalf;
    if (std::abs(*s) >= 1) return 0;
    const double w = 1 - *s * *s;
    return w * w;
}

// Signed distance to the cover's outline, negative inside. Row 0 is left free: the corners
// go one row lower than the top strip, so the board itself starts on row 1. Head and tail
// dip where the boards bend into the spine.
double outline(double px, double py) {
    double s = 0;
    const double dip = 2.2 * spineWindow(px, &s);
    const double top = 1, bottom = kH;
    const double qx = std::abs(px - kW / 2.0) - (kW / 2.0 - kRadius);
    const double qy = std::abs(py - (top + bottom) / 2) - ((bottom - top) / 2 - kRadius);
    const double box = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) +
                       std::min(std::max(qx, qy), 0.0) - kRadius;
    return std::max({box, top + dip - py, py - (bottom - dip)});
}

// How much the surface faces the light (upper left), from the outline's gradient.
double facing(double px, double py) {
    const double h = 0.5;
    const double nx = outline(px + h, py) - outline(px - h, py);
    const double ny = outline(px, py + h) - outline(px, py - h);
    const double len = std::hypot(nx, ny);
    if (len < 1e-9) return 0;
    return (nx * -0.55 + ny * -0.835) / len;
}

double pageDistance(double px, double py) {
    const double dx = std::max({kEdge - px, px - (kW - kEdge), 0.0});
    const double dy = std::max({kEdge - py, py - (kH - kEdge), 0.0});
    return std::max(dx, dy);  // square shadow for a square page block
}

double spineShade(double px, double py) {
    if (py > kEdge && py < kH - kEdge) return 1;
    double s = 0;
    const double w = spineWindow(px, &s);
    if (w == 0) return 1;
    const double crease = 0.55 * bump(s, 0, 0.14);
    const double ridges = 0.24 * bump(std::abs(s), 0.5, 0.22);
    return 1 + w * (ridges - crease);
}

// The colour at the centre (px, py) of a device pixel that is 1/k logical pixels wide; the
// outline is smoothed over one device pixel.
QRgb coverPixel(double px, double py, int k) {
    const double d = outline(px, py);
    const double coverage = std::clamp(0.5 - d * k, 0.0, 1.0);
    if (coverage == 0) return kBookBackground;
    const double depth = -d;
    double f = 1.0;
    f *= 1 + 0.5 * facing(px, py) * std::max(0.0, 1 - depth / 3.5);  // rounded board edge
    f *= 0.5 + 0.5 * std::clamp(depth + 0.5, 0.0, 1.0);              // dark rim
    f *= 1 - 0.62 * std::exp(-pageDistance(px, py) / 2.6);           // shade under pages
    f *= spineShade(px, py);
    // A gilt fillet runs round each board and stops where the board bends into the spine.
    double s = 0;
    const double gilt = 0.42 * bump(depth, 6.0, 0.6) * (1 - spineWindow(px, &s));
    const QColor surface = mix(scaled(kLeather, f), scaled(kGilt, f), gilt);
    return mix(QColor(kBookBackground), surface, coverage).rgb();
}

QImage drawBook(int k) {
    QImage out(kW * k, (kH + 2) * k, QImage::Format_RGB32);  // +2: the bottom corners overhang
    out.setDevicePixelRatio(k);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const double py = (y + 0.5) / k;
        for (int x = 0; x < kW * k; ++x) {
            const double px = (x + 0.5) / k;
            const bool page = px >= kEdge && px < kW - kEdge && py >= kEdge && py < kH - kEdge;
            row[x] = page ? kPaper : coverPixel(px, py, k);
        }
    }
    return out;
}

const QImage& book() {
    static const QImage once = drawBook(1);
    static const QImage twice = drawBook(2);
    return scale() == 2 ? twice : once;
}

QRect cut(Cover piece) {
    const int r = kW - kEdge, b = kH - kEdge;
    switch (piece) {
        case Cover::Left:
            return {0, 200, kEdge, 32};
        case Cover::Right:
            return {r, 200, kEdge, 32};
        case Cover::Top:
            return {100, 0, 32, kEdge};
        case Cover::Bottom:
            return {100, b, 32, kEdge};
        case Cover::TopLeft:
            return {0, 1, kEdge, kEdge};
        case Cover::TopRight:
            return {r, 1, kEdge, kEdge};
        case Cover::BottomLeft:
            return {0, b, kEdge, kEdge + 2};
        case Cover::BottomRight:
            return {r, b, kEdge, kEdge + 2};
        case Cover::SpineTopLeft:
            return {kMid - 12, 0, 12, kEdge};
        case Cover::SpineTopRight:
            return {kMid, 0, 12, kEdge};
        case Cover::SpineBottomLeft:
            return {kMid - 12, b, 12, kEdge};
        case Cover::SpineBottomRight:
            return {kMid, b, 12, kEdge};
    }
    return {};
}

}  // namespace

QImage coverPiece(Cover piece) {
    const QRect r = cut(piece);
    const int k = scale();
    return book().copy(QRect(r.topLeft() * k, r.size() * k));
}

}  // namespace skin

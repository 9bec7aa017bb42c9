#include "BuiltinPictures.h"

#include "graphics/Raster.h"

namespace Qm_ImgScrollBar {

namespace {

constexpr QRgb kOuterLight = qRgb(223, 223, 223);
constexpr QRgb kInnerLight = qRgb(255, 255, 255);
constexpr QRgb kFace = qRgb(192, 192, 192);
constexpr QRgb kInnerShadow = qRgb(128, 128, 128);
constexpr QRgb kOuterShadow = qRgb(0, 0, 0);
constexpr QRgb kGlyph = qRgb(0, 0, 0);

void hline(QImage& img, int x1, int x2, int y, QRgb c) {
    gdi::raster::line(img, QPoint(x1, y), QPoint(x2, y), c, true);
}
void vline(QImage& img, int x, int y1, int y2, QRgb c) {
    gdi::raster::line(img, QPoint(x, y1), QPoint(x, y2), c, true);
}

// Light edges top and left, shadows bottom and right; the shadows win the corners they share.
QImage raisedFace(int w, int h) {
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(kFace);
    hline(img, 0, w - 2, 0, kOuterLight);
    vline(img, 0, 0, h - 2, kOuterLight);
    hline(img, 1, w - 3, 1, kInnerLight);
    vline(img, 1, 1, h - 3, kInnerLight);
    hline(img, 1, w - 2, h - 2, kInnerShadow);
    vline(img, w - 2, 1, h - 2, kInnerShadow);
    hline(img, 0, w - 1, h - 1, kOuterShadow);
    vline(img, w - 1, 0, h - 1, kOuterShadow);
    return img;
}

// A triangle 7 pixels across its base and 4 deep; the base is the row (or column) at baseAt,
// the apex lies towards step.
void glyph(QImage& img, bool acrossRows, int baseFrom, int baseAt, int step) {
    for (int i = 0; i < 4; ++i) {
        const int from = baseFrom + i, to = baseFrom + 6 - i, at = baseAt + i * step;
        if (acrossRows)
            hline(img, from, to, at, kGlyph);
        else
            vline(img, at, from, to, kGlyph);
    }
}

}  // namespace

QImage drawBuiltin(Builtin which) {
    switch (which) {
        case Builtin::UpArrow: {
            QImage img = raisedFace(21, 16);
            glyph(img, true, 6, 9, -1);  // base on row 9, apex on row 6
            return img;
        }
        case Builtin::DownArrow: {
            QImage img = raisedFace(21, 16);
            glyph(img, true, 6, 6, +1);
            return img;
        }
        case Builtin::LeftArrow: {
            QImage img = raisedFace(16, 21);
            glyph(img, false, 6, 8, -1);  // base on column 8, apex on column 5
            return img;
        }
        case Builtin::RightArrow: {
            QImage img = raisedFace(16, 21);
            glyph(img, false, 6, 6, +1);
            return img;
        }
        case Builtin::Tick:
            break;
    }
    return raisedFace(21, 21);
}

}  // namespace Qm_ImgScrollBar

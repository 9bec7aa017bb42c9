#pragma once
// Pixel-exact primitives shared by the DC calls and the form controls. Everything here clips to
// the image and never reads or writes outside it.
//
// A surface may hold more device pixels than logical ones (a scaled screen): its
// devicePixelRatio says how many. Coordinates given here are always logical; a logical edge v
// lies on device edge round(v * ratio), so blocks that meet in logical pixels meet in device
// pixels too. At ratio 1 every call is the plain pixel copy it always was.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

namespace gdi::raster {

// The device edge of logical edge v at ratio r.
int toDevice(int v, qreal r);
QRect toDevice(const QRect& logical, qreal r);
// The logical size and rectangle an image covers.
QSize logicalSize(const QImage& img);
inline QRect logicalRect(const QImage& img) {
    return QRect(QPoint(0, 0), logicalSize(img));
}
// A surface of the given logical size at ratio r (null when the size is not positive or the
// memory is not there); its pixels are not set.
QImage surface(QSize logical, qreal r, QImage::Format format = QImage::Format_RGB32);

// A one-pixel Bresenham line from a to b; b itself is drawn only when includeEnd is set.
void line(QImage& img, QPoint a, QPoint b, QRgb color, bool includeEnd);
// Copies block onto img with its top-left at at, pixel for pixel, clipped to img.
void put(QImage& img, QPoint at, const QImage& block);
// Copies the part rectangle of src to at on img, clipped to both; src must not be img. A src
// of another ratio is scaled smoothly to img's.
void putPart(QImage& img, QPoint at, const QImage& src, const QRect& part);

// Many putPart copies from one src, none overlapping another on img; the same pixels as one by
// one, for the cost of their pixels however narrow they are (the columns of a turning page).
struct Part {
    QPoint at;
    QRect part;
};
void putParts(QImage& img, const QImage& src, const std::vector<Part>& parts);

// Many copies in device pixels from one src: each `area` of img from the rectangle of its size
// at `source` on src, clipped to both; none overlapping another on img. Row by row across them,
// as putParts.
struct DevicePart {
    QRect area;
    QPoint source;
};
void putDeviceParts(QImage& img, const QImage& src, const std::vector<DevicePart>& parts);

// Copies block's device pixels onto img's at deviceAt, whatever either's ratio; clipped to img.
void putDevice(QImage& img, QPoint deviceAt, const QImage& block);

}  // namespace gdi::raster

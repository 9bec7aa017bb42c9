#pragma once
// Pixel-exact primitives shared by the DC calls and the form controls. Everything here clips to
// the image and never reads or writes outside it.

#include <QImage>
#include <QPoint>

namespace gdi::raster {

// A one-pixel Bresenham line from a to b; b itself is drawn only when includeEnd is set.
void line(QImage& img, QPoint a, QPoint b, QRgb color, bool includeEnd);
// Copies block onto img with its top-left at at, pixel for pixel, clipped to img.
void put(QImage& img, QPoint at, const QImage& block);
// Copies the part rectangle of src to at on img, clipped to both; src must not be img.
void putPart(QImage& img, QPoint at, const QImage& src, const QRect& part);

}  // namespace gdi::raster

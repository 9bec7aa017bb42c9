#pragma once
// Screen metrics and fonts as the classic Screen object gives them.

#include <QList>
#include <QRectF>
#include <QStringList>

namespace forms::Screen {

// Twips per pixel: 1440 / logical dots per inch (15 at 96 dpi).
double TwipsPerPixelX();
double TwipsPerPixelY();
// The primary screen's full size in twips.
double Width();
double Height();
// The area each screen leaves to windows (its size less desktop panels), in twips; the primary
// screen comes first. Empty without a display.
QList<QRectF> AvailableAreas();
// The font families the screen offers, in the platform's order.
QStringList Fonts();

}  // namespace forms::Screen

#pragma once

#include <QPainter>
#include <QRectF>

// Icons drawn into a box; each keeps its own colours so a button only chooses where it goes.
namespace skin::glyph {

using Glyph = void (*)(QPainter&, const QRectF&);

void folder(QPainter& p, const QRectF& box);
void list(QPainter& p, const QRectF& box);
void ribbon(QPainter& p, const QRectF& box);
void first(QPainter& p, const QRectF& box);
void previous(QPainter& p, const QRectF& box);
void next(QPainter& p, const QRectF& box);
void last(QPainter& p, const QRectF& box);
void help(QPainter& p, const QRectF& box);
void check(QPainter& p, const QRectF& box);
void cross(QPainter& p, const QRectF& box);
void boldLetter(QPainter& p, const QRectF& box);
void colouredLetter(QPainter& p, const QRectF& box);
void paintedPage(QPainter& p, const QRectF& box);

// Solid arrow for scroll buttons; dx/dy give the direction it points (one of them zero).
void arrow(QPainter& p, const QRectF& box, int dx, int dy, QColor c);
// Ridged grip of a thumb, `count` short vertical lines centred in the box.
void grip(QPainter& p, const QRectF& box, int count);

}  // namespace skin::glyph

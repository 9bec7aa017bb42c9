#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QString>

// Small drawing vocabulary shared by every picture family of the generator.
namespace skin {

// Base grey of the tool bar and of the dialogs' own widgets; pictures that sit next to
// native controls must use exactly this so the seams vanish.
inline constexpr QRgb kPanelGrey = qRgb(239, 239, 239);
inline constexpr QRgb kInk = qRgb(44, 44, 48);
// What the reader paints around the book, just below the tool bar.
inline constexpr QRgb kBookBackground = qRgb(232, 227, 231);
inline constexpr QRgb kPaper = qRgb(255, 249, 237);

enum class State { Normal, Down, Grey };

// Every picture is drawn in logical pixels onto surfaces of scale() device pixels per logical
// pixel: 1 for ordinary screens, 2 for the set scaled screens are served from.
int scale();
void setScale(int k);
// The logical size of a surface.
QSize logicalSize(const QImage& img);

// Opaque drawing surface; converted to 24 bits only when written.
QImage canvas(QSize size, QColor fill);
// Transparent surface for content that is shifted or faded before it lands on a face.
QImage layer(QSize size);
QPainter& smooth(QPainter& p);

QColor mix(QColor a, QColor b, qreal t);
QColor scaled(QColor c, qreal factor);

// Gradients are laid one line at a time so the result is identical everywhere.
void fillRows(QPainter& p, const QRect& r, QColor top, QColor bottom);
void line(QPainter& p, int x1, int y1, int x2, int y2, QColor c);
// One-pixel bevel ring: light on top/left and dark on bottom/right (swap them for a sunken ring).
void ring(QPainter& p, const QRect& r, QColor topLeft, QColor bottomRight);
// Rounded one-pixel outline whose corner pixels are softened towards what lies behind.
void roundedBorder(QPainter& p, const QRect& r, QColor edge, QColor behind);

// Raised (or pressed) button face filling the whole rectangle, corners softened into `behind`.
void buttonFace(QPainter& p, const QRect& r, State state, QColor behind);
// Recessed groove, as for a track or a display window.
void groove(QPainter& p, const QRect& r, QColor top, QColor bottom);

QFont uiFont(qreal pixelSize, bool bold);
// Text goes through its outlines so that only the font, not the host's rendering settings,
// decides the pixels.
void text(QPainter& p, const QRectF& box, const QString& s, const QFont& f, QColor c,
          Qt::Alignment align = Qt::AlignCenter);

// Disabled look: colour drained and pulled towards `toward`.
QImage faded(const QImage& img, QColor toward, qreal amount);
void stamp(QImage& dest, const QImage& src, QPoint at);

}  // namespace skin

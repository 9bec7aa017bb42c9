#include "Pictures.h"

#include <functional>

namespace skin {
namespace {

// Face first, then the content on its own layer, so that pressing can shift it and
// disabling can drain it without touching the face geometry.
QImage compose(QSize size, int faceHeight, State state, QColor below,
               const std::function<void(QPainter&)>& content) {
    QImage img = canvas(size, below);
    {
        QPainter p(&img);
        buttonFace(p, QRect(0, 0, size.width(), faceHeight), state, QColor(kPanelGrey));
    }
    if (state == State::Grey) img = faded(img, QColor(kPanelGrey), 0.45);

    QImage top = layer(size);
    {
        QPainter p(&top);
        content(p);
    }
    if (state == State::Grey) top = faded(top, QColor(kPanelGrey), 0.5);
    stamp(img, top, state == State::Down ? QPoint(1, 1) : QPoint(0, 0));
    return img;
}

}  // namespace

QImage toolButton(QSize size, State state, glyph::Glyph glyph, const QString& label) {
    // The help button is a row taller than the bar; that row lies on the book background.
    const int face = std::min(size.height(), 42);
    return compose(size, face, state, QColor(kBookBackground), [&](QPainter& p) {
        glyph(p, QRectF(2, 4, size.width() - 4, 21));
        text(p, QRectF(0, 27, size.width(), 10), label, uiFont(11, false), QColor(kInk));
    });
}

QImage smallButton(QSize size, State state, glyph::Glyph glyph) {
    return compose(size, size.height(), state, QColor(kPanelGrey), [&](QPainter& p) {
        glyph(p, QRectF(3, 2, size.width() - 6, size.height() - 4));
    });
}

QImage pushButton(QSize size, State state, glyph::Glyph glyph, const QString& label) {
    return compose(size, size.height(), state, QColor(kPanelGrey), [&](QPainter& p) {
        const int h = size.height();
        glyph(p, QRectF(9, (h - 16) / 2, 16, 16));
        text(p, QRectF(29, 0, size.width() - 33, h), label, uiFont(12, false), QColor(kInk),
             Qt::AlignLeft | Qt::AlignVCenter);
    });
}

}  // namespace skin

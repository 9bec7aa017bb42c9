#pragma once

#include "Glyphs.h"
#include "Paint.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace skin {

struct Picture {
    QString name;  // file name without the .bmp
    QSize size;
    std::function<QImage()> draw;
};

// Everything the reader loads from its skin folder, and the pictures compiled into it.
std::vector<Picture> skinPictures();
std::vector<Picture> designPictures();

// Buttons.
QImage toolButton(QSize size, State state, glyph::Glyph glyph, const QString& label);
QImage smallButton(QSize size, State state, glyph::Glyph glyph);
QImage pushButton(QSize size, State state, glyph::Glyph glyph, const QString& label);

// Tool bar and panels.
QImage toolBar();
QImage toolBarTail();
QImage listPanel();
QImage findBar();
QImage chapterPanel();
QImage recentPanel();
QImage track(QSize size);
QImage thumb(QSize size);

// Book cover pieces, cut from one reference rendering so that they always join.
enum class Cover {
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
    SpineTopLeft,
    SpineTopRight,
    SpineBottomLeft,
    SpineBottomRight,
};
QImage coverPiece(Cover piece);

// Pictures compiled into the reader.
QImage splash();
QImage bookmarkTab();
QImage scrollArrow(int dx, int dy);

// The application's icon at each size of the desktop's icon theme, each size drawn for its own
// pixels, and the same design as SVG text for the theme's scalable folder.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QImage appIcon(int size);
QByteArray appIconSvg();

}  // namespace skin

#include "Pictures.h"

namespace skin {
namespace {

constexpr int kBarHeight = 42;

// One column of the bar. The band the check box and its neighbours sit on must stay exactly
// the panel grey, so the shading lives only in the first and the last rows.
QColor barRow(int y) {
    switch (y) {
        case 0:
            return QColor(252, 252, 252);
        case 38:
            return QColor(235, 235, 235);
        case 39:
            return QColor(230, 230, 230);
        case 40:
            return QColor(220, 220, 220);
        case 41:
            return QColor(172, 172, 172);
        default:
            return QColor(kPanelGrey);
    }
}

void barBase(QPainter& p, int width) {
    for (int y = 0; y < kBarHeight; ++y) p.fillRect(0, y, width, 1, barRow(y));
}

void separator(QPainter& p, int x) {
    line(p, x, 5, x, 36, QColor(196, 196, 196));
    line(p, x + 1, 5, x + 1, 36, QColor(255, 255, 255));
}

// A sunken window: the page counter and the banner show through these.
void window(QPainter& p, const QRect& r, QColor fill) {
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
    ring(p, r, QColor(168, 168, 168), QColor(255, 255, 255));
    line(p, r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1, scaled(fill, 0.95));
}

// Thin frames the colour swatches are painted into, so an empty swatch still reads as one.
void swatchFrames(QPainter& p) {
    // Edges as filled lines, so a doubled picture gets doubled edges.
    for (const QRect& r : {QRect(315, 27, 34, 12), QRect(348, 27, 34, 12)})
        ring(p, r, QColor(150, 150, 150), QColor(150, 150, 150));
}

}  // namespace

QImage toolBar() {
    QImage img = canvas(QSize(1024, kBarHeight), QColor(kPanelGrey));
    QPainter p(&img);
    barBase(p, logicalSize(img).width());
    separator(p, 136);  // file buttons | text settings
    separator(p, 382);  // colour buttons | page settings
    separator(p, 811);  // page bar | banner
    swatchFrames(p);
    window(p, QRect(670, 11, 139, 15), QColor(250, 250, 247));
    window(p, QRect(816, 0, 160, 37), QColor(246, 246, 244));
    return img;
}

// The two-pixel raised edge of a panel.
static void raisedEdge(QPainter& p, const QRect& r) {
    ring(p, r, QColor(255, 255, 255), QColor(112, 112, 112));
    ring(p, r.adjusted(1, 1, -1, -1), QColor(246, 246, 246), QColor(190, 190, 190));
}

// A white box sunk into the panel, its edge just outside it.
static void sunkenWhite(QPainter& p, const QRect& box) {
    p.fillRect(box, Qt::white);
    ring(p, box.adjusted(-1, -1, 1, 1), QColor(150, 150, 150), QColor(255, 255, 255));
}

QImage toolBarTail() {
    QImage img = canvas(QSize(8, kBarHeight), QColor(kPanelGrey));
    QPainter p(&img);
    barBase(p, logicalSize(img).width());
    return img;
}

QImage listPanel() {
    QImage img = canvas(QSize(300, 230), QColor(kPanelGrey));
    QPainter p(&img);
    raisedEdge(p, img.rect());
    const QRect list(3, 3, 293, 190);
    sunkenWhite(p, list);
    fillRows(p, QRect(2, 194, 296, 34), QColor(kPanelGrey), QColor(230, 230, 230));
    return img;
}

// The find bar: a sunken white field for the typed text on the panel grey, the count beside
// it, and room for three push buttons at the right.
QImage findBar() {
    QImage img = canvas(QSize(524, 44), QColor(kPanelGrey));
    QPainter p(&img);
    fillRows(p, img.rect().adjusted(2, 2, -2, -2), QColor(246, 246, 246), QColor(230, 230, 230));
    raisedEdge(p, img.rect());
    const QRect field(8, 10, 156, 24);
    sunkenWhite(p, field);
    return img;
}

// The chapter list: the archive list's box, taller, under a caption.
QImage chapterPanel() {
    QImage img = canvas(QSize(300, 330), QColor(kPanelGrey));
    QPainter p(&img);
    raisedEdge(p, img.rect());
    fillRows(p, QRect(2, 2, 296, 24), QColor(246, 246, 246), QColor(232, 232, 232));
    text(p, QRectF(10, 2, 200, 24), QStringLiteral("목차"), uiFont(13, true), QColor(kInk),
         Qt::AlignLeft | Qt::AlignVCenter);
    const QRect list(3, 27, 293, 262);
    sunkenWhite(p, list);
    fillRows(p, QRect(2, 290, 296, 38), QColor(kPanelGrey), QColor(230, 230, 230));
    return img;
}

// The books read last: the chapter list's box, wider for the columns of each book.
QImage recentPanel() {
    QImage img = canvas(QSize(440, 330), QColor(kPanelGrey));
    QPainter p(&img);
    raisedEdge(p, img.rect());
    fillRows(p, QRect(2, 2, 436, 24), QColor(246, 246, 246), QColor(232, 232, 232));
    text(p, QRectF(10, 2, 300, 24), QStringLiteral("최근 읽은 책"), uiFont(13, true), QColor(kInk),
         Qt::AlignLeft | Qt::AlignVCenter);
    const QRect list(3, 27, 433, 262);
    sunkenWhite(p, list);
    fillRows(p, QRect(2, 290, 436, 38), QColor(kPanelGrey), QColor(230, 230, 230));
    return img;
}

QImage track(QSize size) {
    QImage img = canvas(size, QColor(kPanelGrey));
    QPainter p(&img);
    const int h = 7;
    groove(p, QRect(0, (size.height() - h) / 2, size.width(), h), QColor(188, 188, 186),
           QColor(224, 224, 222));
    return img;
}

QImage thumb(QSize size) {
    QImage img = canvas(size, QColor(kPanelGrey));
    QPainter p(&img);
    buttonFace(p, img.rect(), State::Normal, QColor(kPanelGrey));
    glyph::grip(p, QRectF(0, 3, size.width(), size.height() - 7), 3);
    return img;
}

}  // namespace skin

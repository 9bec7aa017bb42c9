// The book frame around the spread: skin pieces, the gutter and the page-edge lines.

#include <QPainter>

#include "forms/PictureBox.h"
#include "graphics/Raster.h"
#include "window/BookFrame.h"
#include "window/Frm_TxtViewer.h"

using gdi::RGB;

namespace {

constexpr gdi::COLORREF kGutter = RGB(162, 165, 165);
constexpr gdi::COLORREF kPageEdge = RGB(255, 255, 216);

using BookFramePieces = std::array<QImage, bookframe::kPieceCount>;

// Draws lines with a pen of colour through dc; each line excludes its end point.
void paintLines(gdi::HDC dc, const std::vector<QLine>& lines, gdi::COLORREF colour) {
    if (lines.empty()) return;
    gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 1, colour);
    gdi::HPEN old = gdi::SelectObject(dc, pen);
    for (const QLine& l : lines) {
        gdi::MoveToEx(dc, l.x1(), l.y1(), nullptr);
        gdi::LineTo(dc, l.x2(), l.y2());
    }
    gdi::SelectObject(dc, old);
    gdi::DeleteObject(pen);
}

// The same pixels as the pen above for the lines of the frame, which all run up or down.
void paintLines(QPainter& p, const std::vector<QLine>& lines, gdi::COLORREF colour) {
    const QColor c = gdi::toQColor(colour);
    for (const QLine& l : lines) {
        const int y1 = l.y1(), y2 = l.y2();
        p.fillRect(y2 > y1 ? QRect(l.x1(), y1, 1, y2 - y1) : QRect(l.x1(), y2 + 1, 1, y1 - y2), c);
    }
}

// The pieces as block copies, in order, then the page-edge lines; pieces outside area are
// skipped.
void paintFrame(QPainter& p, const QRect& area, const BookFramePieces& pieces,
                const std::vector<bookframe::Copy>& copies, const std::vector<QLine>& edges) {
    p.save();
    // A piece drawn for another resolution is scaled smoothly, as a picture box shows it.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const bookframe::Copy& c : copies) {
        const QImage& piece = pieces[c.piece];
        if (QRect(c.at, gdi::raster::logicalSize(piece)).intersects(area))
            p.drawImage(c.at, piece);
    }
    p.restore();
    paintLines(p, edges, kPageEdge);
}

}  // namespace

QImage Frm_TxtViewer::skinPicture(const QString& name) {
    if (m_flags.pictureRatio == 0) m_flags.pictureRatio = devicePixelRatioF();
    auto it = m_skin.find(name);
    if (it == m_skin.end())
        it = m_skin.insert(name,
                           gdi::LoadImageFor(m_places.skin + "/" + name, m_flags.pictureRatio));
    return it.value();
}

QImage Frm_TxtViewer::designPicture(const QString& name) {
    if (m_flags.pictureRatio == 0) m_flags.pictureRatio = devicePixelRatioF();
    return gdi::LoadImageFor(QStringLiteral(":/design/") + name, m_flags.pictureRatio);
}

// Shows the book frame for the current sizes and page numbers. It follows from them alone, so
// the area and the paper draw it whenever they are painted and keep no surface for it.
void Frm_TxtViewer::PaintBookFrame() {
    const int pw = PicRead[0]->width();
    const int gutter = PicRead[0]->x() + pw;
    const std::vector<QLine> gutterLine{QLine(gutter, 0, gutter, PicReadIn->height())};
    PicReadIn->setDrawing([gutterLine](QPainter& p, const QRect&) {
        paintLines(p, gutterLine, kGutter);
    });

    bookframe::Geometry g;
    g.areaWidth = Pic_TxtOut->width();
    g.readInLeft = PicReadIn->x();
    g.readInWidth = PicReadIn->width();
    g.pageWidth = pw;
    g.pageHeight = PicRead[0]->height();
    BookFramePieces pieces;
    std::array<QSize, bookframe::kPieceCount> sizes;
    for (int i = 0; i < bookframe::kPieceCount; ++i) {
        pieces[i] = skinPicture(QString::fromLatin1(bookframe::kPieceFiles[i]));
        sizes[i] = gdi::raster::logicalSize(pieces[i]);
    }
    Pic_TxtOut->setDrawing(
        [pieces, copies = bookframe::pieceCopies(g, sizes),
         edges = bookframe::pageEdgeLines(g, m_pages.count, m_pages.current)](
            QPainter& p, const QRect& area) { paintFrame(p, area, pieces, copies, edges); });
    PicReadIn->Refresh();
    Pic_TxtOut->Refresh();
}

void Frm_TxtViewer::paintGutter(forms::PictureBox* spread, int x) {
    paintLines(spread->hDC(), {QLine(x, 0, x, spread->height())}, kGutter);
}

// The book frame around the spread: skin pieces, the gutter and the page-edge lines.

#include "forms/PictureBox.h"
#include "graphics/Raster.h"
#include "window/BookFrame.h"
#include "window/Frm_TxtViewer.h"

using gdi::RGB;

namespace {

constexpr gdi::COLORREF kGutter = RGB(162, 165, 165);
constexpr gdi::COLORREF kPageEdge = RGB(255, 255, 216);

// Draws lines with a pen of colour through dc; each line excludes its end point.
void drawLines(gdi::HDC dc, const std::vector<QLine>& lines, gdi::COLORREF colour) {
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

// Repaints the book frame for the current sizes and page numbers.
void Frm_TxtViewer::PaintBookFrame() {
    Pic_TxtOut->setAutoRedraw(true);
    PicReadIn->setAutoRedraw(true);
    Pic_TxtOut->Cls();
    PicReadIn->Cls();

    const int pw = PicRead[0]->width();
    drawLines(PicReadIn->hDC(),
              {QLine(PicRead[0]->x() + pw, 0, PicRead[0]->x() + pw, PicReadIn->height())}, kGutter);

    bookframe::Geometry g;
    g.areaWidth = Pic_TxtOut->width();
    g.readInLeft = PicReadIn->x();
    g.readInWidth = PicReadIn->width();
    g.pageWidth = pw;
    g.pageHeight = PicRead[0]->height();

    // Each piece goes through PicTs, which takes the picture's size, as a block copy.
    std::array<QSize, bookframe::kPieceCount> sizes;
    std::array<QImage, bookframe::kPieceCount> pieces;
    for (int i = 0; i < bookframe::kPieceCount; ++i) {
        pieces[i] = skinPicture(QString::fromLatin1(bookframe::kPieceFiles[i]));
        sizes[i] = gdi::raster::logicalSize(pieces[i]);
    }
    PicTs->setAutoSize(true);
    int loaded = -1;
    for (const bookframe::Copy& c : bookframe::pieceCopies(g, sizes)) {
        if (c.piece != loaded) {
            PicTs->setPicture(pieces[c.piece]);
            loaded = c.piece;
        }
        gdi::BitBlt(Pic_TxtOut->hDC(), c.at.x(), c.at.y(), sizes[c.piece].width(),
                    sizes[c.piece].height(), PicTs->hDC(), 0, 0, gdi::SRCCOPY);
    }

    PicTs->setAutoSize(false);

    drawLines(Pic_TxtOut->hDC(), bookframe::pageEdgeLines(g, m_pages.count, m_pages.current),
              kPageEdge);

    PicReadIn->Refresh();
    PicReadIn->setAutoRedraw(false);
    Pic_TxtOut->Refresh();
    Pic_TxtOut->setAutoRedraw(false);
}

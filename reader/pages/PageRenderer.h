#pragma once
// A page of the spread, drawn apart from any widget: the page's text cut into the rows it is
// drawn in, the find bar's marks behind them, the text, and the row the bookmark lies on. A
// click on a page is hit against the same rows, so the marker shows where the click set it.
// A page keeps what it shows, not its pixels: it is painted from its rows each time the window
// needs it, and made an image only for the page turn.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "graphics/Gdi.h"
#include "pages/Bookmark.h"
#include "pages/PageModel.h"
#include "textbox/LineBreaker.h"

namespace pages {

using PageSlice = ::PageSlice;  // a page's text, cut from the book (pages/PageModel.h)

// How every page looks: the appearance settings and the page the layout gives.
struct PageLook {
    QFont font;
    gdi::COLORREF ink = 0;
    gdi::COLORREF paper = 0x00FFFFFF;
    int lineHeight = 0;
    int linesPerPage = 1;
    QSize size;       // the page, logical pixels; its text runs 30 pixels in from either side
    qreal ratio = 1;  // device pixels per logical pixel of the page's image
    bool operator==(const PageLook&) const = default;
};

// A part of a find match on one row: characters [from, to) of the text the row shows.
struct Highlight {
    int row = 0;
    int from = 0;
    int to = 0;
    bool current = false;  // a part of the match the reader stepped to
};

// What is marked on a page.
struct PageMarks {
    // The bookmark's position in the document, CP949 bytes, 0-based.
    std::optional<int64_t> bookmark;
    // The find bar's marks on the page's rows, in row order, asked with the book index of each
    // row's first character and, last, the end of the last row; unset when no marks show.
    std::function<std::vector<Highlight>(const std::vector<int>& rowStarts)> highlights;
};

// A page cut into rows: what is drawn and what a click hits.
struct PageRows {
    std::vector<bookmark::Row> rows;
    // Per row, the characters [first, second) of the page text it shows; empty when none.
    std::vector<std::pair<int, int>> shown;
    // Per row, the book index of its first character; last, the end of the last row.
    std::vector<int> bookStarts;
};

struct RenderedPage {
    PageRows layout;
    int marked = -1;  // the row that holds the bookmark, -1 for none
};

class PageRenderer {
public:
    // The rows `page` is drawn in; the same page in the same look always gives the same rows.
    PageRows layOut(const PageSlice& page, const PageLook& look) const;
    // Makes `page` side 0 (left) or 1 (right) of the spread: cuts it into rows and keeps what
    // painting it takes, until that side is rendered again. Its captions are taken off.
    const RenderedPage& render(int side, const PageSlice& page, const PageLook& look,
                               const PageMarks& marks);
    // The blank page after the end of the book: paper, no rows.
    const RenderedPage& renderBlank(int side, const PageLook& look);
    // Neither side shows anything until rendered again: a page of a layout gone by is never
    // painted in the new one.
    void clear();
    // A caption printed over the side's page, after its text: `text` from the top-left of `box`
    // (logical pixels of the page), on paper, clipped to the box.
    struct Caption {
        QRect box;
        QString text;
    };
    void setCaptions(int side, std::vector<Caption> captions, const QFont& font,
                     gdi::COLORREF ink);
    // Paints the side's page over `area` of a painter on it, logical pixels, on the paper
    // already there: the rows that reach into the area, then the captions.
    void paint(int side, QPainter& p, const QRect& area) const;
    // The side's page as an image: paper, then all of it painted; null for an empty size.
    QImage image(int side) const;
    // The rows of `page` on `side`: those it was drawn in last when that was this page in this
    // look, so a click does not cut the page again; else cut now, the same way.
    PageRows rowsOf(int side, const PageSlice& page, const PageLook& look) const;
    const RenderedPage& page(int side) const { return m_sides[side].drawn; }

private:
    struct Side {
        RenderedPage drawn;
        std::optional<PageSlice> slice;  // what drawn shows; none when blank
        PageLook look;
        std::vector<Highlight> pieces;  // the find marks on its rows
        std::vector<Caption> captions;
    };
    void paintRows(const Side& s, QPainter& p, const QRect& area) const;

    QFont m_captionFont;
    gdi::COLORREF m_captionInk = 0;
    mutable textbox::LineBreaker m_breaker;
    std::array<Side, 2> m_sides;
};

}  // namespace pages

#include "pages/PageRenderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "graphics/Raster.h"
#include "pages/Mo_TxtPublic.h"

namespace pages {

namespace {

// The find bar's marks behind the text: every match, and the one stepped to.
constexpr gdi::COLORREF kMatch = gdi::RGB(255, 228, 128);
constexpr gdi::COLORREF kCurrentMatch = gdi::RGB(255, 164, 72);
// Where the text starts on the page, from its left edge; it ends as far from the right one.
constexpr int kTextLeft = 30;

// What a row shows: its text without the line break that ends it, tabs as the four blanks the
// line breaker measured them as.
QString visibleLine(QString line) {
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line.replace(QLatin1Char('\t'), QStringLiteral("    "));
}

bool samePage(const PageSlice& a, const PageSlice& b) {
    return a.start == b.start && a.from == b.from && a.text == b.text;
}

// Behind row `row` (its text `line`, its top `top`), the parts of the marks on it; `piece`
// moves past them.
void paintHighlights(QPainter& p, const QFontMetrics& metrics, const QString& line, int row,
                     int top, std::vector<Highlight>::const_iterator& piece,
                     std::vector<Highlight>::const_iterator end) {
    for (; piece != end && piece->row == row; ++piece) {
        if (line.isEmpty()) continue;
        const int x0 = metrics.horizontalAdvance(visibleLine(line.left(piece->from)));
        const int x1 = metrics.horizontalAdvance(visibleLine(line.left(piece->to)));
        if (x1 > x0)
            p.fillRect(QRect(kTextLeft + x0, top, x1 - x0, metrics.height()),
                       gdi::toQColor(piece->current ? kCurrentMatch : kMatch));
    }
}

}  // namespace

PageRows PageRenderer::layOut(const PageSlice& page, const PageLook& look) const {
    m_breaker.setFont(look.font);
    m_breaker.setWidth(std::max(0, look.size.width() - 2 * kTextLeft));
    m_breaker.setText(page.text);
    const textbox::LineBreaker& b = m_breaker;
    PageRows out;
    out.rows =
        bookmark::pageRows([&b](int i) { return b.lineIndex(i); }, b.lineCount(), look.linesPerPage,
                           int(Mo_TxtPublic::LenAnsi(page.text)), look.lineHeight);
    const int n = int(out.rows.size());
    for (int i = 0; i < n; ++i) {
        // Lines are cut by character index, so a page costs its own length only.
        const int e = b.lineIndex(i + 1);
        const int from = b.charIndexOfLine(i);
        const int to = e >= 0 ? b.charIndexOfLine(i + 1) : from;
        out.shown.emplace_back(from, e - out.rows[i].start >= 1 ? to : from);
        out.bookStarts.push_back(page.from + from);
    }
    if (n > 0) {
        const int e = b.lineIndex(n);
        const int last = int(page.text.size()) - 2;  // the line break added to the page
        out.bookStarts.push_back(page.from + std::min(last, e >= 0 ? b.charIndexOfLine(n) : last));
    }
    return out;
}

QImage& PageRenderer::clearedImage(Side& side, const PageLook& look) {
    QImage& img = side.drawn.image;
    // A page is drawn many times a second: its memory is reused when nobody shares it.
    const bool fits = !img.isNull() && img.isDetached() && img.devicePixelRatio() == look.ratio &&
                      gdi::raster::logicalSize(img) == look.size;
    if (!fits) img = gdi::raster::surface(look.size, look.ratio);
    if (!img.isNull()) img.fill(gdi::toQColor(look.paper));
    return img;
}

const RenderedPage& PageRenderer::render(int side, const PageSlice& page, const PageLook& look,
                                         const PageMarks& marks) {
    Side& s = m_sides[side];
    s.drawn.layout = layOut(page, look);
    s.of.emplace(page, look);
    const PageRows& layout = s.drawn.layout;
    s.drawn.marked =
        marks.bookmark ? bookmark::rowHolding(layout.rows, *marks.bookmark - page.start) : -1;
    std::vector<Highlight> pieces;
    if (marks.highlights && !layout.rows.empty()) pieces = marks.highlights(layout.bookStarts);

    QImage& img = clearedImage(s, look);
    if (img.isNull()) return s.drawn;
    QPainter p(&img);
    p.setFont(look.font);
    p.setPen(gdi::toQColor(look.ink));
    // Measured apart from the image, as the line breaker measures: the same at every ratio.
    const QFontMetrics metrics(look.font);
    auto piece = std::as_const(pieces).begin();
    for (int i = 0; i < int(layout.rows.size()); ++i) {
        const auto [from, to] = layout.shown[i];
        const QString line = page.text.mid(from, to - from);
        const int top = layout.rows[i].top;
        paintHighlights(p, metrics, line, i, top, piece, pieces.cend());
        const QString visible = visibleLine(line);
        if (!visible.isEmpty()) p.drawText(QPoint(kTextLeft, top + metrics.ascent()), visible);
    }
    return s.drawn;
}

const RenderedPage& PageRenderer::renderBlank(int side, const PageLook& look) {
    Side& s = m_sides[side];
    s.drawn.layout = {};
    s.drawn.marked = -1;
    s.of.reset();
    clearedImage(s, look);
    return s.drawn;
}

PageRows PageRenderer::rowsOf(int side, const PageSlice& page, const PageLook& look) const {
    const Side& s = m_sides[side];
    if (s.of && samePage(s.of->first, page) && s.of->second == look) return s.drawn.layout;
    return layOut(page, look);
}

QImage caption(const QString& text, const QFont& font, gdi::COLORREF ink, gdi::COLORREF paper,
               QSize size, qreal ratio) {
    QImage img = gdi::raster::surface(size, ratio);
    if (img.isNull()) return img;
    img.fill(gdi::toQColor(paper));
    if (text.isEmpty()) return img;
    QPainter p(&img);
    p.setFont(font);
    p.setPen(gdi::toQColor(ink));
    p.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
    return img;
}

}  // namespace pages

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

const RenderedPage& PageRenderer::render(int side, const PageSlice& page, const PageLook& look,
                                         const PageMarks& marks) {
    Side& s = m_sides[side];
    s.drawn.layout = layOut(page, look);
    s.slice = page;
    s.look = look;
    s.captions.clear();
    const PageRows& layout = s.drawn.layout;
    s.drawn.marked =
        marks.bookmark ? bookmark::rowHolding(layout.rows, *marks.bookmark - page.start) : -1;
    s.pieces.clear();
    if (marks.highlights && !layout.rows.empty()) s.pieces = marks.highlights(layout.bookStarts);
    return s.drawn;
}

const RenderedPage& PageRenderer::renderBlank(int side, const PageLook& look) {
    Side& s = m_sides[side];
    s = Side{};
    s.look = look;
    return s.drawn;
}

void PageRenderer::clear() {
    for (Side& s : m_sides) s = Side{};
}

void PageRenderer::setCaptions(int side, std::vector<Caption> captions, const QFont& font,
                               gdi::COLORREF ink) {
    m_sides[side].captions = std::move(captions);
    m_captionFont = font;
    m_captionInk = ink;
}

void PageRenderer::paintRows(const Side& s, QPainter& p, const QRect& area) const {
    const PageRows& layout = s.drawn.layout;
    const QString& text = s.slice->text;
    p.setFont(s.look.font);
    p.setPen(gdi::toQColor(s.look.ink));
    // Measured apart from the painter, as the line breaker measures: the same at every ratio.
    const QFontMetrics metrics(s.look.font);
    // A row's ink may reach a little past its band; a band away from the area has none in it.
    const int reach = std::max(metrics.height(), s.look.lineHeight);
    auto piece = s.pieces.cbegin();
    for (int i = 0; i < int(layout.rows.size()); ++i) {
        const int top = layout.rows[i].top;
        if (top + 2 * reach <= area.top() || top - reach > area.bottom()) {
            while (piece != s.pieces.cend() && piece->row == i) ++piece;
            continue;
        }
        const auto [from, to] = layout.shown[i];
        const QString line = text.mid(from, to - from);
        paintHighlights(p, metrics, line, i, top, piece, s.pieces.cend());
        const QString visible = visibleLine(line);
        if (!visible.isEmpty()) p.drawText(QPoint(kTextLeft, top + metrics.ascent()), visible);
    }
}

void PageRenderer::paint(int side, QPainter& p, const QRect& area) const {
    const Side& s = m_sides[side];
    if (s.slice) paintRows(s, p, area);
    if (s.captions.empty()) return;
    p.save();
    p.setFont(m_captionFont);
    p.setPen(gdi::toQColor(m_captionInk));
    const int ascent = QFontMetrics(m_captionFont).ascent();
    for (const Caption& c : s.captions) {
        if (!c.box.intersects(area)) continue;
        p.fillRect(c.box, gdi::toQColor(s.look.paper));
        if (c.text.isEmpty()) continue;
        p.setClipRect(c.box);
        p.drawText(c.box.topLeft() + QPoint(0, ascent), c.text);
        p.setClipping(false);
    }
    p.restore();
}

QImage PageRenderer::image(int side) const {
    const PageLook& look = m_sides[side].look;
    QImage img = gdi::raster::surface(look.size, look.ratio);
    if (img.isNull()) return img;
    img.fill(gdi::toQColor(look.paper));
    QPainter p(&img);
    paint(side, p, QRect(QPoint(0, 0), look.size));
    return img;
}

PageRows PageRenderer::rowsOf(int side, const PageSlice& page, const PageLook& look) const {
    const Side& s = m_sides[side];
    if (s.slice && samePage(*s.slice, page) && s.look == look) return s.drawn.layout;
    return layOut(page, look);
}

}  // namespace pages

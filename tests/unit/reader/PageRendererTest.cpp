// The page renderer: rows cut at the page's width, ink only where a row shows text, the bookmark's
// row, the find marks behind the text, and the rows a click is hit against.

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "graphics/Raster.h"
#include "pages/PageRenderer.h"

namespace {

constexpr gdi::COLORREF kPaper = gdi::RGB(255, 249, 237);

pages::PageLook look(QSize size, qreal ratio = 1) {
    pages::PageLook l;
    l.font = QFont(QStringLiteral("NanumGothic"));
    l.font.setPointSize(12);
    l.paper = kPaper;
    l.lineHeight = 20;
    l.linesPerPage = 5;
    l.size = size;
    l.ratio = ratio;
    return l;
}

// Whether logical row band [top, top + height) of the page holds anything but paper.
bool inked(const QImage& page, int top, int height) {
    const QRect band =
        gdi::raster::toDevice(QRect(0, top, gdi::raster::logicalSize(page).width(), height),
                              page.devicePixelRatio())
            .intersected(page.rect());
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (page.pixel(x, y) != gdi::toQColor(kPaper).rgb()) return true;
    return false;
}

TEST(PageRenderer, RowsAreDrawnWhereTheyAreHit) {
    const QString wide = QString(40, QChar(u'가'));
    // Per row: T shows text and is hit, B is a blank line of the text (hit, no ink), . neither.
    const struct {
        const char* what;
        QString text;
        std::string rows;
        qreal ratio;
    } cases[] = {
        {"lines", "가나\r\n\r\n다라\n", "TBT..", 1},
        {"at ratio 2", "가나\r\n\r\n다라\n", "TBT..", 2},
        {"a tab", "\t가\r\n", "T..", 1},
        {"wrapped", wide + "\r\n", "TTT..", 1},
        {"more than a page", QString("1\r\n").repeated(9), "TTTTTT", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pages::PageRenderer renderer;
        const pages::PageLook l = look(QSize(300, 200), c.ratio);
        const pages::PageSlice slice{c.text + "\r\n", 1000, 500};
        const pages::RenderedPage& page = renderer.render(0, slice, l, {});
        const QImage image = renderer.image(0);
        ASSERT_EQ(image.devicePixelRatio(), c.ratio);
        ASSERT_EQ(page.layout.rows.size(), c.rows.size());
        for (size_t i = 0; i < c.rows.size(); ++i) {
            const bookmark::Row& row = page.layout.rows[i];
            EXPECT_EQ(row.top, 50 + int(i) * l.lineHeight) << i;
            EXPECT_EQ(inked(image, row.top, l.lineHeight), c.rows[i] == 'T') << "row " << i;
            // A click on a row hits it when the row holds a line of the page.
            const bookmark::Hit hit = bookmark::lineAt(page.layout.rows, l.lineHeight, row.top + 5);
            EXPECT_EQ(hit.top, c.rows[i] != '.' ? row.top : 0) << i;
        }
        EXPECT_FALSE(inked(image, 50 + int(c.rows.size()) * l.lineHeight, 200));
    }
}

TEST(PageRenderer, MarksLieOnTheirRows) {
    pages::PageRenderer renderer;
    const pages::PageLook l = look(QSize(300, 200));
    const pages::PageSlice slice{"가나\r\nab다\r\n\r\n", 1000, 500};
    std::vector<int> asked;
    pages::PageMarks marks;
    marks.bookmark = 1000 + 6;  // "ab다" starts 6 bytes into the page
    marks.highlights = [&](const std::vector<int>& starts) {
        asked = starts;
        return std::vector<pages::Highlight>{{1, 1, 3, true}};  // "b다"
    };
    const pages::RenderedPage& page = renderer.render(1, slice, l, marks);
    EXPECT_EQ(page.marked, 1);
    // Book indices of the rows' first characters, and the end of the last row.
    EXPECT_EQ(asked, (std::vector<int>{500, 504, 509, 511, 509}));
    const QFontMetrics m(l.font);
    const int x = 30 + m.horizontalAdvance(QStringLiteral("a")) + 1, y = 50 + 20 + 1;
    EXPECT_EQ(renderer.image(1).pixel(x, y), gdi::toQColor(gdi::RGB(255, 164, 72)).rgb());
    EXPECT_EQ(renderer.image(1).pixel(29, y), gdi::toQColor(kPaper).rgb());
    marks.bookmark = 999;  // before the page
    EXPECT_EQ(renderer.render(1, slice, l, marks).marked, -1);
}

TEST(PageRenderer, AClickIsHitAgainstThePageAsDrawn) {
    pages::PageRenderer renderer;
    const pages::PageSlice slice{QString(30, QChar(u'가')) + "\r\n", 0, 0};
    const pages::PageLook wide = look(QSize(400, 300)), narrow = look(QSize(200, 300));
    renderer.render(0, slice, wide, {});
    // The same page in the same look: the rows it was drawn in; in another look, cut again.
    EXPECT_EQ(renderer.rowsOf(0, slice, wide).rows.size(), renderer.page(0).layout.rows.size());
    EXPECT_EQ(renderer.rowsOf(0, slice, narrow).rows.size(),
              renderer.layOut(slice, narrow).rows.size());
    EXPECT_GT(renderer.layOut(slice, narrow).rows.size(), renderer.page(0).layout.rows.size());
    // The blank page after the end has none, and only paper.
    const pages::RenderedPage& blank = renderer.renderBlank(0, wide);
    EXPECT_TRUE(blank.layout.rows.empty());
    EXPECT_FALSE(inked(renderer.image(0), 0, 300));
    EXPECT_EQ(renderer.rowsOf(0, slice, wide).rows.size(),
              renderer.layOut(slice, wide).rows.size());
}

TEST(PageRenderer, CaptionsCoverThePageWithinTheirBoxes) {
    const QFont f(QStringLiteral("NanumGothic"), 9, QFont::Bold);
    // A page of full rows: a caption's box shows paper but for its text, and nothing past it.
    const pages::PageSlice slice{QString("가나다라마바사아자차\r\n").repeated(5), 0, 0};
    for (const qreal ratio : {1.0, 2.0}) {
        pages::PageRenderer renderer;
        const pages::PageLook l = look(QSize(300, 200), ratio);
        renderer.render(0, slice, l, {});
        const QRect number(30, 50, 20, 17), empty(30, 70, 20, 17);
        renderer.setCaptions(0, {{number, "12"}, {empty, ""}}, f, 0);
        const QImage page = renderer.image(0);
        EXPECT_TRUE(inked(page, 50, 17)) << ratio;
        EXPECT_FALSE(inked(page.copy(gdi::raster::toDevice(empty, ratio)), 0, 17)) << ratio;
        EXPECT_TRUE(inked(page.copy(gdi::raster::toDevice(QRect(50, 70, 30, 17), ratio)), 0, 17));
        // Rendered again, the page shows no captions till it is given them.
        renderer.render(0, slice, l, {});
        EXPECT_TRUE(inked(renderer.image(0).copy(gdi::raster::toDevice(empty, ratio)), 0, 17));
    }
}

}  // namespace

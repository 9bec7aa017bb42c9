// The bookmark's hit test and spread, and the palette's cells, colours and placement.

#include <gtest/gtest.h>

#include "pages/Bookmark.h"
#include "pages/Palette.h"

namespace {

// Pages of three lines of 10 bytes, rows 20 pixels apart from y = 50, in the line box with the
// line break added behind the page (two bytes) and the empty last line.
TEST(Bookmark, ARowIsHitWhereItsMarkerIsDrawn) {
    struct Case {
        const char* page;
        std::vector<int> starts;  // of the line box's lines
        int pageBytes, y, top, start;
    };
    const std::vector<int> endsWithBreak = {0, 10, 20, 30, 32}, wrapped = {0, 10, 20, 32};
    const Case cases[] = {
        {"break", endsWithBreak, 32, 49, 0, 0},  // above the first line
        {"break", endsWithBreak, 32, 50, 50, 0},
        {"break", endsWithBreak, 32, 70, 50, 0},  // the border hits the upper line
        {"break", endsWithBreak, 32, 71, 70, 10},
        {"break", endsWithBreak, 32, 110, 90, 20},
        {"break", endsWithBreak, 32, 120, 0, 0},  // the added break: the next page's first line
        {"break", endsWithBreak, 32, 500, 0, 0},
        {"wrapped", wrapped, 32, 100, 90, 20},  // the added break ends the last line
        {"wrapped", wrapped, 32, 120, 0, 0},
        {"empty row", {0, 10, 10, 20, 32}, 32, 80, 0, 0},  // drawn, holding nothing
        {"empty row", {0, 10, 10, 20, 32}, 32, 95, 90, 10},
        {"no page", {0, 2}, 2, 55, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " y " << c.y);
        const auto lineStart = [&](int i) { return i < int(c.starts.size()) ? c.starts[i] : -1; };
        const auto rows = bookmark::pageRows(lineStart, int(c.starts.size()), 3, c.pageBytes, 20);
        const bookmark::Hit hit = bookmark::lineAt(rows, 20, c.y);
        EXPECT_EQ(hit.top, c.top);
        if (c.top == 0) continue;
        EXPECT_EQ(hit.start, c.start);
        const int marked = bookmark::rowHolding(rows, hit.start);
        ASSERT_GE(marked, 0);
        EXPECT_EQ(rows[marked].top, hit.top);
    }
    // No more than a page of rows and the one behind it; only the page's own bytes are marked.
    const auto rows = bookmark::pageRows([](int i) { return i * 10; }, 9, 3, 32, 20);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(bookmark::rowHolding(rows, 29), 2);
    EXPECT_EQ(bookmark::rowHolding(rows, 30), -1);
    EXPECT_EQ(bookmark::rowHolding(rows, -1), -1);
}

TEST(Bookmark, TheSpreadThatHoldsALine) {
    const std::pair<int, int> cases[] = {{0, 1},  {19, 1}, {20, 1}, {39, 1},
                                         {40, 3}, {79, 3}, {80, 5}, {-5, 1}};
    for (const auto& [line, spread] : cases)
        EXPECT_EQ(bookmark::spreadOfLine(line, 20), spread) << "line " << line;
    EXPECT_EQ(bookmark::spreadOfLine(7, 0), 7);  // no page size yet: one line a page
}

TEST(Palette, CellsColoursAndPlacement) {
    const QSize cell(20, 20);
    EXPECT_EQ(palette::cellPosition(0, cell), QPoint(3, 3));
    EXPECT_EQ(palette::cellPosition(6, cell), QPoint(141, 3));
    EXPECT_EQ(palette::cellPosition(7, cell), QPoint(3, 26));
    EXPECT_EQ(palette::cellPosition(27, cell), QPoint(141, 72));
    ASSERT_EQ(palette::kColours.size(), 28u);
    EXPECT_EQ(palette::kColours[0], gdi::RGB(255, 255, 255));
    EXPECT_EQ(palette::kColours[1], gdi::RGB(0, 0, 0));
    EXPECT_EQ(palette::kColours[8], gdi::RGB(0, 255, 0));
    EXPECT_EQ(palette::kColours[10], palette::kColours[8]);  // the same green, twice
    EXPECT_EQ(palette::kColours[21], gdi::RGB(0, 130, 255));
    EXPECT_EQ(palette::kColours[27], gdi::RGB(132, 65, 0));
    // The panel stays inside the tool bar: pushed left at the right edge, never off the left.
    EXPECT_EQ(palette::panelLeft(316, 170, 1200), 316);
    EXPECT_EQ(palette::panelLeft(316, 170, 450), 280);
    EXPECT_EQ(palette::panelLeft(-200, 170, 450), 0);
}

TEST(Palette, InstalledFontNamesMatchExactly) {
    const QStringList fonts = {"NanumGothic", "DejaVu Sans", "나눔명조"};
    EXPECT_TRUE(palette::isInstalledFont("NanumGothic", fonts));
    EXPECT_TRUE(palette::isInstalledFont("나눔명조", fonts));
    EXPECT_FALSE(palette::isInstalledFont("nanumgothic", fonts));
    EXPECT_FALSE(palette::isInstalledFont("NanumGothic ", fonts));
    EXPECT_FALSE(palette::isInstalledFont("", fonts));
}

}  // namespace

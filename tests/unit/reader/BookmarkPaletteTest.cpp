// The bookmark's hit test and spread, and the palette's cells, colours and placement.

#include <gtest/gtest.h>

#include "pages/Bookmark.h"
#include "pages/Palette.h"

namespace {

TEST(Bookmark, WhichLineAPointerHits) {
    // Three lines of 10 bytes, then the empty line behind the page's line break (its successor
    // does not exist); lines 20 pixels apart from y = 50.
    const std::vector<int> starts = {0, 10, 20, 30};
    struct Case {
        int y, top, start;
    };
    const Case cases[] = {
        {49, 0, 0},     // above the first line
        {50, 50, 0},    // its top
        {69, 50, 0},    // inside it
        {70, 50, 0},    // the border hits the upper line
        {71, 70, 10},   // the second line
        {110, 90, 20},  // the third line's lower border
        {111, 0, 0},    // the empty last line never hits
        {500, 0, 0},
    };
    for (const Case& c : cases) {
        const bookmark::Hit hit = bookmark::lineAt(starts, 20, c.y);
        EXPECT_EQ(hit.top, c.top) << "y " << c.y;
        if (c.top) {
            EXPECT_EQ(hit.start, c.start) << "y " << c.y;
        }
    }
    // A line of no bytes (two equal starts) takes no room: the next line moves up.
    EXPECT_EQ(bookmark::lineAt({0, 10, 10, 20, 30}, 20, 80).start, 10);
    EXPECT_EQ(bookmark::lineAt({}, 20, 60).top, 0);
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

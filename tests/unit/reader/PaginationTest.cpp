// Page arithmetic: pages per line count, the position kept across a relayout, the spread a
// page bar value stands for, and the title cut.

#include <gtest/gtest.h>

#include "pages/Pagination.h"
#include "window/Frm_TxtViewer.h"

namespace {

TEST(Pagination, PageCounts) {
    EXPECT_EQ(pagination::pageCount(60, 20), 3);
    EXPECT_EQ(pagination::pageCount(61, 20), 4);
    EXPECT_EQ(pagination::pageCount(1, 20), 1);
    EXPECT_EQ(pagination::pageCount(0, 20), 0);
    EXPECT_EQ(pagination::pageCount(5, 0), 5);  // never divides by zero
}

TEST(Pagination, LinesPerPage) {
    // (618 - 70 + 3) / (7 + 16) = 23.9 -> 23, one line less than fits.
    EXPECT_EQ(pagination::linesPerPage(618, 7, 16), 22);
    EXPECT_EQ(pagination::linesPerPage(120, 7, 16), 1);
    // A tiny page or a huge font still holds one line.
    EXPECT_EQ(pagination::linesPerPage(80, 7, 100), 1);
    EXPECT_EQ(pagination::linesPerPage(10, 1, 12), 1);
    EXPECT_EQ(pagination::linesPerPage(500, 0, 0), 1);
}

TEST(Pagination, PositionSurvivesARelayout) {
    struct Case {
        int current, before, after, expected;
    };
    const Case cases[] = {
        {5, 10, 20, 9},     // 0.5 x 20 = 10, even, so the spread 9-10
        {1, 7, 3, 1},       // 3 / 7 rounds to 0, even, -1, then 1
        {9, 10, 10, 9},     // unchanged
        {3, 12, 25, 5},     // 6.25 -> 6, even -> 5
        {7, 8, 3, 3},       // 2.625 -> 3, odd
        {99, 100, 50, 49},  // 49.5 -> 50 (halves to even), even -> 49
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pagination::pageAtRatio(double(c.current) / c.before, c.after), c.expected)
            << c.current << "/" << c.before << " -> " << c.after;
    }
}

TEST(Pagination, SpreadForAPageBarValue) {
    struct Case {
        int value, current, expected;
    };
    const Case cases[] = {
        {5, 5, 0},  // the spread on screen
        {6, 5, 0},  // its right page: stays
        {8, 5, 7},  // an even page beyond: the spread that holds it
        {7, 5, 7}, {1, 5, 1}, {4, 5, 3}, {2, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pagination::spreadForValue(c.value, c.current), c.expected)
            << c.value << " at " << c.current;
}

TEST(Pagination, TitleCut) {
    // A 40-character name in a space of 10 characters keeps its first 7 and "..".
    const QString longName = QString(36, QLatin1Char('a')) + ".txt";
    EXPECT_EQ(Frm_TxtViewer::fitTitle(longName, 10 * 12, 12), QString(7, 'a') + "..");
    EXPECT_EQ(Frm_TxtViewer::fitTitle("short.txt", 200, 12), "short.txt");
    // A space narrower than three characters still gives a cut, never a negative count.
    EXPECT_EQ(Frm_TxtViewer::fitTitle(QString(20, 'b'), 12, 12), "bb..");
    EXPECT_EQ(Frm_TxtViewer::fitTitle("x", 0, 0), "x");
}

}  // namespace

// Placement of the frame pieces and the page-edge lines.

#include <gtest/gtest.h>

#include <algorithm>

#include "window/BookFrame.h"

namespace {

bookframe::Geometry geometry() {
    bookframe::Geometry g;
    g.areaWidth = 1024;
    g.readInLeft = 20;
    g.readInWidth = 984;
    g.pageWidth = 492;
    g.pageHeight = 618;
    return g;
}

// The sizes the skin is drawn at: edge strips, corners, spine halves.
std::array<QSize, bookframe::kPieceCount> skinSizes() {
    return {QSize(20, 32), QSize(20, 32), QSize(32, 20), QSize(32, 20),
            QSize(20, 20), QSize(20, 20), QSize(20, 22), QSize(20, 22),
            QSize(12, 20), QSize(12, 20), QSize(12, 20), QSize(12, 20)};
}

std::vector<QPoint> copiesOf(const std::vector<bookframe::Copy>& all, int piece) {
    std::vector<QPoint> at;
    for (const auto& c : all)
        if (c.piece == piece) at.push_back(c.at);
    return at;
}

TEST(BookFrame, TileCounts) {
    EXPECT_EQ(bookframe::tileCount(618, 32), 20);
    EXPECT_EQ(bookframe::tileCount(640, 32), 20);
    EXPECT_EQ(bookframe::tileCount(641, 32), 21);
    EXPECT_EQ(bookframe::tileCount(1, 32), 1);
    EXPECT_EQ(bookframe::tileCount(0, 32), 0);
    EXPECT_EQ(bookframe::tileCount(100, 0), 0);  // an empty piece never tiles
}

TEST(BookFrame, PiecesGoAroundTheSpread) {
    const auto copies = bookframe::pieceCopies(geometry(), skinSizes());
    const auto left = copiesOf(copies, 0);
    ASSERT_EQ(left.size(), 20u);
    EXPECT_EQ(left.front(), QPoint(0, 20));
    EXPECT_EQ(left.back(), QPoint(0, 20 + 19 * 32));
    EXPECT_EQ(copiesOf(copies, 1).front(), QPoint(1004, 20));
    const auto top = copiesOf(copies, 2);
    ASSERT_EQ(top.size(), 31u);  // 2 * 492 + 1 = 985 pixels of pages
    EXPECT_EQ(top[1], QPoint(52, 0));
    EXPECT_EQ(copiesOf(copies, 3).front(), QPoint(20, 638));
    EXPECT_EQ(copiesOf(copies, 4), std::vector<QPoint>{QPoint(0, 1)});
    EXPECT_EQ(copiesOf(copies, 5), std::vector<QPoint>{QPoint(1004, 1)});
    EXPECT_EQ(copiesOf(copies, 6), std::vector<QPoint>{QPoint(0, 638)});
    EXPECT_EQ(copiesOf(copies, 7), std::vector<QPoint>{QPoint(1004, 638)});
    EXPECT_EQ(copiesOf(copies, 8), std::vector<QPoint>{QPoint(500, 0)});
    EXPECT_EQ(copiesOf(copies, 9), std::vector<QPoint>{QPoint(512, 0)});
    EXPECT_EQ(copiesOf(copies, 10), std::vector<QPoint>{QPoint(500, 638)});
    EXPECT_EQ(copiesOf(copies, 11), std::vector<QPoint>{QPoint(512, 638)});
    // Corners and spine come after the strips, so they overwrite them.
    EXPECT_EQ(copies.back().piece, 11);
}

TEST(BookFrame, MissingOrEmptyPiecesAreSkipped) {
    auto sizes = skinSizes();
    sizes[0] = QSize();       // could not be loaded
    sizes[2] = QSize(0, 20);  // loaded empty
    const auto copies = bookframe::pieceCopies(geometry(), sizes);
    EXPECT_TRUE(copiesOf(copies, 0).empty());
    EXPECT_TRUE(copiesOf(copies, 2).empty());
    EXPECT_EQ(copiesOf(copies, 1).size(), 20u);
}

struct EdgeCase {
    int pageCount, currentPage;
    std::vector<int> left;   // x of each line left of the spread
    std::vector<int> right;  // offset i of each line right of it
};

class PageEdges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(PageEdges, ShowHowMuchIsReadAndToCome) {
    const EdgeCase c = GetParam();
    const auto g = geometry();
    const auto lines = bookframe::pageEdgeLines(g, c.pageCount, c.currentPage);
    std::vector<int> left, right;
    const int spreadRight = 20 + 2 * g.pageWidth + 1;
    for (const QLine& l : lines) {
        EXPECT_EQ(l.x1(), l.x2());
        const int i = l.x1() < 20 ? 20 - l.x1() : l.x1() - spreadRight;
        EXPECT_EQ(l.y1(), i + 25);
        EXPECT_EQ(l.y2(), g.pageHeight + 15 - i);
        (l.x1() < 20 ? left : right).push_back(i);
    }
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PageEdges,
    ::testing::Values(EdgeCase{0, 0, {}, {}}, EdgeCase{7, 1, {}, {}},  // 7 / 15 rounds to 0
                      EdgeCase{8, 1, {1}, {1, 3, 5, 7}},               // n = 1
                      EdgeCase{8, 7, {1, 3, 5, 7}, {1}},
                      EdgeCase{100, 1, {}, {1, 3, 5, 7, 9, 11, 13}},  // n = 7, 99 / 7 = 14.1
                      EdgeCase{100, 99, {1, 3, 5, 7, 9, 11, 13}, {}},
                      // 22.5 / 15 = 1.5 cannot happen; 23 / 15 = 1.53 gives n = 2.
                      EdgeCase{23, 5, {1}, {1, 3, 5, 7, 9}}));

}  // namespace

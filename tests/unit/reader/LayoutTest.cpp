// The window layout for a table of window sizes.

#include <gtest/gtest.h>

#include "window/Layout.h"

namespace {

struct SizeCase {
    int clientW, clientH;
    int pw, ph;
    bool fits;
    int hscrollMax;
    bool stretch;
};

layout::Input inputFor(int w, int h) {
    layout::Input in;
    in.clientWidth = w;
    in.clientHeight = h;
    in.windowWidthTwips = w * 15.0;
    in.windowHeightTwips = (h + 30) * 15.0;  // a 30-pixel title bar
    in.pageNumberLabel = {40, 12};
    in.splash = {447, 85};
    in.list = {300, 230};
    return in;
}

class LayoutBySize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(LayoutBySize, PlacesPagesToolBarAndFrames) {
    const SizeCase c = GetParam();
    const layout::Result r = layout::compute(inputFor(c.clientW, c.clientH));

    EXPECT_EQ(r.topOut, QRect(0, 0, c.clientW, 42));
    EXPECT_EQ(r.txtOut, QRect(0, 42, c.clientW, c.clientH - 42));
    EXPECT_EQ(r.pageWidth, c.pw);
    EXPECT_EQ(r.pageHeight, c.ph);
    EXPECT_EQ(r.page[0], QRect(0, 0, c.pw, c.ph));
    EXPECT_EQ(r.page[1], QRect(c.pw + 1, 0, c.pw, c.ph));
    EXPECT_EQ(r.textBox, QRect(30, 50, c.pw - 60, c.ph - 70));
    EXPECT_EQ(r.readIn, QRect(20, 20, c.clientW - 40, c.ph));
    EXPECT_EQ(r.picture3, r.readIn);
    EXPECT_EQ(r.tmpPage, QSize(c.pw, c.ph));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(r.textFrame[i], QRect(27, 47, c.pw - 57, c.ph - 67));
    // The text frame starts three pixels before the text box and ends with it.
    EXPECT_EQ(r.textFrame[0].topLeft() + QPoint(3, 3), r.textBox.topLeft());
    EXPECT_EQ(r.textFrame[0].right(), r.textBox.right());
    EXPECT_EQ(r.pageNumber[0], QPoint(30, 19));
    EXPECT_EQ(r.pageNumber[1], QPoint(c.pw - 70, 19));
    EXPECT_EQ(r.lineBox, QPoint(47, 112));

    EXPECT_EQ(r.toolBarFits, c.fits);
    if (!c.fits) {
        EXPECT_EQ(r.hscroll, QRect(c.clientW - 32, 0, 32, 42));
        EXPECT_EQ(r.hscrollMax, c.hscrollMax);
    }
    EXPECT_EQ(r.stretchTopBack, c.stretch);
    if (c.stretch) {
        EXPECT_EQ(r.topBack, QRect(1024, 0, c.clientW - 1024, 42));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, LayoutBySize,
    ::testing::Values(
        // (1024 - 41) / 2 = 491.5 goes to the even 492: the spread is one pixel wider.
        SizeCase{1024, 700, 492, 618, true, 0, false}, SizeCase{1025, 700, 492, 618, true, 0, true},
        // 492.5 goes to the even 492: the spread is one pixel narrower.
        SizeCase{1026, 700, 492, 618, true, 0, true}, SizeCase{1018, 600, 488, 518, true, 0, false},
        // imgHelp's right edge (1017) must be strictly inside the bar.
        SizeCase{1017, 600, 488, 518, false, 39, false},
        // The minimum window: 208.5 goes to 208.
        SizeCase{458, 360, 208, 278, false, 598, false},
        SizeCase{1920, 1050, 940, 968, true, 0, true}));

TEST(Layout, PanelsAreCentredOnTheOuterWindow) {
    layout::Input in = inputFor(1000, 700);
    in.windowWidthTwips = 1010 * 15.0;
    in.windowHeightTwips = 735 * 15.0;
    const layout::Result r = layout::compute(in);
    EXPECT_EQ(r.splash, QPoint(282, 325));  // (1010 - 447) / 2 = 281.5 -> 282
    EXPECT_EQ(r.list, QPoint(355, 252));    // (735 - 230) / 2 = 252.5 -> 252
}

TEST(Layout, MinimumSizeSnapsBack) {
    EXPECT_EQ(layout::clampToMinimum(3000, 2000), QSize(6870, 6030));
    EXPECT_EQ(layout::clampToMinimum(6870, 9000), QSize(6870, 9000));
    EXPECT_EQ(layout::clampToMinimum(6885, 6045), QSize(6885, 6045));
}

TEST(Layout, ScrollMaximumIsSixteenBit) {
    EXPECT_EQ(layout::toInt16(598), 598);
    EXPECT_EQ(layout::toInt16(32768), -32768);
    EXPECT_EQ(layout::toInt16(-5), -5);
}

}  // namespace

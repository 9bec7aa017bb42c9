// What a user would notice at once if the generator went wrong: buttons that do not react,
// seams in the book frame, a tool bar that breaks at the window's right edge.
#include "SkinTestUtil.h"

#include <QRect>

#include <cmath>

using skintest::maxChannelDiff;
using skintest::skin;

namespace {

struct Stats {
    double luma = 0;
    double saturation = 0;
    double spread = 0;  // standard deviation of luma: how much contrast is left
};

Stats stats(const QImage& img, QRect r = {}) {
    if (r.isNull()) r = img.rect();
    Stats s;
    double sq = 0;
    const double n = double(r.width()) * r.height();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb v = img.pixel(x, y);
            s.luma += qGray(v);
            sq += double(qGray(v)) * qGray(v);
            s.saturation += QColor(v).hsvSaturationF();
        }
    s.luma /= n;
    s.saturation /= n;
    s.spread = std::sqrt(std::max(0.0, sq / n - s.luma * s.luma));
    return s;
}

int worstColumnDiff(const QImage& a, int ax, const QImage& b, int bx, int rows, int bRowOffset) {
    int worst = 0;
    for (int y = 0; y < rows; ++y)
        worst = std::max(worst, maxChannelDiff(a.pixel(ax, y), b.pixel(bx, y + bRowOffset)));
    return worst;
}

int worstRowDiff(const QImage& a, int ay, const QImage& b, int by, int columns) {
    int worst = 0;
    for (int x = 0; x < columns; ++x)
        worst = std::max(worst, maxChannelDiff(a.pixel(x, ay), b.pixel(x, by)));
    return worst;
}

const char* const kPressable[] = {"b_open",    "b_bookmark", "b_bold",    "b_fontcolor",
                                  "b_bgcolor", "b_forward",  "b_prev",    "b_play",
                                  "b_back",    "b_helpdesk", "b_listv_ok"};
const char* const kDisableable[] = {"b_listview", "b_bookmark", "b_forward",
                                    "b_prev",     "b_play",     "b_back"};

}  // namespace

TEST(SkinButtons, PressedPicturesLookDarker) {
    for (const char* stem : kPressable) {
        SCOPED_TRACE(stem);
        const QImage up = skin(stem), down = skin((std::string(stem) + "_down").c_str());
        ASSERT_EQ(up.size(), down.size());
        EXPECT_LT(stats(down).luma, stats(up).luma - 5);
    }
}

TEST(SkinButtons, DisabledPicturesAreDrainedAndFaded) {
    for (const char* stem : kDisableable) {
        SCOPED_TRACE(stem);
        const Stats normal = stats(skin(stem));
        const Stats grey = stats(skin((std::string(stem) + "_grey").c_str()));
        EXPECT_LT(grey.saturation, normal.saturation * 0.3);
        EXPECT_LT(grey.spread, normal.spread * 0.8);
    }
}

// Catches a missing font: labels would silently come out blank.
TEST(SkinButtons, LabelsAreInkedBelowTheGlyph) {
    for (const char* stem : {"b_open", "b_bookmark", "b_back", "b_helpdesk"}) {
        SCOPED_TRACE(stem);
        const QImage img = skin(stem);
        int dark = 0;
        for (int y = 27; y < 39; ++y)
            for (int x = 2; x < img.width() - 2; ++x) dark += qGray(img.pixel(x, y)) < 120;
        EXPECT_GE(dark, 12);
    }
}

TEST(SkinToolBar, TailContinuesTheBarColumnForColumn) {
    const QImage bar = skin("bg_top"), tail = skin("bg_Topback");
    ASSERT_EQ(tail.height(), bar.height());
    for (int x = 0; x < tail.width(); ++x)
        EXPECT_LE(worstColumnDiff(tail, x, bar, bar.width() - 1, bar.height(), 0), 2) << x;
}

// The check box and the line-spacing label are native widgets painted in this grey.
TEST(SkinToolBar, SettingsBandMatchesTheNativeWidgets) {
    const QImage bar = skin("bg_top");
    for (int y = 1; y <= 36; ++y)
        for (int x = 384; x < 493; ++x)
            ASSERT_EQ(bar.pixel(x, y), qRgb(239, 239, 239)) << x << "," << y;
}

TEST(SkinCover, StripsTileWithoutSeams) {
    for (const char* name : {"bg_htop", "bg_bottom"}) {
        const QImage img = skin(name);
        EXPECT_LE(worstColumnDiff(img, 0, img, img.width() - 1, img.height(), 0), 1) << name;
    }
    for (const char* name : {"bg_vertical", "bg_verticalright"}) {
        const QImage img = skin(name);
        EXPECT_LE(worstRowDiff(img, 0, img, img.height() - 1, img.width()), 1) << name;
    }
}

// Placement: top corners one row below the top strip, bottom corners level with the
// bottom strip, spine pieces level with both.
TEST(SkinCover, CornersAndSpineMeetTheStrips) {
    const QImage top = skin("bg_htop"), bottom = skin("bg_bottom");
    const QImage left = skin("bg_vertical"), right = skin("bg_verticalright");
    EXPECT_LE(worstColumnDiff(skin("bg_sideleft"), 19, top, 0, 19, 1), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_sideright"), 0, top, 0, 19, 1), 3);
    EXPECT_LE(worstRowDiff(skin("bg_sideleft"), 19, left, 0, 20), 3);
    EXPECT_LE(worstRowDiff(skin("bg_sideright"), 19, right, 0, 20), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_btnsideleft"), 19, bottom, 0, 20, 0), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_btnsideright"), 0, bottom, 0, 20, 0), 3);
    EXPECT_LE(worstRowDiff(skin("bg_btnsideleft"), 0, left, 0, 20), 3);
    EXPECT_LE(worstRowDiff(skin("bg_btnsideright"), 0, right, 0, 20), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_centerleft"), 0, top, 0, 20, 0), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_centerright"), 11, top, 0, 20, 0), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_centerbtnleft"), 0, bottom, 0, 20, 0), 3);
    EXPECT_LE(worstColumnDiff(skin("bg_centerbtnright"), 11, bottom, 0, 20, 0), 3);
}

TEST(SkinCover, SpineShowsACreaseAboveAndBelowTheGutter) {
    for (const char* name : {"bg_centerright", "bg_centerbtnright"}) {
        const QImage spine = skin(name);
        // Column 0 lies over the gutter; compare it with the plain board at the piece's edge.
        EXPECT_LT(stats(spine, QRect(0, 5, 1, 10)).luma,
                  stats(spine, QRect(11, 5, 1, 10)).luma - 15)
            << name;
    }
}

// The reader draws the page edges as pale lines over the cover next to the page block.
TEST(SkinCover, PageEdgeLinesStandOutAgainstTheBoard) {
    const QImage left = skin("bg_vertical"), right = skin("bg_verticalright");
    for (int i = 1; i <= 10; ++i) {
        EXPECT_LT(stats(left, QRect(20 - i, 0, 1, left.height())).luma, 110) << i;
        EXPECT_LT(stats(right, QRect(i - 1, 0, 1, right.height())).luma, 110) << i;
    }
}

TEST(SkinDesign, SplashLeavesLabelAndProgressAreasPlainAndLight) {
    const QImage splash = skintest::load(skintest::designDir(), "splash");
    for (const QRect& r : {QRect(128, 31, 176, 12), QRect(7, 49, 430, 13)}) {
        const Stats s = stats(splash, r);
        EXPECT_GT(s.luma, 225);
        EXPECT_LT(s.spread, 3);
    }
    // Title and emblem are there, to the left of the label.
    EXPECT_GT(stats(splash, QRect(8, 6, 116, 40)).spread, 30);
}

// Layout in twips, read off the elements the host would see: arrows, track, tick length and
// travel in both orientations, with arrows hidden, disabled, and sized by its picture.

#include <gtest/gtest.h>

#include "Harness.h"

using namespace sbtest;

namespace {

struct Rect {
    float left, top, width, height;
    bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}
Rect rectOf(const Qm_ImgScrollBar::Element& e) {
    return {e.left(), e.top(), e.width(), e.height()};
}

// 3000 x 255 twips lying down, or 255 x 3000 standing, at 15 twips per pixel.
std::unique_ptr<Bar> bar3000(bool across, std::vector<std::pair<DISPID, Variant>> puts = {}) {
    auto bar = std::make_unique<Bar>(across ? QSize(200, 17) : QSize(17, 200));
    bar->put(P::Orientation, L(across ? 1 : 0));
    bar->putAll(puts);
    return bar;
}

}  // namespace

TEST(Layout, ScreenIsFifteenTwipsPerPixel) {
    // Every number below assumes the offscreen screen's 96 dpi.
    Bar bar;
    bar.put(P::Orientation, L(1));
    EXPECT_EQ(bar.ctl->increaseArrow(1).width(), 240);
}

TEST(Layout, ArrowsTrackAndTickOfA3000TwipsBar) {
    struct Case {
        bool across;
        std::vector<std::pair<DISPID, Variant>> puts;
        Rect decrease, increase;
        int32_t track;
        float tickLength;
    };
    const Case cases[] = {
        {true, {{P::Max, L(9)}}, {0, 0, 240, 255}, {2760, 0, 240, 255}, 2520, 252},
        {true, {}, {0, 0, 240, 255}, {2760, 0, 240, 255}, 2520, 180},  // Max 2147483647
        {false, {{P::Max, L(9)}}, {0, 0, 255, 240}, {0, 2760, 255, 240}, 2520, 252},
        {true,
         {{P::Max, L(9)}, {P::LargeChange, L(3)}},
         {0, 0, 240, 255},
         {2760, 0, 240, 255},
         2520,
         630},
        {true, {{P::Min, L(1)}, {P::Max, L(1)}}, {0, 0, 240, 255}, {2760, 0, 240, 255}, 2520, 2520},
        // Hidden arrows still count in the track.
        {true,
         {{P::Max, L(9)}, {P::ArrowVisible, B(false)}},
         {0, 0, 240, 255},
         {2760, 0, 240, 255},
         2520,
         252},
    };
    for (const Case& c : cases) {
        auto bar = bar3000(c.across, c.puts);
        const int i = c.across ? 1 : 0;
        EXPECT_EQ(rectOf(bar->ctl->decreaseArrow(i)), c.decrease) << c.across;
        EXPECT_EQ(rectOf(bar->ctl->increaseArrow(i)), c.increase) << c.across;
        EXPECT_EQ(bar->ctl->trackLength(), c.track) << c.across;
        const Rect tick = rectOf(bar->tick());
        EXPECT_EQ(c.across ? tick.width : tick.height, c.tickLength) << c.across;
        EXPECT_EQ(c.across ? tick.height : tick.width, 255) << c.across;
        // The drawn tick's pixels are its twips rounded.
        EXPECT_EQ(bar->tick().picture().size(), c.across ? QSize(qRound(c.tickLength / 15), 17)
                                                         : QSize(17, qRound(c.tickLength / 15)));
    }
}

TEST(Layout, TickTravel) {
    struct Case {
        bool across, arrows;
        int32_t value;
        float position;
    };
    const Case cases[] = {
        {true, false, 1, 15},     {true, false, 10, 2733}, {true, false, 4, 921},
        {true, true, 1, 240},     {true, true, 10, 2508},  // right edge on the arrow at 2760
        {false, false, 10, 2733}, {false, true, 1, 240},
    };
    for (const Case& c : cases) {
        auto bar = bar3000(c.across, {{P::Min, L(1)}, {P::Max, L(10)}});
        bar->put(P::ArrowVisible, B(c.arrows));
        bar->put(P::Value, L(c.value));
        const Rect tick = rectOf(bar->tick());
        EXPECT_EQ(c.across ? tick.left : tick.top, c.position) << c.across << c.arrows;
        EXPECT_EQ(c.across ? tick.top : tick.left, 0);
    }
    // Min = Max: the tick stays where it was.
    auto bar = bar3000(true, {{P::Max, L(10)}, {P::Value, L(5)}});
    const float before = bar->tick().left();
    bar->put(P::Max, L(0));
    bar->put(P::Value, L(0));
    EXPECT_EQ(bar->tick().left(), before);
}

TEST(Layout, DisabledHidesTickAndArrowsAndLosesThirtyTwips) {
    auto bar = bar3000(true, {{P::Max, L(9)}, {P::Enabled, B(false)}});
    EXPECT_FALSE(bar->tick().shown());
    EXPECT_FALSE(bar->ctl->decreaseArrow(1).shown());
    EXPECT_FALSE(bar->ctl->increaseArrow(1).shown());
    // The track follows on the next layout.
    bar->put(P::LargeChange, L(1));
    EXPECT_EQ(bar->ctl->trackLength(), 2970);
}

TEST(Layout, AutoSizeTakesTheBackgroundsSize) {
    QImage picture(100, 20, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    const PictureRef bg = controls::MakePicture(picture);
    struct Case {
        bool bgPicture;
        QRgb origin;
    };
    for (const Case& c : {Case{true, qRgb(10, 200, 30)}, Case{false, qRgb(1, 2, 3)}}) {
        auto bar = bar3000(true, {{P::BackColor, L(0x030201)},
                                  {P::BgPicture, B(c.bgPicture)},
                                  {P::ScrollBgPicture, Pic(bg)},
                                  {P::AutoSize, B(true)}});
        EXPECT_EQ(bar->surface()->size(), QSize(100, 20));  // 1500 x 300 twips
        const QImage shown = static_cast<forms::PictureBox*>(bar->surface())->image();
        EXPECT_EQ(shown.pixel(50, 10), c.origin) << c.bgPicture;
        // Unstretched: the tick and arrows show their own pictures.
        EXPECT_EQ(bar->tick().picture().size(), QSize(21, 21));
        EXPECT_EQ(rectOf(bar->ctl->increaseArrow(1)), (Rect{1260, 0, 240, 315}));
        // The host's resize does not undo it.
        bar->resize(QSize(300, 40));
        EXPECT_EQ(bar->surface()->size(), QSize(100, 20));
    }
}

TEST(Layout, AutoSizeWithoutBackgroundTakesTheArrowsThickness) {
    auto bar = bar3000(true, {{P::AutoSize, B(true)}});
    // The empty background counts as none: the bar keeps its length, the arrow gives 21 px.
    EXPECT_EQ(bar->surface()->size(), QSize(200, 21));
}

TEST(Layout, ResizingToTheSameSizeLaysOutOnce) {
    auto bar = bar3000(true, {{P::Max, L(9)}});
    const qint64 drawn = bar->tick().picture().cacheKey();
    bar->resize(QSize(200, 17));
    EXPECT_EQ(bar->tick().picture().cacheKey(), drawn);
    bar->resize(QSize(210, 17));
    EXPECT_NE(bar->tick().picture().cacheKey(), drawn);
    EXPECT_EQ(bar->ctl->increaseArrow(1).left(), 3150 - 240);
}

TEST(Layout, OrientationSwitchesTheArrowPair) {
    auto bar = bar3000(true, {{P::Max, L(9)}});
    bar->resize(QSize(17, 200));
    bar->put(P::Orientation, L(0));
    EXPECT_TRUE(bar->ctl->decreaseArrow(0).shown());
    EXPECT_FALSE(bar->ctl->decreaseArrow(1).shown());
    EXPECT_EQ(rectOf(bar->ctl->increaseArrow(0)), (Rect{0, 2760, 255, 240}));
    EXPECT_EQ(bar->tick().height(), 252);
}

TEST(Layout, AScratchSurfaceTakesThePicturesSizeInTwips) {
    // Sized by hand to 244 twips (16 pixels), then given a 16-pixel picture with auto-size on:
    // the picture's 240 twips count, not the stale 244 that happen to round to the same pixels.
    QWidget host;
    Qm_ImgScrollBar::Scratch scratch(&host, {15, 15});
    scratch.resize(244, 244);
    scratch.setAutoSize(true);
    scratch.setPicture(controls::MakePicture(QImage(16, 16, QImage::Format_RGB32)));
    EXPECT_EQ(scratch.width(), 240);
    EXPECT_EQ(scratch.height(), 240);
    // A different picture size is taken as before.
    scratch.setPicture(controls::MakePicture(QImage(20, 8, QImage::Format_RGB32)));
    EXPECT_EQ(scratch.width(), 300);
    EXPECT_EQ(scratch.height(), 120);
}

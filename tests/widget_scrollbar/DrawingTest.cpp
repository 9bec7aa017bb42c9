// What the bar looks like, pixel by pixel on the grabbed surface: the drawn tick with its
// border and grip, the built-in faces and arrow glyphs, and the backgrounds.

#include <gtest/gtest.h>

#include <set>

#include "Mouse.h"

using namespace sbtest;
using Qm_ImgScrollBar::Builtin;

namespace {

constexpr QRgb kFace = qRgb(0, 0, 255);    // TickBackColor 0x00FF0000
constexpr QRgb kBorder = qRgb(255, 0, 0);  // TickBorderColor 0x000000FF
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

QImage grabbed(Bar& bar) {
    QCoreApplication::processEvents();
    return bar.surface()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<Bar> shown(QSize px, std::vector<std::pair<DISPID, Variant>> puts) {
    auto bar = std::make_unique<Bar>(px);
    bar->putAll(puts);
    bar->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(bar->host.get()));
    return bar;
}

bool nearly(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

}  // namespace

TEST(Drawing, DrawnTickHasBorderAndGrip) {
    struct Case {
        const char* name;
        int32_t max;
        int length;     // pixels along the bar
        int ridges[4];  // columns of the grip lines
        int border;     // far border line, pixels
    };
    const Case cases[] = {
        {"252 twips", 9, 17, {6, 7, 10, 11}, 15},
        {"180 twips", 2147483647, 12, {4, 5, 8, 9}, 10},
    };
    for (bool across : {true, false}) {
        for (const Case& c : cases) {
            auto bar = shown(across ? QSize(200, 17) : QSize(17, 200),
                             {{P::Orientation, L(across ? 1 : 0)},
                              {P::Max, L(c.max)},
                              {P::TickBackColor, L(0x00FF0000)},
                              {P::TickBorderColor, L(0x000000FF)}});
            const QImage img = grabbed(*bar);
            // At Value 0 the tick touches the decrease arrow: 240 twips, 16 pixels in.
            // (a, b) counts along and across the bar from the tick's corner.
            auto at = [&](int a, int b) {
                return across ? img.pixel(16 + a, b) : img.pixel(b, 16 + a);
            };
            const std::string name = std::string(c.name) + (across ? " across" : " standing");
            std::set<int> ridges(std::begin(c.ridges), std::end(c.ridges));
            for (int a = 0; a < c.length; ++a) {
                for (int b = 0; b < 17; ++b) {
                    QRgb want = kFace;
                    const bool onBorder = (a == 1 || a == c.border) && b >= 1 && b <= 15;
                    const bool onBorderAcross = (b == 1 || b == 15) && a >= 1 && a <= c.border;
                    if (ridges.count(a) && b >= 4 && b <= 10)
                        want = (a == c.ridges[0] || a == c.ridges[2]) ? kBlack : kWhite;
                    if (onBorder || onBorderAcross) want = kBorder;
                    ASSERT_EQ(at(a, b), want) << name << " at " << a << "," << b;
                }
            }
        }
    }
}

TEST(Drawing, BuiltInFacesAndGlyphs) {
    struct Case {
        Builtin which;
        QSize size;
        // The glyph as runs: for each of 4 steps from the apex, the line it fills.
        bool acrossRows;
        int apex, step;
    };
    const Case cases[] = {
        {Builtin::UpArrow, {21, 16}, true, 6, +1},      // rows 6..9, base on 9
        {Builtin::DownArrow, {21, 16}, true, 9, -1},    // base on 6
        {Builtin::LeftArrow, {16, 21}, false, 5, +1},   // columns 5..8
        {Builtin::RightArrow, {16, 21}, false, 9, -1},  // columns 6..9
        {Builtin::Tick, {21, 21}, true, -1, 0},
    };
    for (const Case& c : cases) {
        Bar bar;
        const QImage img = bar.ctl->builtin(c.which)->image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(img.size(), c.size);
        const int w = img.width(), h = img.height();
        std::set<std::pair<int, int>> glyph;
        for (int i = 0; c.apex >= 0 && i < 4; ++i) {
            const int line = c.apex + i * c.step;
            const int mid = 9;  // the middle of the 7-pixel base from 6 to 12
            for (int k = mid - i; k <= mid + i; ++k)
                glyph.insert(c.acrossRows ? std::make_pair(k, line) : std::make_pair(line, k));
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                QRgb want = qRgb(192, 192, 192);
                // Outer edges before inner ones; the light outer edge reaches the far corners.
                if (x == w - 1 || y == h - 1)
                    want = qRgb(0, 0, 0);
                else if (x == 0 || y == 0)
                    want = qRgb(223, 223, 223);
                else if (x == w - 2 || y == h - 2)
                    want = qRgb(128, 128, 128);
                else if (x == 1 || y == 1)
                    want = qRgb(255, 255, 255);
                else if (glyph.count({x, y}))
                    want = qRgb(0, 0, 0);
                ASSERT_EQ(img.pixel(x, y), want) << int(c.which) << " at " << x << "," << y;
            }
        }
    }
}

TEST(Drawing, ArrowsShowTheirGlyphsAtTheBarsEnds) {
    // A bar 21 pixels thick shows the built-in arrows as they are.
    struct Case {
        bool across;
        Builtin decrease, increase;
    };
    for (const Case& c : {Case{true, Builtin::LeftArrow, Builtin::RightArrow},
                          Case{false, Builtin::UpArrow, Builtin::DownArrow}}) {
        auto bar = shown(c.across ? QSize(200, 21) : QSize(21, 200),
                         {{P::Orientation, L(c.across ? 1 : 0)}, {P::Max, L(9)}});
        const QImage img = grabbed(*bar);
        const QImage dec =
            bar->ctl->builtin(c.decrease)->image().convertToFormat(QImage::Format_RGB32);
        const QImage inc =
            bar->ctl->builtin(c.increase)->image().convertToFormat(QImage::Format_RGB32);
        const QPoint incAt =
            c.across ? QPoint(200 - inc.width(), 0) : QPoint(0, 200 - inc.height());
        EXPECT_EQ(img.copy(QRect(QPoint(0, 0), dec.size())), dec) << c.across;
        EXPECT_EQ(img.copy(QRect(incAt, inc.size())), inc) << c.across;
    }
}

TEST(Drawing, BackgroundStretchesOverTheBar) {
    QImage halves(20, 10, QImage::Format_RGB32);
    halves.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) halves.setPixel(x, y, qRgb(0, 160, 0));
    QImage blue(20, 10, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 200));
    const PictureRef enabledPic = controls::MakePicture(halves);
    const PictureRef disabledPic = controls::MakePicture(blue);
    struct Case {
        const char* name;
        bool bgPicture, enabled;
        QRgb left, right;
    };
    const Case cases[] = {
        {"enabled", true, true, qRgb(255, 0, 0), qRgb(0, 160, 0)},
        {"disabled", true, false, qRgb(0, 0, 200), qRgb(0, 0, 200)},
        {"no picture", false, true, qRgb(1, 2, 3), qRgb(1, 2, 3)},
    };
    for (const Case& c : cases) {
        auto bar = shown(QSize(200, 17), {{P::Orientation, L(1)},
                                          {P::BackColor, L(0x030201)},
                                          {P::ScrollBgPicture, Pic(enabledPic)},
                                          {P::ScrollEnablePicture, Pic(disabledPic)},
                                          {P::BgPicture, B(c.bgPicture)},
                                          {P::ArrowVisible, B(false)},
                                          {P::Max, L(10)},
                                          {P::Value, L(5)},
                                          {P::Enabled, B(c.enabled)}});
        const QImage img = grabbed(*bar);
        EXPECT_TRUE(nearly(img.pixel(40, 8), c.left, 8)) << c.name;
        EXPECT_TRUE(nearly(img.pixel(180, 12), c.right, 8)) << c.name;
        // Disabled hides the tick: the middle shows the background too.
        if (!c.enabled) {
            EXPECT_TRUE(nearly(img.pixel(100, 8), c.left, 8)) << c.name;
        }
    }
}

TEST(Drawing, AutoSizeShowsThePicturesUnstretched) {
    QImage track(140, 12, QImage::Format_RGB32);
    track.fill(qRgb(90, 90, 90));
    QImage tickPic(16, 12, QImage::Format_RGB32);
    tickPic.fill(qRgb(250, 200, 0));
    auto bar = shown(QSize(300, 40), {{P::Min, L(1)},
                                      {P::Orientation, L(1)},
                                      {P::BgPicture, B(true)},
                                      {P::ArrowVisible, B(false)},
                                      {P::TickPicture, Pic(controls::MakePicture(tickPic))},
                                      {P::ScrollBgPicture, Pic(controls::MakePicture(track))},
                                      {P::AutoSize, B(true)},
                                      {P::Max, L(100)},
                                      {P::Value, L(30)}});
    EXPECT_EQ(bar->surface()->size(), QSize(140, 12));
    const QImage img = grabbed(*bar);
    // 15 + 29/99 x (2100 - 240 - 30) = 551 twips: the tick's pixels start at 37.
    EXPECT_FLOAT_EQ(bar->tick().left(), 15 + 29.0f / 99 * 1830);
    EXPECT_EQ(img.pixel(36, 6), qRgb(90, 90, 90));
    EXPECT_EQ(img.pixel(37, 6), qRgb(250, 200, 0));
    EXPECT_EQ(img.pixel(52, 6), qRgb(250, 200, 0));
    EXPECT_EQ(img.pixel(53, 6), qRgb(90, 90, 90));
}

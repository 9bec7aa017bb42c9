// The page-turn animator: its arithmetic, where a frame's strip lands, and that a turn leaves
// the flip picture behind and no GDI object alive, whichever way it ends.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "bookani/BookAniMath.h"
#include "bookani/BookAniStrip.h"
#include "bookani/Cls_BookAni.h"

using bookani::Side;

namespace {

constexpr QRgb kCurLeft = 0xff102030, kCurRight = 0xff203040, kFlipLeft = 0xffa01010,
               kFlipRight = 0xff10a010, kBand = 0xff404080, kBlank = 0xffffffff;

struct Live {
    int dcs = gdi::LiveDCs(), bitmaps = gdi::LiveBitmaps(), pens = gdi::LivePens();
    bool operator==(const Live&) const = default;
};
[[maybe_unused]] void PrintTo(const Live& l, std::ostream* os) {
    *os << l.dcs << " DCs, " << l.bitmaps << " bitmaps, " << l.pens << " pens";
}

using Dc = std::unique_ptr<gdi::MemoryDC>;

// A w x h memory DC painted left | right, split at w / 2.
Dc paintedDc(int w, int h, QRgb left, QRgb right) {
    auto dc = std::make_unique<gdi::MemoryDC>(nullptr, w, h);
    QImage& img = *gdi::SurfaceOf(dc->dc());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, x < w / 2 ? left : right);
    return dc;
}

QRgb pixel(const Dc& dc, int x, int y) {
    return gdi::SurfaceOf(dc->dc())->pixel(x, y);
}

QRgb qrgb(gdi::COLORREF c) {
    return gdi::toQColor(c).rgb();
}

// A spread of w x h pages under a band of d, and a target of that size the turn is drawn on.
struct Rig {
    int w, h, d;
    Dc cur = paintedDc(w, h, kCurLeft, kCurRight), flip = paintedDc(w, h, kFlipLeft, kFlipRight),
       band = paintedDc(w, d, kBand, kBand), target = paintedDc(w, h + d, kBlank, kBlank);

    void load(Cls_BookAni& ani, int pagePos) const {
        ani.setFrameInterval(0);
        ani.Set_Width(float(w));
        ani.Set_Height(float(h));
        ani.Set_Depth(int16_t(d));
        ani.Set_PagePos(pagePos);
        ASSERT_TRUE(ani.Screen_DepthCapture(band->dc()));
        ASSERT_TRUE(ani.Load_CurBookDc(cur->dc()));
        ASSERT_TRUE(ani.Load_FlipBookDc(flip->dc()));
    }
};

TEST(BookAniMath, FrameCountFollowsTheWidth) {
    const struct {
        float width;
        int frames;
    } cases[] = {{100, 66}, {101, 60},   {500, 42},   {1024, 18}, {1025, 6},
                 {0, 6},    {100.5f, 6}, {800.5f, 6}, {-50, 6}};
    for (const auto& c : cases)
        EXPECT_EQ(bookani::frameCountForWidth(c.width), c.frames) << c.width;
}

TEST(BookAniMath, ConversionsRoundHalfToEvenAndReportOverflow) {
    const struct {
        double x;
        std::optional<int16_t> expected;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-2.5, -2},
                 {0.5, 0},
                 {32767.4, 32767},
                 {32767.5, std::nullopt},
                 {-32768.5, -32768},
                 {-32769, std::nullopt},
                 {std::nan(""), std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(bookani::toInt16(c.x), c.expected) << c.x;
    EXPECT_EQ(bookani::mul16(2, 16383), 32766);
    EXPECT_EQ(bookani::mul16(2, 16384), std::nullopt);
    EXPECT_EQ(bookani::mul16(-2, 16384), -32768);
    EXPECT_EQ(bookani::sub16(-32768, 1), std::nullopt);
}

TEST(BookAniMath, StripSpanWidthAndPlace) {
    const struct {
        Side side;
        float width;
        int16_t extent;
        int span, stripWidth, x0;
    } cases[] = {
        {Side::Left, 200, 0, 200, 100, 0},     {Side::Left, 200, 100, 100, 50, 50},
        {Side::Right, 200, 100, 100, 50, 100}, {Side::Left, 200, 195, 5, 2, 98},    // 2.5, 97.5
        {Side::Right, 200, 193, 7, 4, 100},    {Side::Left, 200, 200, 1, 0, 100},   // turned over
        {Side::Left, 200, 210, -10, -5, 105},  {Side::Right, 101, 0, 101, 51, 50},  // 51 of 101
        {Side::Left, 82, 3, 79, 39, 2},  // not 40: the spine is at 41
    };
    for (const auto& c : cases) {
        const auto s = bookani::stripAt(c.side, c.width, c.extent);
        ASSERT_TRUE(s) << c.extent;
        EXPECT_EQ(s->span, c.span);
        EXPECT_EQ(s->width, c.stripWidth) << c.extent;
        EXPECT_EQ(s->x0, c.x0) << c.extent;
    }
    EXPECT_FALSE(bookani::stripAt(Side::Right, 40000, 0));
}

// Work column c is painted (c, 90, 200), so each target column tells which one it shows.
TEST(BookAniStrip, ColumnsNearestTheSpineRiseOnTheArch) {
    const bookani::PageLook look{200, 30, 120, false, {}};
    Dc work = paintedDc(100, 30, 0, 0);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 30; ++y) gdi::SurfaceOf(work->dc())->setPixel(x, y, qRgb(x, 90, 200));
    // extent 100 leaves g = 100: a strip 50 wide, lifted 100 over the band of 120.
    const struct {
        Side side;
        int v, targetX, workColumn, top;
    } cases[] = {{Side::Left, 0, 50, 50, 120},   {Side::Left, 25, 75, 75, 20},
                 {Side::Left, 49, 99, 99, 107},  {Side::Right, 0, 100, 0, 120},
                 {Side::Right, 10, 110, 10, 62}, {Side::Right, 49, 149, 49, 107}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.targetX);
        Dc target = paintedDc(200, 150, kBlank, kBlank);
        EXPECT_EQ(bookani::drawStrip(look, c.side, work->dc(), target->dc(), 100, 100),
                  bookani::StripResult::Drawn);
        EXPECT_EQ(pixel(target, c.targetX, c.top - 1), kBlank);
        EXPECT_EQ(pixel(target, c.targetX, c.top), qRgb(c.workColumn, 90, 200));
        EXPECT_EQ(pixel(target, c.targetX, c.top + 29), qRgb(c.workColumn, 90, 200));
        EXPECT_EQ(pixel(target, c.targetX - c.v + 50, 130), kBlank);  // v = sw: not drawn
    }
}

// A frame puts back only what the last strip covered and the new one does not: the target is
// the same as when all of the last strip's columns go back first, edges and all.
TEST(BookAniStrip, AFramePutsBackWhatTheLastStripLeft) {
    bookani::PageLook look{200, 30, 20, true, {}};
    look.colours = {gdi::RGB(0, 0, 255), gdi::RGB(0, 255, 0), gdi::RGB(255, 0, 0),
                    gdi::RGB(0, 255, 255), gdi::RGB(255, 0, 255)};
    Dc work = paintedDc(100, 30, 0, 0), bg = paintedDc(200, 50, kBand, kFlipRight);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 50; ++y) {
            if (x < 100 && y < 30) gdi::SurfaceOf(work->dc())->setPixel(x, y, qRgb(x, 2 * y, 200));
            gdi::SurfaceOf(bg->dc())->setPixel(x, y, qRgb(x, 5 * y, 77));
        }
    // The background also as the turn reads it: the band's rows, then the page's from below.
    Dc below = paintedDc(200, 30, 0, 0);
    gdi::BitBlt(below->dc(), 0, 0, 200, 30, bg->dc(), 0, 20, gdi::SRCCOPY);
    const std::pair<int16_t, int16_t> frames[] = {{20, 2},  {60, 6},   {100, 10}, {140, 6},
                                                  {180, 2}, {200, 1},  {120, 8},  {40, 3}};
    for (const auto& [side, split] : {std::pair{Side::Left, false}, std::pair{Side::Right, false},
                                      std::pair{Side::Left, true}, std::pair{Side::Right, true}}) {
        Dc fast = paintedDc(200, 50, 0, 0), slow = paintedDc(200, 50, 0, 0);
        for (const Dc* t : {&fast, &slow})
            gdi::BitBlt((*t)->dc(), 0, 0, 200, 50, bg->dc(), 0, 0, gdi::SRCCOPY);
        std::optional<bookani::Columns> dirty;
        for (const auto& [extent, lift] : frames) {
            SCOPED_TRACE(testing::Message() << int(side) << " " << split << " " << extent);
            if (dirty)
                gdi::BitBlt(slow->dc(), dirty->from, 0, dirty->to - dirty->from, 50, bg->dc(),
                            dirty->from, 0, gdi::SRCCOPY);
            bookani::Columns drawn;
            const auto expected =
                bookani::drawStrip(look, side, work->dc(), slow->dc(), extent, lift, &drawn);
            const bookani::Restore restore{bg->dc(), dirty.value_or(bookani::Columns{}), 50,
                                           split ? below->dc() : nullptr, split ? 20 : 0};
            EXPECT_EQ(bookani::drawStrip(look, side, work->dc(), fast->dc(), extent, lift,
                                         nullptr, dirty ? &restore : nullptr),
                      expected);
            ASSERT_EQ(*gdi::SurfaceOf(fast->dc()), *gdi::SurfaceOf(slow->dc()));
            dirty = drawn;
        }
    }
}

TEST(BookAniStrip, APageTurnedAllTheWayDrawsNothing) {
    const bookani::PageLook look{200, 30, 10, true, {}};
    Dc work = paintedDc(100, 30, kCurLeft, kCurLeft), target = paintedDc(200, 40, kBlank, kBlank);
    const QImage untouched = gdi::SurfaceOf(target->dc())->copy();
    const Live before;
    for (const int16_t extent : {200, 205}) {  // g = 0 taken as 1, and g < 0
        EXPECT_EQ(bookani::drawStrip(look, Side::Left, work->dc(), target->dc(), extent, 2),
                  bookani::StripResult::Empty);
    }
    EXPECT_EQ(*gdi::SurfaceOf(target->dc()), untouched);
    EXPECT_EQ(Live(), before);
}

TEST(BookAniTurn, PositionsThatTurnNothingLeaveTheTargetAlone) {
    const Rig rig{80, 40, 4};
    for (const int32_t pos : {0, 3, 70000}) {
        SCOPED_TRACE(pos);
        const Live before;
        {
            Cls_BookAni ani;
            rig.load(ani, pos);
            EXPECT_EQ(ani.PagePos(), pos == 70000 ? 0 : pos);
            const Live loaded;
            EXPECT_FALSE(ani.Move_Flip(rig.target->dc(), nullptr));
            EXPECT_EQ(Live(), loaded);  // the work surface went with the turn
        }
        EXPECT_EQ(Live(), before);
        for (const QPoint p : {QPoint(0, 0), QPoint(20, 30), QPoint(79, 43)})
            EXPECT_EQ(pixel(rig.target, p.x(), p.y()), kBlank);
    }
}

TEST(BookAniTurn, TheTurnEndsOnTheFlipPictureAndReleasesEverything) {
    QWidget window;
    for (const int pos : {1, 2}) {
        for (const int16_t border : {0, -1}) {
            SCOPED_TRACE(pos * 10 + border);
            const Rig rig{80, 40, 4};
            const Live before;
            {
                Cls_BookAni ani;
                rig.load(ani, pos);
                ani.Set_Border(border);
                const Live loaded;
                EXPECT_TRUE(ani.Move_Flip(rig.target->dc(), &window));
                EXPECT_EQ(Live(), loaded);
            }
            EXPECT_EQ(Live(), before);
            EXPECT_EQ(pixel(rig.target, 10, 0), kBand);
            EXPECT_EQ(pixel(rig.target, 20, 24), kFlipLeft);
            EXPECT_EQ(pixel(rig.target, 60, 24), kFlipRight);
        }
    }
}

// With one frame the last strip is the whole flip page lifted by the whole band (D / 1), so its
// edges stay on the target and its column at g / 4 reaches the top row.
TEST(BookAniTurn, OnlyBorderMinusOneDrawsThePageEdges) {
    const gdi::COLORREF c[5] = {gdi::RGB(250, 0, 0), gdi::RGB(0, 250, 0), gdi::RGB(0, 0, 250),
                                gdi::RGB(250, 250, 0), gdi::RGB(0, 250, 250)};
    const QRgb edge[5] = {qrgb(c[0]), qrgb(c[1]), qrgb(c[2]), qrgb(c[3]), qrgb(c[4])};
    const struct {
        int pos;
        int16_t border;
        QPoint at;
        QRgb colour;
    } cases[] = {
        {1, -1, {79, 24}, edge[1]},    {1, -1, {78, 24}, edge[2]},  {1, -1, {76, 24}, edge[4]},
        {1, -1, {75, 24}, kFlipRight}, {1, -1, {60, 0}, edge[0]},   {1, -1, {40, 0}, kBand},
        {2, -1, {0, 24}, edge[0]},     {2, -1, {2, 24}, edge[2]},   {2, -1, {4, 24}, edge[4]},
        {2, -1, {5, 24}, kFlipLeft},   {2, -1, {20, 1}, edge[1]},   {2, -1, {0, 0}, kBand},
        {1, 1, {79, 24}, kFlipRight},  {1, 1, {60, 0}, kFlipRight}, {2, 0, {0, 24}, kFlipLeft},
        {2, 0, {4, 24}, kFlipLeft},    {2, 0, {20, 1}, kFlipLeft},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(testing::Message() << "pos " << tc.pos << " border " << tc.border << " at "
                                        << tc.at.x() << "," << tc.at.y());
        const Rig rig{80, 40, 4};
        Cls_BookAni ani;
        rig.load(ani, tc.pos);
        ani.Set_FrameCount(1);
        ani.Set_Border(tc.border);
        ani.Set_Color(c[0], c[1], c[2], c[3], c[4]);
        ASSERT_TRUE(ani.Move_Flip(rig.target->dc(), nullptr));
        EXPECT_EQ(pixel(rig.target, tc.at.x(), tc.at.y()), tc.colour);
    }
}

// The last frame lies flat (a band of 2 lifts it by round(2 / N) = 0), so every page column
// shows the flip picture's; at odd widths one page is a column wider than half the spread.
TEST(BookAniTurn, EveryColumnTurnsInTwoHalvesOfFramesAtEvenAndOddWidths) {
    const struct {
        int width, frames;
    } cases[] = {{80, 132}, {81, 132}, {82, 132}, {83, 132}, {801, 36}, {1024, 36}, {1025, 12}};
    for (const auto& c : cases) {
        for (const int pos : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "width " << c.width << " pos " << pos);
            const Rig rig{c.width, 3, 2};
            Cls_BookAni ani;
            rig.load(ani, pos);
            int frames = 0;
            ani.setStopWhen([&] { return ++frames < 0; });
            ASSERT_TRUE(ani.Move_Flip(rig.target->dc(), nullptr));
            EXPECT_EQ(frames, c.frames);
            int wrong = 0;
            for (int x = 0; x < c.width; ++x)
                for (int y = 0; y < 3; ++y)
                    wrong += pixel(rig.target, x, y + 2) != pixel(rig.flip, x, y);
            EXPECT_EQ(wrong, 0);
        }
    }
}

// A strip of no width skips its frame only; a 16-bit overflow ends the turn.
TEST(BookAniTurn, StepsPastTheEdgeGoOnAndOverflowsStop) {
    const struct {
        int width;
        int16_t frames;
        int pos;
        bool drawn;
    } cases[] = {{200, 4, 1, true},      // the first half ends on g = 0
                 {100, 6, 1, true},      // 6 * 17 > 100: g < 0
                 {40000, 2, 1, false},   // 2 * 20000
                 {40000, 2, 2, false},   //
                 {40000, 1, 1, false},   // the step itself
                 {33000, 2, 1, false}};  // g = 33000 on the very last frame
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width * 10 + c.frames);
        const Rig rig{c.width, 4, 2};
        const Live before;
        {
            Cls_BookAni ani;
            rig.load(ani, c.pos);
            ani.Set_FrameCount(c.frames);
            ani.Set_Border(-1);
            EXPECT_EQ(ani.Move_Flip(rig.target->dc(), nullptr), c.drawn);
        }
        EXPECT_EQ(Live(), before);
    }
}

TEST(BookAniTurn, EachFrameStaysForTheInterval) {
    const Rig rig{80, 20, 4};
    Cls_BookAni ani;
    rig.load(ani, 2);
    ani.Set_FrameCount(4);
    ani.setFrameInterval(5);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(ani.Move_Flip(rig.target->dc(), nullptr));
    EXPECT_GE(timer.elapsed(), 7 * 5);  // 8 frames, 7 gaps
}

// Events run between frames; one of them may start another turn or close the window.
TEST(BookAniTurn, PendingEventsCannotPullTheTurnApart) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy);
        const Rig rig{80, 20, 4};
        const Live before;
        auto* ani = new Cls_BookAni;
        rig.load(*ani, 1);
        bool nested = true;
        QTimer::singleShot(0, [&] {
            if (destroy)
                delete ani;
            else
                nested = ani->Move_Flip(rig.target->dc(), nullptr);
        });
        EXPECT_EQ(ani->Move_Flip(rig.target->dc(), nullptr), !destroy);
        if (!destroy) {
            EXPECT_FALSE(nested);  // refused while the first one runs
            delete ani;
        }
        EXPECT_EQ(Live(), before);
    }
}

TEST(BookAniSurfaces, ABorrowedBitmapStaysWithItsOwner) {
    QImage page(80, 40, QImage::Format_RGB32);
    page.fill(kCurLeft);
    gdi::HBITMAP borrowed = gdi::CreateBitmapFromImage(page);
    const Rig rig{80, 40, 4};
    const Live before;
    {
        Cls_BookAni ani;
        rig.load(ani, 1);
        ASSERT_TRUE(ani.Load_CurBookHandle(rig.target->dc(), borrowed));
        ASSERT_TRUE(ani.Load_CurBookHandle(rig.target->dc(), borrowed));  // reloading frees it
        EXPECT_TRUE(ani.Move_Flip(rig.target->dc(), nullptr));
        // Selected into another DC, a bitmap cannot be borrowed.
        EXPECT_FALSE(ani.Load_FlipBookHandle(nullptr, rig.cur->bitmap()));
    }
    EXPECT_EQ(Live(), before);
    ASSERT_NE(gdi::ImageOf(borrowed), nullptr);
    EXPECT_EQ(gdi::ImageOf(borrowed)->pixel(79, 39), kCurLeft);
    EXPECT_TRUE(gdi::DeleteObject(borrowed));  // selected into nothing
}

TEST(BookAniSurfaces, PicturesLoadFromFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("flip.png");
    ASSERT_TRUE(gdi::SurfaceOf(paintedDc(80, 40, kFlipRight, kFlipLeft)->dc())->save(path));
    const Rig rig{80, 40, 4};
    const Live before;
    {
        Cls_BookAni ani;
        rig.load(ani, 2);
        EXPECT_FALSE(ani.Load_CurBookPath(dir.filePath("missing.png"), nullptr));
        EXPECT_FALSE(ani.Move_Flip(rig.target->dc(), nullptr));  // no current picture now
        ASSERT_TRUE(ani.Load_CurBookDc(rig.cur->dc()));
        ASSERT_TRUE(ani.Load_FlipBookPath(path, rig.target->dc()));
        EXPECT_TRUE(ani.Move_Flip(rig.target->dc(), nullptr));
    }
    EXPECT_EQ(Live(), before);
    EXPECT_EQ(pixel(rig.target, 20, 24), kFlipRight);
}

}  // namespace

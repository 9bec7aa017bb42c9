#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <map>
#include <string>
#include <vector>

#include "forms/PictureBox.h"
#include "graphics/Gdi.h"

using namespace gdi;
using Rows = std::vector<std::string>;

namespace {

// Pixels as letters, so a table shows the expected picture: '.' is the untouched background.
const std::map<char, QRgb> kInk = {
    {'.', 0xFF808080}, {'A', 0xFFFF0000}, {'B', 0xFF00FF00}, {'C', 0xFF0000FF}, {'D', 0xFFFFFF00},
    {'E', 0xFFFF00FF}, {'F', 0xFF00FFFF}, {'G', 0xFF400000}, {'H', 0xFF004000}, {'I', 0xFF000040},
    {'K', 0xFF000000}, {'W', 0xFFFFFFFF}, {'X', 0xFFFF8000}};

QImage picture(const Rows& rows) {
    QImage img(int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, kInk.at(rows[y][x]));
    return img;
}

Rows letters(const QImage& img) {
    Rows rows(img.height(), std::string(img.width(), '?'));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            for (const auto& [c, rgb] : kInk)
                if (img.pixel(x, y) == rgb) rows[y][x] = c;
    return rows;
}

// A memory DC holding a bitmap drawn from letters.
struct Canvas {
    explicit Canvas(const Rows& rows) : mem(nullptr, int(rows[0].size()), int(rows.size())) {
        *SurfaceOf(mem.dc()) = picture(rows);
    }
    Rows rows() const { return letters(*SurfaceOf(mem.dc())); }
    MemoryDC mem;
};

const Rows kBlank4 = {"....", "....", "....", "...."};

struct BlitCase {
    const char* name;
    int x, y, w, h, sx, sy;
    Rows expected;
};

}  // namespace

TEST(Gdi, ColoursAreBgrAndTheTopBitNamesSystemColours) {
    const QPalette pal = QGuiApplication::palette();
    const std::pair<COLORREF, QColor> cases[] = {
        {0x00332211, QColor(0x11, 0x22, 0x33)},
        {RGB(255, 0, 0), QColor(Qt::red)},
        {0x8000000F, pal.color(QPalette::Button)},
        {0x80000005, pal.color(QPalette::Base)},
        {0x80000012, pal.color(QPalette::ButtonText)},
        {0x800000FE, pal.color(QPalette::Button)},  // unknown index: button face
    };
    for (const auto& [c, expected] : cases) EXPECT_EQ(toQColor(c), expected) << std::hex << c;
    EXPECT_EQ(fromQColor(QColor(0x11, 0x22, 0x33)), 0x00332211u);
}

TEST(Gdi, BitBltCopiesExactPixelsClippedToBothSurfaces) {
    const Rows source = {"ABC", "DEF", "GHI"};
    const BlitCase cases[] = {
        {"inside", 1, 1, 2, 2, 0, 0, {"....", ".AB.", ".DE.", "...."}},
        {"negative destination", -1, -1, 3, 3, 0, 0, {"EF..", "HI..", "....", "...."}},
        {"negative source", 0, 0, 3, 3, -1, -1, {"....", ".AB.", ".DE.", "...."}},
        {"past right and bottom", 2, 2, 3, 3, 0, 0, {"....", "....", "..AB", "..DE"}},
        {"source past its edge", 0, 0, 3, 3, 1, 1, {"EF..", "HI..", "....", "...."}},
        {"wholly outside", 4, 0, 2, 2, 0, 0, kBlank4},
        {"empty block", 0, 0, 0, 2, 0, 0, kBlank4},
    };
    for (const BlitCase& c : cases) {
        Canvas src(source), dst(kBlank4);
        EXPECT_TRUE(BitBlt(dst.mem.dc(), c.x, c.y, c.w, c.h, src.mem.dc(), c.sx, c.sy, SRCCOPY));
        EXPECT_EQ(dst.rows(), c.expected) << c.name;
        EXPECT_EQ(src.rows(), source) << c.name;
    }
    Canvas self({"ABC."});  // overlapping blocks on one DC read the original pixels
    ASSERT_TRUE(BitBlt(self.mem.dc(), 1, 0, 3, 1, self.mem.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(self.rows(), Rows{"AABC"});
    EXPECT_FALSE(BitBlt(self.mem.dc(), 0, 0, 1, 1, self.mem.dc(), 0, 0, 0x00EE0086));  // SRCPAINT
}

TEST(Gdi, StretchBltNearestPicksWholeSourcePixels) {
    struct Case {
        const char* name;
        int x, y, w, h, sx, sy, sw, sh;
        Rows expected;
    };
    const Case cases[] = {
        {"2x", 0, 0, 4, 4, 0, 0, 2, 2, {"AABB", "AABB", "CCDD", "CCDD"}},
        {"1:1", 1, 1, 2, 2, 0, 0, 2, 2, {"....", ".AB.", ".CD.", "...."}},
        {"mirrored by width", 4, 0, -4, 4, 0, 0, 2, 2, {"BBAA", "BBAA", "DDCC", "DDCC"}},
        {"mirrored by source height", 0, 0, 4, 4, 0, 2, 2, -2, {"CCDD", "CCDD", "AABB", "AABB"}},
        {"both negative is upright", 4, 4, -4, -4, 2, 2, -2, -2, {"AABB", "AABB", "CCDD", "CCDD"}},
        {"clipped at top left", -2, -2, 4, 4, 0, 0, 2, 2, {"DD..", "DD..", "....", "...."}},
        {"source past its edge", 0, 0, 4, 4, 1, 0, 2, 2, {"BB..", "BB..", "DD..", "DD.."}},
    };
    for (int mode : {BLACKONWHITE, COLORONCOLOR}) {
        for (const Case& c : cases) {
            Canvas src({"AB", "CD"}), dst(kBlank4);
            SetStretchBltMode(dst.mem.dc(), mode);
            EXPECT_TRUE(StretchBlt(dst.mem.dc(), c.x, c.y, c.w, c.h, src.mem.dc(), c.sx, c.sy, c.sw,
                                   c.sh, SRCCOPY));
            EXPECT_EQ(dst.rows(), c.expected) << c.name << " mode " << mode;
        }
    }
}

TEST(Gdi, StretchBltHalftoneBlendsAnEdgeAndOtherModesDoNot) {
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        Canvas src({"KW"}), dst({"........"});
        SetStretchBltMode(dst.mem.dc(), mode);
        ASSERT_TRUE(StretchBlt(dst.mem.dc(), 0, 0, 8, 1, src.mem.dc(), 0, 0, 2, 1, SRCCOPY));
        const QImage& out = *SurfaceOf(dst.mem.dc());
        int between = 0;
        for (int x = 0; x < 8; ++x)
            between += qRed(out.pixel(x, 0)) > 20 && qRed(out.pixel(x, 0)) < 235;
        EXPECT_LT(qRed(out.pixel(0, 0)), 20) << mode;
        EXPECT_GT(qRed(out.pixel(7, 0)), 235) << mode;
        EXPECT_EQ(between > 0, mode == HALFTONE) << mode;
    }
}

TEST(Gdi, SetStretchBltModeReturnsThePreviousMode) {
    MemoryDC m(nullptr, 1, 1);
    struct Step {
        int mode, returned, after;
    };
    const Step steps[] = {{HALFTONE, BLACKONWHITE, HALFTONE},
                          {COLORONCOLOR, HALFTONE, COLORONCOLOR},
                          {0, 0, COLORONCOLOR},  // not a mode: refused, nothing changes
                          {HALFTONE, COLORONCOLOR, HALFTONE}};
    for (const Step& s : steps) {
        EXPECT_EQ(SetStretchBltMode(m.dc(), s.mode), s.returned) << s.mode;
        EXPECT_EQ(GetStretchBltMode(m.dc()), s.after) << s.mode;
    }
}

TEST(Gdi, LineToDrawsUpToButExcludingTheEndPoint) {
    struct Case {
        const char* name;
        std::vector<QPoint> path;
        Rows expected;
    };
    const Case cases[] = {
        {"horizontal", {{0, 1}, {4, 1}}, {".....", "XXXX.", ".....", ".....", "....."}},
        {"leftwards", {{4, 3}, {0, 3}}, {".....", ".....", ".....", ".XXXX", "....."}},
        {"vertical", {{2, 0}, {2, 3}}, {"..X..", "..X..", "..X..", ".....", "....."}},
        {"diagonal", {{0, 0}, {3, 3}}, {"X....", ".X...", "..X..", ".....", "....."}},
        {"shallow", {{0, 0}, {3, 1}}, {"XX...", "..X..", ".....", ".....", "....."}},
        {"steep upwards", {{4, 4}, {3, 1}}, {".....", ".....", "...X.", "....X", "....X"}},
        {"polyline continues",
         {{0, 0}, {2, 0}, {2, 2}},
         {"XXX..", "..X..", ".....", ".....", "....."}},
        {"zero length", {{1, 1}, {1, 1}}, {".....", ".....", ".....", ".....", "....."}},
        {"clipped", {{-2, 4}, {3, 4}}, {".....", ".....", ".....", ".....", "XXX.."}},
    };
    const int live = LivePens();
    for (const Case& c : cases) {
        Canvas dst({".....", ".....", ".....", ".....", "....."});
        HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 128, 0));  // width 0 draws one pixel
        HPEN old = SelectObject(dst.mem.dc(), pen);
        MoveToEx(dst.mem.dc(), c.path[0].x(), c.path[0].y(), nullptr);
        for (size_t i = 1; i < c.path.size(); ++i)
            LineTo(dst.mem.dc(), c.path[i].x(), c.path[i].y());
        QPoint at;
        MoveToEx(dst.mem.dc(), 0, 0, &at);
        EXPECT_EQ(at, c.path.back()) << c.name;
        EXPECT_EQ(dst.rows(), c.expected) << c.name;
        EXPECT_EQ(SelectObject(dst.mem.dc(), old), pen);
        EXPECT_TRUE(DeleteObject(pen));
    }
    EXPECT_EQ(LivePens(), live);
}

TEST(Gdi, SelectedObjectsCannotBeDeletedOrShared) {
    const int dcs = LiveDCs(), bitmaps = LiveBitmaps(), pens = LivePens();
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(a);
    HBITMAP one = CreateCompatibleBitmap(a, 3, 2),
            two = CreateBitmapFromImage(QImage(5, 5, QImage::Format_ARGB32));
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(1, 2, 3));
    EXPECT_EQ(LiveDCs(), dcs + 2);
    EXPECT_EQ(LiveBitmaps(), bitmaps + 2);

    HBITMAP stock = SelectObject(a, one);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(ImageOf(stock)->size(), QSize(1, 1));
    EXPECT_EQ(ImageOf(two)->format(), QImage::Format_RGB32);
    EXPECT_EQ(SelectObject(b, one), nullptr);  // already in a
    EXPECT_FALSE(DeleteObject(one));
    EXPECT_FALSE(DeleteObject(stock));
    EXPECT_EQ(SelectObject(a, two), one);  // displaced, so free again
    EXPECT_EQ(SelectObject(b, one), stock);
    EXPECT_EQ(SelectObject(b, one), one);
    HPEN stockPen = SelectObject(a, pen);
    EXPECT_EQ(SelectObject(b, pen), stockPen);  // one pen may serve many DCs
    EXPECT_EQ(SelectObject(a, stockPen), pen);
    EXPECT_FALSE(DeleteObject(pen));  // still in b
    EXPECT_TRUE(DeleteDC(b));         // frees one and the pen
    EXPECT_TRUE(DeleteObject(one));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));  // a stale handle is refused, not a crash
    EXPECT_EQ(SelectObject(a, stock), two);
    EXPECT_TRUE(DeleteObject(two));
    EXPECT_TRUE(DeleteDC(a));

    HDC window = CreateWindowDC([] { return nullptr; }, [] {});
    EXPECT_FALSE(DeleteDC(window));
    EXPECT_EQ(SelectObject(window, stock), nullptr);
    EXPECT_EQ(LiveDCs(), dcs);  // window DCs are their owner's
    ReleaseWindowDC(window);
    {
        MemoryDC m(nullptr, 4, 4);
        EXPECT_EQ(LiveDCs(), dcs + 1);
    }
    EXPECT_EQ(LiveDCs(), dcs);
    EXPECT_EQ(LiveBitmaps(), bitmaps);
    EXPECT_EQ(LivePens(), pens);
}

TEST(Gdi, DrawingThroughAPictureBoxDcLandsInItsImage) {
    for (bool autoRedraw : {false, true}) {
        forms::PictureBox box;
        box.resize(6, 4);
        box.setBackColor(RGB(128, 128, 128));
        box.setAutoRedraw(autoRedraw);
        Canvas src({"AB", "CD"});
        ASSERT_TRUE(BitBlt(box.hDC(), 4, 2, 2, 2, src.mem.dc(), 0, 0, SRCCOPY));
        MoveToEx(box.hDC(), 0, 0, nullptr);
        LineTo(box.hDC(), 3, 0);  // the stock pen is black
        EXPECT_EQ(letters(box.screenImage()), (Rows{"KKK...", "......", "....AB", "....CD"}))
            << autoRedraw;
        EXPECT_EQ(SurfaceOf(box.hDC())->size(), QSize(6, 4));
    }
}

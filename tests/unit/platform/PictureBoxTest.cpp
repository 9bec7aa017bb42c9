#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <functional>
#include <vector>

#include "forms/PictureBox.h"

using forms::PictureBox;

namespace {

constexpr gdi::COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;

QRgb at(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}
QRgb rgbOf(gdi::COLORREF c) {
    return gdi::toQColor(c).rgb() & 0xFFFFFF;
}

// The rows of img that hold a pixel darker than mid grey.
std::vector<int> darkRows(const QImage& img) {
    std::vector<int> rows;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                rows.push_back(y);
                break;
            }
    return rows;
}

struct Box : PictureBox {
    Box(int w, int h) {
        resize(w, h);
        setBackColor(kWhite);
    }
};

}  // namespace

TEST(PictureBox, ClsReturnsToThePersistentImage) {
    Box box(10, 10);
    box.setAutoRedraw(true);
    box.FillRect(QRect(0, 0, 3, 3), kRed);  // persistent
    box.setAutoRedraw(false);
    box.Line(5, 5, 8, 5, kBlue);  // on screen only
    EXPECT_EQ(at(box.screenImage(), 1, 1), rgbOf(kRed));
    EXPECT_EQ(at(box.screenImage(), 8, 5), rgbOf(kBlue));  // Line includes its end point
    EXPECT_EQ(at(box.image(), 8, 5), rgbOf(kWhite));

    box.Cls();
    EXPECT_EQ(at(box.screenImage(), 1, 1), rgbOf(kRed));
    EXPECT_EQ(at(box.screenImage(), 8, 5), rgbOf(kWhite));

    // Turning AutoRedraw back on starts from that persistent image; Cls then blanks it.
    box.setAutoRedraw(true);
    EXPECT_EQ(at(box.image(), 1, 1), rgbOf(kRed));
    box.Cls();
    EXPECT_EQ(at(box.image(), 1, 1), rgbOf(kWhite));

    // A new back colour erases even the persistent drawing.
    box.FillRect(QRect(0, 0, 3, 3), kRed);
    box.setAutoRedraw(false);
    box.setBackColor(kBlue);
    box.Cls();
    EXPECT_EQ(at(box.screenImage(), 1, 1), rgbOf(kBlue));
}

TEST(PictureBox, PictureSitsAtTheOriginAndAutoSizeTakesItsSize) {
    QImage pic(3, 2, QImage::Format_RGB32);
    pic.fill(Qt::red);
    for (bool autoRedraw : {false, true}) {
        Box box(10, 10);
        box.setAutoRedraw(autoRedraw);
        box.FillRect(QRect(0, 0, 10, 10), kBlue);
        box.setPicture(pic);  // replaces what was drawn
        const QImage img = box.screenImage();
        EXPECT_EQ(at(img, 0, 0), 0xFF0000u);
        EXPECT_EQ(at(img, 2, 1), 0xFF0000u);
        EXPECT_EQ(at(img, 3, 1), rgbOf(kWhite));
        EXPECT_EQ(at(img, 2, 2), rgbOf(kWhite));
        box.Line(0, 5, 9, 5, kBlue);
        box.Cls();
        EXPECT_EQ(at(box.screenImage(), 0, 0), 0xFF0000u) << autoRedraw;
        EXPECT_EQ(at(box.screenImage(), 0, 5), rgbOf(kWhite)) << autoRedraw;
        box.setAutoSize(true);
        EXPECT_EQ(box.size(), QSize(3, 2));
        EXPECT_EQ(box.screenImage().size(), QSize(3, 2));
    }
}

TEST(PictureBox, PrintWritesOneLineBelowTheOther) {
    Box box(200, 120);
    QFont f = box.font();
    f.setPixelSize(16);
    box.setFont(f);
    const int line = QFontMetrics(f).height();
    box.setAutoRedraw(true);
    box.setCurrentX(7);
    box.Print(QStringLiteral("가나 Hg"));
    EXPECT_EQ(box.currentX(), 0);
    EXPECT_EQ(box.currentY(), line);
    box.Print(QString());  // an empty Print only moves down
    box.Print(QStringLiteral("다라 Hg"));
    EXPECT_EQ(box.currentY(), 3 * line);

    const std::vector<int> rows = darkRows(box.image());
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), line / 2);  // the first line starts near the top
    for (int y : rows) EXPECT_TRUE(y < line || (y >= 2 * line && y < 3 * line)) << y;
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](int y) { return y >= 2 * line; }));
}

TEST(PictureBox, ResizeKeepsContentAndFillsWithTheBackColour) {
    for (bool autoRedraw : {false, true}) {
        Box box(4, 4);
        box.setAutoRedraw(autoRedraw);
        box.Line(0, 0, 3, 3, kRed);
        box.resize(8, 6);
        const QImage img = box.screenImage();
        ASSERT_EQ(img.size(), QSize(8, 6));
        EXPECT_EQ(at(img, 3, 3), rgbOf(kRed)) << autoRedraw;
        EXPECT_EQ(at(img, 7, 5), rgbOf(kWhite)) << autoRedraw;
        box.Line(7, 5, 7, 5, kBlue);  // the new area is drawable too
        EXPECT_EQ(at(box.screenImage(), 7, 5), rgbOf(kBlue)) << autoRedraw;
        box.resize(2, 2);
        EXPECT_EQ(box.screenImage().size(), QSize(2, 2));
        EXPECT_EQ(at(box.screenImage(), 1, 1), rgbOf(kRed)) << autoRedraw;
    }
}

// What the box paints on the window must be its screen image, whether it holds an image or
// paints its plain background (colour, Picture, Drawing) straight away.
TEST(PictureBox, PaintsWhatItsScreenImageHolds) {
    QImage pic(4, 3, QImage::Format_RGB32);
    pic.fill(Qt::green);
    const auto drawing = [](QPainter& p, const QRect&) { p.fillRect(QRect(6, 0, 1, 8), Qt::red); };
    struct Step {
        const char* name;
        std::function<void(Box&)> act;
        QPoint probe;
        QRgb want;
    };
    const std::vector<Step> steps = {
        {"plain", [](Box&) {}, {7, 7}, rgbOf(kWhite)},
        {"picture", [&](Box& b) { b.setPicture(pic); }, {3, 2}, 0x00FF00u},
        {"drawing", [&](Box& b) { b.setDrawing(drawing); }, {6, 7}, 0xFF0000u},
        {"drawn on", [](Box& b) { b.Line(0, 5, 9, 5, kBlue); }, {6, 5}, rgbOf(kBlue)},
        {"cleared", [](Box& b) { b.Cls(); }, {6, 5}, 0xFF0000u},
        {"persistent", [](Box& b) { b.setAutoRedraw(true); b.FillRect({8, 8, 2, 2}, kBlue); },
         {9, 9}, rgbOf(kBlue)},
        {"shown again", [](Box& b) { b.setAutoRedraw(false); b.Cls(); }, {9, 9}, rgbOf(kBlue)},
        {"new colour", [](Box& b) { b.setBackColor(kRed); }, {9, 9}, rgbOf(kRed)},
        {"no drawing", [](Box& b) { b.setDrawing({}); }, {6, 7}, rgbOf(kRed)},
    };
    Box box(10, 10);
    for (const Step& s : steps) {
        s.act(box);
        const QImage shown = box.screenImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(at(shown, s.probe.x(), s.probe.y()), s.want) << s.name;
        EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), shown) << s.name;
    }
}

// A picture compiled into the program is let go of while its box is hidden: it comes back
// the same, and the box still has it.
TEST(PictureBox, AHiddenBoxTakesItsResourcePictureAgain) {
    const QStringList pngs = QDir(QStringLiteral(":/qt-project.org/styles/commonstyle/images"))
                                 .entryList({QStringLiteral("*.png")});
    if (pngs.isEmpty()) GTEST_SKIP() << "no picture among the toolkit's resources";
    const QImage pic = gdi::LoadImageFor(
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/") + pngs.first(), 1);
    ASSERT_FALSE(pic.isNull());
    Box box(40, 40);
    box.setPicture(pic);
    const QImage before = box.screenImage();
    for (int round = 0; round < 2; ++round) {
        box.hide();
        EXPECT_TRUE(box.hasPicture());
        EXPECT_EQ(box.picture().convertToFormat(QImage::Format_ARGB32),
                  pic.convertToFormat(QImage::Format_ARGB32));
        EXPECT_EQ(box.screenImage(), before) << round;
        box.setPicture(pic);  // set while hidden
        EXPECT_EQ(box.grab().toImage().convertToFormat(before.format()), before) << round;
    }
}

// An image that covers the box becomes its buffer as it is; any other is copied at the origin.
TEST(PictureBox, ClsWithTakesACoveringImageAsItIs) {
    struct Case {
        bool autoRedraw;
        QSize size;
        bool taken;
    };
    for (const Case& c : {Case{true, {10, 10}, true}, Case{true, {4, 4}, false},
                          Case{false, {10, 10}, false}}) {
        Box box(10, 10);
        box.setAutoRedraw(c.autoRedraw);
        box.FillRect(QRect(0, 0, 10, 10), kBlue);
        QImage img(c.size, QImage::Format_RGB32);
        img.fill(Qt::red);
        const qint64 key = img.cacheKey();
        box.ClsWith(img);
        const QImage shown = box.screenImage();
        EXPECT_EQ(shown.cacheKey() == key, c.taken) << c.size.width();
        EXPECT_EQ(at(shown, 3, 3), 0xFF0000u) << c.size.width();
        EXPECT_EQ(at(shown, 9, 9), c.size.width() == 10 ? 0xFF0000u : rgbOf(kWhite));
    }
}

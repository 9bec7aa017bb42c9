#include <gtest/gtest.h>

#include <QFontMetrics>
#include <algorithm>
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

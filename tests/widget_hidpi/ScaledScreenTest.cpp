// The reader on a scaled screen (run with --scale=1, 1.5 and 2): surfaces hold the screen's
// device pixels, so letters are drawn at its resolution, while every position, size and hit
// stays where the unscaled layout puts it.

#include <QCheckBox>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "../common/Controls.h"
#include "../widget/ReaderFixture.h"
#include "forms/PictureBox.h"

namespace {

qreal expectedRatio() {
    return qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")
               ? 1.0
               : qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
}

// Of the aligned 2 x 2 blocks of device pixels that hold ink, the share whose four pixels are
// alike: near 1 for letters drawn at half the resolution and enlarged, far lower for letters
// drawn at the screen's own.
double doubledShare(const QImage& page, const QRect& area, QRgb paper) {
    const QImage img = page.convertToFormat(QImage::Format_RGB32);
    int inked = 0, alike = 0;
    for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2) {
        for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
            const QRgb a = img.pixel(x, y), b = img.pixel(x + 1, y), c = img.pixel(x, y + 1),
                       d = img.pixel(x + 1, y + 1);
            if (a == paper && b == paper && c == paper && d == paper) continue;
            ++inked;
            if (a == b && a == c && a == d) ++alike;
        }
    }
    return inked ? double(alike) / inked : 1.0;
}

class ScaledScreen : public Reading {
protected:
    void SetUp() override {
        start();
        ASSERT_EQ(window->devicePixelRatioF(), expectedRatio());
        open(writeBook(QStringLiteral("책.txt"), numberedBook(3000)));
        ASSERT_GT(window->pages().count, 10);
        window->pageBar().setValue(5);
        ASSERT_EQ(window->pages().current, 5);
    }
};

// What the unscaled layout of a 1000 x 700 window gives; the same at every ratio.
TEST_F(ScaledScreen, LayoutIsTheUnscaledOneAndTheTextIsDrawnAtTheScreensResolution) {
    const struct {
        const char* what;
        QRect got, want;
    } places[] = {
        {"left page", control<forms::PictureBox>(*window, "PicRead", 0)->geometry(),
         QRect(0, 0, 480, 618)},
        {"right page", control<forms::PictureBox>(*window, "PicRead", 1)->geometry(),
         QRect(481, 0, 480, 618)},
        {"left number", control<forms::Label>(*window, "lblread", 0)->geometry(),
         QRect(30, 18, 7, 14)},
        {"right number", control<forms::Label>(*window, "lblread", 1)->geometry(),
         QRect(443, 18, 7, 14)},
        {"title", control<forms::Label>(*window, "lbl_Title")->geometry(), QRect(22, 18, 30, 14)},
        {"rows", QRect(0, 0, window->pages().linesPerPage, window->pages().lineHeight),
         QRect(0, 0, 20, 26)},
    };
    auto str = [](const QRect& q) {
        return QStringLiteral("%1,%2 %3x%4").arg(q.x()).arg(q.y()).arg(q.width()).arg(q.height());
    };
    for (const auto& p : places) EXPECT_EQ(str(p.got), str(p.want)) << p.what;

    const qreal r = expectedRatio();
    const QImage page = control<forms::PictureBox>(*window, "PicRead", 0)->image();
    EXPECT_EQ(page.devicePixelRatio(), r);
    EXPECT_EQ(page.size(), QSize(std::lround(480 * r), std::lround(618 * r)));
    // The lines of text, below the page number.
    const QRect text = QRect(30, 50, 300, 10 * window->pages().lineHeight);
    const QRect device(std::lround(text.x() * r), std::lround(text.y() * r),
                       std::lround(text.width() * r), std::lround(text.height() * r));
    const double share = doubledShare(page, device, page.pixel(device.topLeft()));
    if (r > 1)
        EXPECT_LT(share, 0.3) << "the letters are enlarged copies";
    else
        EXPECT_LT(share, 0.5);
}

// A click on a row sets the bookmark there, a click on the marker takes it away, and a click
// on the bar's track moves by the same pages, whatever the ratio.
TEST_F(ScaledScreen, ClicksHitWhatTheyHitUnscaled) {
    const int L = window->pages().linesPerPage;
    const int y = 50 + 3 * window->pages().lineHeight + 3;
    QTest::mousePress(control<forms::PictureBox>(*window, "PicRead", 1), Qt::RightButton, {},
                      QPoint(200, y));
    QTest::mouseRelease(control<forms::PictureBox>(*window, "PicRead", 1), Qt::RightButton, {},
                        QPoint(200, y));
    ASSERT_EQ(window->settings().BookmarkSet, -1);
    EXPECT_EQ(control<forms::Image>(*window, "ImgRead", 1)->pos(),
              QPoint(15, 50 + 3 * window->pages().lineHeight));
    const QStringList lines = window->PageText(6).text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.value(3), QStringLiteral("줄 %1").arg(5 * L + 4));
    QTest::mouseClick(control<forms::Image>(*window, "ImgRead", 1), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_EQ(window->settings().BookmarkSet, 0);
    EXPECT_FALSE(control<forms::Image>(*window, "ImgRead", 1)->isVisible());

    // The tick dragged 100 pixels along: the same page as unscaled.
    QWidget* bar = window->pageBar().widget();
    ASSERT_TRUE(bar);
    QWidget* tick = nullptr;
    for (QWidget* w : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible() && w->width() < 40 && w->height() > 0) tick = w;
    ASSERT_TRUE(tick);
    const QPoint grip(tick->width() / 2, tick->height() / 2);
    QTest::mousePress(tick, Qt::LeftButton, {}, grip);
    QTest::mouseMove(tick, grip + QPoint(100, 0));
    QTest::mouseRelease(tick, Qt::LeftButton, {}, grip + QPoint(100, 0));
    EXPECT_EQ(window->pages().current, 127);
}

// While a page turns, the band above the book (the tool bar's lower part, the frame) is shown
// as it was, at the screen's resolution: not enlarged, not shifted.
TEST_F(ScaledScreen, TheBandAboveTheBookStaysInPlaceDuringATurn) {
    control<QCheckBox>(*window, "chkline")->setChecked(true);
    const int depth = control<forms::PictureBox>(*window, "Pic_Top")->height() + 20;
    const QImage band =
        window->grab(QRect(20, 0, control<forms::PictureBox>(*window, "PicReadIn")->width(), depth))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    std::vector<QImage> frames;
    struct Recorder : QObject {
        forms::PictureBox* stage;
        std::vector<QImage>* frames;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && stage->isVisible()) frames->push_back(stage->image());
            return false;
        }
    } recorder;
    recorder.stage = control<forms::PictureBox>(*window, "PicMoveBook");
    recorder.frames = &frames;
    control<forms::PictureBox>(*window, "PicMoveBook")->installEventFilter(&recorder);
    release(control<forms::Image>(*window, "CmdNext"));
    control<forms::PictureBox>(*window, "PicMoveBook")->removeEventFilter(&recorder);
    ASSERT_EQ(window->pages().current, 7);
    ASSERT_GE(frames.size(), 3u);
    const QImage first = frames[1].convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(first.devicePixelRatio(), expectedRatio());
    // The band's left half, where the turning right page never rises early on.
    int same = 0, all = 0;
    for (int y = 0; y < band.height(); y += 2)
        for (int x = 0; x < band.width() / 2; x += 3, ++all)
            if (first.pixel(x, y) == band.pixel(x, y)) ++same;
    // (The window is disabled while the page turns: the font boxes go grey, nothing moves.)
    EXPECT_GT(double(same) / all, 0.9);
}

}  // namespace

namespace {

// Moved between a plain screen and one of ratio 2 (run on two such screens), the window takes
// each screen's pictures and draws its surfaces at that screen's ratio, on the same spread.
TEST_F(Reading, AWindowMovedToAScreenOfAnotherRatioRedrawsAtIt) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2 || screens[0]->devicePixelRatio() == screens[1]->devicePixelRatio())
        GTEST_SKIP() << "needs two screens of different ratios";
    start();
    open(writeBook(QStringLiteral("책.txt"), numberedBook(3000)));
    window->pageBar().setValue(7);
    for (QScreen* screen : {screens[1], screens[0], screens[1]}) {
        const qreal r = screen->devicePixelRatio();
        SCOPED_TRACE(testing::Message() << "ratio " << r);
        window->windowHandle()->setScreen(screen);
        window->move(screen->geometry().topLeft() + QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->devicePixelRatioF() == r; }, 2000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return control<forms::Image>(*window, "CmdOpen")->picture().devicePixelRatio() == r;
            },
            2000));
        EXPECT_EQ(control<forms::PictureBox>(*window, "PicRead", 0)->image().devicePixelRatio(), r);
        EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_Top")->picture().devicePixelRatio(), r);
        EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_TxtOut")->image().devicePixelRatio(), r);
        EXPECT_EQ(window->pages().current, 7);
        EXPECT_EQ(control<forms::Label>(*window, "lblread", 0)->caption(), QStringLiteral("7"));
    }
}

}  // namespace

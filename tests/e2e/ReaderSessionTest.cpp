// A whole reading session on the real reader, every way a person pages and dresses the book:
// keys, the wheel (one step and a quick spin), clicks on the pages, the page buttons, the page
// bar dragged both ways, bold, another font, line spacing, the page-turn effect, a resize and a
// minimise, the close button and a resume. Each step is checked on the screen: the pages it shows
// are those seen before at the same place, and hold lines of text (a blank or garbled page fails).

#include <gtest/gtest.h>

#include "ReaderUse.h"

namespace {

// Rows of ink on a page: runs of rows with dark pixels, separated by rows without.
int inkBands(const QImage& page) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < page.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < page.width() && !ink; ++x) ink = qGray(page.pixel(x, y)) < 100;
        if (ink && !inBand) ++bands;
        inBand = ink;
    }
    return bands;
}

class ReaderSession : public ReaderUse {
protected:
    // The two pages inside the frame, without the tool bar and the page edges.
    QImage pages() {
        const QImage shot =
            x.screenshot(shotDir() + QStringLiteral("/session-%1.png").arg(++m_shot));
        return shot.copy(client.adjusted(30, 42 + 30, -30, -30));
    }
    // A spread as it should look: both halves hold many lines (the last may end early).
    void expectText(const QImage& spread, const char* step, bool rightToo = true) {
        SCOPED_TRACE(step);
        const int half = spread.width() / 2;
        EXPECT_GE(inkBands(spread.copy(0, 0, half - 20, spread.height())), 8);
        if (rightToo) {
            EXPECT_GE(inkBands(spread.copy(half + 20, 0, half - 20, spread.height())), 8);
        }
        // Dark text on the light page, not a dark page.
        int light = 0;
        for (int y = 0; y < spread.height(); y += 7)
            for (int x = 0; x < spread.width(); x += 7) light += qGray(spread.pixel(x, y)) > 200;
        EXPECT_GT(light, (spread.height() / 7) * (spread.width() / 7) * 3 / 4);
    }
    void key(const char* name) {
        x.run("xdotool", {"key", "--clearmodifiers", name});
        QThread::msleep(400);
    }
    void clickAt(int cx, int cy, const char* button = "1") {
        x.run("xdotool", {"mousemove", "--window", id, QString::number(cx), QString::number(cy)});
        x.run("xdotool", {"click", button});
        QThread::msleep(500);
    }
    void drag(QPoint from, QPoint to) {
        x.run("xdotool",
              {"mousemove", "--window", id, QString::number(from.x()), QString::number(from.y())});
        x.run("xdotool", {"mousedown", "1"});
        for (int k = 1; k <= 8; ++k) {
            const QPoint p = from + (to - from) * k / 8;
            x.run("xdotool",
                  {"mousemove", "--window", id, QString::number(p.x()), QString::number(p.y())});
            QThread::msleep(40);
        }
        x.run("xdotool", {"mouseup", "1"});
        QThread::msleep(600);
    }
    void overRightPage() {
        x.run("xdotool",
              {"mousemove", "--window", id, QString::number(client.width() * 3 / 4), "300"});
        QThread::msleep(200);
    }

    QString id;
    QRect client;
    int m_shot = 0;
};

// Tool bar places, in the window's own pixels.
const QPoint kFontBox(170, 24), kFirst(516, 22), kLast(645, 22), kBold(292, 23), kPageTurn(392, 12),
    kSpacing(465, 31), kBarThumb(677, 35), kBarEnd(806, 35);

TEST_F(ReaderSession, EveryWayOfPagingShowsTheRightPagesAndTheSessionIsKept) {
    // 1200 x 780 pixels at (20, 10), without a saved place: the pages are counted at start.
    writeSession(windowRecord(300, 150, 18000, 11700, 0, 0));
    id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    client = clientArea(id);
    ASSERT_GT(client.width(), 1100);  // the outer frame was 1200 x 780
    x.run("xdotool", {"windowactivate", "--sync", id});
    overRightPage();

    const QImage first = pages();
    expectText(first, "spread 1-2");
    key("Right");
    const QImage second = pages();
    expectText(second, "spread 3-4");
    ASSERT_NE(first, second) << "Right did not turn the page";

    // The wheel: one notch back, one on; a quick spin of five notches turns one spread.
    x.run("xdotool", {"click", "4"});
    QThread::msleep(600);
    EXPECT_EQ(pages(), first) << "wheel up";
    x.run("xdotool", {"click", "5"});
    QThread::msleep(600);
    EXPECT_EQ(pages(), second) << "wheel down";
    x.run("xdotool", {"click", "--repeat", "5", "--delay", "10", "5"});
    QThread::msleep(800);
    const QImage third = pages();
    expectText(third, "spread 5-6");
    EXPECT_NE(third, second);
    key("BackSpace");
    EXPECT_EQ(pages(), second) << "a quick spin turned more than one spread";

    // Clicks on the pages, then the first and last buttons.
    clickAt(client.width() / 4, 300);
    EXPECT_EQ(pages(), first) << "a click on the left page";
    clickAt(client.width() * 3 / 4, 300);
    EXPECT_EQ(pages(), second) << "a click on the right page";
    clickAt(kLast.x(), kLast.y());
    const QImage last = pages();
    expectText(last, "the last spread", false);
    EXPECT_NE(last, second);
    clickAt(kFirst.x(), kFirst.y());
    EXPECT_EQ(pages(), first) << "the first-page button";

    // The page bar: its thumb dragged to the end and back.
    drag(kBarThumb, kBarEnd);
    EXPECT_EQ(pages(), last) << "page bar dragged to the end";
    drag(kBarEnd - QPoint(3, 0), kBarThumb - QPoint(20, 0));
    EXPECT_EQ(pages(), first) << "page bar dragged back";

    // Bold and line spacing change the look, not the place; bold again gives the same pages.
    clickAt(kBold.x(), kBold.y());
    const QImage bold = pages();
    expectText(bold, "bold");
    EXPECT_NE(bold, first);
    clickAt(kBold.x(), kBold.y());
    EXPECT_EQ(pages(), first) << "bold off again";
    // Another font, typed into the font box.
    clickAt(kFontBox.x(), kFontBox.y());
    x.run("xdotool", {"key", "--clearmodifiers", "ctrl+a"});
    x.run("xdotool", {"type", "--delay", "5", "NanumMyeongjo"});
    key("Return");
    QThread::msleep(500);
    const QImage myeongjo = pages();
    expectText(myeongjo, "NanumMyeongjo");
    EXPECT_NE(myeongjo, first);
    clickAt(kSpacing.x(), kSpacing.y());
    key("Down");
    key("Return");
    QThread::msleep(500);
    const QImage spaced = pages();
    expectText(spaced, "line spacing 8");
    EXPECT_NE(spaced, first);

    // The page-turn effect: the turn ends on the same spread as without it.
    clickAt(kPageTurn.x(), kPageTurn.y());
    overRightPage();
    key("Right");
    QThread::msleep(1500);
    const QImage turned = pages();
    expectText(turned, "after an animated turn");
    key("Left");
    QThread::msleep(1500);
    EXPECT_EQ(pages(), spaced) << "an animated turn back";
    key("Right");
    QThread::msleep(1500);

    // Smaller, then minimised and back: laid out again for the new size, drawn again whole.
    x.run("xdotool", {"windowsize", "--sync", id, "1000", "700"});
    QThread::msleep(1500);
    client = clientArea(id);
    ASSERT_LT(client.width(), 1050);
    const QSize resizedClient = client.size();
    const QImage resized = pages();
    expectText(resized, "after the resize");
    x.run("xdotool", {"windowminimize", "--sync", id});
    QThread::msleep(500);
    x.run("xdotool", {"windowactivate", "--sync", id});
    QThread::msleep(1000);
    EXPECT_EQ(pages(), resized) << "after the minimise";
    EXPECT_EQ(x.run("xdotool", {"getwindowname", id}).trimmed(), QStringLiteral("루모북 [책.txt]"));
    // The close button of the title bar, at the frame's top right corner.
    x.run("xdotool",
          {"mousemove", QString::number(client.right() - 8), QString::number(client.top() - 10)});
    x.screenshot(shotDir() + "/session-close-button.png");
    x.run("xdotool", {"click", "1"});
    ASSERT_TRUE(reader.waitForFinished(10000)) << "the close button did not end the reader";
    EXPECT_EQ(reader.exitCode(), 0);

    // What was saved: the spacing, the effect, the smaller window and a place past the start.
    const QByteArray info = read(app + "/txtlumoinfo.txt");
    ASSERT_EQ(info.size(), 86);
    EXPECT_EQ(info.left(50), QByteArray("NanumMyeongjo").leftJustified(50, ' '));
    EXPECT_EQ(qFromLittleEndian<qint16>(info.constData() + 60), 0);  // not bold
    EXPECT_EQ(qFromLittleEndian<qint16>(info.constData() + 64), 8);  // line spacing
    const QByteArray win = read(app + "/data1_0_0");
    ASSERT_EQ(win.size(), 26);
    EXPECT_EQ(qFromLittleEndian<qint16>(win.constData() + 24), 1);  // the effect is on
    const qint32 current = savedField(16), count = savedField(20);
    EXPECT_GT(current, 1);
    EXPECT_EQ(current % 2, 1);
    EXPECT_LE(current, count);

    // Resumed: the same window, the same spread.
    id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up again";
    client = clientArea(id);
    EXPECT_EQ(client.size(), resizedClient);
    EXPECT_EQ(pages(), resized) << "the resumed spread";
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(16), current);
}

TEST_F(ReaderSession, AFirstStartOpensABookThroughTheOpenDialog) {
    // An empty application folder: no question, the default look; the book is chosen by typing
    // its path into the open dialog.
    const QString plain = tmp.path() + "/plain-book.txt";
    ASSERT_TRUE(write(plain, numberedBook(500)));
    id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    ASSERT_TRUE(openThroughDialog(id, plain)) << "no open dialog";
    id = windowShowing("plain-book.txt");
    ASSERT_FALSE(id.isEmpty()) << "the book did not open";
    QThread::msleep(500);
    client = clientArea(id);
    expectText(pages(), "the opened book");
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(read(app + "/txtlumofile.txt"), documentRecord(plain));
    EXPECT_EQ(read(app + "/txtlumoinfo.txt").size(), 86);
    EXPECT_EQ(savedField(16), 1);
}

}  // namespace

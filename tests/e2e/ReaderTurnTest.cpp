// The real reader plays a page turn: screenshots taken during a forward turn show the page
// arching over the spine into the band above the pages, and then the new spread.

#include <gtest/gtest.h>

#include "ReaderUse.h"

namespace {

// Pixels of the band above the pages (the tool bar and the margin under it) that differ from
// the still window: only a page rising over the spine changes them.
int changedInBand(const QImage& shot, const QImage& still, const QRect& client) {
    int n = 0;
    for (int y = client.top() + 2; y < client.top() + 58 && y < shot.height(); ++y)
        for (int x = client.left() + 20; x < client.right() - 20 && x < shot.width(); ++x)
            if (shot.pixel(x, y) != still.pixel(x, y)) ++n;
    return n;
}

TEST_F(ReaderUse, AForwardTurnArchesIntoTheBand) {
    // 900 x 640 pixels, spread 1-2, the page-turn effect ticked.
    writeSession(windowRecord(1500, 1500, 13500, 9600, 1, 40, 1));
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    const QRect client = clientArea(id);
    ASSERT_FALSE(client.isEmpty());
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"mousemove", "--window", id, QString::number(client.width() * 3 / 4), "300"});
    QThread::msleep(500);
    const QImage still = x.screenshot(shotDir() + "/turn-0.png");
    x.run("xdotool", {"key", "--clearmodifiers", "Right"});
    // Screenshots as fast as they come while the turn plays.
    int arched = 0;
    for (int i = 1; i <= 6; ++i) {
        const QImage shot = x.screenshot(shotDir() + QStringLiteral("/turn-%1.png").arg(i));
        if (changedInBand(shot, still, client) > 200) ++arched;
    }
    QThread::msleep(800);
    const QImage done = x.screenshot(shotDir() + "/turn-done.png");
    EXPECT_GT(arched, 0) << "no screenshot caught the page over the band";
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(16), 3);
    EXPECT_EQ(qFromLittleEndian<qint16>(read(app + "/data1_0_0").constData() + 24), 1);
}

}  // namespace

// The real reader keeps a bookmark across a font change and a restart: set with a right click,
// saved in the settings file at its offsets, followed with the bookmark button after resuming.
// The palette colours the pages.

#include <gtest/gtest.h>

#include "ReaderUse.h"

namespace {

// The marker's face colour, and where it shows in a screenshot of the client area.
QList<QPoint> markerPixels(const QImage& shot, const QRect& client) {
    QList<QPoint> found;
    for (int y = client.top(); y < client.bottom() && y < shot.height(); ++y)
        for (int x = client.left(); x < client.right() && x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == QColor(214, 38, 44)) found << QPoint(x, y);
    return found;
}

// The CP949 byte offset of line n (1-based) of numberedBook: each line is "줄 k" and CR LF.
qint32 lineOffset(int n) {
    qint32 offset = 0;
    for (int k = 1; k < n; ++k) offset += 2 + 1 + QByteArray::number(k).size() + 2;
    return offset;
}

TEST_F(ReaderUse, ABookmarkSurvivesAFontChangeAndARestart) {
    writeSession(QByteArray());  // the book opens at page 1
    QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    QRect client = clientArea(id);
    ASSERT_FALSE(client.isEmpty());
    const int pw = qRound((client.width() - 41) / 2.0);
    const QString rightPage = QString::number(20 + pw + 1 + 150);
    x.run("xdotool", {"windowactivate", "--sync", id});
    // Two spreads on, then a right click on the first line of the right page (page 6).
    x.run("xdotool", {"mousemove", "--window", id, rightPage, "300"});
    QThread::msleep(300);
    for (int i = 0; i < 2; ++i) {
        x.run("xdotool", {"key", "--clearmodifiers", "Right"});
        QThread::msleep(300);
    }
    x.run("xdotool", {"mousemove", "--window", id, rightPage, QString::number(42 + 20 + 50 + 6)});
    x.run("xdotool", {"click", "3"});
    QThread::msleep(400);
    x.screenshot(shotDir() + "/bookmark-set.png");
    ASSERT_FALSE(markerPixels(x.screenshot(shotDir() + "/bookmark-set.png"), client).isEmpty())
        << "no marker after the right click";
    // The size list: open it, one item down ("14"), take it.
    x.run("xdotool", {"mousemove", "--window", id, "245", "24"});
    x.run("xdotool", {"click", "1"});
    QThread::msleep(500);
    x.run("xdotool", {"key", "Down"});
    x.run("xdotool", {"key", "Return"});
    QThread::msleep(1000);
    x.screenshot(shotDir() + "/bookmark-font-changed.png");
    ASSERT_TRUE(closeReader(id));

    const QByteArray info = read(app + "/txtlumoinfo.txt");
    ASSERT_EQ(info.size(), 86);
    EXPECT_EQ(info.left(50), QByteArray("NanumGothic").leftJustified(50, ' '));
    EXPECT_EQ(qFromLittleEndian<qint16>(info.constData() + 50), 14);
    EXPECT_EQ(qFromLittleEndian<qint16>(info.constData() + 66), -1);
    EXPECT_EQ(qFromLittleEndian<qint32>(info.constData() + 76), 0);
    EXPECT_EQ(qFromLittleEndian<qint16>(info.constData() + 84), 5);
    // The position is the start of a line beyond the first spread, plus one.
    const qint32 position = qFromLittleEndian<qint32>(info.constData() + 68);
    int line = 1;
    while (lineOffset(line + 1) + 1 <= position) ++line;
    EXPECT_EQ(lineOffset(line) + 1, position);
    EXPECT_GT(line, 40);

    // Again, at the saved place in the larger font; first, then the bookmark button.
    id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up again";
    client = clientArea(id);
    x.run("xdotool", {"windowactivate", "--sync", id});
    for (const char* button : {"516", "111"}) {  // CmdFirst, Cmdleaves
        x.run("xdotool", {"mousemove", "--window", id, button, "21"});
        x.run("xdotool", {"click", "1"});
        QThread::msleep(500);
    }
    const QImage shot = x.screenshot(shotDir() + "/bookmark-followed.png");
    EXPECT_FALSE(markerPixels(shot, client).isEmpty()) << "no marker after the jump";
    ASSERT_TRUE(closeReader(id));
    const QByteArray win = read(app + "/data1_0_0");
    ASSERT_EQ(win.size(), 26);
    EXPECT_GT(qFromLittleEndian<qint32>(win.constData() + 16), 1);  // not at the first spread
}

TEST_F(ReaderUse, ThePaletteColoursThePages) {
    writeSession(QByteArray());
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    const QRect client = clientArea(id);
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"mousemove", "--window", id, "363", "15"});  // the page colour button
    x.run("xdotool", {"click", "1"});
    QThread::msleep(500);
    const QImage open = x.screenshot(shotDir() + "/palette-open.png");
    // The panel hangs under the colour swatches; its cells lie 23 pixels apart.
    auto cellCentre = [&](int k) {
        return client.topLeft() +
               QPoint(316 - 1 + 3 + (k % 7) * 23 + 10, 43 - 1 + 3 + (k / 7) * 23 + 10);
    };
    EXPECT_EQ(open.pixelColor(cellCentre(5)), QColor(255, 0, 0));
    EXPECT_EQ(open.pixelColor(cellCentre(14)), QColor(0, 0, 255));
    EXPECT_EQ(open.pixelColor(cellCentre(27)), QColor(132, 65, 0));
    const QPoint cell = cellCentre(18) - client.topLeft();
    x.run("xdotool",
          {"mousemove", "--window", id, QString::number(cell.x()), QString::number(cell.y())});
    x.run("xdotool", {"click", "1"});
    QThread::msleep(600);
    const QImage coloured = x.screenshot(shotDir() + "/palette-chosen.png");
    EXPECT_EQ(coloured.pixelColor(client.topLeft() + QPoint(25, 42 + 20 + 300)),
              QColor(255, 255, 132));
    EXPECT_NE(coloured.pixelColor(cellCentre(1)), QColor(0, 0, 0));  // the panel closed
    ASSERT_TRUE(closeReader(id));
    const QByteArray info = read(app + "/txtlumoinfo.txt");
    ASSERT_EQ(info.size(), 86);
    EXPECT_EQ(qFromLittleEndian<qint32>(info.constData() + 56), 0x0084FFFF);
}

}  // namespace

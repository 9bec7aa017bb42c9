// The real reader against damaged state files and the ways a person really reads: random bytes
// and absurd values in every state file never hang or crash it, and what it writes back is
// valid; a held page key turns one spread; a blank last page still shows its whole number.

#include <gtest/gtest.h>

#include "ReaderUse.h"

namespace {

// One start on damaged state files: the reader comes up, answers and closes, and leaves valid
// files behind.
class DamagedStateFiles : public ReaderUse, public ::testing::WithParamInterface<int> {};

TEST_P(DamagedStateFiles, NeverHangOrCrashTheReader) {
    const int trial = GetParam();
    QRandomGenerator random(quint32(trial) * 7919u + 17u);
    QByteArray files[3];
    const QString names[3] = {"data1_0_0", "txtlumoinfo.txt", "txtlumofile.txt"};
    if (trial < 3) {
        // Absurd but well-formed values beside a book that exists.
        const QByteArray windows[] = {
            windowRecord(0, 0, -15000, 9000, 5001, 10),
            windowRecord(300, 300, 15000, 1000000000, 4, 40),
            windowRecord(-900000, -900000, 12000, 9000, -7, 2000000000),
        };
        writeSession(windows[trial]);
    } else {
        // Random bytes: 37 of them in the window file, any length in the others; every other
        // trial keeps a document file that names a real book, so the resume reads the rest.
        writeSession(randomBytes(random, 37));
        ASSERT_TRUE(write(app + "/txtlumoinfo.txt", randomBytes(random, random.bounded(100))));
        if (trial % 2) {
            ASSERT_TRUE(write(app + "/txtlumofile.txt", randomBytes(random, random.bounded(300))));
        }
    }
    for (int i = 0; i < 3; ++i) files[i] = read(app + "/" + names[i]);

    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    x.screenshot(shotDir() + QStringLiteral("/damaged-%1.png").arg(trial));
    EXPECT_EQ(reader.state(), QProcess::Running);
    ASSERT_TRUE(closeReader(id)) << "the reader did not close cleanly";
    for (int i = 0; i < 3; ++i) expectValidWritten(files[i], names[i]);
    if (trial < 3) {
        // The absurd position was no position: the book was shown and counted from page 1.
        EXPECT_EQ(savedField(16), 1);
        EXPECT_GT(savedField(20), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Trials, DamagedStateFiles, ::testing::Range(0, 9));

TEST_F(ReaderUse, AHeldPageKeyTurnsOneSpread) {
    writeSession(QByteArray());  // no window file: the book opens at page 1
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    const QRect client = clientArea(id);
    x.run("xdotool", {"windowactivate", "--sync", id});
    // The keyboard follows the mouse onto the right page.
    x.run("xdotool", {"mousemove", "--window", id, QString::number(client.width() * 3 / 4),
                      QString::number(client.height() / 2)});
    QThread::msleep(300);
    x.run("xdotool", {"keydown", "Right"});
    QThread::msleep(1500);
    x.run("xdotool", {"keyup", "Right"});
    QThread::msleep(500);
    x.screenshot(shotDir() + "/held-key.png");
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(16), 3);
}

TEST_F(ReaderUse, TheBlankLastPageShowsItsWholeNumber) {
    ASSERT_TRUE(write(book, numberedBook(3)));
    ASSERT_TRUE(write(app + "/txtlumofile.txt", documentRecord(book)));
    ASSERT_TRUE(write(app + "/txtlumoinfo.txt", settingsRecord()));
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    const QRect client = clientArea(id);
    ASSERT_FALSE(client.isEmpty());
    const QImage shot = x.screenshot(shotDir() + "/blank-right-page.png");
    // Spread 1-2 of a one-page book: the right page is blank but for its number "2", in the
    // top margin near the page's right edge. Count the columns that hold ink there.
    const int pw = qRound((client.width() - 41) / 2.0);
    const int right = client.x() + 20 + 2 * pw + 1, top = client.y() + 42 + 20;
    const QColor paper(255, 249, 237);
    int columns = 0;
    for (int x0 = right - 90; x0 < right - 8; ++x0)
        for (int y = top + 5; y < top + 45; ++y)
            if (shot.pixelColor(x0, y) != paper) {
                ++columns;
                break;
            }
    EXPECT_GE(columns, 4) << "the number of the blank page is cut";
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(20), 1);
}

}  // namespace

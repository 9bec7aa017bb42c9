// The real reader with books inside archives: a ZIP with Korean entry names and a solid RAR 4,
// opened through the open dialog, stepped to their next file, and resumed after a restart; and
// an extract folder that someone made a link to a folder of their own.

#include <gtest/gtest.h>

#include "../common/ZipWriter.h"
#include "ReaderUse.h"

namespace {

class ReaderArchives : public ReaderUse {
protected:
    // To the last spread, then the next file: the question is answered Yes.
    void nextFile(const QString& main) {
        x.run("xdotool", {"windowactivate", "--sync", main});
        for (const char* button : {"645", "601"}) {  // CmdLast, CmdNext
            x.run("xdotool", {"mousemove", "--window", main, button, "21"});
            x.run("xdotool", {"click", "1"});
            QThread::msleep(400);
        }
        QString question;
        XSession::waitFor(
            [&] {
                question =
                    x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북$"}).trimmed();
                return !question.isEmpty();
            },
            5000);
        x.run("xdotool", {"windowactivate", "--sync", question.section('\n', 0, 0)});
        x.run("xdotool", {"key", "Return"});
    }
};

TEST_F(ReaderArchives, AZipWithKoreanNamesIsSteppedAndResumed) {
    const QString archive = tmp.path() + "/books/stories.zip";
    QDir().mkpath(tmp.path() + "/books");
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("첫째 이야기.txt"), numberedBook(300)},
                                   {QStringLiteral("둘째 이야기.txt"), numberedBook(300)}}));
    const QString main = startAndResume();  // a first start: nothing to resume
    ASSERT_FALSE(main.isEmpty()) << "the reader did not come up";
    ASSERT_TRUE(openThroughDialog(main, archive)) << "no open dialog";
    QString id = windowShowing(QStringLiteral("첫째 이야기.txt"));
    ASSERT_FALSE(id.isEmpty()) << "the first entry was not shown";
    x.screenshot(shotDir() + "/zip-opened.png");
    nextFile(id);
    id = windowShowing(QStringLiteral("둘째 이야기.txt"));
    ASSERT_FALSE(id.isEmpty()) << "the next file was not shown";
    x.screenshot(shotDir() + "/zip-next-file.png");
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(read(app + "/txtlumofile.txt"),
              (app + QStringLiteral("/TmpZip/둘째 이야기.txt\r\n 0 \r\n") + archive + "\r\n 1 \r\n")
                  .toUtf8());
    EXPECT_TRUE(QDir(app + "/TmpZip").isEmpty());

    id = startAndResume();
    ASSERT_FALSE(id.isEmpty());
    EXPECT_FALSE(windowShowing(QStringLiteral("둘째 이야기.txt")).isEmpty())
        << "not resumed at the same entry";
    x.screenshot(shotDir() + "/zip-resumed.png");
    ASSERT_TRUE(closeReader(id));
}

TEST_F(ReaderArchives, ASolidRar4IsReadToItsSecondFile) {
    const QString archive = QStringLiteral(TL_TESTDATA_DIR "/rar/rarfile/rar3-solid.rar");
    if (!QFile::exists(archive)) GTEST_SKIP() << "test data absent: " << archive.toStdString();
    const QString main = startAndResume();  // a first start: nothing to resume
    ASSERT_FALSE(main.isEmpty()) << "the reader did not come up";
    ASSERT_TRUE(openThroughDialog(main, archive)) << "no open dialog";
    QString id = windowShowing("stest1.txt");
    ASSERT_FALSE(id.isEmpty()) << "the first member was not shown";
    nextFile(id);
    id = windowShowing("stest2.txt");
    ASSERT_FALSE(id.isEmpty()) << "the second member of the solid archive was not shown";
    x.screenshot(shotDir() + "/rar4-solid-second.png");
    ASSERT_TRUE(closeReader(id));
}

TEST_F(ReaderArchives, AnExtractFolderThatIsALinkLeavesWhereItPointsAlone) {
    const QString mine = tmp.path() + "/mine", tmpZip = app + "/TmpZip";
    ASSERT_TRUE(QDir().mkpath(mine + "/sub"));
    ASSERT_TRUE(write(mine + "/letter.txt", "dear") && write(mine + "/sub/photo.txt", "x"));
    // TmpZip made a link to the user's folder; what stood there goes as a file or folder of its
    // own (removeRecursively would go through a link).
    const auto linkToMine = [&] {
        if (QFileInfo(tmpZip).isSymLink()) QFile::remove(tmpZip);
        QDir(tmpZip).removeRecursively();
        return QFile::link(mine, tmpZip);
    };
    const auto expectMineWhole = [&](const char* when) {
        EXPECT_EQ(read(mine + "/letter.txt"), "dear") << when;
        EXPECT_EQ(read(mine + "/sub/photo.txt"), "x") << when;
        EXPECT_TRUE(QFileInfo(tmpZip).isDir() && !QFileInfo(tmpZip).isSymLink()) << when;
    };
    const QString archive = tmp.path() + "/shelf.zip";  // typed: xdotool types ASCII reliably
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("첫째.txt"), numberedBook(100)}}));
    ASSERT_TRUE(linkToMine());
    const QString main = startAndResume();
    ASSERT_FALSE(main.isEmpty()) << "the reader did not come up";
    expectMineWhole("at start");
    ASSERT_TRUE(linkToMine());  // while it runs: the next archive opened
    ASSERT_TRUE(openThroughDialog(main, archive)) << "no open dialog";
    const QString id = windowShowing(QStringLiteral("첫째.txt"));
    ASSERT_FALSE(id.isEmpty()) << "the entry was not shown";
    expectMineWhole("after opening an archive");
    EXPECT_TRUE(QFile::exists(tmpZip + QStringLiteral("/첫째.txt")));
    EXPECT_FALSE(QFile::exists(mine + QStringLiteral("/첫째.txt")));
    ASSERT_TRUE(linkToMine());  // and at exit
    ASSERT_TRUE(closeReader(id));
    expectMineWhole("after exit");
    EXPECT_TRUE(QDir(tmpZip).isEmpty());
}

TEST_F(ReaderArchives, AListRowLeftWithCancelIsNotWhatIsResumed) {
    const QString archive = tmp.path() + "/three.zip";
    ASSERT_TRUE(writeZip(archive, {{"a.txt", numberedBook(300)},
                                   {"b.txt", numberedBook(50)},
                                   {"c.txt", numberedBook(300)}}));
    const QString main = startAndResume();
    ASSERT_FALSE(main.isEmpty()) << "the reader did not come up";
    ASSERT_TRUE(openThroughDialog(main, archive)) << "no open dialog";
    const QString id = windowShowing("a.txt");
    ASSERT_FALSE(id.isEmpty()) << "the first entry was not shown";
    // The list panel is centred on the outer window: 300 x 230, its rows from (5, 8), 취소 at
    // (151, 194, 61, 36).
    const QStringList extents = x.run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"})
                                    .section('=', 1)
                                    .split(',', Qt::SkipEmptyParts);
    ASSERT_EQ(extents.size(), 4) << "no frame extents";
    const QRect client = clientArea(id);
    const int left = extents[0].trimmed().toInt(), top = extents[2].trimmed().toInt();
    const int outerW = client.width() + left + extents[1].trimmed().toInt();
    const int outerH = client.height() + top + extents[3].trimmed().toInt();
    const QPoint panel((outerW - 300 + 1) / 2, (outerH - 230 + 1) / 2);
    const auto clickAt = [&](int px, int py) {
        x.run("xdotool", {"mousemove", "--window", id, QString::number(panel.x() + px),
                          QString::number(panel.y() + py)});
        x.run("xdotool", {"click", "1"});
        QThread::msleep(300);
    };
    clickAt(150, 60);  // the third row: c.txt
    x.screenshot(shotDir() + "/list-third-row.png");
    clickAt(181, 212);  // 취소
    for (int i = 0; i < 2; ++i) {  // two spreads on in a.txt: page 5
        x.run("xdotool", {"mousemove", "--window", id, "601", "21"});
        x.run("xdotool", {"click", "1"});
        QThread::msleep(400);
    }
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(read(app + "/txtlumofile.txt"),
              (app + "/TmpZip/a.txt\r\n 0 \r\n" + archive + "\r\n 0 \r\n").toUtf8());
    EXPECT_EQ(savedField(16), 5);

    const QString again = startAndResume();
    ASSERT_FALSE(again.isEmpty());
    EXPECT_FALSE(windowShowing("a.txt").isEmpty()) << "another entry was resumed";
    x.screenshot(shotDir() + "/list-cancel-resumed.png");
    ASSERT_TRUE(closeReader(again));
}

}  // namespace

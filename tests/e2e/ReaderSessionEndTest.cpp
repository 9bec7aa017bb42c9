// The ways a reading session ends without the window being closed: each one keeps the page
// reached, and the ones that let the reader run its unload empty the extract folder too.

#include <csignal>
#include <sys/types.h>

#include "ReaderUse.h"

namespace {

class SessionEnds : public ReaderUse {
protected:
    // Resumes the book at page 1, turns two spreads (to page 5) and leaves a stray file in the
    // extract folder for the unload to clear; "" when the reader did not come up.
    QString readToPage5() {
        writeSession(QByteArray());
        const QString id = startAndResume();
        if (id.isEmpty()) return id;
        const QRect client = clientArea(id);
        x.run("xdotool", {"windowactivate", "--sync", id});
        x.run("xdotool", {"mousemove", "--window", id, QString::number(client.width() / 4), "300"});
        for (int i = 0; i < 2; ++i) {
            x.run("xdotool", {"key", "--clearmodifiers", "Right"});
            QThread::msleep(300);
        }
        write(app + "/TmpZip/left-over.txt", "x");
        return id;
    }
    bool tmpZipEmpty() {
        return QDir(app + "/TmpZip").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty();
    }
};

TEST_F(SessionEnds, EverySignalThatEndsTheReaderKeepsThePageReached) {
    struct Case {
        const char* name;
        int signal;
        bool unloads;  // the reader runs its unload (a killed one cannot)
    };
    for (const Case c : {Case{"SIGTERM", SIGTERM, true}, Case{"SIGHUP", SIGHUP, true},
                         Case{"SIGINT", SIGINT, true}, Case{"SIGKILL after 3 s", SIGKILL, false}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(app + "/data1_0_0");
        ASSERT_FALSE(readToPage5().isEmpty()) << "the reader did not come up";
        // Idle long enough for the settled state to be written.
        if (!c.unloads) QThread::msleep(3000);
        ::kill(pid_t(reader.processId()), c.signal);
        ASSERT_TRUE(reader.waitForFinished(10000));
        if (c.unloads) {
            EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(reader.exitCode(), 0);
            EXPECT_TRUE(tmpZipEmpty());
        }
        EXPECT_EQ(savedField(16), 5);
        expectValidWritten(QByteArray(), "txtlumoinfo.txt");
        EXPECT_TRUE(read(app + "/txtlumofile.txt").startsWith(book.toUtf8()));
    }
    // The next start comes back to that page.
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty());
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(16), 5);
}

TEST_F(SessionEnds, ALostDisplayStillSavesAndClears) {
    ASSERT_FALSE(readToPage5().isEmpty()) << "the reader did not come up";
    x.killServer();
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(savedField(16), 5);
    EXPECT_TRUE(tmpZipEmpty());
}

// A count saved on a larger screen is no count here: the pages are counted again, and the
// last page of the book is reached, and saved.
TEST_F(SessionEnds, ACountFromAnotherScreenLeavesTheEndReachable) {
    writeSession(windowRecord(0, 0, 1920 * 15, 1200 * 15, 3, 7));
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty());
    x.run("xdotool", {"windowactivate", "--sync", id});
    // 끝 (the last button) takes the reader to the last spread.
    x.run("xdotool", {"mousemove", "--window", id, "645", "21"});
    x.run("xdotool", {"click", "1"});
    QThread::msleep(500);
    x.screenshot(shotDir() + "/recounted-end.png");
    ASSERT_TRUE(closeReader(id));
    const qint32 pages = savedField(20);
    EXPECT_GT(pages, 7) << "the saved count was kept for another layout";
    EXPECT_EQ(savedField(16), pages % 2 ? pages : pages - 1);
}

// An end that comes while the resume question is up finds nothing loaded and nothing settled:
// the three files stay as they were, byte for byte.
TEST_F(SessionEnds, AnEndDuringTheResumeQuestionLeavesTheStateFilesAsTheyWere) {
    writeSession(windowRecord(0, 0, 12000, 9000, 5, 40));
    const QStringList names = {"txtlumofile.txt", "txtlumoinfo.txt", "data1_0_0"};
    QList<QByteArray> before;
    for (const QString& name : names) before << read(app + "/" + name);
    reader.setProcessEnvironment(x.env());
    reader.start(app + "/Qm_TextLumo", {});
    ASSERT_TRUE(reader.waitForStarted(5000));
    ASSERT_TRUE(XSession::waitFor(
        [&] {
            return !x.run("xdotool", {"search", "--onlyvisible", "--name", "기존파일읽기"})
                        .trimmed()
                        .isEmpty();
        },
        15000))
        << "no resume question";
    x.screenshot(shotDir() + "/ended-in-question.png");
    ::kill(pid_t(reader.processId()), SIGTERM);
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(reader.exitCode(), 0);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(read(app + "/" + names[i]), before[i]) << names[i].toStdString();
}

}  // namespace

// The real reader under an X server with a window manager: start, look, close.

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "XSession.h"

namespace {

bool haveTools() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "import"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    return true;
}

QString shotDir() {
    const QString dir = QStringLiteral(TL_BINARY_DIR "/e2e-shots");
    QDir().mkpath(dir);
    return dir;
}

class ReaderStart : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTools()) GTEST_SKIP() << "Xvfb, openbox, xdotool, xprop or import missing";
        ASSERT_TRUE(x.ok()) << "no X server on " << x.display().toStdString();
        // Copy the application folder: the program must not need anything of the build tree.
        app = tmp.path() + "/app";
        for (const char* part : {"Qm_TextLumo", "skin", "banner"}) {
            const QString from = QStringLiteral(TL_APP_DIR "/") + part;
            const QString to = app + "/" + part;
            QDir().mkpath(app);
            ASSERT_TRUE(QFileInfo(from).isDir() ? copyTree(from, to) : QFile::copy(from, to))
                << part;
        }
        QFile::setPermissions(app + "/Qm_TextLumo", QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    }
    void TearDown() override {
        if (reader.state() != QProcess::NotRunning) {
            reader.kill();
            reader.waitForFinished(3000);
        }
    }

    QString startReader() {
        reader.setProcessEnvironment(x.env());
        reader.setWorkingDirectory(tmp.path());
        reader.start(app + "/Qm_TextLumo", {});
        if (!reader.waitForStarted(5000)) return {};
        QString id;
        XSession::waitFor(
            [&] {
                id = x.run("xdotool", {"search", "--onlyvisible", "--class", "Qm_TextLumo"})
                         .trimmed();
                return !id.isEmpty();
            },
            15000);
        return id.section('\n', 0, 0);
    }

    XSession x;
    QTemporaryDir tmp;
    QString app;
    QProcess reader;
};

TEST_F(ReaderStart, FirstStartShowsAMaximisedBookAndClosesCleanly) {
    const QString id = startReader();
    ASSERT_FALSE(id.isEmpty()) << "the reader's window did not appear";

    // Maximised by the window manager on the first start.
    EXPECT_TRUE(XSession::waitFor(
        [&] {
            const QString state = x.run("xprop", {"-id", id, "_NET_WM_STATE"});
            return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") &&
                   state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
        },
        10000));
    EXPECT_TRUE(x.run("xprop", {"-id", id, "_NET_WM_NAME"}).contains(QStringLiteral("루모북")));

    // Give the deferred start-up time to take the splash panel away, then look.
    QThread::msleep(1500);
    const QImage shot = x.screenshot(shotDir() + "/first-start.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1280, 800));
    // Paper in the middle of both pages, the hardcover around them.
    int paper = 0;
    for (int y = 300; y < 600; y += 20)
        for (int x0 : {300, 900})
            if (shot.pixelColor(x0, y) == QColor(255, 249, 237)) ++paper;
    EXPECT_GT(paper, 20);
    EXPECT_TRUE(QDir(app + "/TmpZip").exists());

    // Close through the window manager, as the user would.
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    ASSERT_TRUE(reader.waitForFinished(10000)) << "the reader did not close";
    EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(reader.exitCode(), 0);
}

}  // namespace

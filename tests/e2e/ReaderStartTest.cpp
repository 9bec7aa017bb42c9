// The real reader under an X server with a window manager: start, look, close.

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "E2eFiles.h"
#include "XSession.h"

#include <QtEndian>

namespace {

bool haveTools() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    return true;
}

class ReaderStart : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTools()) GTEST_SKIP() << "Xvfb, openbox, xdotool, xprop or import missing";
        ASSERT_TRUE(x.ok()) << "no X session: " << x.failures().toStdString();
        // Copy the application folder: the program must not need anything of the build tree.
        app = tmp.path() + "/app";
        ASSERT_TRUE(installApp(app)) << "the application folder could not be copied";
    }
    void TearDown() override { stopProcess(reader); }

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

    // The page bar, loaded from ocx/, sits in the tool bar at (668, 28) showing its track.
    int left = 0, top = 0;
    for (const QString& line : x.run("xwininfo", {"-id", id}).split('\n')) {
        if (line.contains("Absolute upper-left X:")) left = line.section(':', 1).toInt();
        if (line.contains("Absolute upper-left Y:")) top = line.section(':', 1).toInt();
    }
    const QImage track(app + "/skin/bgscroll.bmp");
    ASSERT_FALSE(track.isNull());
    int same = 0;
    for (int j = 0; j < track.height(); ++j)
        for (int i = 0; i < track.width(); ++i)
            if (shot.pixelColor(left + 668 + i, top + 1 + 28 + j) == track.pixelColor(i, j)) ++same;
    EXPECT_GT(same, track.width() * track.height() * 9 / 10) << "no page bar at (668, 28)";

    // Close through the window manager, as the user would.
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    ASSERT_TRUE(reader.waitForFinished(10000)) << "the reader did not close";
    EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(reader.exitCode(), 0);
}

// The outer size of a window: its client geometry plus the frame the window manager added.
QSize outerSize(const XSession& x, const QString& id) {
    int w = 0, h = 0;
    for (const QString& line : x.run("xdotool", {"getwindowgeometry", "--shell", id}).split('\n')) {
        if (line.startsWith("WIDTH=")) w = line.mid(6).toInt();
        if (line.startsWith("HEIGHT=")) h = line.mid(7).toInt();
    }
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const QString extents = x.run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}).section('=', 1);
    const QStringList e = extents.split(',');
    if (e.size() == 4) {
        w += e[0].trimmed().toInt() + e[1].trimmed().toInt();
        h += e[2].trimmed().toInt() + e[3].trimmed().toInt();
    }
    return {w, h};
}

TEST_F(ReaderStart, RestoresThePlacementAndKeepsTheMinimumSize) {
    // 9000 x 7500 twips at (1500, 1200): 600 x 500 pixels at (100, 80).
    QByteArray record(26, '\0');
    const qint32 values[] = {1500, 1200, 9000, 7500, 1, 10};
    for (int i = 0; i < 6; ++i) qToLittleEndian(values[i], record.data() + 4 * i);
    QFile f(app + "/data1_0_0");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(record);
    f.close();

    const QString id = startReader();
    ASSERT_FALSE(id.isEmpty()) << "the reader's window did not appear";
    EXPECT_TRUE(XSession::waitFor([&] { return outerSize(x, id) == QSize(600, 500); }, 5000))
        << "outer size " << outerSize(x, id).width() << "x" << outerSize(x, id).height();
    EXPECT_FALSE(x.run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("MAXIMIZED"));

    x.run("xdotool", {"windowsize", id, "200", "150"});
    QThread::msleep(800);
    const QSize small = outerSize(x, id);
    EXPECT_GE(small.width(), 458);
    EXPECT_GE(small.height(), 402);
    x.screenshot(shotDir() + "/minimum-size.png");

    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitCode(), 0);
}

class ReaderWithoutLibrary : public ReaderStart {
protected:
    // It says what is wrong with the library, then reads on without the page bar.
    void expectRunsAfterSayingSo(const QString& shot) {
        reader.setProcessEnvironment(x.env());
        reader.start(app + "/Qm_TextLumo", {});
        ASSERT_TRUE(reader.waitForStarted(5000));
        // The message names the problem; the reader goes on once it is acknowledged.
        QString box;
        ASSERT_TRUE(XSession::waitFor(
            [&] {
                box = x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북$"}).trimmed();
                return !box.isEmpty() &&
                       x.run("xdotool", {"getwindowgeometry", box.section('\n', 0, 0)})
                           .contains("Geometry");
            },
            15000));
        x.screenshot(shotDir() + "/" + shot + ".png");
        x.run("xdotool", {"windowactivate", "--sync", box.section('\n', 0, 0)});
        x.run("xdotool", {"key", "--clearmodifiers", "Return"});
        QString id;
        ASSERT_TRUE(XSession::waitFor(
            [&] {
                id = x.run("xdotool", {"search", "--onlyvisible", "--class", "Qm_TextLumo"})
                         .trimmed();
                return id.split('\n').size() == 1 && !id.isEmpty();
            },
            15000))
            << "the main window did not come up alone";
        EXPECT_EQ(reader.state(), QProcess::Running);
        QThread::msleep(800);
        const QImage window = x.screenshot(shotDir() + "/" + shot + "-window.png");
        EXPECT_EQ(window.pixelColor(320, 400), QColor(255, 249, 237));
        x.run("xdotool", {"windowactivate", "--sync", id});
        x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
        ASSERT_TRUE(reader.waitForFinished(10000));
        EXPECT_EQ(reader.exitCode(), 0);
    }
};

TEST_F(ReaderWithoutLibrary, AMissingLibraryIsReported) {
    QDir(app + "/ocx").removeRecursively();
    expectRunsAfterSayingSo("no-library");
}

TEST_F(ReaderWithoutLibrary, AFileThatIsNoLibraryIsReported) {
    QDir(app + "/ocx").removeRecursively();
    QDir().mkpath(app + "/ocx");
    ASSERT_TRUE(write(app + "/ocx/libQm_ImgScrollBar.so", QByteArray("MZ not a library", 16)));
    expectRunsAfterSayingSo("junk-library");
}

}  // namespace

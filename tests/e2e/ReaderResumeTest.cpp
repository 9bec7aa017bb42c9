// The real reader resumes a Korean book from state files, turns pages by keys and writes the
// state files back at exit.

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "E2eFiles.h"
#include "XSession.h"

namespace {

class ReaderResume : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "import"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
        source = QStringLiteral(TL_TESTDATA_DIR "/text/") + GetParam();
        if (!QFile::exists(source)) GTEST_SKIP() << "test data absent: " << source.toStdString();
        ASSERT_TRUE(x.ok()) << "no X session: " << x.failures().toStdString();
        app = tmp.path() + "/app";
        ASSERT_TRUE(installApp(app)) << "the application folder could not be copied";
    }
    void TearDown() override { stopProcess(reader); }

    XSession x;
    QTemporaryDir tmp;
    QString app, source;
    QProcess reader;
};

TEST_P(ReaderResume, ResumesTurnsPagesAndSavesThePlace) {
    // A book with a Korean name in a folder with a blank, as users keep them.
    QDir().mkpath(tmp.path() + "/내 책");
    const QString book = tmp.path() + QStringLiteral("/내 책/날개 ") + GetParam();
    ASSERT_TRUE(QFile::copy(source, book));
    const QByteArray documentFile = documentRecord(book);
    ASSERT_TRUE(write(app + "/txtlumofile.txt", documentFile));
    ASSERT_TRUE(write(app + "/txtlumoinfo.txt", settingsRecord()));
    // 1200 x 780 pixels at (20, 10); spread 3-4 of 12 pages; no page-turn effect.
    ASSERT_TRUE(write(app + "/data1_0_0", windowRecord(300, 150, 18000, 11700, 3, 12)));

    reader.setProcessEnvironment(x.env());
    reader.start(app + "/Qm_TextLumo", {});
    ASSERT_TRUE(reader.waitForStarted(5000));
    QString question;
    ASSERT_TRUE(XSession::waitFor(
        [&] {
            question =
                x.run("xdotool", {"search", "--onlyvisible", "--name", "기존파일읽기"}).trimmed();
            return !question.isEmpty();
        },
        15000))
        << "the resume question did not appear";
    x.run("xdotool", {"windowactivate", "--sync", question.section('\n', 0, 0)});
    x.run("xdotool", {"key", "--clearmodifiers", "Return"});

    QString id;
    ASSERT_TRUE(XSession::waitFor(
        [&] {
            id = x.run("xdotool", {"search", "--onlyvisible", "--name", "루모북 \\["}).trimmed();
            return !id.isEmpty();
        },
        10000))
        << "the book did not open";
    id = id.section('\n', 0, 0);
    QThread::msleep(800);
    x.screenshot(shotDir() + QStringLiteral("/resume-%1.png").arg(GetParam()));

    // Two spreads on with the keyboard: the focus follows the mouse onto the right page.
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"mousemove", "--window", id, "900", "400"});
    QThread::msleep(300);
    x.run("xdotool", {"key", "--clearmodifiers", "Right"});
    QThread::msleep(300);
    x.run("xdotool", {"key", "--clearmodifiers", "space"});
    QThread::msleep(500);
    x.screenshot(shotDir() + QStringLiteral("/turned-%1.png").arg(GetParam()));

    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    ASSERT_TRUE(reader.waitForFinished(10000)) << "the reader did not close";
    EXPECT_EQ(reader.exitCode(), 0);

    EXPECT_EQ(read(app + "/txtlumofile.txt"), documentFile);
    EXPECT_EQ(read(app + "/txtlumoinfo.txt"), settingsRecord());
    const QByteArray win = read(app + "/data1_0_0");
    ASSERT_EQ(win.size(), 26);
    const qint32 current = qFromLittleEndian<qint32>(win.constData() + 16);
    const qint32 pages = qFromLittleEndian<qint32>(win.constData() + 20);
    // The saved count holds until the window first changes size after start-up; a window
    // manager that frames the window late may cause that recount.
    if (pages == 12) {
        EXPECT_EQ(current, 7);  // spread 3-4, two spreads on
    } else {
        EXPECT_GT(pages, 0);
        EXPECT_EQ(current % 2, 1);
        EXPECT_GT(current, 3);
    }
    EXPECT_EQ(qFromLittleEndian<qint16>(win.constData() + 24), 0);
    EXPECT_EQ(qFromLittleEndian<qint32>(win.constData() + 8), 18000);
    EXPECT_EQ(qFromLittleEndian<qint32>(win.constData() + 12), 11700);
    EXPECT_TRUE(QDir(app + "/TmpZip").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ReaderResume,
    ::testing::Values("nalgae.cp949.txt", "nalgae.utf8.txt", "nalgae.utf16le-bom.txt"),
    [](const auto& info) {
        return std::string(info.index == 0 ? "Cp949" : info.index == 1 ? "Utf8" : "Utf16");
    });

}  // namespace

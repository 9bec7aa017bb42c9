// The real reader started as a desktop starts it: with a file to open, a second time while it
// runs, and again after it was killed.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QUrl>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../common/ZipWriter.h"
#include "ReaderUse.h"

namespace {

class Desktop : public ReaderUse {
protected:
    // A second start of the same reader; its exit code, or -1 when it did not end.
    int startAgain(const QStringList& arguments) {
        QProcess second;
        second.setProcessEnvironment(x.env());
        second.start(app + "/Qm_TextLumo", arguments);
        if (!second.waitForFinished(15000)) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        return second.exitCode();
    }
    int readerWindows() {
        return x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북"})
            .split('\n', Qt::SkipEmptyParts)
            .size();
    }
    void nextSpread(const QString& id) {
        x.run("xdotool", {"windowactivate", "--sync", id});
        x.run("xdotool", {"mousemove", "--window", id, "601", "21"});  // 다음
        x.run("xdotool", {"click", "1"});
        QThread::msleep(400);
    }
};

TEST_F(Desktop, AFileNamedAtStartOpensAndASecondStartShowsItsOwnInTheFirst) {
    const QString archive = tmp.path() + "/shelf.zip";
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("첫째.txt"), numberedBook(300)},
                                   {QStringLiteral("둘째.txt"), numberedBook(300)}}));
    ASSERT_TRUE(write(book, numberedBook(2000)));
    // Relative to where it is started, as a terminal gives it.
    reader.setWorkingDirectory(tmp.path());
    QString id = startAndResume({"shelf.zip"});
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    id = windowShowing(QStringLiteral("첫째.txt"));
    ASSERT_FALSE(id.isEmpty()) << "the archive named at start was not opened";

    EXPECT_EQ(startAgain({QUrl::fromLocalFile(book).toString()}), 0);
    id = windowShowing(QStringLiteral("책.txt"));
    ASSERT_FALSE(id.isEmpty()) << "the second start's book was not shown in the first";
    EXPECT_EQ(readerWindows(), 1);
    EXPECT_EQ(reader.state(), QProcess::Running);
    x.screenshot(shotDir() + "/handed-over.png");
    nextSpread(id);
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(read(app + "/txtlumofile.txt"), documentRecord(book));
    EXPECT_EQ(savedField(16), 3);

    // Named again at start: the book saved last comes back at its place, without a question.
    id = startAndResume({book});
    ASSERT_FALSE(windowShowing(QStringLiteral("책.txt")).isEmpty());
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(savedField(16), 3);
}

TEST_F(Desktop, AKilledReaderNeverBlocksTheNextStart) {
    ASSERT_TRUE(write(book, numberedBook(200)));
    QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    reader.kill();  // its socket stays behind
    reader.waitForFinished(5000);
    id = startAndResume({book});
    ASSERT_FALSE(id.isEmpty()) << "no reader after a killed one";
    EXPECT_FALSE(windowShowing(QStringLiteral("책.txt")).isEmpty());
    EXPECT_EQ(startAgain({}), 0);  // and it is the one found by the next start
    EXPECT_EQ(readerWindows(), 1);
    ASSERT_TRUE(closeReader(id));
}

// Named at start, what is no regular file (a pipe that nobody writes, a link to an endless
// device) gets the open button's message at once, and one SIGTERM, with the message still up,
// ends the reader.
TEST_F(Desktop, WhatIsNoFileIsRefusedAndTheReaderStaysItself) {
    const QString pipe = tmp.path() + "/pipe.txt", zero = tmp.path() + "/zero.txt";
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    for (const QString& named : {pipe, zero}) {
        SCOPED_TRACE(named.toStdString());
        reader.setProcessEnvironment(x.env());
        reader.start(app + "/Qm_TextLumo", {named});
        ASSERT_TRUE(reader.waitForStarted(5000));
        // The window and its box, both called so: the loop runs, the message is up.
        EXPECT_TRUE(XSession::waitFor(
            [&] {
                return x.run("xdotool", {"search", "--onlyvisible", "--name", "^루모북$"})
                           .split('\n', Qt::SkipEmptyParts)
                           .size() == 2;
            },
            15000))
            << "no message";
        x.screenshot(shotDir() + "/no-file-refused.png");
        ::kill(pid_t(reader.processId()), SIGTERM);
        ASSERT_TRUE(reader.waitForFinished(10000)) << "one SIGTERM did not end the reader";
        EXPECT_EQ(reader.exitCode(), 0);
    }
    // An end while an archive's own error box is up: the archive is let go only after the box.
    const QString rar = tmp.path() + "/broken.rar";
    ASSERT_TRUE(write(rar, QByteArray(3000, 'Z')));
    reader.start(app + "/Qm_TextLumo", {rar});
    ASSERT_TRUE(reader.waitForStarted(5000));
    EXPECT_TRUE(XSession::waitFor(
        [&] {
            return !x.run("xdotool", {"search", "--onlyvisible", "--name", "^Error$"})
                        .trimmed()
                        .isEmpty();
        },
        15000))
        << "no error box";
    ::kill(pid_t(reader.processId()), SIGTERM);
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(reader.exitCode(), 0);
}

// Installed by root, read by a user: the user's own folders hold everything the reader writes.
TEST_F(Desktop, AnInstalledReaderKeepsItsStateInTheUsersOwnFolders) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::getuid() != 0 || !nobody || QStandardPaths::findExecutable("runuser").isEmpty())
        GTEST_SKIP() << "needs root, the user nobody and runuser";
    const QString prefix = tmp.path() + "/prefix", home = tmp.path() + "/home";
    QFile::setPermissions(tmp.path(), QFile::Permissions(0x7755));
    QProcess install;
    install.start("cmake", {"--install", TL_BINARY_DIR, "--prefix", prefix});
    ASSERT_TRUE(install.waitForFinished(120000) && install.exitCode() == 0)
        << install.readAllStandardError().toStdString();
    const auto files = [&] {
        QStringList all;
        for (QDirIterator it(prefix, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            all << it.next();
        all.sort();
        return all;
    };
    const QStringList installed = files();
    ASSERT_TRUE(installed.contains(prefix + "/bin/Qm_TextLumo"));
    ASSERT_TRUE(QDir().mkpath(home));
    ASSERT_EQ(::chown(QFile::encodeName(home).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    const QString archive = tmp.path() + "/shelf.zip";
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("첫째.txt"), numberedBook(300)}}));
    QFile::setPermissions(archive, QFile::Permissions(0x6644));

    environment = x.env();
    environment.remove("XDG_RUNTIME_DIR");  // a user without a session folder: the cache is used
    environment.remove("XDG_STATE_HOME");
    environment.remove("XDG_CACHE_HOME");
    program = "runuser";
    const QString id = startAndResume(
        {"-u", "nobody", "--", "env", "HOME=" + home, prefix + "/bin/Qm_TextLumo", archive});
    ASSERT_FALSE(id.isEmpty()) << "the installed reader did not come up";
    ASSERT_FALSE(windowShowing(QStringLiteral("첫째.txt")).isEmpty()) << "the entry was not shown";
    const QString cache = home + "/.cache/qm-textlumo/TmpZip";
    EXPECT_TRUE(QFile::exists(cache + QStringLiteral("/첫째.txt")));
    EXPECT_TRUE(x.run("xprop", {"-id", id, "WM_CLASS"}).contains("\"Qm_TextLumo\""));
    EXPECT_TRUE(x.run("xprop", {"-id", id, "_NET_WM_ICON"}).contains("Icon"))
        << "the window has no icon";
    x.screenshot(shotDir() + "/installed-reader.png");
    ASSERT_TRUE(closeReader(id));

    const QString state = home + "/.local/state/qm-textlumo";
    EXPECT_EQ(read(state + "/txtlumofile.txt"),
              (cache + QStringLiteral("/첫째.txt\r\n 0 \r\n") + archive + "\r\n 0 \r\n").toUtf8());
    EXPECT_EQ(read(state + "/txtlumoinfo.txt").size(), 86);
    EXPECT_EQ(QFileInfo(state).ownerId(), nobody->pw_uid);
    EXPECT_EQ(QFile::permissions(state) & QFile::Permissions(0x0077), QFile::Permissions());
    EXPECT_TRUE(QDir(cache).isEmpty());
    EXPECT_EQ(files(), installed) << "the reader wrote under its prefix";
}

}  // namespace

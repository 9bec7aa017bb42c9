// Where the reader keeps its files, what its command line means, and the channel a second
// start hands its file over.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <unistd.h>

#include "session/CommandLine.h"
#include "session/Places.h"
#include "session/SingleReader.h"

namespace {

TEST(Places, BesideAWritableApplicationFolderElseTheUsersOwn) {
    QTemporaryDir dir;
    const QString built = dir.filePath("built"), prefix = dir.filePath("usr");
    ASSERT_TRUE(QDir().mkpath(built + "/skin") && QDir().mkpath(built + "/ocx"));
    ASSERT_TRUE(QDir().mkpath(prefix + "/bin") && QDir().mkpath(prefix + "/share/qm-textlumo"));
    const QString home = dir.filePath("home"), runtime = dir.filePath("run");
    ASSERT_TRUE(QDir().mkpath(runtime));
    struct Case {
        const char* what;
        QString folder;
        QStringList env;  // NAME=value
        QString skin, controls, state, extract;
    };
    const QString userState = home + "/.local/state/qm-textlumo";
    const Case cases[] = {
        {"built folder", built, {}, built + "/skin", built + "/ocx", built, built + "/TmpZip"},
        {"installed", prefix + "/bin", {}, prefix + "/share/qm-textlumo/skin",
         prefix + "/lib/qm-textlumo", userState, home + "/.cache/qm-textlumo/TmpZip"},
        {"XDG folders", prefix + "/bin",
         {"XDG_STATE_HOME=" + dir.filePath("st"), "XDG_RUNTIME_DIR=" + runtime},
         prefix + "/share/qm-textlumo/skin", prefix + "/lib/qm-textlumo",
         dir.filePath("st") + "/qm-textlumo", runtime + "/qm-textlumo/TmpZip"},
        {"relative or missing XDG folders are not used", prefix + "/bin",
         {"XDG_STATE_HOME=rel/state", "XDG_RUNTIME_DIR=" + dir.filePath("gone"),
          "XDG_CACHE_HOME=" + dir.filePath("cache")},
         prefix + "/share/qm-textlumo/skin", prefix + "/lib/qm-textlumo", userState,
         dir.filePath("cache") + "/qm-textlumo/TmpZip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QProcessEnvironment env;
        env.insert("HOME", home);
        for (const QString& e : c.env) env.insert(e.section('=', 0, 0), e.section('=', 1));
        const Places p = Places::forProgram(c.folder, env);
        EXPECT_EQ(p.skin, c.skin);
        EXPECT_EQ(p.controls, c.controls);
        EXPECT_EQ(p.state, c.state);
        EXPECT_EQ(p.extract, c.extract);
        EXPECT_EQ(p.perUser, c.state != built);
        ASSERT_TRUE(p.makeFolders());
        if (p.perUser) {
            EXPECT_EQ(QFile::permissions(p.state) & 0x0077, 0) << "others may enter";
            EXPECT_TRUE(QFileInfo(p.extract).dir().exists());
        }
    }
    // A link where the private folder should be is not the user's folder.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("link")));
    EXPECT_FALSE(makePrivateFolder(dir.filePath("link")));
    if (::getuid() != 0) {  // root writes everywhere
        ASSERT_TRUE(QFile::setPermissions(built, QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_TRUE(Places::forProgram(built, {}).perUser);
        QFile::setPermissions(built, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(CommandLine, FilesHelpVersionAndMistakes) {
    const Places places = Places::besideProgram("/opt/app");
    struct Case {
        QStringList args;
        QString file;
        bool done;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{}, "", false, 0, ""},
        {{"책.txt"}, "/home/u/책.txt", false, 0, ""},
        {{"../b/x.zip"}, "/home/b/x.zip", false, 0, ""},
        {{"/srv/a.rar"}, "/srv/a.rar", false, 0, ""},
        {{"file:///srv/%EC%B1%85.txt"}, "/srv/책.txt", false, 0, ""},
        {{"--", "-x.txt"}, "/home/u/-x.txt", false, 0, ""},
        {{"https://a.example/b.txt"}, "https://a.example/b.txt", false, 0, ""},
        {{"--help"}, "", true, 0, "/opt/app/TmpZip"},
        {{"--version"}, "", true, 0, "Qm_TextLumo "},
        {{"--bogus"}, "", true, 2, "bogus"},
        {{"a.txt", "b.txt"}, "", true, 2, "하나만"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLine line =
            parseCommandLine(QStringList{"Qm_TextLumo"} + c.args, "/home/u", places);
        EXPECT_EQ(line.done, c.done);
        EXPECT_EQ(line.exitCode, c.exitCode);
        if (!c.done) {
            EXPECT_EQ(line.file, c.file);
        }
        EXPECT_TRUE(line.output.contains(QString::fromUtf8(c.says))) << line.output.toStdString();
    }
}

TEST(SingleReader, ASecondStartHandsItsFileToTheFirstAndADeadSocketIsReplaced) {
    QTemporaryDir dir;
    const QString socket = SingleReader::socketFor(dir.path(), "/some/state");
    EXPECT_NE(socket, SingleReader::socketFor(dir.path(), "/other/state"));
    // What a killed reader leaves: a socket file nobody listens on.
    {
        QFile stale(socket);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleReader first(socket, dir.path());
    ASSERT_EQ(first.start(""), SingleReader::Start::First);
    QSignalSpy handed(&first, &SingleReader::fileHanded);
    for (const QString& file : {QStringLiteral("/books/책.txt"), QString()}) {
        // The second start blocks on its answer; the first answers from its event loop.
        std::atomic<int> result{-1};
        std::thread second([&] {
            SingleReader other(socket, dir.path());
            result = int(other.start(file));
        });
        while (result == -1) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.join();
        EXPECT_EQ(result, int(SingleReader::Start::HandedOver));
        ASSERT_TRUE(!handed.isEmpty() || handed.wait(2000));
        EXPECT_EQ(handed.takeFirst().at(0).toString(), file);
    }
}

// The lock on the state folder decides, whatever becomes of the socket: a start that finds the
// folder owned and nobody to hand its file to is refused; a silent connection is closed.
TEST(SingleReader, TheFolderLockDecidesAndSilentConnectionsAreClosed) {
    QTemporaryDir dir, runtime;
    const QString socket = SingleReader::socketFor(runtime.path(), dir.path());
    SingleReader first(socket, dir.path());
    first.idleMs = 200;
    ASSERT_EQ(first.start("", false), SingleReader::Start::Alone);
    SingleReader second(socket + "-elsewhere", dir.path());
    second.reachMs = 300;
    EXPECT_EQ(second.start("/books/a.txt"), SingleReader::Start::Refused);
    EXPECT_FALSE(QFileInfo::exists(socket + "-elsewhere"));

    SingleReader owner(socket, runtime.path() + "/state");
    ASSERT_TRUE(QDir().mkpath(runtime.path() + "/state"));
    owner.idleMs = 200;
    ASSERT_EQ(owner.start(""), SingleReader::Start::First);
    QLocalSocket silent;
    silent.connectToServer(socket);
    ASSERT_TRUE(silent.waitForConnected(1000));
    QElapsedTimer waited;
    waited.start();
    while (silent.state() != QLocalSocket::UnconnectedState && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(silent.state(), QLocalSocket::UnconnectedState);
}

}  // namespace

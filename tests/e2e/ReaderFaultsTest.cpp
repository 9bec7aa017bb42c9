// The real reader where it cannot write: an application folder and state folders it may not
// write into (run as another user, whose state folders someone else made), and a disk that fills while the state files are
// written (a file-size limit on the process). It says so, keeps the book on screen, and never
// leaves a state file cut short.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>

#include "../common/ZipWriter.h"
#include "ReaderUse.h"

namespace {

class ReaderFaults : public ReaderUse {
protected:
    // Every file of the folder (the application folder by default), with its bytes.
    QMap<QString, QByteArray> stateFiles(QString folder = {}) {
        if (folder.isEmpty()) folder = app;
        QMap<QString, QByteArray> files;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            if (name != "Qm_TextLumo") files[name] = read(folder + "/" + name);
        return files;
    }
};

TEST_F(ReaderFaults, AFolderItMayNotWriteIsReportedAndNothingIsLost) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || geteuid() != 0) GTEST_SKIP() << "needs root and the user nobody";
    writeSession(windowRecord(300, 150, 18000, 11700, 1, 0));
    const QString archive = tmp.path() + "/shelf.zip";  // typed: xdotool types ASCII reliably
    ASSERT_TRUE(writeZip(archive, {{QStringLiteral("첫째.txt"), numberedBook(100)}}));
    // The application folder is not the user's: the state is read from the user's own folders,
    // which here are root's too.
    const QString state = tmp.path() + "/.local/state/qm-textlumo";
    ASSERT_TRUE(QDir().mkpath(state) && QDir().mkpath(tmp.path() + "/.cache/qm-textlumo/TmpZip"));
    for (const char* name : {"txtlumofile.txt", "txtlumoinfo.txt", "data1_0_0"})
        ASSERT_TRUE(QFile::rename(app + "/" + name, state + "/" + name));
    // The books are readable by everyone; the application folder stays root's.
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    const auto before = stateFiles(state);
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    reader.setChildProcessModifier([uid, gid] {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(111);
    });
    QFile::setPermissions(app + "/Qm_TextLumo", QFileDevice::ExeOwner | QFileDevice::ReadOwner |
                                                    QFileDevice::ExeOther | QFileDevice::ReadOther);
    environment = x.env();
    environment.insert("HOME", tmp.path());
    for (const char* xdg : {"XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(xdg);

    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up as another user";
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "readonly-library.png"))
        << "no message that places cannot be kept";
    EXPECT_FALSE(windowShowing(QStringLiteral("책.txt")).isEmpty());
    // An archive cannot be extracted into TmpZip: it says so and the book stays.
    ASSERT_TRUE(openThroughDialog(id, archive)) << "no open dialog";
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "readonly-extract.png"))
        << "no message about the archive";
    EXPECT_FALSE(windowShowing(QStringLiteral("책.txt")).isEmpty()) << "the book was replaced";
    // A book only its owner may read: it says so and the book stays.
    const QString secret = tmp.path() + "/secret.txt";
    ASSERT_TRUE(write(secret, numberedBook(10)));
    QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(openThroughDialog(id, secret)) << "no open dialog";
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "readonly-unreadable.png"))
        << "no message about the unreadable book";
    EXPECT_FALSE(windowShowing(QStringLiteral("책.txt")).isEmpty()) << "the book was replaced";
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "readonly-exit.png"))
        << "no message at exit about the state files";
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitCode(), 0);
    EXPECT_EQ(stateFiles(state), before);
    EXPECT_EQ(QDir(app).entryList(QDir::Files), QStringList{"Qm_TextLumo"});
}

TEST_F(ReaderFaults, ADiskThatFillsNeverCutsAStateFileShort) {
    writeSession(windowRecord(300, 150, 18000, 11700, 1, 0));
    const auto before = stateFiles();
    ASSERT_EQ(before.value("txtlumoinfo.txt").size(), 86);
    // No file of the reader may grow past 64 bytes: the 86-byte settings record cannot be
    // written, the two smaller files can.
    reader.setChildProcessModifier([] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(112);
    });
    const QString id = startAndResume();
    ASSERT_FALSE(id.isEmpty()) << "the reader did not come up";
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "fulldisk-library.png"))
        << "no message that places cannot be kept";
    x.run("xdotool", {"windowactivate", "--sync", id});
    x.run("xdotool", {"mousemove", "--window", id, "900", "300"});
    x.run("xdotool", {"click", "1"});  // the next spread
    QThread::msleep(500);
    x.run("xdotool", {"key", "--clearmodifiers", "alt+F4"});
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "fulldisk-exit.png"))
        << "no message at exit about the state files";
    ASSERT_TRUE(reader.waitForFinished(10000));
    EXPECT_EQ(reader.exitCode(), 0);

    const auto after = stateFiles();
    EXPECT_EQ(after.keys(), before.keys()) << "a file was left behind or lost";
    EXPECT_EQ(after.value("txtlumoinfo.txt"), before.value("txtlumoinfo.txt"));
    EXPECT_EQ(after.value("txtlumofile.txt"), before.value("txtlumofile.txt"));
    // The window file fits: it was written whole, with the new place.
    EXPECT_EQ(savedField(16), 3);
}

}  // namespace

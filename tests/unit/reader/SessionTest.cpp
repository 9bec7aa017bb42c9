// Saving as the state settles, and what becomes of an exception thrown by an event handler.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <stdexcept>

#include "session/ReaderApplication.h"
#include "session/SessionEnd.h"
#include "session/SettledSave.h"
#include "session/StateFiles.h"

namespace {

TEST(SettledSave, WritesWhatChangedAndSkipsWhatDidNot) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a"), b = dir.filePath("b");
    ASSERT_TRUE(statefiles::writeFileAtomically(b, "same"));
    QByteArray first = "1";
    SettledSave save(
        [&] {
            return std::vector<SettledSave::File>{{a, first}, {b, "same"}};
        },
        nullptr, 2000);
    struct Step {
        QByteArray a;
        int handed;  // files handed to the writer
    };
    for (const Step& s : {Step{"1", 1}, Step{"1", 0}, Step{"2", 1}, Step{"2", 0}}) {
        first = s.a;
        EXPECT_EQ(save.saveNow(), s.handed) << s.a.constData();
        save.flush();
        EXPECT_EQ(statefiles::readFile(a).value_or(QByteArray()), s.a);
    }
    EXPECT_EQ(save.writes(), 2);  // b already held its bytes: never written
    // Someone else wrote the files meanwhile: what was known is known no more.
    ASSERT_TRUE(statefiles::writeFileAtomically(a, "other"));
    save.forget();
    EXPECT_EQ(save.saveNow(), 1);
    save.flush();
    EXPECT_EQ(statefiles::readFile(a).value_or(QByteArray()), "2");
}

// A write that fails is tried again at the next settle, and said once however often it fails.
TEST(SettledSave, AFailedWriteIsTriedAgainAndSaidOnce) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("later"), a = folder + "/a";
    QByteArray bytes = "1";
    SettledSave save([&] { return std::vector<SettledSave::File>{{a, bytes}}; }, nullptr, 2000);
    QSignalSpy told(&save, &SettledSave::writeFailed);
    for (const char* b : {"1", "2"}) {
        bytes = b;
        EXPECT_EQ(save.saveNow(), 1) << b;
        save.flush();
    }
    EXPECT_EQ(save.writes(), 0);
    ASSERT_TRUE(told.wait(1000));
    QTest::qWait(50);
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(save.lastSettled().front().second, "2");
    // The folder is there now: the same bytes are written at the next settle.
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(save.saveNow(), 1);
    save.flush();
    EXPECT_EQ(statefiles::readFile(a).value_or(QByteArray()), "2");
    EXPECT_EQ(save.writes(), 1);
}

// A signal only asks for the end; a second TERM while the first still waits for the event
// loop ends the process at once.
TEST(SessionEnd, ASecondTermWhileTheFirstWaitsEndsTheProcess) {
    SessionEnd end(nullptr, nullptr, nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::raise(SIGTERM);
        ::raise(SIGTERM);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
}

TEST(ReaderApplication, AnExceptionEndsTheHandlerNotTheProgram) {
    QString told;
    auto tell = [&](const QString& what) { told = what; };
    EXPECT_TRUE(ReaderApplication::guarded([] { return true; }, tell));
    EXPECT_TRUE(told.isEmpty());
    EXPECT_FALSE(ReaderApplication::guarded(
        []() -> bool { throw std::out_of_range("vector::_M_range_check"); }, tell));
    EXPECT_EQ(told, QStringLiteral("vector::_M_range_check"));
    EXPECT_FALSE(ReaderApplication::guarded([]() -> bool { throw 7; }, tell));
    EXPECT_FALSE(told.isEmpty());
}

}  // namespace

// The real reader keeps every book's place and bookmark in its library: across other books, a
// renamed copy, a kill, and a library file that is no database any more.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "ReaderUse.h"

namespace {

class ReaderLibrary : public ReaderUse {
protected:
    void SetUp() override {
        ReaderUse::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        a = tmp.path() + "/a.txt";
        b = tmp.path() + "/b.txt";
        ASSERT_TRUE(write(a, numberedBook(3000)) && write(b, numberedBook(800)));
    }
    // The left page of the spread on screen, as the settled save wrote it.
    qint32 settledPage() {
        QThread::msleep(2600);
        return savedField(16);
    }
    // Turns `spreads` spreads on with the arrow key, the pointer over the right page.
    void turn(const QString& id, int spreads) {
        x.run("xdotool", {"windowactivate", "--sync", id});
        x.run("xdotool", {"mousemove", "--window", id, "600", "300"});
        QThread::msleep(200);
        for (int i = 0; i < spreads; ++i) {
            x.run("xdotool", {"key", "--clearmodifiers", "Right"});
            QThread::msleep(300);
        }
    }
    // The bookmark the settings record holds: set, and its position.
    std::pair<qint16, qint32> bookmark() {
        const QByteArray info = read(app + "/txtlumoinfo.txt");
        if (info.size() != 86) return {0, -1};
        return {qFromLittleEndian<qint16>(info.constData() + 66),
                qFromLittleEndian<qint32>(info.constData() + 68)};
    }
    QString library() const { return app + "/library.sqlite3"; }
    QString integrity() {
        sqlite3* db = nullptr;
        QString result = QStringLiteral("cannot open");
        if (sqlite3_open_v2(QFile::encodeName(library()).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "pragma integrity_check", -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                result = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return result;
    }

    QString a, b;
};

TEST_F(ReaderLibrary, EveryBookComesBackAtItsPlaceWithItsBookmark) {
    QString id = startAndResume({a});
    ASSERT_FALSE(windowShowing("a.txt").isEmpty()) << "a.txt did not open";
    turn(id, 3);
    x.run("xdotool", {"mousemove", "--window", id, "600", "120"});
    x.run("xdotool", {"click", "3"});  // the bookmark, on the right page
    ASSERT_EQ(settledPage(), 7);
    const auto marked = bookmark();
    ASSERT_EQ(marked.first, -1) << "no bookmark set";

    ASSERT_TRUE(openThroughDialog(id, b));
    ASSERT_FALSE(windowShowing("b.txt").isEmpty()) << "b.txt did not open";
    turn(id, 1);
    EXPECT_EQ(settledPage(), 3);
    EXPECT_EQ(bookmark().first, 0) << "b.txt took a.txt's bookmark";

    ASSERT_TRUE(openThroughDialog(id, a));
    ASSERT_FALSE(windowShowing("a.txt").isEmpty()) << "a.txt did not open again";
    EXPECT_EQ(settledPage(), 7) << "a.txt lost its place";
    EXPECT_EQ(bookmark(), marked) << "a.txt lost its bookmark";

    // A renamed copy is the same book.
    const QString copy = tmp.path() + "/renamed.txt";
    ASSERT_TRUE(QFile::copy(a, copy));
    ASSERT_TRUE(openThroughDialog(id, copy));
    ASSERT_FALSE(windowShowing("renamed.txt").isEmpty()) << "the copy did not open";
    EXPECT_EQ(settledPage(), 7) << "the renamed copy is not the same book";

    // Killed three seconds after the last turn, the place is kept.
    turn(id, 2);
    QThread::msleep(3000);
    reader.kill();
    reader.waitForFinished(5000);
    id = startAndResume({a});
    ASSERT_FALSE(windowShowing("a.txt").isEmpty()) << "a.txt did not open after the kill";
    EXPECT_EQ(settledPage(), 11) << "the place before the kill was lost";
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
}

TEST_F(ReaderLibrary, ALibraryOverwrittenWithGarbageIsSetAsideOnce) {
    QString id = startAndResume({a});
    ASSERT_FALSE(windowShowing("a.txt").isEmpty());
    turn(id, 2);
    ASSERT_EQ(settledPage(), 5);
    ASSERT_TRUE(closeReader(id));
    QRandomGenerator random(7);
    ASSERT_TRUE(write(library(), randomBytes(random, 64 * 1024)));
    QFile::remove(library() + "-wal");
    QFile::remove(library() + "-shm");

    id = startAndResume({b});
    EXPECT_TRUE(answerBox(QStringLiteral("루모북"), "library-broken.png"))
        << "no message about the broken library";
    ASSERT_FALSE(windowShowing("b.txt").isEmpty()) << "the reader did not go on";
    EXPECT_FALSE(answerBox(QStringLiteral("루모북"), "library-second.png", 1500))
        << "a second message";
    turn(id, 1);
    EXPECT_EQ(settledPage(), 3);
    ASSERT_TRUE(closeReader(id));
    EXPECT_EQ(QDir(app).entryList({"library.sqlite3.broken-*"}, QDir::Files).size(), 1);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
}

}  // namespace

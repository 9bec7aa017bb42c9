// The library keeps every book's place across sessions, and a damaged or foreign file never
// costs more than its contents: it is set aside, the reader is told once, and a sound library
// takes its place.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "library/Library.h"
#include "library/Opening.h"

using library::BookKey;
using library::BookRecord;
using library::Library;

namespace {

BookRecord book(int n, int64_t lastRead) {
    BookRecord r(
        BookKey::ofEntry("/books/모음.zip", QString("%1권.txt").arg(n), 1000 + n, uint32_t(n)));
    r.title = QString("%1권.txt").arg(n);
    r.path = "/books/모음.zip";
    r.entry = r.title;
    r.place = 1000 * n;
    r.bookmarkSet = n % 2 == 1;
    r.bookmarkPosition = 77 * n;
    r.encoding = n % 3 == 0 ? "UTF-8" : "";
    r.firstRead = 1700000000 + n;
    r.lastRead = lastRead;
    r.secondsRead = 60 * n;
    r.share = n / 100.0;
    return r;
}

void expectSame(const BookRecord& a, const BookRecord& b) {
    EXPECT_EQ(a.key.text(), b.key.text());
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.entry, b.entry);
    EXPECT_EQ(a.place, b.place);
    EXPECT_EQ(a.bookmarkSet, b.bookmarkSet);
    EXPECT_EQ(a.bookmarkPosition, b.bookmarkPosition);
    EXPECT_EQ(a.encoding, b.encoding);
    EXPECT_EQ(a.firstRead, b.firstRead);
    EXPECT_EQ(a.lastRead, b.lastRead);
    EXPECT_EQ(a.secondsRead, b.secondsRead);
    EXPECT_DOUBLE_EQ(a.share, b.share);
}

std::vector<QString> titles(const std::vector<BookRecord>& books) {
    std::vector<QString> t;
    for (const BookRecord& b : books) t.push_back(b.title);
    return t;
}

// Runs sql on the database file at path, outside the library; the SQLite result code.
int runSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open(QFile::encodeName(path).constData(), &db);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

// What PRAGMA integrity_check answers for the file at path.
QByteArray integrity(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    QByteArray answer = "cannot open";
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        answer = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return answer;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("absent");
}

TEST(Library, SavesFindsListsAndForgets) {
    QTemporaryDir dir;
    {
        Library lib(dir.path());
        EXPECT_EQ(lib.openProblem(), QString());
        EXPECT_FALSE(lib.inMemory());
        for (int n = 1; n <= 5; ++n) lib.save(book(n, 1700001000 + 10 * (n % 3) + n));
        // Read back at once, before the writer had time, and again once written.
        for (int pass = 0; pass < 2; ++pass) {
            for (int n = 1; n <= 5; ++n) {
                const auto found = lib.find(book(n, 0).key);
                ASSERT_TRUE(found) << n;
                expectSame(*found, book(n, 1700001000 + 10 * (n % 3) + n));
            }
            EXPECT_EQ(titles(lib.recent(3)),
                      (std::vector<QString>{"5권.txt", "2권.txt", "4권.txt"}));
            lib.flush();
        }
        lib.forget(book(2, 0).key);
        lib.addReadingTime(book(4, 0).key, 30);
        lib.addReadingTime(book(9, 0).key, 30);  // never saved: nothing to add to
        lib.save(book(6, 1));
        lib.forget(book(6, 0).key);  // saved and forgotten before the writer got to it
        EXPECT_FALSE(lib.find(book(2, 0).key));
        EXPECT_FALSE(lib.find(book(6, 0).key));
        EXPECT_EQ(titles(lib.recent(10)),
                  (std::vector<QString>{"5권.txt", "4권.txt", "1권.txt", "3권.txt"}));
    }
    Library again(dir.path());
    EXPECT_EQ(again.openProblem(), QString());
    EXPECT_EQ(titles(again.recent(10)),
              (std::vector<QString>{"5권.txt", "4권.txt", "1권.txt", "3권.txt"}));
    EXPECT_EQ(again.find(book(4, 0).key)->secondsRead, 4 * 60 + 30);
    EXPECT_FALSE(again.find(book(9, 0).key));
    EXPECT_FALSE(again.find(book(6, 0).key));
    EXPECT_EQ(integrity(again.filePath()), "ok");
}

TEST(Library, ManySavesOfOneBookEndWithTheLast) {
    QTemporaryDir dir;
    {
        Library lib(dir.path());
        for (int i = 0; i < 500; ++i) {
            BookRecord r = book(1, 1700000000 + i);
            r.place = i;
            lib.save(r);
            ASSERT_EQ(lib.find(r.key)->place, i);
        }
    }
    EXPECT_EQ(Library(dir.path()).find(book(1, 0).key)->place, 499);
}

// Values this program never writes, as a hand or a damaged disk might leave them: read back as
// the nearest sane value, or not at all when the row cannot be a book.
TEST(Library, DistrustsWhatTheFileHolds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(Library::kFileName);
    { Library(dir.path()).save(book(1, 100)); }
    const QByteArray longTitle(100000, 'x');
    const QByteArray sql =
        "UPDATE books SET place = -5, bookmark_position = -1, share = 7.5, seconds_read = -9;"
        "INSERT INTO books (key, title, last_read) VALUES ('file:1:nothex', 'bad key', 300);"
        "INSERT INTO books (key, title, last_read) VALUES (x'00ff', 'blob key', 400);"
        "INSERT INTO books (key, title, last_read) VALUES ('entry:1:00000001:a.zip/b', '" +
        longTitle + "', 200);";
    ASSERT_EQ(runSql(path, sql.constData()), SQLITE_OK);
    Library lib(dir.path());
    EXPECT_EQ(lib.openProblem(), QString());
    const auto found = lib.find(book(1, 0).key);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->place, 0);
    EXPECT_EQ(found->bookmarkPosition, 0);
    EXPECT_EQ(found->secondsRead, 0);
    EXPECT_EQ(found->share, 1.0);
    EXPECT_EQ(titles(lib.recent(10)), (std::vector<QString>{"1권.txt"}));
    EXPECT_FALSE(lib.find(BookKey::ofEntry("a.zip", "b", 1, 1)));
}

// What a reader's pace is figured from, summed by the database: the same as summing every
// book's record, whether written yet or only handed over, and whatever the file holds.
TEST(Library, ReadingTotalsAreEveryBooksSummed) {
    QTemporaryDir dir;
    const auto summed = [](const std::vector<BookRecord>& books) {
        library::ReadingTotals sum;
        for (const BookRecord& b : books) {
            sum.seconds += library::totalsOf(b).seconds;
            sum.bytes += library::totalsOf(b).bytes;
        }
        return sum;
    };
    const auto expectTotals = [&](const Library& lib, const char* when) {
        SCOPED_TRACE(when);
        const library::ReadingTotals all = summed(lib.recent(1000)), db = lib.readingTotals();
        EXPECT_EQ(db.seconds, all.seconds);
        EXPECT_NEAR(db.bytes, all.bytes, 1e-6 * all.bytes);
        return db;
    };
    // 60 s a book but for every fifth, at n % of 1000 + n bytes.
    BookRecord plain(*BookKey::fromText("file:250000:" + QByteArray(40, 'c')));
    plain.secondsRead = 900;
    plain.share = 0.5;
    EXPECT_EQ(library::totalsOf(plain).seconds, 900);
    EXPECT_EQ(library::totalsOf(plain).bytes, 125000);
    {
        Library lib(dir.path());
        for (int n = 1; n <= 40; ++n) {
            BookRecord r = book(n, 1700000000 + n);
            if (n % 5 == 0) r.secondsRead = 0;
            lib.save(r);
        }
        lib.save(plain);
        const library::ReadingTotals handed = expectTotals(lib, "handed over");
        EXPECT_EQ(handed.seconds, 900 + 60 * (40 * 41 / 2 - 5 * (8 * 9 / 2)));
        lib.flush();
        expectTotals(lib, "written");
        // Handed over again, and forgotten, before the writer gets to them.
        BookRecord more = book(3, 1800000000);
        more.secondsRead = 5000;
        more.share = 0.9;
        lib.save(more);
        lib.forget(book(4, 0).key);
        lib.forget(book(99, 0).key);  // never saved
        const library::ReadingTotals pending = expectTotals(lib, "pending");
        EXPECT_EQ(pending.seconds, handed.seconds - 3 * 60 + 5000 - 4 * 60);
    }
    // As the file holds them, damaged ones too: a share past 1, a negative time, words for a
    // share, a time with words after it.
    const QString path = dir.filePath(Library::kFileName);
    ASSERT_EQ(runSql(path,
                     "UPDATE books SET share = 7.5 WHERE title = '1권.txt';"
                     "UPDATE books SET seconds_read = -9 WHERE title = '2권.txt';"
                     "UPDATE books SET share = 'half' WHERE title = '6권.txt';"
                     "UPDATE books SET seconds_read = '77 s' WHERE title = '7권.txt';"),
              SQLITE_OK);
    Library again(dir.path());
    expectTotals(again, "read again");
    EXPECT_EQ(Library(dir.path() + "/none").readingTotals().seconds, 0);
}

struct UnsoundCase {
    const char* what;
    // Leaves an unsound library at path (its folder made); returns false when it could not.
    std::function<bool(const QString& path)> make;
};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool makeLibrary(const QString& path, int books) {
    {
        Library lib(QFileInfo(path).path());
        for (int n = 0; n < books; ++n) lib.save(book(n, n));
    }
    return QFile::exists(path);
}

TEST(Library, SetsAsideWhatIsNoSoundLibrary) {
    const UnsoundCase cases[] = {
        {"text, not a database",
         [](const QString& p) {
             return writeFile(p, QByteArray(5000, 'z')) && writeFile(p + "-wal", "stale log");
         }},
        {"a library cut in half",
         [](const QString& p) {
             return makeLibrary(p, 3000) && QFile::resize(p, QFileInfo(p).size() / 2);
         }},
        {"a library of a newer program",
         [](const QString& p) {
             return makeLibrary(p, 3) && runSql(p, "PRAGMA user_version = 99") == SQLITE_OK;
         }},
        {"someone else's database",
         [](const QString& p) { return runSql(p, "CREATE TABLE notes (t TEXT)") == SQLITE_OK; }},
        {"a library of this version without its table",
         [](const QString& p) {
             return makeLibrary(p, 3) && runSql(p, "DROP TABLE books") == SQLITE_OK;
         }},
        {"a folder at the name", [](const QString& p) { return QDir().mkdir(p); }},
    };
    for (const UnsoundCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(Library::kFileName);
        ASSERT_TRUE(c.make(path));
        const QByteArray before = contents(path), log = contents(path + "-wal");
        {
            Library lib(dir.path());
            EXPECT_FALSE(lib.inMemory());
            const QString problem = lib.openProblem();
            EXPECT_EQ(lib.openProblem(), QString()) << "told once";
            const QStringList aside =
                QDir(dir.path())
                    .entryList({"library.sqlite3.broken-*"}, QDir::AllEntries | QDir::System);
            ASSERT_FALSE(aside.isEmpty());
            const QString kept = aside.filter(QRegularExpression("broken-\\d{8}-\\d{6}$")).value(0);
            ASSERT_FALSE(kept.isEmpty()) << aside.join(", ").toStdString();
            EXPECT_TRUE(problem.contains(kept)) << problem.toStdString();
            EXPECT_EQ(contents(dir.filePath(kept)), before) << "set aside as it was";
            // A log goes with its file; where there was none, an empty one may.
            const QByteArray keptLog = contents(dir.filePath(kept) + "-wal");
            EXPECT_TRUE(keptLog == log || (log == "absent" && keptLog.isEmpty()));
            EXPECT_FALSE(lib.find(book(1, 0).key));
            lib.save(book(1, 5));
            lib.flush();
            EXPECT_EQ(lib.find(book(1, 0).key)->lastRead, 5);
        }
        EXPECT_EQ(integrity(path), "ok");
        Library again(dir.path());
        EXPECT_EQ(again.openProblem(), QString());
        EXPECT_TRUE(again.find(book(1, 0).key));
    }
}

TEST(Library, SetAsideNamesNeverReplaceAnEarlierOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("library.sqlite3"), when = "20240102-030405";
    const QString base = path + ".broken-" + when;
    ASSERT_EQ(library::setAsideName(path, when), base);
    const QString expected[] = {base + "-2", base + "-3"};
    for (const QString& next : expected) {
        ASSERT_TRUE(writeFile(library::setAsideName(path, when), "earlier"));
        EXPECT_EQ(library::setAsideName(path, when), next);
    }
    for (int n = 3; n <= 99; ++n) ASSERT_TRUE(writeFile(base + "-" + QString::number(n), ""));
    EXPECT_EQ(library::setAsideName(path, when), QString()) << "none free: nothing is moved";
}

TEST(Library, AFolderThatCannotBeWrittenKeepsTheLibraryInMemory) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("file"), "not a folder"));
    QStringList folders{dir.filePath("file/state")};
    // Root writes into any folder, read-only or not.
    if (geteuid() != 0) {
        const QString locked = dir.filePath("locked");
        ASSERT_TRUE(QDir().mkdir(locked));
        ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        folders << locked;
    }
    for (const QString& folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        Library lib(folder);
        EXPECT_TRUE(lib.inMemory());
        const QString problem = lib.openProblem();
        EXPECT_TRUE(problem.contains(folder)) << problem.toStdString();
        EXPECT_EQ(lib.openProblem(), QString());
        lib.save(book(1, 10));
        lib.save(book(2, 20));
        lib.forget(book(1, 0).key);
        EXPECT_EQ(titles(lib.recent(5)), (std::vector<QString>{"2권.txt"}));
        EXPECT_FALSE(QFile::exists(folder + "/" + Library::kFileName));
    }
}

}  // namespace

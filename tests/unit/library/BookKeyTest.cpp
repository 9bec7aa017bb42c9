// A book's key follows its content, not its name: the same bytes anywhere are the same book.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "library/BookKey.h"

using library::BookKey;

namespace {

QByteArray sampleText(int bytes) {
    QByteArray text;
    for (int i = 0; text.size() < bytes; ++i) text += "줄 " + QByteArray::number(i) + "\r\n";
    return text.left(bytes);
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool patch(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(at) && f.write(bytes) == bytes.size();
}

struct ContentCase {
    const char* what;
    std::function<bool(const QString& book, const QString& dir)> change;  // may rename the book
    const char* after;  // the book's name after the change, inside dir
    bool sameKey;
};

TEST(BookKey, FollowsTheContentNotTheName) {
    constexpr int size = 300 * 1024;
    const ContentCase cases[] = {
        {"renamed",
         [](const QString& b, const QString& d) { return QFile::rename(b, d + "/새 이름.txt"); },
         "새 이름.txt", true},
        {"moved to another folder",
         [](const QString& b, const QString& d) {
             return QDir(d).mkdir("sub") && QFile::rename(b, d + "/sub/book.txt");
         },
         "sub/book.txt", true},
        {"copied",
         [](const QString& b, const QString& d) { return QFile::copy(b, d + "/copy.txt"); },
         "copy.txt", true},
        {"first byte changed", [](const QString& b, const QString&) { return patch(b, 0, "X"); },
         "book.txt", false},
        {"byte in the 64 KiB sample changed",
         [](const QString& b, const QString&) { return patch(b, 64 * 1024 + 500, "X"); },
         "book.txt", false},
        {"last byte changed",
         [](const QString& b, const QString&) { return patch(b, size - 1, "X"); }, "book.txt",
         false},
        {"one byte longer", [](const QString& b, const QString&) { return patch(b, size, "\n"); },
         "book.txt", false},
        {"byte between samples changed",
         [](const QString& b, const QString&) { return patch(b, 100 * 1024, "X"); }, "book.txt",
         true},
    };
    for (const ContentCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString book = dir.filePath("book.txt");
        ASSERT_TRUE(write(book, sampleText(size)));
        const std::optional<BookKey> before = BookKey::ofFile(book);
        ASSERT_TRUE(before);
        ASSERT_TRUE(c.change(book, dir.path()));
        const std::optional<BookKey> after = BookKey::ofFile(dir.filePath(c.after));
        ASSERT_TRUE(after);
        EXPECT_EQ(*before == *after, c.sameKey)
            << before->text().constData() << " / " << after->text().constData();
    }
}

TEST(BookKey, SmallAndMissingFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(write(dir.filePath("empty.txt"), ""));
    ASSERT_TRUE(write(dir.filePath("a.txt"), "가"));
    ASSERT_TRUE(write(dir.filePath("b.txt"), "나"));
    const auto empty = BookKey::ofFile(dir.filePath("empty.txt"));
    const auto a = BookKey::ofFile(dir.filePath("a.txt")),
               b = BookKey::ofFile(dir.filePath("b.txt"));
    ASSERT_TRUE(empty && a && b);
    EXPECT_FALSE(*a == *b);
    EXPECT_FALSE(*a == *empty);
    EXPECT_FALSE(BookKey::ofFile(dir.filePath("missing.txt")));
    EXPECT_FALSE(BookKey::ofFile(dir.path())) << "a folder is no book";
}

TEST(BookKey, SamplesAFixedNumberOfPlaces) {
    struct Case {
        int64_t size;
        std::vector<int64_t> offsets;
    };
    const Case cases[] = {
        {0, {}},
        {1, {0}},
        {1024, {0}},
        {1025, {0, 1024}},
        {5000, {0, 1024, 4096}},
        {70000, {0, 1024, 4096, 16384, 65536, 68976}},
        {200000000,
         {0, 1024, 4096, 16384, 65536, 262144, 1048576, 4194304, 16777216, 67108864, 199998976}},
    };
    for (const Case& c : cases) EXPECT_EQ(library::sampleOffsets(c.size), c.offsets) << c.size;
    EXPECT_LE(library::sampleOffsets(INT64_MAX).size(), 33u);
}

TEST(BookKey, AHugeSparseFileIsReadOnlyWhereSampled) {
    QTemporaryDir dir;
    const QString book = dir.filePath("huge.txt");
    const qint64 size = qint64(64) << 30;  // 64 GiB of holes: reading it all would take minutes
    {
        QFile f(book);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        if (!f.resize(size)) GTEST_SKIP() << "no sparse files of 64 GiB here";
    }
    QElapsedTimer clock;
    clock.start();
    const auto before = BookKey::ofFile(book);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_TRUE(before);
    ASSERT_TRUE(patch(book, qint64(5) << 30, "X"));  // between samples (4 GiB and 16 GiB)
    EXPECT_TRUE(*BookKey::ofFile(book) == *before);
    ASSERT_TRUE(patch(book, qint64(16) << 30, "X"));  // on one
    EXPECT_FALSE(*BookKey::ofFile(book) == *before);
}

TEST(BookKey, EntriesByArchiveNameEntryNameSizeAndCrc) {
    const BookKey key = BookKey::ofEntry("/books/소설.zip", "1권/본문.txt", 5000, 0xDEADBEEF);
    EXPECT_EQ(key.text(), QByteArray("entry:5000:deadbeef:소설.zip/1권/본문.txt"));
    EXPECT_TRUE(key.isEntry());
    EXPECT_TRUE(key == BookKey::ofEntry("/elsewhere/소설.zip", "1권/본문.txt", 5000, 0xDEADBEEF))
        << "the archive moved";
    const BookKey others[] = {
        BookKey::ofEntry("/books/다른.zip", "1권/본문.txt", 5000, 0xDEADBEEF),
        BookKey::ofEntry("/books/소설.zip", "2권/본문.txt", 5000, 0xDEADBEEF),
        BookKey::ofEntry("/books/소설.zip", "1권/본문.txt", 5001, 0xDEADBEEF),
        BookKey::ofEntry("/books/소설.zip", "1권/본문.txt", 5000, 0xDEADBEEE),
    };
    for (const BookKey& other : others) EXPECT_FALSE(key == other) << other.text().constData();
}

TEST(BookKey, ReadsBackOnlyWellFormedText) {
    const QByteArray good[] = {
        "file:0:da39a3ee5e6b4b0d3255bfef95601890afd80709",
        "entry:12:0000abcd:a.zip/b.txt",
        "entry:12:0000abcd:a.zip/folder/b:c.txt",
    };
    for (const QByteArray& text : good) {
        const auto key = BookKey::fromText(text);
        ASSERT_TRUE(key) << text.constData();
        EXPECT_EQ(key->text(), text);
    }
    const QByteArray bad[] = {
        "",
        "file:",
        "file:12",
        "file:-1:da39a3ee5e6b4b0d3255bfef95601890afd80709",
        "file:012:da39a3ee5e6b4b0d3255bfef95601890afd80709",
        "file:99999999999999999999:da39a3ee5e6b4b0d3255bfef95601890afd80709",
        "file:12:DA39A3EE5E6B4B0D3255BFEF95601890AFD80709",
        "file:12:da39a3ee5e6b4b0d3255bfef95601890afd8070",
        "entry:12:abcd:a.zip/b.txt",
        "entry:12:0000abcd:/b.txt",
        "entry:12:0000abcd:a.zip",
        "book:12:0000abcd:a.zip/b.txt",
        "entry:12:0000abcd:a.zip/" + QByteArray(BookKey::kMaxTextBytes, 'x'),
    };
    for (const QByteArray& text : bad)
        EXPECT_FALSE(BookKey::fromText(text)) << text.left(60).constData();
}

}  // namespace

// The settings record and the document file, byte by byte.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "session/StateFiles.h"

namespace {

using statefiles::ReadingSettings;

ReadingSettings sample() {
    ReadingSettings s;
    s.setFontName(QStringLiteral("NanumGothic"));
    s.FontSize = 12;
    s.TextColor = 0x00112233;
    s.PageColor = 0x00EDF9FF;
    s.FontBold = -1;
    s.SpacingValue0 = 1;
    s.LineSpacing = 7;
    s.BookmarkSet = -1;
    s.BookmarkPosition = 123456;
    s.Reserved = 0x01020304;
    s.BookmarkEntry = 2;
    s.SpacingIndex0 = 0;
    s.LineSpacingIndex = 6;
    s.FontSizeIndex = 4;
    return s;
}

TEST(Settings, KnownRecordBytes) {
    const QByteArray b = statefiles::encode(sample());
    ASSERT_EQ(b.size(), 86);
    EXPECT_EQ(b.left(11), "NanumGothic");
    EXPECT_EQ(b.mid(11, 39), QByteArray(39, ' '));
    EXPECT_EQ(b.mid(50).toHex(),
              "0c00"      // FontSize
              "33221100"  // TextColor
              "fff9ed00"  // PageColor
              "ffff"      // FontBold
              "0100"
              "0700"      // SpacingValue0, LineSpacing
              "ffff"      // BookmarkSet
              "40e20100"  // BookmarkPosition
              "04030201"  // reserved, kept as read
              "02000000"  // BookmarkEntry
              "0000"
              "0600"
              "0400");
}

TEST(Settings, RoundTripAndShortRecords) {
    const QByteArray b = statefiles::encode(sample());
    const auto back = statefiles::decode(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(statefiles::encode(*back), b);
    EXPECT_EQ(back->cleanFontName(), "NanumGothic");
    EXPECT_FALSE(statefiles::decode(b.left(85)));
    EXPECT_FALSE(statefiles::decode({}));
    // A fresh record holds NUL bytes in its name; they are removed when it is used.
    EXPECT_EQ(ReadingSettings().cleanFontName(), "");
    EXPECT_EQ(statefiles::encode(ReadingSettings()).left(50), QByteArray(50, '\0'));
    // Flags of a damaged record come back as true or false, never as other numbers.
    QByteArray odd = b;
    odd[60] = 5;  // FontBold
    odd[66] = 0;  // BookmarkSet, low byte
    odd[67] = 1;  // BookmarkSet 256
    const auto flags = statefiles::decode(odd);
    EXPECT_EQ(flags->FontBold, -1);
    EXPECT_EQ(flags->BookmarkSet, -1);
    odd[60] = 0;
    odd[61] = 0;
    EXPECT_EQ(statefiles::decode(odd)->FontBold, 0);
}

TEST(Settings, FontNamesAreCutOnCharacterBoundaries) {
    ReadingSettings s;
    // 17 Hangul syllables are 51 bytes of UTF-8: the 17th does not fit whole.
    const QString longName = QString(17, QChar(0xAC00));
    s.setFontName(longName);
    EXPECT_EQ(s.FontName.size(), 50);
    EXPECT_EQ(s.cleanFontName(), QString(16, QChar(0xAC00)));
    EXPECT_EQ(s.FontName.right(2), "  ");
    s.setFontName(QString(60, 'a'));
    EXPECT_EQ(s.cleanFontName(), QString(50, 'a'));
    s.setFontName(QStringLiteral("  나눔고딕  "));
    EXPECT_EQ(s.cleanFontName(), QStringLiteral("나눔고딕"));
}

TEST(DocumentFile, ExactBytes) {
    statefiles::DocumentState d;
    d.documentPath = QStringLiteral("/home/독자/책/날개.txt");
    EXPECT_EQ(statefiles::encodeDocument(d),
              QStringLiteral("/home/독자/책/날개.txt\r\n-1 \r\n\r\n-1 \r\n").toUtf8());
    d.archiveKind = 0;
    d.archivePath = QStringLiteral("/books/a.zip");
    d.entryIndex = 12;
    EXPECT_EQ(statefiles::encodeDocument(d),
              QStringLiteral("/home/독자/책/날개.txt\r\n 0 \r\n/books/a.zip\r\n 12 \r\n").toUtf8());
}

TEST(DocumentFile, ReadsBackAndToleratesDamage) {
    statefiles::DocumentState d;
    d.documentPath = QStringLiteral("/a b/c.txt");
    d.archiveKind = 1;
    d.archivePath = QStringLiteral("/x.rar");
    d.entryIndex = 3;
    const auto back = statefiles::decodeDocument(statefiles::encodeDocument(d));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->documentPath, d.documentPath);
    EXPECT_EQ(back->archiveKind, 1);
    EXPECT_EQ(back->archivePath, d.archivePath);
    EXPECT_EQ(back->entryIndex, 3);

    struct Case {
        QByteArray bytes;
        QString path;
        int kind, index;
    };
    const Case cases[] = {
        {"/only/a/path.txt", "/only/a/path.txt", -1, -1},       // one line, no CR LF
        {"/p.txt\r\nabc\r\n\r\nzz\r\n", "/p.txt", -1, -1},      // malformed numbers
        {"/p.txt\n 0 \n/q.zip\n 2 \n", "/p.txt", 0, 2},         // bare LF line ends
        {"/p.txt\r\n 99999 \r\n\r\n 1 \r\n", "/p.txt", -1, 1},  // kind beyond 16 bits
    };
    for (const Case& c : cases) {
        const auto r = statefiles::decodeDocument(c.bytes);
        ASSERT_TRUE(r) << c.bytes.constData();
        EXPECT_EQ(r->documentPath, c.path);
        EXPECT_EQ(r->archiveKind, c.kind) << c.bytes.constData();
        EXPECT_EQ(r->entryIndex, c.index) << c.bytes.constData();
    }
    EXPECT_FALSE(statefiles::decodeDocument({}));
}

TEST(AtomicWrite, ReplacesWholeAndLeavesNoOldBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("txtlumofile.txt");
    ASSERT_TRUE(statefiles::writeFileAtomically(path, QByteArray(500, 'x')));
    ASSERT_TRUE(statefiles::writeFileAtomically(path, "short"));
    EXPECT_EQ(statefiles::readFile(path).value_or(""), "short");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"txtlumofile.txt"});
}

TEST(AtomicWrite, ReportsAFailureAndLeavesNothingBehind) {
    QTemporaryDir dir;
    errno = 0;
    EXPECT_FALSE(statefiles::writeFileAtomically(dir.filePath("gone/txtlumoinfo.txt"), "x"));
    EXPECT_EQ(errno, ENOENT);
    // A folder in the file's place is not replaced, and the bytes written for it go too.
    QDir(dir.path()).mkpath("txtlumoinfo.txt/inside");
    errno = 0;
    EXPECT_FALSE(statefiles::writeFileAtomically(dir.filePath("txtlumoinfo.txt"), "x"));
    EXPECT_NE(errno, 0);
    EXPECT_TRUE(QFileInfo(dir.filePath("txtlumoinfo.txt")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"txtlumoinfo.txt"});
}

// The permissions of the file it replaces; a new file gets those of any file made here.
TEST(AtomicWrite, KeepsTheModeOfTheFileItReplaces) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("txtlumofile.txt"));
    const mode_t mask = umask(022);
    ASSERT_TRUE(statefiles::writeFileAtomically(QFile::decodeName(path), "a"));
    struct stat st {};
    ASSERT_EQ(stat(path.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(chmod(path.constData(), 0600), 0);
    ASSERT_TRUE(statefiles::writeFileAtomically(QFile::decodeName(path), "b"));
    umask(mask);
    ASSERT_EQ(stat(path.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// Anyone who can write the folder can put a link at a state file's name: it is never followed.
TEST(StateFileLinks, ALinkIsNeitherReadNorWrittenThrough) {
    QTemporaryDir dir;
    const QString target = dir.filePath("mine.txt");
    for (const char* name : {statefiles::kSettingsFile, statefiles::kDocumentFile}) {
        const QString path = dir.filePath(name);
        {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("not yours");
        }
        QFile::remove(path);
        ASSERT_TRUE(QFile::link(target, path));
        EXPECT_FALSE(statefiles::readFile(path)) << name;
        ASSERT_TRUE(statefiles::writeFileAtomically(path, "record"));
        EXPECT_FALSE(QFileInfo(path).isSymLink()) << name;
        EXPECT_EQ(statefiles::readFile(path).value_or(""), "record");
        EXPECT_EQ(statefiles::readFile(target).value_or(""), "not yours");
    }
}

// Only a small regular file is a state file; anything else reads as no file, at once.
TEST(StateFileLinks, WhatIsNoRegularFileReadsAsNothing) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir("folder");
    const QString big = dir.filePath("big");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(65 * 1024, 'x'));
    }
    for (const QString& path : {fifo, dir.filePath("folder"), big}) {
        auto read = std::async(std::launch::async, [&] { return statefiles::readFile(path); });
        if (read.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << "blocked on " << path.toStdString();
            // A writer that comes and goes lets a blocked open return.
            ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
        }
        EXPECT_FALSE(read.get()) << path.toStdString();
    }
}

// A disk that fills halfway through the write: a file-size limit lets 64 of 86 bytes through.
TEST(AtomicWrite, AShortWriteKeepsTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("txtlumoinfo.txt");
    const QByteArray old = statefiles::encode(sample());
    ASSERT_TRUE(statefiles::writeFileAtomically(path, old));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ReadingSettings changed = sample();
    changed.FontSize = 20;
    const bool written = statefiles::writeFileAtomically(path, statefiles::encode(changed));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(written);
    EXPECT_EQ(statefiles::readFile(path).value_or(""), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"txtlumoinfo.txt"});
}

}  // namespace

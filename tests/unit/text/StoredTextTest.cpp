// A book read from its file a run at a time reads as the whole file decoded at once, wraps into
// the same lines and cuts into the same pages; a file changed under it gives no text of the new
// version.

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "CodePageSamples.h"
#include "TextTestUtil.h"
#include "encodings/AnsiUnits.h"
#include "encodings/StoredText.h"
#include "find/Chapters.h"
#include "find/TextFind.h"
#include "pages/PageModel.h"
#include "textbox/TextBox.h"

namespace {

using encodings::Encoding;
using encodings::StoredText;

struct StoredCase {
    const char* name;
    QByteArray bytes;
    Encoding chosen;
};

QByteArray repeated(const QByteArray& bytes, qsizetype atLeast) {
    QByteArray out;
    while (out.size() < atLeast) out += bytes;
    return out;
}

// The shared books in each encoding they come in, and forms made from them: several runs each,
// a line of more than a MiB, lone CRs, a byte order chosen without a mark.
std::vector<StoredCase> storedCases() {
    const QByteArray cp949 = texttest::readBytes("nalgae.cp949.txt");
    const QString text = QString::fromUtf8(texttest::readBytes("nalgae.utf8.txt"));
    QByteArray longLine = repeated(cp949, 3 << 20);
    longLine.replace('\n', ' ').replace('\r', ' ');
    QByteArray loneCr = repeated(texttest::readBytes("nalgae.utf8.txt"), 300 << 10);
    loneCr.replace('\n', '\r');
    return {
        // Long enough to be wrapped on two threads.
        {"cp949", repeated(cp949, 5 << 19), Encoding::Automatic},
        {"utf8", repeated(texttest::readBytes("nalgae.utf8.txt"), 400 << 10), Encoding::Automatic},
        {"utf8 with its mark", repeated(texttest::readBytes("dongbaekkkot.utf8-bom.txt"), 300 << 10),
         Encoding::Automatic},
        {"utf16le with its mark, and half a unit",
         repeated(texttest::readBytes("nalgae.utf16le-bom.txt"), 300 << 10) + QByteArray(1, 'a'),
         Encoding::Automatic},
        {"utf16be chosen", repeated(QStringEncoder(QStringEncoder::Utf16BE)(text), 300 << 10),
         Encoding::Utf16Be},
        {"cp949 in one long line", longLine, Encoding::Cp949},
        {"lone CRs", loneCr, Encoding::Utf8},
        {"euc-jp", repeated(texttest::viaIconv(texttest::kJapanese, "EUC-JP"), 200 << 10),
         Encoding::EucJp},
    };
}

QString written(const QTemporaryDir& dir, const QByteArray& bytes,
                const QString& name = QStringLiteral("book.txt")) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

TEST(StoredText, ReadsWrapsAndCutsPagesAsTheWholeText) {
    SKIP_WITHOUT_TEXTS();
    QTemporaryDir dir;
    for (const StoredCase& c : storedCases()) {
        SCOPED_TRACE(c.name);
        const DecodedDocument whole = decodeDocumentAs(c.bytes, c.chosen);
        const StoredText::Read read = StoredText::read(written(dir, c.bytes), {}, c.chosen);
        ASSERT_EQ(read.result, DocumentRead::Read);
        const StoredText& book = read.text;
        // Wrapped first, as the reader does: a book not measured yet is measured by the wrap.
        textbox::TextBox fromFile, fromMemory;
        for (textbox::TextBox* box : {&fromFile, &fromMemory}) {
            box->setFont(texttest::pageFont());
            box->resize(300, 100);
        }
        // A spread shown before the book is laid out reads none of it: the wrap measures it.
        PageModel early;
        early.text = book;
        early.linesPerPage = 20;
        for (const int page : {1, 2}) EXPECT_EQ(sliceOfPage(early, fromFile, page).from, 0);
        EXPECT_FALSE(book.measured());
        fromFile.setText(book);
        fromMemory.setText(whole.text);
        ASSERT_EQ(fromFile.lineCount(), fromMemory.lineCount());
        EXPECT_TRUE(book.measured());
        const StoredText::Read again =
            StoredText::read(written(dir, c.bytes, QStringLiteral("again.txt")), {}, c.chosen);
        EXPECT_EQ(again.text.size(), whole.text.size());  // measured without a wrap
        EXPECT_EQ(read.encoding, whole.encoding);
        EXPECT_EQ(book.toString(), whole.text);
        EXPECT_EQ(book.length(), encodings::ansi::length(encodings::ansi::units(whole.text),
                                                         whole.text.size()));
        for (qsizetype at = 0; at < whole.text.size(); at += whole.text.size() / 7 + 1)
            EXPECT_EQ(book.mid(at, 3000), whole.text.mid(at, 3000)) << at;
        for (const StoredText::Span& span : book.spans(50000))
            EXPECT_EQ(span.byte, encodings::ansi::length(encodings::ansi::units(whole.text),
                                                         span.from));

        // Wrapped on two threads from the file, on one from memory: the same pages.
        for (int line = 0; line < fromFile.lineCount(); line += 97) {
            EXPECT_EQ(fromFile.lineIndex(line), fromMemory.lineIndex(line)) << line;
            EXPECT_EQ(fromFile.charIndexOfLine(line), fromMemory.charIndexOfLine(line)) << line;
        }
        PageModel onFile, inMemory;
        onFile.text = book;
        inMemory.text = StoredText(whole.text);
        onFile.linesPerPage = inMemory.linesPerPage = 20;
        const int pages = (fromFile.lineCount() + 19) / 20;
        for (const int page : {1, pages / 2, pages}) {
            const PageSlice a = sliceOfPage(onFile, fromFile, page);
            const PageSlice b = sliceOfPage(inMemory, fromMemory, page);
            EXPECT_EQ(a.text, b.text) << page;
            EXPECT_EQ(a.start, b.start) << page;
            EXPECT_EQ(a.from, b.from) << page;
        }
    }
}

// Find and the chapter scan, a part at a time on two threads, find what they find in the whole
// text: headings right after a part's cut among them.
TEST(StoredText, FindAndChaptersFindWhatTheyFindInTheWholeText) {
    QTemporaryDir dir;
    // Short lines, blank (of blanks) and headings among them: parts are cut before each kind.
    QByteArray bytes;
    for (int i = 1; bytes.size() < (6 << 20); ++i)
        bytes += QByteArray(40, ' ') + "\r\n제 " + QByteArray::number(i % 300 + 1) + " 화\r\n" +
                 (i % 3 ? QByteArray("가을 하늘 사람 이야기.\r\n") : QByteArray());
    const StoredText book = StoredText::read(written(dir, bytes)).text;
    const QString whole = QString::fromUtf8(bytes);
    ASSERT_GE(book.spans(1 << 19).size(), 3u);
    const auto headings = chapters::findHeadings(book);
    const auto expected = chapters::findHeadings(whole);
    ASSERT_EQ(headings.size(), expected.size());
    for (size_t i = 0; i < headings.size(); ++i) {
        EXPECT_EQ(headings[i].position, expected[i].position) << i;
        EXPECT_EQ(headings[i].title, expected[i].title) << i;
    }
    const auto found = textfind::findAll(book, QStringLiteral("사람"));
    const auto all = textfind::BookText(whole).findAll(QStringLiteral("사람"));
    ASSERT_EQ(found.size(), all.size());
    for (size_t i = 0; i < found.size(); i += 997) EXPECT_EQ(found[i].from, all[i].from) << i;
}

// Rewritten in place, cut short or replaced under another file of its name, the book gives no
// more text; deleted, it is still read whole through the file it had open.
TEST(StoredText, AFileChangedUnderItGivesNoTextOfTheNewVersion) {
    QTemporaryDir dir;
    const QByteArray bytes = repeated("first version line\r\n", 200 << 10);
    struct Change {
        const char* name;
        std::function<void(const QString&)> make;
        bool changed;
    } changes[] = {
        {"rewritten in place",
         [&](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.write(QByteArray(bytes.size(), 'x'));
             f.close();
             // A time of change that surely differs, on a file system of coarse times too.
             struct timespec times[2] = {{0, UTIME_OMIT}, {1, 0}};
             ::utimensat(AT_FDCWD, QFile::encodeName(p).constData(), times, 0);
         },
         true},
        {"cut short", [](const QString& p) { QFile(p).resize(100); }, true},
        {"replaced",
         [&](const QString& p) {
             QFile::remove(p);
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(bytes);
         },
         true},
        {"deleted", [](const QString& p) { QFile::remove(p); }, false},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        const QString path = written(dir, bytes);
        const StoredText::Read read = StoredText::read(path);
        ASSERT_EQ(read.result, DocumentRead::Read);
        EXPECT_FALSE(read.text.changed());
        c.make(path);
        const QString far = read.text.mid(read.text.size() - 100, 100);
        EXPECT_EQ(read.text.changed(), c.changed);
        if (c.changed)
            EXPECT_TRUE(far.isEmpty());
        else
            EXPECT_EQ(far, QString::fromLatin1(bytes.right(100)));
        EXPECT_FALSE(far.contains(QLatin1Char('x')));
    }
}

}  // namespace

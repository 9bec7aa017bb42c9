// Reading documents: every encoding of the real texts, and the bytes that cannot be decoded.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <utility>

#include "CodePageSamples.h"
#include "TextTestUtil.h"
#include "encodings/DocumentText.h"
#include "encodings/StoredText.h"

namespace {

using texttest::readBytes;

struct FileCase {
    const char* file;
    const char* reference;  // the same work as UTF-8
    Encoding encoding;
};

class RealFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(RealFile, DecodesToTheTextOfItsUtf8Copy) {
    SKIP_WITHOUT_TEXTS();
    const FileCase c = GetParam();
    const QString expected = QString::fromUtf8(readBytes(c.reference));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(detectEncoding(readBytes(c.file)), c.encoding);
    const QString text =
        encodings::StoredText::read(texttest::dataDir() + '/' + c.file).text.toString();
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RealFile,
    ::testing::Values(
        FileCase{"dongbaekkkot.cp949.txt", "dongbaekkkot.utf8.txt", Encoding::Cp949},
        FileCase{"dongbaekkkot.utf16le-bom.txt", "dongbaekkkot.utf8.txt", Encoding::Utf16Le},
        FileCase{"dongbaekkkot.utf8-bom.txt", "dongbaekkkot.utf8.txt", Encoding::Utf8},
        FileCase{"dongbaekkkot.utf8.txt", "dongbaekkkot.utf8.txt", Encoding::Utf8},
        // Holds two syllables of Unified Hangul Code that EUC-KR lacks.
        FileCase{"hongyeom.cp949-original.txt", "hongyeom.utf8.txt", Encoding::Cp949},
        FileCase{"hongyeom.utf8.txt", "hongyeom.utf8.txt", Encoding::Utf8},
        FileCase{"nalgae.cp949.txt", "nalgae.utf8.txt", Encoding::Cp949},
        FileCase{"nalgae.utf16le-bom.txt", "nalgae.utf8.txt", Encoding::Utf16Le},
        FileCase{"nalgae.utf8.txt", "nalgae.utf8.txt", Encoding::Utf8},
        FileCase{"talchulgi.cp949-original.txt", "talchulgi.utf8.txt", Encoding::Cp949},
        FileCase{"talchulgi.utf8.txt", "talchulgi.utf8.txt", Encoding::Utf8},
        FileCase{"unsu_joeun_nal.utf8.txt", "unsu_joeun_nal.utf8.txt", Encoding::Utf8}));

struct BytesCase {
    const char* name;
    QByteArray bytes;
    Encoding encoding;
    QString text;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.name;
}

class Bytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(Bytes, DecodeAsExpected) {
    const BytesCase& c = GetParam();
    EXPECT_EQ(detectEncoding(c.bytes), c.encoding);
    const QString text = decodeDocumentAs(c.bytes, Encoding::Automatic).text;
    EXPECT_EQ(text, c.text) << "got " << qPrintable(QString::number(text.size())) << " units";
}

const QString kFffd(QChar::ReplacementCharacter);
QByteArray b(const char* s, int n) {
    return QByteArray(s, n);
}

INSTANTIATE_TEST_SUITE_P(
    Synthetic, Bytes,
    ::testing::Values(
        BytesCase{"Empty", {}, Encoding::Cp949, ""},
        BytesCase{"LoneUtf16Bom", b("\xFF\xFE", 2), Encoding::Utf16Le, ""},
        BytesCase{"LoneUtf8Bom", b("\xEF\xBB\xBF", 3), Encoding::Utf8, ""},
        BytesCase{"PureAscii", "Title\r\n  body\ttext\n", Encoding::Cp949,
                  "Title\r\n  body\ttext\n"},
        BytesCase{"Cp949Hangul", "\xB0\xA1 a", Encoding::Cp949, "가 a"},
        BytesCase{"Cp949Euro", "\xA2\xE6", Encoding::Cp949, "€"},
        BytesCase{"Cp949UnassignedPair", "\xB0\xA1\xC9\xA1\xB0\xA1", Encoding::Cp949,
                  "가" + kFffd + "가"},
        BytesCase{"Cp949LeadBeforeAscii",
                  "\xC9"
                  "A\xB0\xA1",
                  Encoding::Cp949, kFffd + "A가"},
        BytesCase{"Cp949StrayBytes",
                  "\x80"
                  "ab\xFF"
                  "c",
                  Encoding::Cp949, kFffd + "ab" + kFffd + "c"},
        BytesCase{"Cp949LeadAtEnd", "\xB0\xA1\xB0", Encoding::Cp949, "가" + kFffd},
        BytesCase{"Utf8WithoutBom",
                  "\xEA\xB0\x80"
                  "a",
                  Encoding::Utf8, "가a"},
        BytesCase{"Utf8OverlongIsCp949", "\xC0\xAF", Encoding::Cp949, "유"},
        BytesCase{"Utf8Surrogate", "\xED\xA0\x80", Encoding::Cp949, kFffd + kFffd},
        BytesCase{"Utf8CutAtEnd", "\xEA\xB0\x80\xEA\xB0", Encoding::Utf8, "가" + kFffd + kFffd},
        BytesCase{"Utf8BomInvalidInside",
                  "\xEF\xBB\xBF"
                  "a\xFF"
                  "b",
                  Encoding::Utf8, "a" + kFffd + "b"},
        // Only the first mark is the byte-order mark; a second is a character of the text.
        BytesCase{"Utf8TwoBoms", "\xEF\xBB\xBF\xEF\xBB\xBF\xEA\xB0\x80", Encoding::Utf8,
                  QString(QChar(0xFEFF)) + "가"},
        BytesCase{"Utf16Pair", b("\xFF\xFE\x3D\xD8\x00\xDE", 6), Encoding::Utf16Le, "😀"},
        BytesCase{"Utf16OddLastByte",
                  b("\xFF\xFE"
                    "A\0B",
                    5),
                  Encoding::Utf16Le, "A" + kFffd}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bytes, AnUndecodableByteNeverCutsTheTextShort) {
    QByteArray bytes("\xB0\xA1\xFF");
    for (int i = 0; i < 10000; ++i) bytes += "\xB3\xAA";  // 나
    const QString text = decodeDocumentAs(bytes, Encoding::Automatic).text;
    ASSERT_EQ(text.size(), 10002);
    EXPECT_EQ(text.at(1), QChar::ReplacementCharacter);
    EXPECT_EQ(text.back(), QChar(u'나'));
}

// A large book is looked at in two halves side by side, and still whole: what lies in either
// half decides, in memory and in a file alike.
TEST(Bytes, ALargeBookIsGuessedByAllOfIt) {
    const QByteArray ascii = QByteArray("plain line\r\n").repeated(800000);  // 9.6 MB
    const QByteArray hangul = QByteArray("\xEA\xB0\x80\xEB\x82\x98 \r\n").repeated(900000);
    QByteArray badInSecondHalf = hangul;
    badInSecondHalf[badInSecondHalf.size() * 3 / 4] = '\xFF';
    const struct {
        const char* name;
        QByteArray bytes;
        Encoding encoding;
    } cases[] = {
        {"ASCII", ascii, Encoding::Cp949},
        {"UTF-8 only at the end", ascii + "\xEA\xB0\x80", Encoding::Utf8},
        {"UTF-8 only at the start", "\xEA\xB0\x80" + ascii, Encoding::Utf8},
        {"UTF-8", hangul, Encoding::Utf8},
        {"UTF-8 but one byte in the second half", badInSecondHalf, Encoding::Cp949},
        {"UTF-8 but one byte at the very start", "\xFF" + hangul, Encoding::Cp949},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(detectEncoding(c.bytes), c.encoding);
        QFile f(dir.filePath("book.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    f.write(c.bytes) == c.bytes.size());
        f.close();
        EXPECT_EQ(encodings::StoredText::read(f.fileName()).encoding, c.encoding);
    }
}

// Only a regular file is read: a pipe is not waited on, a link to an endless device is not
// followed into it.
TEST(ReadDocument, OnlyARegularFileIsABook) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray cp949 = QByteArray("\xB0\xA1\xB3\xAA \xB4\xD9\r\n").repeated(1 << 20);
    const QByteArray utf8 = QByteArray("\xEA\xB0\x80\xEB\x82\x98 \r\n").repeated(1 << 20);
    const auto file = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    };
    const auto made = [&](const char* name, int result) {
        EXPECT_EQ(result, 0) << name << ": " << std::strerror(errno);
        return dir.filePath(name);
    };
    const struct {
        const char* name;
        QString path;
        DocumentRead::Result result;
        qsizetype units = 0;  // of the text read
    } cases[] = {
        {"a book", file("book.txt", cp949), DocumentRead::Read, 6 << 20},
        {"a pipe", made("pipe.txt", ::mkfifo(QFile::encodeName(dir.filePath("pipe.txt")), 0600)),
         DocumentRead::NotABook},
        {"a link to /dev/zero",
         made("zero.txt", ::symlink("/dev/zero", QFile::encodeName(dir.filePath("zero.txt")))),
         DocumentRead::NotABook},
        {"a folder",
         made("folder.txt", ::mkdir(QFile::encodeName(dir.filePath("folder.txt")), 0700)),
         DocumentRead::NotABook},
        {"nothing", dir.filePath("missing.txt"), DocumentRead::NotABook},
        {"no path", QString(), DocumentRead::NotABook},
        {"a UTF-8 book", file("book8.txt", utf8), DocumentRead::Read, 5 << 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const encodings::StoredText::Read read = encodings::StoredText::read(c.path);
        EXPECT_EQ(read.result, c.result);
        EXPECT_EQ(read.text.size(), c.units);
    }
}

}  // namespace

namespace {

// Texts of stray, cut and marked bytes, and the real ones; whether each is a CP949 (or ASCII)
// book.
std::vector<std::pair<QByteArray, bool>> pieceInputs() {
    std::vector<std::pair<QByteArray, bool>> inputs = {
        {"plain ascii only\r\n", true},
        {"\xB0\xA1\xB3\xAA \xB4\xD9\r\n\xB6\xF3", true},          // CP949
        {"\xB0 \xB0\xA1\xB0", true},                              // lone lead bytes
        {"\xEA\xB0\x80\xEB\x82\x98 a \xEB\x8B", false},           // UTF-8 cut at the end
        {"\xEA\xB0\x80 \xEB\x82 x \xEB\x8B\xA4", false},          // UTF-8 cut in the middle: CP949
        {"\xEF\xBB\xBF\xEA\xB0\x80 \xFF \xEF\xBB\xBF b", false},  // marked UTF-8 with a bad byte
        {QByteArray("\xFF\xFE\x00\xAC\x41\x00\x20\x00\x01", 9), false},  // UTF-16, half a unit
        // Lone lead bytes and pairs around line breaks and spaces:
        {QByteArray("\xB0\xA1").repeated(500) + " \xB0", true},         // the cut only near the end
        {"a " + QByteArray("\xB0\xA1").repeated(500), true},            // none from the middle on
        {QByteArray("\xB0\xA1\xB0").repeated(300) + "\r\n\xB0", true},  // lone leads at every cut
        {QByteArray(3000, 'x') + "\xB0\xA1", true},  // ASCII long before the first pair
    };
    // Japanese and Chinese code pages: never CP949 books.
    for (const texttest::CodePageSample& c : texttest::codePageSamples())
        inputs.push_back({texttest::viaIconv(c.utf8, c.iconvName), false});
    QDir data(QStringLiteral(TL_TESTDATA_DIR "/text"));
    for (const QString& name : data.entryList({"*.txt"})) {
        QFile f(data.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            inputs.push_back({f.readAll().left(200000), name.contains("cp949")});
    }
    return inputs;
}

// A book read from its file is the text of its bytes decoded whole, in every encoding.
TEST(Pieces, AFileReadsAsItsWholeBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("book.txt");
    for (const auto& [bytes, cp949] : pieceInputs()) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    f.write(bytes) == bytes.size());
        f.close();
        for (Encoding chosen :
             {Encoding::Automatic, Encoding::Cp949, Encoding::Utf8, Encoding::Utf16Be,
              Encoding::ShiftJis, Encoding::EucJp, Encoding::Gb18030, Encoding::Big5}) {
            SCOPED_TRACE(bytes.left(16).toHex().toStdString() + " as " +
                         std::to_string(int(chosen)));
            const DecodedDocument whole = decodeDocumentAs(bytes, chosen);
            const encodings::StoredText::Read read = encodings::StoredText::read(path, {}, chosen);
            EXPECT_EQ(read.encoding, whole.encoding);
            EXPECT_EQ(read.text.toString(), whole.text);
            if (cp949 && chosen == Encoding::Automatic) EXPECT_EQ(read.encoding, Encoding::Cp949);
        }
    }
}

}  // namespace

// The encodings a book can be read in: their stored names, a chosen encoding over any bytes, and
// the automatic guess, which reads the Japanese and Chinese code pages and leaves every Korean
// book as it read before.

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <map>

#include "CodePageSamples.h"
#include "TextTestUtil.h"
#include "encodings/DocumentText.h"
#include "encodings/StoredText.h"

namespace {

using encodings::Encoding;

const QString kFffd(QChar::ReplacementCharacter);

TEST(EncodingNames, StoredIdsAndCaptionsRoundTrip) {
    struct Case {
        Encoding encoding;
        const char* id;
        const char* caption;
    };
    const Case cases[] = {
        {Encoding::Automatic, "", "자동"},
        {Encoding::Utf8, "UTF-8", "UTF-8"},
        {Encoding::Cp949, "CP949", "한국어 (CP949)"},
        {Encoding::Utf16Le, "UTF-16LE", "UTF-16 LE"},
        {Encoding::Utf16Be, "UTF-16BE", "UTF-16 BE"},
        {Encoding::ShiftJis, "Shift_JIS", "일본어 (Shift_JIS)"},
        {Encoding::EucJp, "EUC-JP", "일본어 (EUC-JP)"},
        {Encoding::Gb18030, "GB18030", "중국어 간체 (GB18030)"},
        {Encoding::Big5, "Big5", "중국어 번체 (Big5)"},
    };
    ASSERT_EQ(std::size(cases), encodings::kEncodings.size());
    for (const Case& c : cases) {
        EXPECT_EQ(encodings::encodingId(c.encoding), QString::fromUtf8(c.id));
        EXPECT_EQ(encodings::encodingCaption(c.encoding), QString::fromUtf8(c.caption));
        EXPECT_EQ(encodings::encodingFromId(QString::fromUtf8(c.id)), c.encoding) << c.id;
        EXPECT_EQ(encodings::encodingFromId(QString::fromUtf8(c.id).toLower()), c.encoding);
    }
    EXPECT_EQ(encodings::encodingFromId(u"KOI8-R"), Encoding::Automatic);
}

// A chosen encoding reads every byte in it: marks only where they belong, U+FFFD for what it
// cannot decode, never a shorter text.
TEST(ChosenEncoding, ReadsTheBytesInIt) {
    struct Case {
        const char* name;
        QByteArray bytes;
        Encoding chosen;
        QString text;
        Encoding read;
    };
    const auto b = [](const char* s, int n) { return QByteArray(s, n); };
    const Case cases[] = {
        {"Utf16BeMarked", b("\xFE\xFF\xAC\x00\x00\x41", 6), Encoding::Utf16Be, "가A",
         Encoding::Utf16Be},
        {"Utf16BeUnmarked", b("\xAC\x00\xD8\x3D\xDE\x00", 6), Encoding::Utf16Be, "가😀",
         Encoding::Utf16Be},
        {"Utf16LeChosenBeMark", b("\xFE\xFF\x00\x41", 4), Encoding::Utf16Le, "A",
         Encoding::Utf16Be},
        {"Utf16BeChosenLeMark", b("\xFF\xFE\x41\x00", 4), Encoding::Utf16Be, "A",
         Encoding::Utf16Le},
        {"Utf16LeUnmarkedOdd", b("A\0B", 3), Encoding::Utf16Le, "A" + kFffd, Encoding::Utf16Le},
        {"Utf8OverCp949", "\xEF\xBB\xBF\xEA\xB0\x80\xFF", Encoding::Utf8, "가" + kFffd,
         Encoding::Utf8},
        {"Cp949OverUtf8",
         "\xC2\xA1"
         "a",
         Encoding::Cp949, "징a", Encoding::Cp949},
        {"ShiftJisBackslash", "\x82\xA0\\~", Encoding::ShiftJis, "あ\\~", Encoding::ShiftJis},
        {"ShiftJisNecRow", "\x87\x40", Encoding::ShiftJis, "①", Encoding::ShiftJis},
        {"ShiftJisUnassigned",
         "\x85\x40\x85\x9F\xFF"
         "a",
         Encoding::ShiftJis, kFffd + "@" + kFffd + kFffd + "a", Encoding::ShiftJis},
        {"ShiftJisLeadAtEnd", "a\x82", Encoding::ShiftJis, "a" + kFffd, Encoding::ShiftJis},
        {"EucJpCut", "\xA4\xA2\xA4", Encoding::EucJp, "あ" + kFffd, Encoding::EucJp},
        {"Gb18030FourBytes", "\x95\x32\x82\x36\x81\x30\x81\x30", Encoding::Gb18030,
         "𠀀" + QString(QChar(0x80)), Encoding::Gb18030},
        {"Gb18030CutFourBytes", "\xB0\xA1\x81\x30", Encoding::Gb18030, "啊" + kFffd + "0",
         Encoding::Gb18030},
        {"Big5", "\xA4\x40\xFF\xA4", Encoding::Big5, "一" + kFffd + kFffd, Encoding::Big5},
        {"AsciiInEveryCodePage", "Title\r\n", Encoding::EucJp, "Title\r\n", Encoding::EucJp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedDocument read = decodeDocumentAs(c.bytes, c.chosen);
        EXPECT_EQ(read.text, c.text);
        EXPECT_EQ(read.encoding, c.read);
    }
}

// The rule before the guess: a mark, else UTF-8 beyond ASCII, else CP949.
Encoding ruleWithoutGuess(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) return Encoding::Utf16Le;
    if (bytes.startsWith("\xEF\xBB\xBF")) return Encoding::Utf8;
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    const bool multiByte = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; });
    return !utf8.hasError() && multiByte ? Encoding::Utf8 : Encoding::Cp949;
}

bool holdsHangul(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'가' && c <= u'힣'; });
}

// Every entry of the archive at path that reads whole, by name.
std::vector<std::pair<QString, QByteArray>> archiveEntries(const QString& path) {
    std::vector<std::pair<QString, QByteArray>> entries;
    archive* a = archive_read_new();
    archive_read_support_format_all(a);
    archive_read_support_filter_all(a);
    if (archive_read_open_filename(a, QFile::encodeName(path).constData(), 1 << 16) == ARCHIVE_OK) {
        archive_entry* e;
        while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
            QByteArray bytes(qsizetype(archive_entry_size(e)), '\0');
            if (bytes.isEmpty() || bytes.size() > (8 << 20)) continue;
            if (archive_read_data(a, bytes.data(), size_t(bytes.size())) == bytes.size())
                entries.emplace_back(path + ':' + archive_entry_pathname(e), bytes);
        }
    }
    archive_read_free(a);
    return entries;
}

// Every Korean book of the shared data (the texts, and the texts inside its archives) reads as
// it did before the guess: same text, same encoding.
TEST(AutomaticGuess, LeavesEveryKoreanBookAsItWas) {
    SKIP_WITHOUT_TEXTS();
    std::vector<std::pair<QString, QByteArray>> books;
    for (QDirIterator it(QStringLiteral(TL_TESTDATA_DIR), QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        if (path.endsWith(".txt")) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly)) books.emplace_back(path, f.readAll());
        } else if (path.endsWith(".zip") || path.endsWith(".rar")) {
            for (auto& entry : archiveEntries(path)) books.push_back(std::move(entry));
        }
    }
    int korean = 0;
    std::map<QString, int> readIn;  // recorded in the test's XML output
    for (const auto& [name, bytes] : books) {
        const Encoding before = ruleWithoutGuess(bytes);
        const QString expected = decodeDocumentAs(bytes, before).text;
        if (!holdsHangul(expected)) continue;
        ++korean;
        SCOPED_TRACE(name.toStdString());
        const DecodedDocument read = decodeDocumentAs(bytes, Encoding::Automatic);
        EXPECT_EQ(read.encoding, before);
        EXPECT_TRUE(read.text == expected);
        ++readIn[encodings::encodingId(read.encoding)];
    }
    for (const auto& [id, count] : readIn) RecordProperty(id.toStdString(), count);
    // The 12 texts, and the Korean entries of the ZIP and RAR samples.
    EXPECT_GT(korean, 12);
}

// Prose in the other code pages is recognised, read and reported as such, from memory, from a
// file, and never by the decoder that streams CP949 out of an archive.
TEST(AutomaticGuess, ReadsJapaneseAndChineseCodePages) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const texttest::CodePageSample& c : texttest::codePageSamples()) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = texttest::viaIconv(c.utf8, c.iconvName);
        ASSERT_FALSE(bytes.isEmpty());
        const QString original = QString::fromUtf8(c.utf8);
        EXPECT_EQ(detectEncoding(bytes), c.encoding);
        const DecodedDocument read = decodeDocumentAs(bytes, Encoding::Automatic);
        EXPECT_EQ(read.encoding, c.encoding);
        EXPECT_EQ(read.text, original);
        EXPECT_EQ(decodeDocumentAs(bytes, c.encoding).text, original);

        QFile f(dir.filePath(c.name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        const encodings::StoredText::Read fromFile = encodings::StoredText::read(f.fileName());
        EXPECT_EQ(fromFile.encoding, c.encoding);
        EXPECT_EQ(fromFile.text.toString(), original);
    }
}

// A short book of Hangul alone (and its marks … “ ”) is Korean: to uchardet such a line of
// CP949 looks like GB2312, which shares its bytes. Short lines of the other code pages, which
// hold kana, a full-width comma or Big5's low trail bytes, are still read as theirs.
TEST(AutomaticGuess, ALineOfHangulAloneIsKorean) {
    const struct {
        const char* utf8;
        const char* iconvName;
        Encoding encoding;
    } cases[] = {
        // Lines of 홍염 (shared texts) that once opened as GB18030 on their own.
        {"\"용례야! 아이구 우리 용례야!\"\r\n", "CP949", Encoding::Cp949},
        {"\"푸우 우루루루 쏴아…\"\r\n", "CP949", Encoding::Cp949},
        {"“용례야!”", "CP949", Encoding::Cp949},
        {"아이구 우리 용례야", "CP949", Encoding::Cp949},
        {"\r\n푸우 우루루루 쏴아…\r\n\r\n", "CP949", Encoding::Cp949},
        {"雨の音で目が覚めた。窓の外はまだ暗く、遠くの山は雲に隠れていた。", "SHIFT_JIS",
         Encoding::ShiftJis},
        {"雨の音で目が覚めた。窓の外はまだ暗く、遠くの山は雲に隠れていた。", "EUC-JP",
         Encoding::EucJp},
        {"清晨的雨声把我从梦中唤醒。窗外天色还很暗，远处的山被云雾遮住了。", "GB18030",
         Encoding::Gb18030},
        {"清晨的雨聲把我從夢中喚醒。窗外天色還很暗，遠處的山被雲霧遮住了。", "BIG5",
         Encoding::Big5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const QByteArray bytes = texttest::viaIconv(c.utf8, c.iconvName);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(detectEncoding(bytes), c.encoding);
        const DecodedDocument read = decodeDocumentAs(bytes, Encoding::Automatic);
        EXPECT_EQ(read.encoding, c.encoding);
        EXPECT_EQ(read.text, QString::fromUtf8(c.utf8));
    }
}

}  // namespace

#pragma once
// Reading a text document into a string: UTF-16 LE with its byte-order mark, UTF-8, or code page
// 949 (the files of Korean Windows), guessed or as the reader chose for the book.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "encodings/Encoding.h"

using encodings::Encoding;

namespace files {
class RegularFile;
}

// UTF-16 LE when the bytes start with FF FE; UTF-8 when they start with EF BB BF, or are valid
// UTF-8 with at least one multi-byte sequence; pure ASCII is CP949 (it reads the same in both);
// other bytes are CP949 unless their first 64 KiB read confidently as Shift_JIS, EUC-JP,
// GB18030 or Big5 (encodings::guessCodePage). Never Automatic.
Encoding detectEncoding(const QByteArray& bytes);
// The same for the bytes of an open file, read a piece at a time; throws nothing, and a file
// that fails a read is taken as CP949 (its read fails the same way).
Encoding detectEncoding(const files::RegularFile& file);

// The text of the bytes in their detected encoding, without the byte-order mark; undecodable bytes
// become U+FFFD and never cut the text short.
QString decodeDocument(const QByteArray& bytes);
// The same, decoded a piece of about chunk bytes at a time (as a file is read), in `encoding`.
QString decodeDocument(const char* data, qsizetype size, qsizetype chunk,
                       Encoding encoding = Encoding::Automatic);

// A text and the encoding it was read in.
struct DecodedDocument {
    QString text;
    Encoding encoding = Encoding::Automatic;
};
// The text of the bytes read in `encoding`: Automatic is the detected encoding; UTF-8 drops its
// byte-order mark; UTF-16 drops its mark and follows the byte order the mark gives, whichever
// order was chosen; the code pages take every byte as text. Undecodable bytes become U+FFFD.
DecodedDocument decodeDocumentAs(const QByteArray& bytes, Encoding encoding);

// A book's text is held whole and the page model counts in 32-bit offsets; a larger file is
// refused with a message, never read.
constexpr qint64 kMaxDocumentBytes = qint64(512) * 1024 * 1024;
// A regular file at path larger than kMaxDocumentBytes.
bool DocumentTooLarge(const QString& path);
QString TooLargeText(const QString& name);

// The text of the book at path, or why there is none. Only a regular file (or a link to one) is
// a book: a folder, a pipe or a device is never waited on or read. A file that ends before the
// size it had when it was opened (cut short while it was read) or fails a read is Changed.
struct DocumentRead {
    enum Result { Read, NotABook, Denied, TooLarge, Changed };
    QString text;
    Result result = NotABook;
    Encoding encoding = Encoding::Automatic;  // what a book Read was read in
};
// beforeReading, when given, runs once the file is open and known to be a book, before it is
// read; the book is read in `encoding` as decodeDocumentAs reads bytes.
DocumentRead ReadDocument(const QString& path, const std::function<void()>& beforeReading = {},
                          Encoding encoding = Encoding::Automatic);
// What the open button says of a book it could not read.
QString ReadProblemText(DocumentRead::Result result, const QString& path);
// The text alone; "" when there is none.
QString LoadDocumentText(const QString& path, Encoding encoding = Encoding::Automatic);

// For tests: runs after each stretch [from, to) of a book is read from its file, on the thread
// that read it; it may change the file, or throw.
void SetDocumentReadHook(std::function<void(qint64 from, qint64 to)> hook);

// A CP949 book decoded as its bytes come in, in order, on whichever thread hands them in (an
// archive entry while it is inflated): the same text LoadDocumentText reads from the whole
// file in `encoding`. It stops at anything that may be read otherwise (more or fewer bytes than
// expected; for Automatic also a byte-order mark, valid UTF-8 beyond ASCII, a start that reads
// as another code page; any encoding but Automatic and CP949 at once); the file is then read
// as ever.
class StreamedDocument {
public:
    explicit StreamedDocument(qint64 expectedBytes, Encoding encoding = Encoding::Automatic);
    void add(const char* data, qsizetype size);
    // Stops it: the bytes that came are not the book's.
    void abandon() { stop(); }
    // The text, when exactly the expected bytes came and all of them were decoded.
    std::optional<QString> take();

private:
    void consume(const char* data, qsizetype size);
    void decodePiece(const char* piece, qsizetype size, bool atEnd);
    void checkSample();
    void stop();

    qint64 m_expected;
    qint64 m_received = 0;
    qint64 m_decoded = 0;
    bool m_stopped = false;
    bool m_automatic;              // else CP949 was chosen
    bool m_utf8 = true;            // every byte so far could be UTF-8
    bool m_sampleChecked = false;  // the start was found to read as CP949
    QByteArray m_sample;           // the first bytes, for the guess among the code pages
    QByteArray m_held;             // the bytes after the last place a piece may end
    QString m_text;
    qsizetype m_units = 0;
};

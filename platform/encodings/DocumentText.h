#pragma once
// What a text document is: the encoding its bytes are guessed to be in (UTF-16 LE with its
// byte-order mark, UTF-8, or code page 949, the files of Korean Windows, among others), how
// large a book may be, and what the reader says of one it could not read. The book itself is
// read by encodings/StoredText.h.

#include <QByteArray>
#include <QString>

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

// The page model counts in 32-bit offsets; a larger file is refused with a message, never read.
constexpr qint64 kMaxDocumentBytes = qint64(512) * 1024 * 1024;
// A regular file at path larger than kMaxDocumentBytes.
bool DocumentTooLarge(const QString& path);
QString TooLargeText(const QString& name);

// Why a book was read or not. Only a regular file (or a link to one) is a book: a folder, a pipe
// or a device is never waited on or read. A file that ends before the size it had when it was
// opened (cut short while it was read) or fails a read is Changed.
struct DocumentRead {
    enum Result { Read, NotABook, Denied, TooLarge, Changed };
};
// What the open button says of a book it could not read.
QString ReadProblemText(DocumentRead::Result result, const QString& path);

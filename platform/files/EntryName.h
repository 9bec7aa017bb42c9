#pragma once
// Names of archive entries: decoding the bytes an archive stores, and the one flat file name an
// entry may be written under.

#include <QByteArray>
#include <QString>

namespace files {

// The text of an entry name: UTF-8 when the archive says so or when the bytes are valid UTF-8,
// otherwise CP949 (archives made on Korean Windows store CP949 without saying so). The result
// is composed (NFC), so decomposed Hangul from macOS shows and compares as typed.
QString decodeEntryName(const QByteArray& raw, bool flaggedUtf8);

// The last piece of a name after "/" or "\", when it is safe to create as a file inside a
// folder: not empty, not "." or "..", no NUL or other control character, no ":" (a drive).
// "" when it is not.
QString flatEntryName(const QString& name);

}  // namespace files

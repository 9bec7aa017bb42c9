#pragma once
// Names of archive entries: decoding the bytes an archive stores, and the one flat file name an
// entry may be written under.

#include <QByteArray>
#include <QString>

namespace encodings {

// How one archive's names without a UTF-8 flag are read, decided from all of them at once:
// archives made on Korean Windows store every name in CP949 without saying so, and a CP949 name
// may happen to be valid UTF-8 ("천체" reads "õü"), so one name that settles it settles all.
class UnflaggedNames {
public:
    // Counts in one name stored without the flag.
    void add(const QByteArray& raw);
    // CP949 when some name is not valid UTF-8, or when one reads as accented Latin letters in
    // UTF-8 where CP949 reads Hangul and every name reads as CP949; UTF-8 otherwise.
    bool cp949() const { return m_notUtf8 || (m_latinOrHangul && m_allCp949); }

private:
    bool m_notUtf8 = false;
    bool m_latinOrHangul = false;
    bool m_allCp949 = true;
};

// The text of an entry name: UTF-8 when the archive flags it so, otherwise as the archive's
// unflagged names are read (unflaggedCp949: UnflaggedNames::cp949). The result is composed
// (NFC), so decomposed Hangul from macOS shows and compares as typed.
QString decodeEntryName(const QByteArray& raw, bool flaggedUtf8, bool unflaggedCp949);

// The last piece of a name after "/" or "\", when it is safe to create as a file inside a
// folder: not empty, not "." or "..", no NUL or other control character. ":" is an ordinary
// character here. "" when it is not safe.
QString flatEntryName(const QString& name);

}  // namespace encodings

#pragma once
// The entry table of an open archive and the list of its books: only .txt entries at the top
// level of the archive, each distinct name once, in the order they first appear.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// One entry of the archive listing.
struct ArchiveEntry {
    QString FileName;    // the name without its folder
    QString FolderName;  // the folder inside the archive, "" at the top level
    QString TextName;    // FileName when the entry is a top-level .txt, else ""
    int64_t size = -1;   // its unpacked size as the directory gives it; -1 when unknown
    uint32_t crc = 0;    // its CRC-32 as the directory gives it
};
// An archive's entries: shared, not copied, by each snapshot of the reader's state.
using ArchiveEntries = QList<ArchiveEntry>;

namespace archivelist {

// At most this many entries are taken from one archive; the rest are left out.
constexpr int kMaxEntries = 32767;

// True exactly for ".txt"; callers lower-case first.
bool IsTextExtension(const QString& extension);
// The last piece of path after a ".", lower-cased, with the "." (the whole path lower-cased
// after a "." when it has none).
QString extensionOf(const QString& path);
// Sets every entry's TextName and returns the distinct names for the list, in order.
QStringList FillArchiveList(ArchiveEntries& entries);

}  // namespace archivelist

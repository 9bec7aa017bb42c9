#pragma once
// Which book is on screen: the file read, or the archive it came from and the entry shown.

#include <QString>
#include <cstdint>
#include <vector>

#include "documents/ArchiveList.h"

struct OpenBook {
    QString path;              // the text read: the file itself, or the entry extracted to TmpZip
    int16_t archiveKind = -1;  // -1 a plain file, 0 a ZIP archive, 1 a RAR archive
    QString archivePath;       // the archive the entry came from, "" for a plain file
    ArchiveEntries entries;
    // The list row of the archive entry on screen (what is saved, bookmarked and stepped
    // from); the list's own selection may be elsewhere while the user browses it.
    int32_t shown = -1;

    bool open() const { return !path.isEmpty(); }
    bool inArchive() const { return archiveKind != -1; }
    // The file name of what is read, shown beside the right page's number.
    QString title() const { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }
    // The folder of the book (of its archive, for an entry), where the next one most likely
    // is; "" when it is gone or there is no book.
    QString lastFolder() const;
};

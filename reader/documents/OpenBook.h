#pragma once
// Which book is on screen: the file read, or the archive it came from and the entry shown.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "documents/ArchiveList.h"
#include "encodings/Encoding.h"
#include "library/BookKey.h"

struct OpenBook {
    QString path;              // the text read: the file itself, or the entry extracted to TmpZip
    int16_t archiveKind = -1;  // -1 a plain file, 0 a ZIP archive, 1 a RAR archive
    QString archivePath;       // the archive the entry came from, "" for a plain file
    ArchiveEntries entries;
    // The list row of the archive entry on screen (what is saved, bookmarked and stepped
    // from); the list's own selection may be elsewhere while the user browses it.
    int32_t shown = -1;
    // What the library knows the book on screen by (none when it cannot be read for a key),
    // and the encoding it is read in: Automatic unless one was chosen for it.
    std::optional<library::BookKey> key;
    encodings::Encoding encoding = encodings::Encoding::Automatic;

    bool open() const { return !path.isEmpty(); }
    bool inArchive() const { return archiveKind != -1; }
    // The file name of what is read, shown beside the right page's number.
    QString title() const { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }
    // The folder of the book (of its archive, for an entry), where the next one most likely
    // is; "" when it is gone or there is no book.
    QString lastFolder() const;
    // The listing's entry called name (the first of that name); null when there is none.
    const ArchiveEntry* entryNamed(const QString& name) const;
    // The key of the book called name in this book's archive, or of the file at path when it
    // is no archive entry (or its directory gave no size).
    std::optional<library::BookKey> keyOf(const QString& name, const QString& file) const;
};

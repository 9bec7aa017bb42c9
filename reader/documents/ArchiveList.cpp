#include "documents/ArchiveList.h"

#include <QSet>

#include "encodings/EntryName.h"

namespace archivelist {

bool IsTextExtension(const QString& extension) {
    return extension == QLatin1String(".txt");
}

QString extensionOf(const QString& path) {
    return QLatin1Char('.') + path.split(QLatin1Char('.')).last().toLower();
}

QStringList FillArchiveList(ArchiveEntries& entries) {
    for (ArchiveEntry& e : entries) {
        e.TextName.clear();
        if (!e.FolderName.isEmpty() || !e.FileName.contains(QLatin1Char('.'))) continue;
        // A name that could not be written as a plain file inside the folder is no book.
        if (encodings::flatEntryName(e.FileName) != e.FileName) continue;
        // The extension is compared lower-cased, the name itself as it stands.
        if (IsTextExtension(extensionOf(e.FileName))) e.TextName = e.FileName;
    }
    QStringList names;
    QSet<QString> seen;
    for (const ArchiveEntry& e : entries)
        if (!e.TextName.isEmpty() && !seen.contains(e.TextName)) {
            seen.insert(e.TextName);
            names << e.TextName;
        }
    return names;
}

}  // namespace archivelist

#include "documents/OpenBook.h"

#include <QDir>
#include <QFileInfo>

QString OpenBook::lastFolder() const {
    const QString from = archivePath.isEmpty() ? path : archivePath.trimmed();
    const QFileInfo info(from);
    return from.isEmpty() || !info.dir().exists() ? QString() : info.absolutePath();
}

const ArchiveEntry* OpenBook::entryNamed(const QString& name) const {
    for (const ArchiveEntry& entry : entries)
        if (entry.TextName == name) return &entry;
    return nullptr;
}

std::optional<library::BookKey> OpenBook::keyOf(const QString& name, const QString& file) const {
    if (inArchive()) {
        const ArchiveEntry* entry = entryNamed(name);
        if (entry && entry->size >= 0)
            return library::BookKey::ofEntry(archivePath.trimmed(), name, entry->size, entry->crc);
    }
    if (file.isEmpty()) return std::nullopt;
    return library::BookKey::ofFile(file);
}

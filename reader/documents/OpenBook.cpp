#include "documents/OpenBook.h"

#include <QDir>
#include <QFileInfo>

QString OpenBook::lastFolder() const {
    const QString from = archivePath.isEmpty() ? path : archivePath.trimmed();
    const QFileInfo info(from);
    return from.isEmpty() || !info.dir().exists() ? QString() : info.absolutePath();
}

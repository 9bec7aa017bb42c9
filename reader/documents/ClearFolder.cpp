#include "documents/ClearFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void ClearFolder(const QString& folder, const QString& keep, const QString& root) {
    QDir dir(folder);
    if (!dir.exists()) return;
    // A read-only folder would keep its entries.
    QFile::setPermissions(folder, QFile::permissions(folder) | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOwner);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (entry.isDir() && !entry.isSymLink()) {
            ClearFolder(path, QString(), root);
        } else if (path != keep) {
            if (!entry.isSymLink())
                QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(path);
        }
    }
    if (QDir::cleanPath(folder) != QDir::cleanPath(root)) QDir().rmdir(folder);
}

#include "documents/ClearFolder.h"

#include <QDir>

#include "files/Files.h"

void ClearFolder(const QString& folder, const QString& keep, const QString& root) {
    files::RemoveContents(folder, keep);
    if (QDir::cleanPath(folder) != QDir::cleanPath(root)) files::RmDir(folder);
}

bool EmptyExtractFolder(const QString& folder) {
    if (!files::MakeRealFolder(folder)) return false;
    ClearFolder(folder, QString(), folder);
    return true;
}

#include "files/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace files {

namespace {
// "dir/" and "dir" name the same folder; the root keeps its slash.
QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}
}  // namespace

bool FileExists(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool DirExists(const QString& path) {
    if (path.isEmpty()) return false;
    return QFileInfo(withoutTrailingSlash(path)).isDir();
}

QStringList FindFiles(const QString& dir, const QString& pattern) {
    const QDir d(dir);
    if (dir.isEmpty() || !d.exists()) return {};
    // The classic "*.*" also matches names without a dot. Name filters are case-insensitive
    // unless QDir::CaseSensitive is asked for, which is what names from the other platform need.
    const QString filter = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
    return d.entryList({filter}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

uint32_t GetFileAttributes(const QString& path) {
    if (path.isEmpty()) return INVALID_FILE_ATTRIBUTES;
    const QFileInfo info(withoutTrailingSlash(path));
    if (!info.exists()) return INVALID_FILE_ATTRIBUTES;
    uint32_t attributes = 0;
    if (info.isDir()) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    // The owner's write bit, not access(): root may write anything, yet a file whose write
    // bit SetFileAttributes cleared must still read back as read-only.
    if (!(info.permissions() & QFile::WriteOwner)) attributes |= FILE_ATTRIBUTE_READONLY;
    if (info.fileName().startsWith(QLatin1Char('.'))) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (info.isFile()) attributes |= FILE_ATTRIBUTE_ARCHIVE;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool SetFileAttributes(const QString& path, uint32_t attributes) {
    const QString p = withoutTrailingSlash(path);
    if (p.isEmpty() || !QFileInfo::exists(p)) return false;
    QFile::Permissions perms = QFile::permissions(p);
    // Qt maps both the owner and the current-user bit onto the same mode bit.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        perms &= ~(QFile::WriteOwner | QFile::WriteUser);
    else
        perms |= QFile::WriteOwner | QFile::WriteUser;
    return QFile::setPermissions(p, perms);
}

bool Kill(const QString& path) {
    return FileExists(path) && QFile::remove(path);
}

bool MkDir(const QString& path) {
    return !path.isEmpty() && QDir().mkdir(path);
}

bool RmDir(const QString& path) {
    return DirExists(path) && QDir().rmdir(path);
}

QString AppPath() {
    return withoutTrailingSlash(QCoreApplication::applicationDirPath());
}

}  // namespace files

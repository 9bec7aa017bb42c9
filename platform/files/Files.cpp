#include "files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <string>
#include <vector>

namespace files {

namespace {
// "dir/" and "dir" name the same folder; the root keeps its slash.
QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

// Deeper trees than this are left standing: each level holds a descriptor open.
constexpr int kMaxDepth = 256;

// The names in the folder open at fd, without "." and "..".
std::vector<std::string> namesIn(int fd) {
    std::vector<std::string> names;
    const int own = ::dup(fd);  // closedir closes the descriptor it was given
    DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
    if (!dir) {
        if (own >= 0) ::close(own);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

// Empties the folder open at fd, whose path is path; every step goes through a descriptor
// opened without following links, so no link, old or swapped in, is ever entered.
bool removeContentsAt(int fd, const std::string& path, const std::string& keep, int depth) {
    // A folder without write or search rights for its owner would keep its entries.
    struct stat self {};
    if (::fstat(fd, &self) == 0) ::fchmod(fd, (self.st_mode & 07777) | S_IRWXU);
    bool all = true;
    for (const std::string& name : namesIn(fd)) {
        const std::string full = path + "/" + name;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            all = false;
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (full == keep) continue;
            all = ::unlinkat(fd, name.c_str(), 0) == 0 && all;
            continue;
        }
        const int sub =
            depth < kMaxDepth
                ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                : -1;
        if (sub < 0) {
            all = false;
            continue;
        }
        const bool emptied = removeContentsAt(sub, full, keep, depth + 1);
        ::close(sub);
        all = emptied && ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0 && all;
    }
    return all;
}
}  // namespace

RegularFile::RegularFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // A look at the name first spares a device the open; the descriptor's own answer decides.
    if (name.isEmpty() || ::stat(name.constData(), &st) != 0) {
        m_error = name.isEmpty() ? ENOENT : errno;
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        m_error = EINVAL;
        return;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = EINVAL;
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_size = int64_t(st.st_size);
    m_changedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    m_device = uint64_t(st.st_dev);
    m_inode = uint64_t(st.st_ino);
}

RegularFile::~RegularFile() {
    if (m_fd >= 0) ::close(m_fd);
}

int64_t RegularFile::readAt(void* into, int64_t bytes, int64_t offset) const {
    if (m_fd < 0) return -1;
    int64_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::pread(m_fd, static_cast<char*>(into) + done, size_t(bytes - done),
                                    off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

bool RegularFile::unchanged(const QString& path) const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return false;
    if (int64_t(st.st_size) != m_size ||
        int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec != m_changedNs)
        return false;
    if (path.isEmpty()) return true;
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0) return errno == ENOENT;
    return uint64_t(st.st_dev) == m_device && uint64_t(st.st_ino) == m_inode;
}

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

bool MakeRealFolder(const QString& path) {
    if (path.isEmpty()) return false;
    // Without its trailing slash, so that lstat sees a link rather than where it points.
    const QByteArray p = QFile::encodeName(withoutTrailingSlash(path));
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        if (::unlink(p.constData()) != 0) return false;
    } else if (errno != ENOENT) {
        return false;
    }
    if (::mkdir(p.constData(), 0777) == 0) return true;
    return errno == EEXIST && ::lstat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveContents(const QString& folder, const QString& keep) {
    if (folder.isEmpty()) return false;
    const QString top = withoutTrailingSlash(folder);
    const int fd =
        ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    // Paths are compared whole, as absolute paths.
    const auto absolute = [](const QString& p) {
        return QFile::encodeName(QDir::cleanPath(QFileInfo(p).absoluteFilePath())).toStdString();
    };
    const bool all = removeContentsAt(fd, absolute(top), keep.isEmpty() ? "" : absolute(keep), 0);
    ::close(fd);
    return all;
}

QString AppPath() {
    return withoutTrailingSlash(QCoreApplication::applicationDirPath());
}

}  // namespace files

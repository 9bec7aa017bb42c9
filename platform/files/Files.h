#pragma once
// File-system calls with the classic shapes. Paths use "/" and are UTF-8 on this platform.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace files {

// A regular file open for reading, closed with the object. Opening never waits: a pipe, a
// device, a socket or a folder, or a link to one, is refused, and what decides is the opened
// descriptor, not the name, so nothing swapped in after a look at the name is read.
class RegularFile {
public:
    explicit RegularFile(const QString& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why it is not open: errno of the open (ENOENT, EACCES, ...), or EINVAL for what is not a
    // regular file.
    int error() const { return m_error; }
    // The size when it was opened.
    int64_t size() const { return m_size; }
    // Reads up to `bytes` bytes at `offset`, fewer only at the end of the file; -1 on an error.
    int64_t readAt(void* into, int64_t bytes, int64_t offset) const;
    // Whether the file is as it was opened: its size and time of change the same, and `path`
    // (when given) still naming it. A path that names nothing (the file was deleted) is no
    // change: what was opened is still read whole.
    bool unchanged(const QString& path = QString()) const;

private:
    int m_fd = -1;
    int m_error = 0;
    int64_t m_size = 0;
    int64_t m_changedNs = 0;  // the time of the last change, in nanoseconds
    uint64_t m_device = 0, m_inode = 0;
};

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// A search for exactly this name finds a file (not a folder). No wildcards.
bool FileExists(const QString& path);
// A directory search for path (with or without a trailing "/") finds a folder.
bool DirExists(const QString& path);
// The names (not paths) of the regular files in dir matching a wildcard pattern ("*.txt"),
// sorted; empty when dir does not exist.
QStringList FindFiles(const QString& dir, const QString& pattern);
// The attributes of path, or INVALID_FILE_ATTRIBUTES when it does not exist.
uint32_t GetFileAttributes(const QString& path);
// Sets the read-only and hidden-free attributes that this platform can express; false on error.
bool SetFileAttributes(const QString& path, uint32_t attributes);
// Deletes a file; false when it did not exist or could not be deleted.
bool Kill(const QString& path);
// Creates one folder; false when it exists already or cannot be made.
bool MkDir(const QString& path);
// Removes an empty folder; false otherwise.
bool RmDir(const QString& path);
// Makes path a real folder: a link, a file or anything else standing there is removed (a link
// as a link, never what it points to) and a folder made in its place. True when path is then a
// folder and not a link.
bool MakeRealFolder(const QString& path);
// Deletes everything inside folder but the file keep (a full path; "" keeps nothing), read-only
// files and nested folders too. Nothing is followed: a link inside is removed as a link, a
// folder that is itself a link is left as it is, and a tree that changes meanwhile never takes
// the deletion outside folder. False when folder could not be opened or something stayed.
bool RemoveContents(const QString& folder, const QString& keep);
// The folder of the running program, without a trailing "/".
QString AppPath();

}  // namespace files

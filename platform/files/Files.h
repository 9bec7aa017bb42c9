#pragma once
// File-system calls with the classic shapes. Paths use "/" and are UTF-8 on this platform.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace files {

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

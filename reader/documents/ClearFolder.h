#pragma once
// Emptying the temporary folder the archive entries are extracted into.

#include <QString>

// Deletes everything inside folder except the file keep (read-only files and nested folders
// included), then the folder itself unless it is root. Nothing is followed: a link inside is
// removed as a link, a folder that is itself a link is left as it is, so nothing outside the
// folder is touched. Errors are passed over silently.
void ClearFolder(const QString& folder, const QString& keep, const QString& root);

// Makes folder (the extract folder) a real, empty folder of the reader's own: a link or a file
// in its place is removed as a link or a file, what a link pointed to is left alone, and a
// folder is made. True when folder is then a folder.
bool EmptyExtractFolder(const QString& folder);

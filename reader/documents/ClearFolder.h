#pragma once
// Emptying the temporary folder the archive entries are extracted into.

#include <QString>

// Deletes everything inside folder except the file keep (read-only files and nested folders
// included), then the folder itself unless it is root. A link is removed as a link and never
// followed, so nothing outside the folder is touched. Errors are passed over silently.
void ClearFolder(const QString& folder, const QString& keep, const QString& root);

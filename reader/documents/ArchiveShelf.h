#pragma once
// The archive calls the reader makes: listing a ZIP or RAR archive and extracting one .txt entry
// into the extract folder (TmpZip). It holds the two archive objects between calls.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "dialogs/Dialogs.h"
#include "documents/ArchiveList.h"
#include "documents/OpenBook.h"

class Cls_Rar;
class cUnzip;

class ArchiveShelf {
public:
    ArchiveShelf(dlg::Dialogs& dialogs, QString extractFolder);
    ~ArchiveShelf();
    const QString& extractFolder() const { return m_folder; }

    void createArchiveObjects();
    void releaseArchiveObjects();
    // The entries of an archive; none, with what to tell the user in *problem ("" when a box
    // said it already), when it cannot be listed or holds nothing.
    ArchiveEntries VBZip_ArchiveUpdate(const QString& path, QString* problem);
    ArchiveEntries VBUnRar_ArchiveUpdate(const QString& path, QString* problem);
    // Extracts the entries of book's archive called name into the extract folder: nothing when
    // the file is there, else the reason to tell the user ("" when a box said it already).
    std::optional<QString> extract(const OpenBook& book, const QString& name);

private:
    std::optional<QString> ExtractZipEntry(const OpenBook& book, const QString& name);
    std::optional<QString> ExtractRarEntry(const OpenBook& book, const QString& name);
    bool prepareTmpZip();

    dlg::Dialogs& m_dialogs;
    QString m_folder;
    std::unique_ptr<cUnzip> zipObject;
    std::unique_ptr<Cls_Rar> rarObject;
};

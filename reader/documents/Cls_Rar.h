#pragma once
// The reader's access object for RAR archives: lists an archive into an entry table and
// extracts the selected entries into a folder, through the UnRAR calls. A library error is
// shown in a box; the object then counts as failed until the next archive is set, and the
// reader abandons that archive and goes on with the document it had.

#include <QString>
#include <cstdint>
#include <vector>

#include "unrar/Unrar.h"

namespace dlg {
class Dialogs;
}

class Cls_Rar {
public:
    explicit Cls_Rar(dlg::Dialogs& dialogs) : m_dialogs(dialogs) {}
    ~Cls_Rar() { m_entries.clear(); }

    // Setting the archive empties the entry table and forgets an earlier failure.
    const QString& RarFile() const { return m_rarFile; }
    void setRarFile(const QString& path);
    // Entries are numbered 1..Get_FileCount; another index throws std::out_of_range.
    int16_t Get_FileCount() const { return int16_t(m_entries.size()); }
    QString RarFolderName(int16_t index) const { return at(index).folder; }
    QString RarFileName(int16_t index) const { return at(index).name; }
    // The unpacked size (-1 past 4 GiB, where the header saturates) and CRC-32 of an entry.
    int64_t RarFileSize(int16_t index) const { return at(index).size; }
    uint32_t RarFileCRC(int16_t index) const { return at(index).crc; }
    bool RarSelected(int16_t index) const { return at(index).selected; }
    void setRarSelected(int16_t index, bool on) { at(index).selected = on; }

    // Lists RarFile.
    void Rar_Directory();
    // Extracts the selected entries, flat, into desPath.
    void UnCompressRAR(int32_t mode, const QString& rarFile, const QString& desPath,
                       const QString& password, int32_t isSubRar);
    // True once a library error was reported for the current archive.
    bool failed() const { return m_failed; }
    // What stopped the last extraction of a selected entry (unrar::ERAR_SUCCESS when none).
    int lastProblem() const { return m_lastProblem; }

    // The part of path after its last "/" or "\", or the whole path.
    static QString ParseFilename(const QString& path);
    // The folder part of an entry name, lower-cased; "" at the top level.
    static QString folderPart(const QString& name);

private:
    struct Entry {
        QString folder, name;
        bool selected = false;
        int64_t size = -1;
        uint32_t crc = 0;
    };
    const Entry& at(int16_t index) const { return m_entries.at(size_t(index - 1)); }
    Entry& at(int16_t index) { return m_entries.at(size_t(index - 1)); }
    unrar::HANDLE open(uint32_t mode, const QString& path, const QString& password);
    void reportOpenError(uint32_t code, const QString& path);
    void reportProcessError(int code);
    void showError(const QString& text);

    dlg::Dialogs& m_dialogs;
    QString m_rarFile;
    std::vector<Entry> m_entries;
    bool m_failed = false;
    int m_lastProblem = unrar::ERAR_SUCCESS;
};

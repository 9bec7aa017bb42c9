#pragma once
// The reader's access object for ZIP archives: lists an archive into an entry table and
// extracts the selected entries into a folder, through the single-entry unzip call.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

#include "unzip/Unzip.h"

class cUnzip {
public:
    // Options passed with every call; the reader sets none of them.
    bool ExtractOnlyNewer() const { return m_options.ExtractOnlyNewer != 0; }
    void setExtractOnlyNewer(bool on) { m_options.ExtractOnlyNewer = on; }
    bool UseFolderNames() const { return m_options.UseFolderNames != 0; }
    void setUseFolderNames(bool on) { m_options.UseFolderNames = on; }
    bool OverwriteExisting() const { return m_options.OverwriteExisting != 0; }
    void setOverwriteExisting(bool on) { m_options.OverwriteExisting = on; }
    int32_t MessageLevel() const { return m_options.MessageLevel; }
    void setMessageLevel(int32_t level) { m_options.MessageLevel = level; }

    // Setting the archive empties the entry table.
    const QString& ZipFile() const { return m_zipFile; }
    void setZipFile(const QString& path);
    const QString& UnzipFolder() const { return m_unzipFolder; }
    void setUnzipFolder(const QString& folder) { m_unzipFolder = folder; }

    // Entries are numbered 1..FileCount; another index throws std::out_of_range.
    int32_t FileCount() const { return int32_t(m_entries.size()); }
    QString FileName(int32_t index) const { return at(index).name; }
    QString FileDirectory(int32_t index) const { return at(index).directory; }
    QString FileCompressionMethod(int32_t index) const { return at(index).method; }
    int32_t FileSize(int32_t index) const { return at(index).size; }
    int32_t FileCompressionRatio(int32_t index) const { return at(index).factor; }
    int32_t FilePackedSize(int32_t index) const;
    uint32_t FileCRC(int32_t index) const { return at(index).crc; }
    QDateTime FileDate(int32_t index) const { return at(index).date; }
    bool FileEncrypted(int32_t index) const { return at(index).encrypted; }
    bool FileSelected(int32_t index) const { return at(index).selected; }
    void setFileSelected(int32_t index, bool on) { at(index).selected = on; }

    // Lists ZipFile; returns 0.
    int32_t Directory();
    // Extracts the selected entries (all when none or every one is selected) into UnzipFolder;
    // true when the library reported a problem. content, when given, gets the bytes of what it
    // writes as unzip::Callbacks::content says.
    bool Unzip(unzip::Content content = {});
    // What the library answered to the last call (unzip::PK_OK when all went well).
    int32_t lastResult() const { return m_lastResult; }

    // Adds one entry as the listing reports it; folders (no name after the last "/") and
    // links are left out.
    void addListedEntry(const unzip::ListedEntry& listed);

private:
    struct Entry {
        QString name, directory, method;
        int32_t size = 0, factor = 0;
        uint32_t crc = 0;
        QDateTime date;
        bool encrypted = false, selected = false;
    };
    const Entry& at(int32_t index) const { return m_entries.at(size_t(index - 1)); }
    Entry& at(int32_t index) { return m_entries.at(size_t(index - 1)); }
    int32_t call(const std::vector<std::string>& include,
                 unzip::Content content = {});

    unzip::Options m_options;
    QString m_zipFile, m_unzipFolder;
    std::vector<Entry> m_entries;
    int32_t m_lastResult = unzip::PK_OK;
};

namespace mUnzip {

// An entry's listed name split as the table keeps it: the folder with "\" separators and the
// name after the last separator.
struct SplitName {
    QString directory, name;
};
SplitName splitListedName(const QString& listed);
// The whole name of the entry the table keeps as directory and name, as the unzip call takes
// it: "/" separators.
QString entryPath(const QString& directory, const QString& name);
// factor percent of size, truncated; 0 when the product leaves 32 bits.
int32_t packedSize(int32_t factor, int32_t size);

}  // namespace mUnzip

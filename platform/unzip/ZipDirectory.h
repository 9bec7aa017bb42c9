#pragma once
// Extracting a plain ZIP entry around libarchive's stream: the central directory is read here,
// the entry's local header and data descriptor are checked against it, and a stored or deflated
// body is inflated by ISA-L, several times faster than zlib behind libarchive, while a second
// thread takes its CRC and writes it out. Whatever is out of the ordinary is left to
// libarchive, so that the files written never depend on which of the two read them. It also
// tells how each entry's name is stored, which libarchive does not.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "unzip/Unzip.h"

namespace unzip {

// One file's record in the central directory, its Zip64 values applied.
struct ZipRecord {
    int64_t headerOffset = 0;  // where its local header starts in the file
    int64_t compressedSize = 0;
    int64_t size = 0;
    uint32_t crc = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    bool usable = true;       // false: its extra fields overrun, or another record names its header
    bool utf8Name = false;    // the UTF-8 flag, or a Unicode path field that replaces the name
    int64_t dataOffset = -1;  // where its local header ends; -1 when that cannot be read
};

// What a direct extraction came to: the entry written whole; bytes whose CRC is not the recorded
// one, or an entry libarchive has to read, with nothing left written; or a write that failed.
enum class Direct { Read, BadCrc, Unusual, WriteFailed };

// Whether Wiz_SingleEntryUnzip extracts plain entries here at all. Only a test turns it off, to
// have libarchive read every entry and compare what the two write.
inline bool g_directExtraction = true;

class ZipDirectory {
public:
    // The directory of the archive at path; null when it has none that adds up exactly. hostile
    // tells of an archive that no one should walk: more records than libarchive should be
    // given to hold (it holds them all before the first header), or local headers that
    // overlap so that reading them reads more than the file. Only the records of the first
    // kMaxEntries local headers are kept, and only their local headers are read.
    static std::unique_ptr<ZipDirectory> open(const std::string& path, bool& hostile);
    ~ZipDirectory();
    ZipDirectory(const ZipDirectory&) = delete;
    ZipDirectory& operator=(const ZipDirectory&) = delete;

    // Writes the entry whose data starts at dataOffset (libarchive's place after its header), of
    // size bytes, into fd, an empty file, handing content (if any) each stretch written. Unless
    // it is Read the file is left empty and what content got is not the entry; after WriteFailed
    // errno tells why.
    Direct extract(int64_t dataOffset, int64_t size, int fd, const Content& content = {}) const;
    // Whether the entry whose data starts at dataOffset has a UTF-8 name; false for an entry
    // the directory does not hold.
    bool utf8Name(int64_t dataOffset) const;
    // How the names stored without the UTF-8 flag read (encodings::UnflaggedNames::cp949).
    bool unflaggedCp949() const { return m_unflaggedCp949; }
    // The records kept, by header offset.
    const std::vector<ZipRecord>& records() const { return m_records; }

private:
    ZipDirectory(int fd, int64_t fileSize, std::vector<ZipRecord> records, bool unflaggedCp949);
    const ZipRecord* recordBefore(int64_t dataOffset) const;
    bool localHeaderAgrees(const ZipRecord& r, int64_t dataOffset, uint16_t& flags) const;
    bool descriptorAgrees(const ZipRecord& r, int64_t dataEnd) const;
    Direct copyOut(const ZipRecord& r, int64_t dataOffset, int fd, const Content& content) const;

    int m_fd;
    int64_t m_fileSize;
    std::vector<ZipRecord> m_records;  // by header offset
    bool m_unflaggedCp949;
};

}  // namespace unzip

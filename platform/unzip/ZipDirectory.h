#pragma once
// Reading a plain ZIP entry in one piece, around libarchive's stream: the central directory is
// read here, the entry's local header and data descriptor are checked against it, and a stored
// or deflated body is read whole and inflated by libdeflate, several times faster than zlib
// behind libarchive. Whatever is out of the ordinary is left to libarchive, so that the files
// written never depend on which of the two read them. It also tells how each entry's name is
// stored, which libarchive does not.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct libdeflate_decompressor;

namespace unzip {

// One file's record in the central directory, its Zip64 values applied.
struct ZipRecord {
    int64_t headerOffset = 0;  // where its local header starts in the file
    int64_t compressedSize = 0;
    int64_t size = 0;
    uint32_t crc = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    bool usable = true;  // false: its extra fields overrun, or another record names its header
    std::string name;    // as its local header stores it
    bool utf8Name = false;    // the UTF-8 flag, or a Unicode path field that replaces the name
    int64_t dataOffset = -1;  // where its local header ends; -1 when that cannot be read
};

// What a direct read came to: the entry's bytes, bytes whose CRC is not the recorded one, or an
// entry libarchive has to read.
enum class Direct { Read, BadCrc, Unusual };

struct DirectEntry {
    Direct result = Direct::Unusual;
    std::unique_ptr<char[]> data;  // size bytes when result is Read
    size_t size = 0;
};

class ZipDirectory {
public:
    // The directory of the archive at path; null when it has none that adds up exactly.
    static std::unique_ptr<ZipDirectory> open(const std::string& path);
    ~ZipDirectory();
    ZipDirectory(const ZipDirectory&) = delete;
    ZipDirectory& operator=(const ZipDirectory&) = delete;

    // The entry whose data starts at dataOffset (libarchive's place after its header), of size
    // bytes.
    DirectEntry read(int64_t dataOffset, int64_t size) const;
    // Whether the entry whose data starts at dataOffset has a UTF-8 name; false for an entry
    // the directory does not hold.
    bool utf8Name(int64_t dataOffset) const;
    // Every record, by header offset.
    const std::vector<ZipRecord>& records() const { return m_records; }

private:
    ZipDirectory(int fd, int64_t fileSize, std::vector<ZipRecord> records,
                 libdeflate_decompressor* inflater);
    const ZipRecord* recordBefore(int64_t dataOffset) const;
    bool localHeaderAgrees(const ZipRecord& r, int64_t dataOffset, uint16_t& flags) const;
    bool descriptorAgrees(const ZipRecord& r, int64_t dataEnd) const;
    DirectEntry decode(const ZipRecord& r, int64_t dataOffset) const;

    int m_fd;
    int64_t m_fileSize;
    std::vector<ZipRecord> m_records;  // by header offset
    libdeflate_decompressor* m_inflater;
};

}  // namespace unzip

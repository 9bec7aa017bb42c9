#pragma once
// What the archive's own headers say about an entry. Neither library reports every field the
// reader's calls carry (flags, host, attributes, checksums, the raw bytes of a RAR 4 name), so
// the headers are read here too, straight from the file.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace unrar::detail {

enum class Kind { Regular, Directory, Link, Device };

// One entry as the calls report it, whichever format and library it came from.
struct EntryInfo {
    std::string name;  // UTF-8, NFC, separators as the archive stores them
    uint64_t unpSize = 0;
    bool sizeKnown = true;
    uint64_t packSize = 0;
    Kind kind = Kind::Regular;
    bool encrypted = false;
    bool solid = false;
    bool split = false;  // its data starts in an earlier volume or goes on in a later one
    uint32_t hostOS = 0;
    uint32_t crc = 0;
    uint32_t dosTime = 0;
    uint32_t unpVer = 0;
    uint32_t method = 0;
    uint32_t attr = 0;
};

// Reads up to n bytes at offset; the number read (short at the end of the file), -1 on error.
int64_t readAt(int fd, int64_t offset, void* buf, size_t n);

enum class Signature { None, Rar4, Rar5 };
Signature readSignature(int fd);
constexpr int64_t kRar4SignatureSize = 7;
constexpr int64_t kRar5SignatureSize = 8;

// True when a RAR 1.5-4 archive encrypts its headers, so nothing can be listed without a key.
bool rar4HeadersEncrypted(int fd);
// Whether the names a RAR 1.5-4 archive stores without the Unicode flag read as CP949, decided
// from all of them (encodings::UnflaggedNames), its blocks walked once from the first.
bool rar4UnflaggedCp949(int fd);
// The file header block at offset, its unflagged name read as CP949 or UTF-8; nullopt when it
// is not one or is cut short.
std::optional<EntryInfo> rar4FileHeader(int fd, int64_t offset, bool unflaggedCp949);
// A RAR 4 Unicode name: the OEM name and the packed UTF-16 that follows its NUL. A null
// QString when the packed part does not fit the OEM name it refers to.
QString rar4UnicodeName(const QByteArray& oem, const QByteArray& packed);

// A RAR 5 file or service header with the fields the calls need.
struct Rar5File {
    QByteArray name;  // UTF-8 as stored
    EntryInfo info;
    bool service = false;
    int64_t dataOffset = 0;
    int64_t next = 0;  // offset of the block after this one's data
};

// What precedes the first file header of a RAR 5 archive.
struct Rar5Preamble {
    bool headersEncrypted = false;
    std::optional<std::string> comment;  // stored comments only, at most maxComment + 1 bytes
    int64_t firstBlock = kRar5SignatureSize;
};
Rar5Preamble rar5Preamble(int fd, size_t maxComment);
// The next file header at or after offset, skipping other blocks; nullopt at the end of the
// headers or at a block that cannot be read.
std::optional<Rar5File> rar5NextFile(int fd, int64_t offset);

// Copies name into a zero-terminated buffer of size bytes, cut on a UTF-8 character boundary.
void copyCut(char* out, size_t size, const std::string& name);
// An MS-DOS date and time for a moment in local time (1980 at the earliest).
uint32_t dosTime(int64_t unixTime);

}  // namespace unrar::detail

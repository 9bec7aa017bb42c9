#pragma once
// The UnRAR call interface the reader's RAR access object is written against: open an archive,
// read its headers one by one, skip or extract each entry, close. RAR 1.5-4 archives are read
// with libunarr (solid ones whole), RAR 5 with libarchive. Names cross as UTF-8 (the system
// code page here), composed (NFC).

#include <cstdint>
#include <string>

namespace unrar {

// Result codes, as the classic library numbers them; ERAR_TOO_LARGE is ours.
constexpr int ERAR_SUCCESS = 0;
constexpr int ERAR_END_ARCHIVE = 10;
constexpr int ERAR_NO_MEMORY = 11;
constexpr int ERAR_BAD_DATA = 12;       // a broken header, or data that fails its check
constexpr int ERAR_BAD_ARCHIVE = 13;    // not a RAR archive
constexpr int ERAR_UNKNOWN_FORMAT = 14;
constexpr int ERAR_EOPEN = 15;          // the file cannot be opened
constexpr int ERAR_ECREATE = 16;        // the destination file cannot be created
constexpr int ERAR_ECLOSE = 17;
constexpr int ERAR_EREAD = 18;
constexpr int ERAR_EWRITE = 19;         // the destination file could not be written whole
constexpr int ERAR_SMALL_BUF = 20;
constexpr int ERAR_UNKNOWN = 21;
constexpr int ERAR_MISSING_PASSWORD = 22;  // an encrypted entry, and no password
constexpr int ERAR_BAD_PASSWORD = 24;
constexpr int ERAR_TOO_LARGE = 30;      // an entry larger than kMaxEntryBytes was refused

constexpr int64_t kMaxEntryBytes = int64_t(512) * 1024 * 1024;

constexpr uint32_t RAR_OM_LIST = 0;
constexpr uint32_t RAR_OM_EXTRACT = 1;
constexpr int RAR_SKIP = 0;
constexpr int RAR_TEST = 1;
constexpr int RAR_EXTRACT = 2;

// Header flags the reader may look at.
constexpr uint32_t RHDF_ENCRYPTED = 0x04;
constexpr uint32_t RHDF_SOLID = 0x10;
constexpr uint32_t RHDF_DIRECTORY = 0xE0;  // all three window bits set: a folder

struct RAROpenArchiveData {
    std::string ArcName;       // in
    uint32_t OpenMode = RAR_OM_LIST;  // in
    uint32_t OpenResult = 0;   // out: ERAR_SUCCESS or the reason it failed
    std::string CmtBuf;        // out: the archive comment, at most CmtBufSize bytes
    uint32_t CmtBufSize = 16384;  // in
    uint32_t CmtSize = 0;      // out
    uint32_t CmtState = 0;     // out: 1 when a comment was read
};

struct RARHeaderData {
    char ArcName[260] = {};
    char FileName[260] = {};   // zero-terminated, cut on a character boundary
    uint32_t Flags = 0;        // RHDF_* bits
    uint32_t PackSize = 0;
    uint32_t UnpSize = 0;      // saturated at 0xFFFFFFFF
    uint32_t HostOS = 0;
    uint32_t FileCRC = 0;
    uint32_t FileTime = 0;     // MS-DOS date and time
    uint32_t UnpVer = 0;
    uint32_t Method = 0;
    uint32_t FileAttr = 0;
    bool Regular = true;       // a plain file; a folder, link or device entry writes nothing
};

struct Archive;
using HANDLE = Archive*;

// Opens ArcName; returns nullptr with OpenResult set when it cannot.
HANDLE RAROpenArchive(RAROpenArchiveData* data);
int RARCloseArchive(HANDLE archive);
// Reads the next entry's header: ERAR_SUCCESS, ERAR_END_ARCHIVE at the end, or ERAR_BAD_DATA
// for a broken header. At most 100000 headers are read from one archive (a header loop ends).
int RARReadHeader(HANDLE archive, RARHeaderData* header);
// Skips (RAR_SKIP, RAR_TEST) or extracts (RAR_EXTRACT) the entry of the last header read.
// Extraction writes a regular file at destName (destPath + "/" + the entry's name after its
// last separator when destName is empty), only when nothing exists there, and never follows
// or creates a link; a link, device or folder entry writes nothing. A file that cannot be
// written whole is removed.
int RARProcessFile(HANDLE archive, int operation, const char* destPath, const char* destName);
void RARSetPassword(HANDLE archive, const char* password);

}  // namespace unrar

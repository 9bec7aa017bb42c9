#pragma once
// The single-entry unzip call the reader's ZIP access object is written against: one function,
// an option record, two name blocks and a record of callbacks, over libarchive. Names cross as
// UTF-8 (the system code page here). Extraction is flat, into one folder, and never writes
// anything but regular files inside it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace unzip {

// Results, as the classic library numbers them; kTooLarge is ours.
constexpr int32_t PK_OK = 0;
constexpr int32_t PK_WARN = 1;       // some entry could not be read (a bad CRC, say); others were
constexpr int32_t PK_ERR = 2;        // the archive is damaged
constexpr int32_t PK_BADERR = 3;     // it is not an archive that can be read at all
constexpr int32_t PK_NOZIP = 9;      // the archive file cannot be opened
constexpr int32_t PK_PARAM = 10;     // bad arguments (more than 1023 include names)
constexpr int32_t PK_FIND = 11;      // no entry matched the include names
constexpr int32_t PK_DISK = 50;      // a file could not be written whole (disk full, no rights)
constexpr int32_t IZ_UNSUP = 81;     // an entry uses a method or encryption that is not supported
constexpr int32_t IZ_BADPWD = 82;    // an encrypted entry was skipped: no password was given
constexpr int32_t kTooLarge = 83;    // an entry larger than kMaxEntryBytes was refused

// No entry larger than this (declared or actual) is written; a partial file is removed.
constexpr int64_t kMaxEntryBytes = int64_t(512) * 1024 * 1024;
// The entries of an archive after this many are left out: never listed, never extracted.
constexpr int kMaxEntries = 32767;

// The option record: the fields the reader's access object keeps and passes on each call.
struct Options {
    int32_t ExtractOnlyNewer = 0;
    int32_t SpaceToUnderScore = 0;
    int32_t PromptToOverwrite = 0;
    int32_t MessageLevel = 0;
    int32_t TestZip = 0;
    int32_t List = 0;            // 1: call the listing callback per entry, write nothing
    int32_t UseFolderNames = 0;  // ignored: extraction is always flat
    int32_t OverwriteExisting = 0;  // ignored: an existing file is never overwritten
    int32_t ConvertCRToCRLF = 0;
    int32_t CaseSensitiveFileNames = 0;
    std::string ZipFile;     // the archive path
    std::string ExtractDir;  // the destination folder of an extraction
};

// One entry as the listing callback reports it.
struct ListedEntry {
    uint32_t size = 0;           // uncompressed bytes (saturated at 0xFFFFFFFF)
    uint16_t factor = 0;         // compressed size as a percentage of size (0 for an empty entry)
    uint16_t month = 0, day = 0, year = 0, hour = 0, minute = 0;
    std::string name;            // full name in the archive, "/"-separated, UTF-8 and NFC
    std::string method;          // "Stored", "Deflate", ...
    uint32_t crc = 0;
    uint8_t flags = 0;           // bit 6 (64): the entry is encrypted
    bool regular = true;         // a plain file; folders, links and devices are never extracted
};

// Bytes of an extracted entry as they are written, in order, from the thread that writes them.
using Content = std::function<void(const char* data, size_t size)>;

// The callbacks record. Missing callbacks count as returning their default.
struct Callbacks {
    // A message of the library (a line of text); returns 0.
    std::function<int(const std::string& text)> print;
    // An existing file in the way of name; returns 100 (skip it) unless told otherwise.
    std::function<int(const std::string& name)> replace;
    // Asks for the password of entry name; fills password and returns 0, or returns 1 (cancel).
    std::function<int(std::string& password, const std::string& name)> password;
    // Once per entry while listing, in archive order; folders and links are reported too.
    std::function<void(const ListedEntry& entry)> listing;
    // An entry that cannot be handled (unsupported, damaged); returns 1 to abandon the call.
    std::function<int(const std::string& name, uint64_t size)> service;
    // The bytes of an extracted entry as they are written, stretch by stretch in order, called
    // from the thread that writes them. A call with no data says that what came since the
    // entry's first stretch is not its content after all: it is written again another way,
    // which hands over nothing.
    Content content;
};

// Lists the archive (options.List = 1) or extracts the entries whose full names are one of the
// include names (all entries when includeCount is 0) and none of the exclude names. A name is
// an entry's whole name ("/"-separated, as listed), compared exactly: no character is a
// wildcard. Extraction writes each regular entry as ExtractDir + "/" + its name after the last
// "/", only when no file of that name exists there; links, devices and folders are never
// created, and a name that would leave the folder (or holds control characters) is skipped.
// An archive built to make its reader hold or read far more than it is (see ZipDirectory) is
// refused with PK_ERR before any entry is read. Returns PK_OK on success, otherwise the most
// serious problem met.
int32_t Wiz_SingleEntryUnzip(int includeCount, const std::vector<std::string>& include,
                             int excludeCount, const std::vector<std::string>& exclude,
                             const Options& options, Callbacks& callbacks);

}  // namespace unzip

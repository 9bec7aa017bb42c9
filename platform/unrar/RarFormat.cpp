#include "unrar/RarFormat.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "bytes/LittleEndian.h"
#include "encodings/EntryName.h"

namespace unrar::detail {

namespace {

using bytes::le16;
using bytes::le32;

constexpr uint8_t kRar4FileBlock = 0x74;
constexpr uint8_t kRar4MainBlock = 0x73;
constexpr uint16_t kRar4MainEncryptedHeaders = 0x0080;
constexpr uint16_t kRar4SplitBefore = 0x0001;
constexpr uint16_t kRar4SplitAfter = 0x0002;
constexpr uint16_t kRar4Encrypted = 0x0004;
constexpr uint16_t kRar4Solid = 0x0010;
constexpr uint16_t kRar4DirectoryBits = 0x00E0;
constexpr uint16_t kRar4LargeSizes = 0x0100;
constexpr uint16_t kRar4UnicodeName = 0x0200;
// As many blocks as the UnRAR calls read headers: a longer chain is a loop.
constexpr int kRar4MaxBlocks = 100000;

constexpr uint64_t kRar5FileBlock = 2;
constexpr uint64_t kRar5ServiceBlock = 3;
constexpr uint64_t kRar5EncryptionBlock = 4;
constexpr uint64_t kRar5EndBlock = 5;
constexpr uint64_t kRar5HasExtra = 0x01;
constexpr uint64_t kRar5HasData = 0x02;
constexpr uint64_t kRar5SplitBefore = 0x08;
constexpr uint64_t kRar5SplitAfter = 0x10;
constexpr uint64_t kRar5FileIsDirectory = 0x01;
constexpr uint64_t kRar5FileHasTime = 0x02;
constexpr uint64_t kRar5FileHasCrc = 0x04;
constexpr uint64_t kRar5FileSizeUnknown = 0x08;
constexpr uint64_t kRar5ExtraEncryption = 0x01;
constexpr uint64_t kRar5ExtraTimes = 0x03;
constexpr uint64_t kRar5ExtraRedirection = 0x05;
constexpr uint64_t kRar5TimesUnix = 0x01;
constexpr uint64_t kRar5TimesHaveMtime = 0x02;
// Seconds from 1601 (Windows file times) to 1970.
constexpr int64_t kWindowsEpochOffset = 11644473600;
// A RAR 5 header is never larger; a bigger size means the block is damaged.
constexpr uint64_t kRar5MaxHeaderSize = 2 * 1024 * 1024;
// Service blocks between two file headers are few; this many means the chain is broken.
constexpr int kRar5MaxSkippedBlocks = 4096;

// Windows file attributes, as DOS, OS/2 and Windows hosts store them.
constexpr uint32_t kWinDirectory = 0x10;
constexpr uint32_t kWinReparsePoint = 0x400;
constexpr uint32_t kHostWin32 = 2;
constexpr uint32_t kHostUnix = 3;

// Reads little-endian fields from a header; any read past its end clears ok for good.
struct Cursor {
    const uint8_t* p;
    size_t end;
    size_t at = 0;
    bool ok = true;

    uint64_t vint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64 && at < end; shift += 7) {
            const uint8_t b = p[at++];
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        ok = false;
        return 0;
    }
    uint32_t u32() {
        if (end - at < 4) return ok = false, 0;
        at += 4;
        return le32(p + at - 4);
    }
    uint64_t u64() {
        const uint64_t low = u32();
        return low | uint64_t(u32()) << 32;
    }
    QByteArray bytes(uint64_t n) {
        if (end - at < n) return ok = false, QByteArray();
        at += n;
        return QByteArray(reinterpret_cast<const char*>(p + at - n), qsizetype(n));
    }
};

Kind kindFromAttributes(uint32_t hostOS, uint32_t attr) {
    if (hostOS == kHostUnix) {
        switch (attr & 0xF000) {
            case 0x0000:
            case 0x8000:
                return Kind::Regular;
            case 0x4000:
                return Kind::Directory;
            case 0xA000:
                return Kind::Link;
            default:
                return Kind::Device;
        }
    }
    if (hostOS <= kHostWin32) {
        if (attr & kWinDirectory) return Kind::Directory;
        if (attr & kWinReparsePoint) return Kind::Link;
    }
    return Kind::Regular;
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// Unflagged names are whatever the packing system's code page was, read as the archive's
// unflagged names are; flagged ones are UTF-8, or the OEM name followed by a NUL and the packed
// UTF-16 form.
std::string rar4Name(const QByteArray& raw, bool unicode, bool unflaggedCp949) {
    if (!unicode) return utf8(encodings::decodeEntryName(raw, false, unflaggedCp949));
    const qsizetype nul = raw.indexOf('\0');
    if (nul < 0) return utf8(encodings::decodeEntryName(raw, true, false));
    const QString packed = rar4UnicodeName(raw.left(nul), raw.mid(nul + 1));
    if (packed.isNull()) {
        // Only the OEM name is left; in an archive of flagged names it alone decides.
        const QByteArray oem = raw.left(nul);
        encodings::UnflaggedNames alone;
        alone.add(oem);
        return utf8(encodings::decodeEntryName(oem, false, unflaggedCp949 || alone.cp949()));
    }
    return utf8(packed.normalized(QString::NormalizationForm_C));
}

// A RAR 4 block as its base header gives it: the fields every block has, and where the next
// one starts.
struct Rar4Block {
    uint8_t type = 0;
    uint16_t flags = 0;
    std::vector<uint8_t> header;  // the whole header of a file block, else its first 7 bytes
    int64_t next = 0;             // -1 when it lies beyond any file
};

constexpr uint16_t kRar4LongBlock = 0x8000;  // a data area follows the header
constexpr uint8_t kRar4EndBlock = 0x7B;
constexpr uint8_t kRar4SubBlock = 0x7A;
constexpr size_t kRar4BaseSize = 7;

std::optional<Rar4Block> readRar4Block(int fd, int64_t offset) {
    Rar4Block b;
    b.header.resize(kRar4BaseSize);
    if (readAt(fd, offset, b.header.data(), kRar4BaseSize) != int64_t(kRar4BaseSize))
        return std::nullopt;
    b.type = b.header[2];
    b.flags = le16(&b.header[3]);
    const size_t size = le16(&b.header[5]);
    if (size < kRar4BaseSize) return std::nullopt;
    uint64_t data = 0;
    // File and service blocks always carry data sizes; others say so with the long-block flag.
    if (b.type == kRar4FileBlock || b.type == kRar4SubBlock || (b.flags & kRar4LongBlock)) {
        if (size < 11) return std::nullopt;
        b.header.resize(b.type == kRar4FileBlock ? size : 11);
        if (readAt(fd, offset, b.header.data(), b.header.size()) != int64_t(b.header.size()))
            return std::nullopt;
        data = le32(&b.header[7]);
        if (b.type == kRar4FileBlock && (b.flags & kRar4LargeSizes) && size >= 36)
            data |= uint64_t(le32(&b.header[32])) << 32;
    }
    // A size beyond any file ends the walk, not the header.
    const bool fits = data <= uint64_t(INT64_MAX - offset - int64_t(size));
    b.next = fits ? offset + int64_t(size) + int64_t(data) : -1;
    return b;
}

// The raw name bytes of a file block's header, when they fit it.
std::optional<QByteArray> rar4RawName(const std::vector<uint8_t>& h, uint16_t flags) {
    const size_t nameAt = (flags & kRar4LargeSizes) ? 40 : 32;
    if (h.size() < nameAt) return std::nullopt;
    const size_t nameSize = le16(&h[26]);
    if (nameAt + nameSize > h.size()) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(&h[nameAt]), qsizetype(nameSize));
}

struct Rar5Block {
    uint64_t type = 0;
    uint64_t flags = 0;
    uint64_t extraSize = 0;
    uint64_t dataSize = 0;
    QByteArray header;  // from the type field on
    size_t bodyAt = 0;
    int64_t dataOffset = 0;
    int64_t next = 0;
};

std::optional<Rar5Block> readRar5Block(int fd, int64_t offset) {
    uint8_t head[7];
    const int64_t got = readAt(fd, offset, head, sizeof head);
    if (got < 6) return std::nullopt;
    Cursor sizeField{head + 4, size_t(got - 4)};
    const uint64_t size = sizeField.vint();
    if (!sizeField.ok || size == 0 || size > kRar5MaxHeaderSize) return std::nullopt;
    Rar5Block b;
    const int64_t headerAt = offset + 4 + int64_t(sizeField.at);
    b.header.resize(qsizetype(size));
    if (readAt(fd, headerAt, b.header.data(), size) != int64_t(size)) return std::nullopt;
    Cursor c{reinterpret_cast<const uint8_t*>(b.header.constData()), size_t(size)};
    b.type = c.vint();
    b.flags = c.vint();
    if (b.flags & kRar5HasExtra) b.extraSize = c.vint();
    if (b.flags & kRar5HasData) b.dataSize = c.vint();
    if (!c.ok || b.extraSize > size - c.at) return std::nullopt;
    b.bodyAt = c.at;
    b.dataOffset = headerAt + int64_t(size);
    if (b.dataSize > uint64_t(INT64_MAX - b.dataOffset)) return std::nullopt;
    b.next = b.dataOffset + int64_t(b.dataSize);
    return b;
}

// The modification time of a times record, when it has one.
void readRar5Times(Cursor& record, EntryInfo& e) {
    const uint64_t flags = record.vint();
    if (!(flags & kRar5TimesHaveMtime)) return;
    const int64_t t = (flags & kRar5TimesUnix)
                          ? int64_t(record.u32())
                          : int64_t(record.u64() / 10000000) - kWindowsEpochOffset;
    if (record.ok) e.dosTime = dosTime(t);
}

// Reads the extra area's records: encryption, times and link redirection matter here.
void readRar5Extra(const Rar5Block& b, EntryInfo& e) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.header.constData());
    const size_t size = size_t(b.header.size());
    Cursor c{p, size, size - size_t(b.extraSize)};
    while (c.ok && c.at < size) {
        const uint64_t recordSize = c.vint();
        const size_t recordAt = c.at;
        if (!c.ok || recordSize == 0 || recordSize > size - recordAt) return;
        Cursor record{p, recordAt + size_t(recordSize), recordAt};
        const uint64_t type = record.vint();
        if (type == kRar5ExtraEncryption) e.encrypted = true;
        if (type == kRar5ExtraTimes) readRar5Times(record, e);
        if (type == kRar5ExtraRedirection) e.kind = Kind::Link;
        c.at = recordAt + size_t(recordSize);
    }
}

std::optional<Rar5File> parseRar5File(const Rar5Block& b) {
    Cursor c{reinterpret_cast<const uint8_t*>(b.header.constData()),
             size_t(b.header.size()) - size_t(b.extraSize), b.bodyAt};
    Rar5File f;
    EntryInfo& e = f.info;
    const uint64_t fileFlags = c.vint();
    e.unpSize = c.vint();
    e.attr = uint32_t(c.vint());
    if (fileFlags & kRar5FileHasTime) e.dosTime = dosTime(c.u32());
    if (fileFlags & kRar5FileHasCrc) e.crc = c.u32();
    const uint64_t compression = c.vint();
    e.hostOS = c.vint() == 0 ? kHostWin32 : kHostUnix;
    f.name = c.bytes(c.vint());
    if (!c.ok) return std::nullopt;
    e.sizeKnown = !(fileFlags & kRar5FileSizeUnknown);
    e.packSize = b.dataSize;
    e.solid = compression & 0x40;
    e.method = 0x30 + uint32_t((compression >> 7) & 7);
    e.unpVer = (compression & 0x3F) == 0 ? 50 : 70;
    e.split = b.flags & (kRar5SplitBefore | kRar5SplitAfter);
    e.kind =
        (fileFlags & kRar5FileIsDirectory) ? Kind::Directory : kindFromAttributes(e.hostOS, e.attr);
    readRar5Extra(b, e);
    e.name = utf8(encodings::decodeEntryName(f.name, true, false));
    f.service = b.type == kRar5ServiceBlock;
    f.dataOffset = b.dataOffset;
    f.next = b.next;
    return f;
}

std::optional<std::string> readStoredComment(int fd, const Rar5File& cmt, size_t maxComment) {
    if (cmt.info.encrypted || cmt.info.method != 0x30) return std::nullopt;
    const size_t n = size_t(std::min<uint64_t>(cmt.info.packSize, uint64_t(maxComment) + 1));
    std::string text(n, '\0');
    if (readAt(fd, cmt.dataOffset, text.data(), n) != int64_t(n)) return std::nullopt;
    return text;
}

}  // namespace

int64_t readAt(int fd, int64_t offset, void* buf, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = pread(fd, static_cast<char*>(buf) + done, n - done, offset + done);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        done += size_t(r);
    }
    return int64_t(done);
}

Signature readSignature(int fd) {
    static const char rar4[] = "Rar!\x1a\x07\x00";
    static const char rar5[] = "Rar!\x1a\x07\x01\x00";
    char head[8] = {};
    const int64_t got = readAt(fd, 0, head, sizeof head);
    if (got >= kRar5SignatureSize && std::memcmp(head, rar5, kRar5SignatureSize) == 0)
        return Signature::Rar5;
    if (got >= kRar4SignatureSize && std::memcmp(head, rar4, kRar4SignatureSize) == 0)
        return Signature::Rar4;
    return Signature::None;
}

bool rar4HeadersEncrypted(int fd) {
    uint8_t main[7];
    if (readAt(fd, kRar4SignatureSize, main, sizeof main) != sizeof main) return false;
    return main[2] == kRar4MainBlock && (le16(main + 3) & kRar4MainEncryptedHeaders);
}

bool rar4UnflaggedCp949(int fd) {
    encodings::UnflaggedNames unflagged;
    int64_t offset = kRar4SignatureSize;
    for (int i = 0; i < kRar4MaxBlocks; ++i) {
        const auto b = readRar4Block(fd, offset);
        if (!b || b->type == kRar4EndBlock || b->next <= offset) break;
        if (b->type == kRar4FileBlock && !(b->flags & kRar4UnicodeName))
            if (const auto raw = rar4RawName(b->header, b->flags)) unflagged.add(*raw);
        offset = b->next;
    }
    return unflagged.cp949();
}

std::optional<EntryInfo> rar4FileHeader(int fd, int64_t offset, bool unflaggedCp949) {
    const auto b = readRar4Block(fd, offset);
    if (!b || b->type != kRar4FileBlock) return std::nullopt;
    const uint16_t flags = b->flags;
    const auto raw = rar4RawName(b->header, flags);
    if (!raw) return std::nullopt;
    const uint8_t* h = b->header.data();
    EntryInfo e;
    e.packSize = le32(h + 7);
    e.unpSize = le32(h + 11);
    if (flags & kRar4LargeSizes) {
        e.packSize |= uint64_t(le32(h + 32)) << 32;
        e.unpSize |= uint64_t(le32(h + 36)) << 32;
    }
    e.hostOS = h[15];
    e.crc = le32(h + 16);
    e.dosTime = le32(h + 20);
    e.unpVer = h[24];
    e.method = h[25];
    e.attr = le32(h + 28);
    e.encrypted = flags & kRar4Encrypted;
    e.solid = flags & kRar4Solid;
    e.split = flags & (kRar4SplitBefore | kRar4SplitAfter);
    e.kind = (flags & kRar4DirectoryBits) == kRar4DirectoryBits
                 ? Kind::Directory
                 : kindFromAttributes(e.hostOS, e.attr);
    e.name = rar4Name(*raw, flags & kRar4UnicodeName, unflaggedCp949);
    return e;
}

QString rar4UnicodeName(const QByteArray& oem, const QByteArray& packed) {
    const auto* p = reinterpret_cast<const uint8_t*>(packed.constData());
    const size_t n = size_t(packed.size());
    if (n == 0) return {};
    std::u16string out;
    const char16_t high = char16_t(p[0] << 8);
    size_t at = 1;
    unsigned flags = 0;
    int flagBits = 0;
    while (at < n) {
        if (flagBits == 0) flags = p[at++], flagBits = 8;
        if (at >= n) break;
        const unsigned mode = (flags >> 6) & 3;
        flags <<= 2, flagBits -= 2;
        if (mode == 0) {
            out.push_back(p[at++]);
        } else if (mode == 1) {
            out.push_back(high | p[at++]);
        } else if (mode == 2) {
            if (n - at < 2) return {};
            out.push_back(le16(p + at));
            at += 2;
        } else {
            // A run copied from the OEM name, optionally shifted into the high byte's block.
            const unsigned length = p[at++];
            const bool shifted = length & 0x80;
            if (shifted && at >= n) return {};
            const uint8_t correction = shifted ? p[at++] : 0;
            for (unsigned i = (length & 0x7F) + 2; i > 0; --i) {
                if (out.size() >= size_t(oem.size())) return {};
                const uint8_t c = uint8_t(oem[qsizetype(out.size())]);
                out.push_back(shifted ? char16_t(high | uint8_t(c + correction)) : c);
            }
        }
    }
    return QString::fromUtf16(out.data(), qsizetype(out.size()));
}

Rar5Preamble rar5Preamble(int fd, size_t maxComment) {
    Rar5Preamble pre;
    int64_t offset = kRar5SignatureSize;
    for (int i = 0; i < kRar5MaxSkippedBlocks; ++i) {
        const auto b = readRar5Block(fd, offset);
        if (!b || b->type == kRar5FileBlock || b->type == kRar5EndBlock) break;
        if (b->type == kRar5EncryptionBlock) {
            pre.headersEncrypted = true;
            break;
        }
        if (b->type == kRar5ServiceBlock && !pre.comment) {
            const auto service = parseRar5File(*b);
            if (service && service->name == "CMT")
                pre.comment = readStoredComment(fd, *service, maxComment);
        }
        offset = b->next;
    }
    return pre;
}

std::optional<Rar5File> rar5NextFile(int fd, int64_t offset) {
    for (int i = 0; i < kRar5MaxSkippedBlocks; ++i) {
        const auto b = readRar5Block(fd, offset);
        if (!b || b->type == kRar5EndBlock) return std::nullopt;
        if (b->type == kRar5FileBlock) return parseRar5File(*b);
        offset = b->next;
    }
    return std::nullopt;
}

void copyCut(char* out, size_t size, const std::string& name) {
    if (size == 0) return;
    size_t n = std::min(name.size(), size - 1);
    if (n < name.size())
        while (n > 0 && (uint8_t(name[n]) & 0xC0) == 0x80) --n;
    std::memcpy(out, name.data(), n);
    out[n] = '\0';
}

uint32_t dosTime(int64_t unixTime) {
    const time_t t = time_t(unixTime);
    tm local{};
    if (!localtime_r(&t, &local) || local.tm_year < 80) return 0x00210000;  // 1980-01-01
    if (local.tm_year > 207) return 0xFF9FBF7D;                             // 2107-12-31 23:59:58
    return uint32_t(local.tm_year - 80) << 25 | uint32_t(local.tm_mon + 1) << 21 |
           uint32_t(local.tm_mday) << 16 | uint32_t(local.tm_hour) << 11 |
           uint32_t(local.tm_min) << 5 | uint32_t(local.tm_sec / 2);
}

}  // namespace unrar::detail

#include "unzip/ZipDirectory.h"

#include <fcntl.h>
#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <new>
#include <optional>

#include "bytes/LittleEndian.h"
#include "bytes/Pages.h"
#include "encodings/EntryName.h"
#include "threads/Section.h"
#include "unzip/Unzip.h"

namespace unzip {
namespace {

using bytes::le16;
using bytes::le32;
using bytes::le64;

constexpr uint16_t kEncrypted = 1 << 0;
constexpr uint16_t kDescriptor = 1 << 3;  // CRC and sizes follow the data
constexpr uint16_t kStrongEncryption = 1 << 6;
constexpr uint16_t kUtf8Name = 1 << 11;
constexpr uint16_t kUnicodePathField = 0x7075;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr int64_t kMasked = 0xFFFFFFFF;  // a 32-bit field whose value is in the Zip64 extra field
constexpr size_t kEndSize = 22, kLocatorSize = 20, kZip64EndSize = 56;
constexpr size_t kRecordSize = 46, kLocalSize = 30;
// libarchive looks for the end record only this far from the end of the file; an archive whose
// record lies further back it reads local header by local header, and so must this reader.
constexpr int64_t kEndSearch = 16 * 1024;
// libarchive holds every record of a directory before it reads the first header, a few hundred
// bytes each; an archive with more than this many is refused rather than handed to it.
constexpr uint64_t kMaxRecords = 100000;
// The directory is walked through a window of this many bytes, never held whole; a record is
// at most 46 + 3 * 65535 bytes.
constexpr size_t kWindow = size_t(1) << 20;
constexpr size_t kLongestRecord = kRecordSize + 3 * 0xFFFF;
// Deflate never turns one byte into more than 1032, so a larger ratio is a damaged record.
constexpr int64_t kMaxRatio = 1032;
// The packed data is read, and the inflated bytes handed over, this much at a time.
constexpr size_t kStep = size_t(1) << 20;
// Written bytes are given back this far behind the inflater, beyond any back-reference's reach,
// so much at a time: each time costs both threads a pause (the other core's mappings are
// flushed), which a book of a few MiB would pay for nothing.
constexpr size_t kKeep = size_t(64) << 10;
constexpr size_t kGiveBack = size_t(16) << 20;
// The inflater waits when it is this far ahead of the thread behind it, so what is held of a
// large entry stays bounded however the two threads' speeds differ.
constexpr size_t kAhead = size_t(32) << 20;

bool signature(const uint8_t* p, uint8_t third, uint8_t fourth) {
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

// Moves exactly size bytes at offset through pread or pwrite; false on an error or an early end
// of file.
template <typename Call, typename Byte>
bool wholeAt(Call call, int fd, Byte* at, size_t size, int64_t offset) {
    while (size > 0) {
        const ssize_t n = call(fd, at, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        offset += n;
        size -= size_t(n);
    }
    return true;
}

bool readAt(int fd, int64_t offset, void* out, size_t size) {
    return wholeAt(::pread, fd, static_cast<char*>(out), size, offset);
}

bool writeAt(int fd, const char* data, size_t size, int64_t offset) {
    return wholeAt(::pwrite, fd, data, size, offset);
}

// An entry's bytes going to its file as they come, their CRC taken on the way.
struct FileOut {
    int fd;
    const char* data;
    size_t done = 0;
    uint32_t crc = 0;
    int error = 0;

    void upTo(size_t to) {
        if (to <= done) return;
        crc = crc32_gzip_refl(crc, reinterpret_cast<const uint8_t*>(data + done), to - done);
        if (error == 0 && !writeAt(fd, data + done, to - done, int64_t(done)))
            error = errno != 0 ? errno : EIO;
        done = to;
    }
};

// What follows the inflater, a stretch behind it, on a second thread: the file's writing and
// the reading of the bytes as they come. The stretches it is done with are given back to the
// system. All of it runs on the caller's thread, one stretch after another, when no thread can
// be started. What the thread behind throws (the content callback's bad_alloc, say) ends it
// and comes back to the caller from finish().
class Behind {
public:
    Behind(int fd, char* data, const Content& content)
        : m_file{fd, data}, m_data(data), m_content(content), m_section([this] { stop(); }) {
        m_section.start([this] { run(); });
    }
    Behind(const Behind&) = delete;
    Behind& operator=(const Behind&) = delete;

    // Bytes [0, ready) are there.
    void handOver(size_t ready) {
        if (!m_section.started()) return follow(ready);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready = ready;
        m_wake.notify_one();
        m_caughtUp.wait(lock, [&] { return ready - m_passed <= kAhead || m_ended; });
    }
    // Waits until everything handed over is done with; whether every write succeeded (errno
    // then says why one failed), and the CRC of the bytes. Throws what the thread behind threw.
    bool finish(uint32_t* crc) {
        stop();
        m_section.join();
        *crc = m_file.crc;
        if (m_file.error != 0) errno = m_file.error;
        return m_file.error == 0;
    }

private:
    // Tells the thread behind that nothing more comes: it follows what it has and ends.
    void stop() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_last = true;
        }
        m_wake.notify_one();
    }
    void run() {
        try {
            followAll();
        } catch (...) {
            // The inflater may be waiting for this thread to come nearer: it never will.
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_ended = true;
            }
            m_caughtUp.notify_one();
            throw;
        }
    }
    void followAll() {
        for (;;) {
            size_t to = 0;
            bool last = false;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_ready > m_followed || m_last; });
                to = m_ready;
                last = m_last;
            }
            follow(to);
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_passed = to;
            }
            m_caughtUp.notify_one();
            if (last) return;
        }
    }
    void follow(size_t to) {
        if (to <= m_followed) return;
        m_file.upTo(to);
        if (m_content) m_content(m_data + m_followed, to - m_followed);
        m_followed = to;
        giveBack(to > kKeep ? to - kKeep : 0);
    }
    // The whole pages of the bytes before `to` that are not given back yet, once they are many.
    void giveBack(size_t to) {
        if (to < m_released + kGiveBack) return;
        const void* end = bytes::releaseInside(m_data + m_released, m_data + to);
        m_released = size_t(static_cast<const char*>(end) - m_data);
    }

    FileOut m_file;
    char* const m_data;
    const Content& m_content;
    std::mutex m_mutex;
    std::condition_variable m_wake;      // for the thread behind: more bytes, or the end
    std::condition_variable m_caughtUp;  // for the inflater: the thread behind has come nearer
    size_t m_ready = 0;                  // under the mutex, as are m_last, m_passed and m_ended
    bool m_last = false;
    size_t m_passed = 0;
    bool m_ended = false;   // the thread behind ended early, on an exception
    size_t m_followed = 0;  // the helper's own from here on, as is m_file
    size_t m_released = 0;
    // Last, so that it is joined (after stop()) before anything the thread uses goes.
    threads::Section m_section;
};

// Inflates `packed` bytes of raw deflate data at offset `at` of fd into out, exactly `size`
// bytes, handing them over as they come; false when the data is no such stream.
bool inflateInto(int fd, int64_t at, size_t packed, char* out, size_t size, Behind& behind) {
    std::unique_ptr<uint8_t[]> in(new (std::nothrow) uint8_t[kStep]);
    if (!in) return false;
    inflate_state s;
    isal_inflate_init(&s);
    s.crc_flag = ISAL_DEFLATE;
    s.next_out = reinterpret_cast<uint8_t*>(out);
    uint8_t beyond[8];  // where output past `size` would go: only the stream's end may follow
    while (s.block_state != ISAL_BLOCK_FINISH) {
        if (s.avail_in == 0 && packed > 0) {
            const size_t k = std::min(kStep, packed);
            if (!readAt(fd, at, in.get(), k)) return false;
            at += int64_t(k);
            packed -= k;
            s.next_in = in.get();
            s.avail_in = uint32_t(k);
        }
        const size_t room = size - s.total_out;
        if (room == 0) {
            s.next_out = beyond;
            s.avail_out = sizeof beyond;
        } else {
            s.avail_out = uint32_t(std::min(kStep, room));
        }
        const uint32_t outBefore = s.total_out, inBefore = s.avail_in;
        if (isal_inflate(&s) < 0 || s.total_out > size) return false;
        // No progress is a stream cut short.
        if (s.total_out == outBefore && s.avail_in == inBefore &&
            s.block_state != ISAL_BLOCK_FINISH)
            return false;
        behind.handOver(s.total_out);
    }
    // The stream has to end exactly where the entry's data does.
    return s.total_out == size && packed == 0 && s.avail_in + s.read_in_length / 8 == 0;
}

// Reads `size` stored bytes at offset `at` of fd into out, handing them over.
bool readInto(int fd, int64_t at, char* out, size_t size, Behind& behind) {
    for (size_t done = 0; done < size;) {
        const size_t k = std::min(kStep, size - done);
        if (!readAt(fd, at + int64_t(done), out + done, k)) return false;
        done += k;
        behind.handOver(done);
    }
    return true;
}

// Where the central directory lies and how many records it holds, from the end records.
struct Place {
    int64_t recorded = 0;  // where the end record says the directory starts
    int64_t start = 0;     // where it starts if the archive adds up
    int64_t size = 0;
    uint64_t count = 0;
};

// The end record p found at offset at, under the checks libarchive makes of it.
std::optional<Place> endRecord(const uint8_t* p, int64_t at) {
    if (le16(p + 4) != 0 || le16(p + 6) != 0 || le16(p + 8) != le16(p + 10)) return std::nullopt;
    const int64_t size = le32(p + 12), offset = le32(p + 16);
    if (offset + size > at) return std::nullopt;
    return Place{offset, at - size, size, le16(p + 10)};
}

// The Zip64 end record the locator points to, under libarchive's checks and a few more.
std::optional<Place> zip64EndRecord(int fd, int64_t fileSize, const uint8_t* locator) {
    if (le32(locator + 4) != 0 || le32(locator + 16) != 1) return std::nullopt;
    const uint64_t at = le64(locator + 8);
    uint8_t p[kZip64EndSize];
    if (at > uint64_t(fileSize) || !readAt(fd, int64_t(at), p, sizeof p) || !signature(p, 6, 6))
        return std::nullopt;
    const uint64_t length = le64(p + 4) + 12;
    if (length < kZip64EndSize || length > 16384 || at + length > uint64_t(fileSize))
        return std::nullopt;
    if (le32(p + 16) != 0 || le32(p + 20) != 0 || le64(p + 24) != le64(p + 32)) return std::nullopt;
    const uint64_t size = le64(p + 40), offset = le64(p + 48);
    if (size > uint64_t(fileSize) || offset > uint64_t(fileSize)) return std::nullopt;
    return Place{int64_t(offset), int64_t(offset), int64_t(size), le64(p + 32)};
}

// The place of the directory, found from the last end record as libarchive finds it.
std::optional<Place> findDirectory(int fd, int64_t fileSize) {
    const int64_t tail = std::min(kEndSearch, fileSize);
    if (tail < int64_t(kEndSize)) return std::nullopt;
    std::vector<uint8_t> h(size_t(tail), 0);
    if (!readAt(fd, fileSize - tail, h.data(), h.size())) return std::nullopt;
    for (int64_t i = tail - int64_t(kEndSize); i >= 0; --i) {
        if (!signature(&h[size_t(i)], 5, 6)) continue;
        std::optional<Place> place = endRecord(&h[size_t(i)], fileSize - tail + i);
        if (i >= int64_t(kLocatorSize) && signature(&h[size_t(i) - kLocatorSize], 6, 7)) {
            if (auto zip64 = zip64EndRecord(fd, fileSize, &h[size_t(i) - kLocatorSize]))
                place = zip64;
        }
        return place;
    }
    return std::nullopt;
}

// The bytes of a file read forward through a window of kWindow bytes.
class Window {
public:
    Window(int fd, int64_t fileSize) : m_fd(fd), m_fileSize(fileSize), m_bytes(kWindow) {}
    // Bytes [offset, offset + n), n at most kWindow; null where the file ends before them.
    const uint8_t* at(int64_t offset, size_t n) {
        if (offset < 0 || n > kWindow || offset > m_fileSize || int64_t(n) > m_fileSize - offset)
            return nullptr;
        if (offset < m_start || offset + int64_t(n) > m_start + int64_t(m_size)) {
            m_start = offset;
            m_size = size_t(std::min<int64_t>(int64_t(kWindow), m_fileSize - offset));
            if (!readAt(m_fd, m_start, m_bytes.data(), m_size)) {
                m_size = 0;
                return nullptr;
            }
        }
        return &m_bytes[size_t(offset - m_start)];
    }

private:
    int m_fd;
    int64_t m_fileSize;
    std::vector<uint8_t> m_bytes;
    int64_t m_start = 0;
    size_t m_size = 0;
};

// Where libarchive takes the directory to start: the first record or end record signature at
// or after the recorded place (bytes put in front of the archive move it); -1 when none is.
int64_t directoryStart(Window& file, int64_t from, int64_t fileSize) {
    for (int64_t at = from; at + 4 <= fileSize; at += int64_t(kWindow) - 3) {
        const size_t n = size_t(std::min<int64_t>(int64_t(kWindow), fileSize - at));
        const uint8_t* p = file.at(at, n);
        if (!p) return -1;
        for (size_t i = 0; i + 4 <= n; ++i)
            if (signature(p + i, 1, 2) || signature(p + i, 5, 6) || signature(p + i, 6, 6))
                return at + int64_t(i);
    }
    return -1;
}

// Replaces each masked field, in order, by the Zip64 extra field's next value; false if malformed.
bool applyZip64(const uint8_t* extra, size_t length, std::initializer_list<int64_t*> fields) {
    size_t at = 0;
    while (at + 4 <= length) {
        const size_t id = le16(extra + at), size = le16(extra + at + 2);
        at += 4;
        if (at + size > length) return false;
        size_t used = 0;
        for (int64_t* field : fields) {
            if (id != 1 || *field != kMasked) continue;
            if (used + 8 > size || le64(extra + at + used) > uint64_t(INT64_MAX)) return false;
            *field = int64_t(le64(extra + at + used));
            used += 8;
        }
        at += size;
    }
    return true;
}

// Whether the extra fields hold an Info-ZIP Unicode path for this very name: libarchive then
// takes that UTF-8 path for the name (it checks the CRC of the stored name, and so does this).
bool hasUnicodePath(const uint8_t* extra, size_t length, const uint8_t* name, size_t nameSize) {
    size_t at = 0;
    while (at + 4 <= length) {
        const size_t id = le16(extra + at), size = le16(extra + at + 2);
        at += 4;
        if (at + size > length) return false;
        if (id == kUnicodePathField && size >= 5 &&
            le32(extra + at + 1) == crc32_gzip_refl(0, name, nameSize))
            return true;
        at += size;
    }
    return false;
}

// The record at p, its name and extra fields there after its fixed part.
ZipRecord parseRecord(const uint8_t* p, int64_t correction) {
    const size_t name = le16(p + 28), extra = le16(p + 30);
    ZipRecord r;
    r.flags = le16(p + 8);
    r.method = le16(p + 10);
    r.crc = le32(p + 16);
    r.compressedSize = le32(p + 20);
    r.size = le32(p + 24);
    int64_t offset = le32(p + 42);
    r.usable = applyZip64(p + kRecordSize + name, extra, {&r.size, &r.compressedSize, &offset});
    // A Zip64 offset near the top of the range would wrap with the correction added.
    if (__builtin_add_overflow(offset, correction, &r.headerOffset)) {
        r.headerOffset = INT64_MAX;
        r.usable = false;
    }
    r.utf8Name = r.flags & kUtf8Name;
    return r;
}

// Sorts records by header offset; two records naming one header leave it ambiguous.
void sortAndMarkShared(std::vector<ZipRecord>& records) {
    std::sort(records.begin(), records.end(), [](const ZipRecord& a, const ZipRecord& b) {
        return a.headerOffset < b.headerOffset;
    });
    for (size_t i = 1; i < records.size(); ++i) {
        if (records[i].headerOffset != records[i - 1].headerOffset) continue;
        records[i].usable = records[i - 1].usable = false;
    }
}

// Keeps the `keep` records with the lowest header offsets, the ones libarchive meets first.
void keepFirst(std::vector<ZipRecord>& records, size_t keep) {
    if (records.size() <= keep) return;
    std::nth_element(
        records.begin(), records.begin() + ptrdiff_t(keep), records.end(),
        [](const ZipRecord& a, const ZipRecord& b) { return a.headerOffset < b.headerOffset; });
    records.resize(keep);
}

// The directory as libarchive walks it: from where it starts, record after record up to an
// end record, every one counted, the ones with the lowest header offsets kept (one more than
// kMaxEntries, so that a kept record sharing its header with the first left out is known to).
struct Walk {
    std::vector<ZipRecord> records;
    uint64_t count = 0;
    bool sound = false;  // the records fill the directory the end record describes, exactly
};

std::optional<Walk> walkRecords(int fd, int64_t fileSize, const Place& place) {
    Window file(fd, fileSize);
    const int64_t start = directoryStart(file, place.recorded, fileSize);
    if (start < 0) return std::nullopt;
    const int64_t correction = start - place.recorded;
    const size_t keep = size_t(kMaxEntries) + 1;
    Walk walk;
    int64_t at = start;
    for (;;) {
        const uint8_t* p = file.at(at, 4);
        if (!p || !signature(p, 1, 2)) {
            walk.sound = p && (signature(p, 5, 6) || signature(p, 6, 6)) && start == place.start &&
                         at - start == place.size && walk.count == place.count;
            break;
        }
        if (++walk.count > kMaxRecords) break;
        // A record the file ends inside is as far as libarchive gets.
        p = file.at(at, kRecordSize);
        if (!p) break;
        const size_t length = kRecordSize + le16(p + 28) + le16(p + 30) + le16(p + 32);
        if (!(p = file.at(at, length))) break;
        walk.records.push_back(parseRecord(p, correction));
        at += int64_t(length);
        if (walk.records.size() >= 2 * keep) keepFirst(walk.records, keep);
    }
    keepFirst(walk.records, keep);
    sortAndMarkShared(walk.records);
    if (walk.records.size() > size_t(kMaxEntries)) walk.records.resize(size_t(kMaxEntries));
    return walk;
}

// Reads r's local header for the name as libarchive reads it: its flag, and a Unicode path in
// the local extra fields (the directory's copies may differ, and libarchive does not look at
// them). name gets its bytes. False when the header cannot be read.
bool readLocalHeader(int fd, ZipRecord& r, std::vector<uint8_t>& name, int64_t& budget) {
    uint8_t h[kLocalSize];
    if (r.headerOffset < 0 || !readAt(fd, r.headerOffset, h, sizeof h) || !signature(h, 3, 4))
        return false;
    const size_t nameSize = le16(h + 26), extra = le16(h + 28);
    budget -= int64_t(kLocalSize + nameSize + extra);
    if (budget < 0) return false;
    name.resize(nameSize + extra);
    if (!readAt(fd, r.headerOffset + int64_t(kLocalSize), name.data(), name.size())) return false;
    r.utf8Name = (le16(h + 6) & kUtf8Name) ||
                 hasUnicodePath(name.data() + nameSize, extra, name.data(), nameSize);
    r.dataOffset = r.headerOffset + int64_t(kLocalSize + nameSize + extra);
    name.resize(nameSize);
    return true;
}

// Whether r is a plain entry of libarchive's size: unencrypted, stored or deflated, sizes sound.
bool plain(const ZipRecord& r, int64_t size) {
    if (!r.usable || (r.flags & (kEncrypted | kStrongEncryption)) || r.size != size) return false;
    if (r.size > kMaxEntryBytes || r.compressedSize > kMaxEntryBytes) return false;
    if (r.method == kStored) return r.compressedSize == r.size;
    return r.method == kDeflated && r.size / kMaxRatio <= r.compressedSize;
}

}  // namespace

std::unique_ptr<ZipDirectory> ZipDirectory::open(const std::string& path, bool& hostile) {
    hostile = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st {};
    std::optional<Walk> walk;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (const auto place = findDirectory(fd, st.st_size))
            walk = walkRecords(fd, st.st_size, *place);
    }
    hostile = walk && walk->count > kMaxRecords;
    // The local headers of a sound archive lie apart, so reading them all reads less than the
    // file holds; headers that overlap to be read again and again are no archive's.
    encodings::UnflaggedNames unflagged;
    std::vector<uint8_t> name;
    int64_t budget = st.st_size;
    for (size_t i = 0; walk && !hostile && i < walk->records.size(); ++i) {
        ZipRecord& r = walk->records[i];
        // A record that shares its header is read by libarchive from the other one, or not.
        if (!r.usable) continue;
        if (readLocalHeader(fd, r, name, budget) && !r.utf8Name)
            unflagged.add(QByteArray::fromRawData(reinterpret_cast<const char*>(name.data()),
                                                  qsizetype(name.size())));
        if ((hostile = budget < 0)) break;
    }
    if (!walk || !walk->sound || hostile) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ZipDirectory>(
        new ZipDirectory(fd, st.st_size, std::move(walk->records), unflagged.cp949()));
}

ZipDirectory::ZipDirectory(int fd, int64_t fileSize, std::vector<ZipRecord> records,
                           bool unflaggedCp949)
    : m_fd(fd),
      m_fileSize(fileSize),
      m_records(std::move(records)),
      m_unflaggedCp949(unflaggedCp949) {}

ZipDirectory::~ZipDirectory() {
    ::close(m_fd);
}

Direct ZipDirectory::extract(int64_t dataOffset, int64_t size, int fd,
                             const Content& content) const {
    const ZipRecord* r = recordBefore(dataOffset);
    if (!r || !plain(*r, size) || r->compressedSize > m_fileSize - dataOffset)
        return Direct::Unusual;
    uint16_t flags = 0;
    if (!localHeaderAgrees(*r, dataOffset, flags)) return Direct::Unusual;
    // libarchive takes the descriptor's word when it reads without the directory; a
    // descriptor that disagrees would make its answer differ from this one.
    if ((flags & kDescriptor) && !descriptorAgrees(*r, dataOffset + r->compressedSize))
        return Direct::Unusual;
    return copyOut(*r, dataOffset, fd, content);
}

bool ZipDirectory::utf8Name(int64_t dataOffset) const {
    const ZipRecord* r = recordBefore(dataOffset);
    return r && r->dataOffset == dataOffset && r->utf8Name;
}

// The record with the last local header before dataOffset: the only one that can end there.
const ZipRecord* ZipDirectory::recordBefore(int64_t dataOffset) const {
    const auto it =
        std::partition_point(m_records.begin(), m_records.end(),
                             [&](const ZipRecord& r) { return r.headerOffset < dataOffset; });
    return it == m_records.begin() ? nullptr : &*(it - 1);
}

// Whether r's local header ends exactly at dataOffset and repeats its flags, method, CRC, sizes.
bool ZipDirectory::localHeaderAgrees(const ZipRecord& r, int64_t dataOffset,
                                     uint16_t& flags) const {
    const int64_t length = dataOffset - r.headerOffset;
    if (length < int64_t(kLocalSize) || length > int64_t(kLocalSize) + 2 * 0xFFFF) return false;
    std::vector<uint8_t> h(size_t(length), 0);
    if (!readAt(m_fd, r.headerOffset, h.data(), h.size()) || !signature(h.data(), 3, 4))
        return false;
    const size_t name = le16(&h[26]), extra = le16(&h[28]);
    if (kLocalSize + name + extra != h.size()) return false;
    flags = le16(&h[6]);
    constexpr uint16_t kCompared = kEncrypted | kDescriptor | kStrongEncryption;
    if ((flags & kCompared) != (r.flags & kCompared) || le16(&h[8]) != r.method) return false;
    int64_t compressed = le32(&h[18]), size = le32(&h[22]);
    if (!applyZip64(&h[kLocalSize + name], extra, {&size, &compressed})) return false;
    const uint32_t crc = le32(&h[14]);
    // A header may leave a value out (0), as libarchive reads it, for the directory to give. A
    // masked size that no Zip64 field replaced is no such gap: libarchive takes it for the size.
    const auto agrees = [](int64_t local, int64_t central) {
        return local == 0 || local == central;
    };
    return (crc == 0 || crc == r.crc) && agrees(compressed, r.compressedSize) &&
           agrees(size, r.size);
}

// Whether the descriptor at dataEnd repeats r's CRC and sizes, signed or not, 32- or 64-bit.
bool ZipDirectory::descriptorAgrees(const ZipRecord& r, int64_t dataEnd) const {
    uint8_t d[24] = {};
    const size_t avail = size_t(std::clamp<int64_t>(m_fileSize - dataEnd, 0, sizeof d));
    if (!readAt(m_fd, dataEnd, d, avail)) return false;
    for (const size_t skip : {size_t(0), size_t(4)}) {
        if (skip == 4 && !signature(d, 7, 8)) continue;
        const uint8_t* p = d + skip;
        if (skip + 12 > avail || le32(p) != r.crc) continue;
        if (le32(p + 4) == uint64_t(r.compressedSize) && le32(p + 8) == uint64_t(r.size))
            return true;
        if (skip + 20 <= avail && le64(p + 4) == uint64_t(r.compressedSize) &&
            le64(p + 12) == uint64_t(r.size))
            return true;
    }
    return false;
}

// r's data inflated (or read, when stored) into a buffer of its size, written to fd and handed
// to content as it comes, its CRC taken on the way; the file is emptied again unless it all came
// out right (libarchive then writes it from the start).
Direct ZipDirectory::copyOut(const ZipRecord& r, int64_t dataOffset, int fd,
                             const Content& content) const {
    const size_t size = size_t(r.size);
    // Memory that cannot be had leaves the entry to libarchive, which streams it in small pieces.
    std::unique_ptr<char[]> out(new (std::nothrow) char[std::max<size_t>(size, 1)]);
    if (!out) return Direct::Unusual;
    bool sound = false, written = false;
    uint32_t crc = 0;
    try {
        Behind behind(fd, out.get(), content);
        sound = r.method == kStored ? readInto(m_fd, dataOffset, out.get(), size, behind)
                                    : inflateInto(m_fd, dataOffset, size_t(r.compressedSize),
                                                  out.get(), size, behind);
        written = behind.finish(&crc);
    } catch (...) {
        // Nothing of the entry stays; the caller learns what went wrong.
        if (::ftruncate(fd, 0) != 0) {
        }
        throw;
    }
    const int why = errno;
    const Direct result = !sound         ? Direct::Unusual
                          : crc != r.crc ? Direct::BadCrc
                          : !written     ? Direct::WriteFailed
                                         : Direct::Read;
    // Nothing of a failed extraction stays (the caller removes the file in any case).
    const bool emptied = result == Direct::Read || ::ftruncate(fd, 0) == 0;
    errno = why;
    return emptied || result != Direct::Unusual ? result : Direct::WriteFailed;
}

}  // namespace unzip

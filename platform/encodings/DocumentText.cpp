#include "encodings/DocumentText.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

#include "encodings/CodePages.h"
#include "files/Files.h"
#include "threads/Section.h"

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF); *multiByte tells whether
// any character took more than one byte. A sequence cut off by the end (atEnd) still counts:
// a truncated UTF-8 file loses its last character, not its whole text to a CP949 misreading.
bool isUtf8(const uint8_t* s, qsizetype n, bool* multiByte, bool atEnd) {
    *multiByte = false;
    qsizetype i = 0;
    while (i < n) {
        while (i + 8 <= n) {
            uint64_t block;
            std::memcpy(&block, s + i, 8);
            if (block & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        const uint8_t c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint8_t lo = 0x80, hi = 0xBF;  // bounds of the first continuation byte
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        const qsizetype present = std::min<qsizetype>(extra, n - 1 - i);
        if (present < extra && !atEnd) return false;
        if (present >= 1 && (s[i + 1] < lo || s[i + 1] > hi)) return false;
        for (int k = 2; k <= present; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        *multiByte = true;
        i += extra + 1;
    }
    return true;
}

// The file ended before the size it had when it was opened (it was cut short while it was read),
// or a read failed.
struct ReadFailed {};

// The document's bytes: in memory, or in a file that is read a piece at a time.
struct Source {
    const uint8_t* s;                // the bytes, when they are in memory
    const files::RegularFile* file;  // else the file they are read from
    qsizetype n;
    qsizetype chunk;
};

// The bytes are looked at a piece at a time.
constexpr qsizetype kChunk = qsizetype(2) << 20;
// How far past a piece's least end its boundary is looked for in one read.
constexpr qsizetype kLook = 4096;

// A view of the document: the bytes asked for where they lie in memory, or read from the file
// into a buffer that the next piece reuses. However large the book, a reader holds about a piece.
class Window {
public:
    explicit Window(const Source& src) : m_src(src) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const Source& source() const { return m_src; }
    // Bytes [from, to) of the document; valid until the next call.
    const uint8_t* bytes(qsizetype from, qsizetype to) {
        if (m_src.s) return m_src.s + from;
        if (from >= m_from && to <= m_to) return m_buffer.get() + (from - m_from);
        const qsizetype size = to - from;
        m_from = m_to = 0;
        if (size > m_capacity) {
            m_buffer.reset();
            m_capacity = 0;
            const qsizetype capacity = std::max(size, std::min(m_src.n, m_src.chunk + 2 * kLook));
            m_buffer = std::make_unique_for_overwrite<uint8_t[]>(size_t(capacity));
            m_capacity = capacity;
        }
        if (m_src.file->readAt(m_buffer.get(), size, from) != size) throw ReadFailed();
        m_from = from;
        m_to = to;
        return m_buffer.get();
    }
    const char* chars(qsizetype from, qsizetype to) {
        return reinterpret_cast<const char*>(bytes(from, to));
    }

private:
    const Source& m_src;
    std::unique_ptr<uint8_t[]> m_buffer;
    qsizetype m_capacity = 0;
    qsizetype m_from = 0, m_to = 0;  // what the buffer holds
};

// The first place at or after p (and before `to`, else `to`) before a byte below 0x41, which is
// no part of a multi-byte character of UTF-8 or CP949 (nor the second byte of a CP949 pair): a
// text cut there decodes in pieces as it does whole.
qsizetype boundaryFrom(Window& w, qsizetype p, qsizetype to) {
    while (p < to) {
        const qsizetype end = std::min(to, p + kLook);
        const uint8_t* b = w.bytes(p, end);
        for (qsizetype i = p; i < end; ++i)
            if (b[i - p] < 0x41) return i;
        p = end;
    }
    return to;
}

// Where the piece from `from` ends: at least chunk bytes on, at a boundary, at most at `to`. The
// piece is read with what lies just past it, so finding its end reads nothing twice.
qsizetype pieceEnd(Window& w, qsizetype from, qsizetype to) {
    const qsizetype least = from + std::max<qsizetype>(w.source().chunk, 1);
    if (least >= to) return to;
    w.bytes(from, std::min(to, least + kLook));
    return boundaryFrom(w, least, to);
}

bool startsWith(const uint8_t* s, qsizetype n, const char* prefix, qsizetype size) {
    return n >= size && std::memcmp(s, prefix, size_t(size)) == 0;
}

bool startsWith(Window& w, const char* prefix, qsizetype size) {
    return w.source().n >= size && startsWith(w.bytes(0, size), size, prefix, size);
}

// The guess among the code pages, from the book's first bytes.
Encoding guessFromStart(Window& w) {
    const qsizetype size = std::min(w.source().n, encodings::kGuessSampleBytes);
    return encodings::guessCodePage(w.chars(0, size), size);
}

// Whether bytes [from, to) are UTF-8, `from` and `to` at boundaries (or the ends); *multiByte
// as isUtf8 says. It gives up (false) once `stop` is set: the other half was not UTF-8.
bool utf8Between(const Source& src, qsizetype from, qsizetype to, bool* multiByte,
                 const std::atomic<bool>& stop) {
    Window w(src);
    *multiByte = false;
    while (from < to) {
        if (stop.load(std::memory_order_relaxed)) return false;
        const qsizetype end = pieceEnd(w, from, to);
        bool some = false;
        if (!isUtf8(w.bytes(from, end), end - from, &some, end == src.n)) return false;
        *multiByte = *multiByte || some;
        from = end;
    }
    return true;
}

// A large book is looked at in two halves side by side.
constexpr qsizetype kHalvesFrom = qsizetype(8) << 20;

Encoding detect(const Source& src) {
    Window w(src);
    if (startsWith(w, "\xFF\xFE", 2)) return Encoding::Utf16Le;
    if (startsWith(w, "\xEF\xBB\xBF", 3)) return Encoding::Utf8;
    const qsizetype mid = src.n >= kHalvesFrom ? boundaryFrom(w, src.n / 2, src.n) : src.n;
    std::atomic<bool> stop{false};
    bool firstMulti = false, secondMulti = false, second = true;
    const auto secondHalf = [&] {
        second = utf8Between(src, mid, src.n, &secondMulti, stop);
        if (!second) stop.store(true, std::memory_order_relaxed);
    };
    threads::Section section([&] { stop.store(true, std::memory_order_relaxed); });
    const bool started = mid < src.n && section.start(secondHalf);
    const bool first = utf8Between(src, 0, mid, &firstMulti, stop);
    if (!first) stop.store(true, std::memory_order_relaxed);
    if (started)
        section.join();
    else if (first && mid < src.n)
        secondHalf();
    if (!first || !second) return guessFromStart(w);
    return firstMulti || secondMulti ? Encoding::Utf8 : Encoding::Cp949;
}

Source sourceOf(const char* data, qsizetype size, qsizetype chunk = kChunk) {
    return Source{reinterpret_cast<const uint8_t*>(data), nullptr, size, chunk};
}

}  // namespace

Encoding detectEncoding(const QByteArray& bytes) {
    return detect(sourceOf(bytes.constData(), bytes.size()));
}

Encoding detectEncoding(const files::RegularFile& file) {
    try {
        return detect(Source{nullptr, &file, qsizetype(file.size()), kChunk});
    } catch (const ReadFailed&) {
        return Encoding::Cp949;
    }
}

bool DocumentTooLarge(const QString& path) {
    const files::RegularFile file(path);
    return file.isOpen() && file.size() > kMaxDocumentBytes;
}

QString TooLargeText(const QString& name) {
    return QStringLiteral("파일이 너무 커서(512MB 초과) 열 수 없습니다.\n%1").arg(name);
}

// What the open button says of a book it could not read.
QString ReadProblemText(DocumentRead::Result result, const QString& path) {
    switch (result) {
        case DocumentRead::TooLarge:
            return TooLargeText(path);
        case DocumentRead::Denied:
            return QStringLiteral("파일을 읽을 수 없습니다. 권한을 확인해 주십시오.\n%1").arg(path);
        case DocumentRead::Changed:
            return QStringLiteral("파일을 읽는 동안 파일이 바뀌어 열 수 없습니다.\n%1").arg(path);
        case DocumentRead::Read:
        case DocumentRead::NotABook:
            break;
    }
    return QStringLiteral("파일을 열 수 없습니다.\n%1").arg(path);
}

#include "pages/DocumentText.h"

#include <sys/mman.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "textbox/Cp949.h"

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

// The document's bytes, read a piece at a time; done(from, to) says bytes [from, to) are no longer
// needed (a mapped file then gives their pages back). It may be called from either decoding
// thread. Each reader says so of all it has passed, not only of its last piece: a fault maps the
// page cache's folio around it, and that may reach back over pages given back already.
struct Source {
    const uint8_t* s;
    qsizetype n;
    qsizetype chunk;
    std::function<void(qsizetype, qsizetype)> done;

    const char* chars() const { return reinterpret_cast<const char*>(s); }
    void release(qsizetype from, qsizetype to) const {
        if (done) done(from, to);
    }
};

// Two pieces are held at a time, one for each decoding thread.
constexpr qsizetype kChunk = qsizetype(2) << 20;

// The first place at or after p (and before `to`, else `to`) before a byte below 0x41, which is
// no part of a multi-byte character of UTF-8 or CP949 (nor the second byte of a CP949 pair): a
// text cut there decodes in pieces as it does whole.
qsizetype boundaryFrom(const Source& src, qsizetype p, qsizetype to) {
    while (p < to && src.s[p] >= 0x41) ++p;
    return std::min(p, to);
}

// Where the piece from `from` ends: at least chunk bytes on, at a boundary, at most at `to`.
qsizetype pieceEnd(const Source& src, qsizetype from, qsizetype to) {
    return boundaryFrom(src, from + std::max<qsizetype>(src.chunk, 1), to);
}

bool startsWith(const Source& src, const char* prefix, qsizetype size) {
    return src.n >= size && std::memcmp(src.s, prefix, size_t(size)) == 0;
}

Encoding detect(const Source& src) {
    if (startsWith(src, "\xFF\xFE", 2)) return Encoding::Utf16Le;
    if (startsWith(src, "\xEF\xBB\xBF", 3)) return Encoding::Utf8;
    bool multiByte = false;
    for (qsizetype from = 0; from < src.n;) {
        const qsizetype to = pieceEnd(src, from, src.n);
        bool some = false;
        const bool valid = isUtf8(src.s + from, to - from, &some, to == src.n);
        src.release(0, to);
        if (!valid) return Encoding::Cp949;
        multiByte = multiByte || some;
        from = to;
    }
    return multiByte ? Encoding::Utf8 : Encoding::Cp949;
}

// Runs `second` on another thread while `first` runs on this one; both, one after the other, on
// this thread when no thread can be started.
template <typename First, typename Second>
void sideBySide(First first, Second second) {
    std::thread other;
    try {
        other = std::thread(second);
    } catch (const std::system_error&) {
        second();
    }
    first();
    if (other.joinable()) other.join();
}

// CP949 bytes [from, to) decoded a piece at a time into out; the units written (a piece never
// has more units than bytes).
qsizetype cp949Forward(const Source& src, qsizetype from, qsizetype to, char16_t* out) {
    qsizetype units = 0;
    for (qsizetype p = from; p < to;) {
        const qsizetype e = pieceEnd(src, p, to);
        units += textbox::decodeCp949To(src.chars() + p, e - p, out + units);
        src.release(from, e);
        p = e;
    }
    return units;
}

// The same, last piece first, into the units just before `end`, where (to - from) units lie
// free: each piece is decoded where it cannot reach the piece after it and moved up against it.
// The units written.
qsizetype cp949Backward(const Source& src, qsizetype from, qsizetype to, char16_t* end) {
    std::vector<qsizetype> cuts{from};
    while (cuts.back() < to) cuts.push_back(pieceEnd(src, cuts.back(), to));
    char16_t* at = end;
    for (size_t k = cuts.size() - 1; k > 0; --k) {
        const qsizetype a = cuts[k - 1], b = cuts[k];
        char16_t* put = at - (b - a);
        const qsizetype units = textbox::decodeCp949To(src.chars() + a, b - a, put);
        std::memmove(at - units, put, size_t(units) * sizeof(char16_t));
        at -= units;
        src.release(a, to);
    }
    return end - at;
}

// Gives back to the system the whole pages within [from, to) of memory this program owns and will
// not read before writing it again.
void releaseInside(const void* from, const void* to) {
    const uintptr_t page = uintptr_t(::getpagesize());
    const uintptr_t first = (uintptr_t(from) + page - 1) / page * page;
    const uintptr_t last = uintptr_t(to) / page * page;
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

// Moves `units` units down from `from` to `to`, a few MiB at a time, giving back each stretch of
// the source once it is copied and lies past what has been written: the move never holds more
// than its destination and a stretch.
void moveDown(char16_t* to, char16_t* from, qsizetype units) {
    constexpr qsizetype kStep = qsizetype(1) << 20;
    for (qsizetype done = 0; done < units; done += kStep) {
        const qsizetype k = std::min(kStep, units - done);
        std::memmove(to + done, from + done, size_t(k) * sizeof(char16_t));
        releaseInside(std::max(from + done, to + done + k), from + done + k);
    }
}

// The second half's pieces, taken from both ends at once: the second thread from the front, the
// UI thread, once its own half is done, from the back.
class PieceQueue {
public:
    explicit PieceQueue(uint32_t pieces) : m_ends(pieces) {}
    bool takeFront(uint32_t* k) { return take(k, true); }
    bool takeBack(uint32_t* k) { return take(k, false); }

private:
    // The next piece from the front in the high half, one past the next from the back in the low.
    bool take(uint32_t* k, bool front) {
        uint64_t ends = m_ends.load(std::memory_order_relaxed);
        for (;;) {
            const uint32_t lo = uint32_t(ends >> 32), hi = uint32_t(ends);
            if (lo >= hi) return false;
            const uint64_t taken = front ? ends + (uint64_t(1) << 32) : ends - 1;
            if (m_ends.compare_exchange_weak(ends, taken, std::memory_order_relaxed)) {
                *k = front ? lo : hi - 1;
                return true;
            }
        }
    }
    std::atomic<uint64_t> m_ends;
};

QString decodeCp949(const Source& src) {
    QString text(src.n, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    // A book of a few pieces or more is decoded in two halves side by side: the first backwards,
    // ending at the cut, the second from the cut on, where the first's units cannot reach. The
    // room the first did not fill is then dropped from the front of the string, not moved.
    const qsizetype mid = src.n >= 2 * src.chunk ? boundaryFrom(src, src.n / 2, src.n) : src.n;
    if (mid == src.n) {
        text.resize(cp949Forward(src, 0, src.n, out));
        return text;
    }
    std::vector<qsizetype> cuts{mid};
    while (cuts.back() < src.n) cuts.push_back(pieceEnd(src, cuts.back(), src.n));
    PieceQueue queue(uint32_t(cuts.size() - 1));
    // The second half's pieces the UI thread takes are decoded backwards against the end of the
    // room, beyond the second thread's reach, and moved down after it once both are done.
    qsizetype first = 0, second = 0, taken = 0;
    sideBySide(
        [&] {
            first = cp949Backward(src, 0, mid, out + mid);
            for (uint32_t k; queue.takeBack(&k);) {
                taken += cp949Backward(src, cuts[k], cuts[k + 1], out + src.n - taken);
                src.release(cuts[k], src.n);
            }
        },
        [&] {
            for (uint32_t k; queue.takeFront(&k);) {
                second += cp949Forward(src, cuts[k], cuts[k + 1], out + mid + second);
                src.release(mid, cuts[k + 1]);
            }
        });
    moveDown(out + mid + second, out + src.n - taken, taken);
    text.resize(mid + second + taken);
    text.remove(0, mid - first);
    // The first piece was decoded below where its units ended up: that room is never read.
    releaseInside(out, out + mid - first);
    return text;
}

QString decodeUtf16(const Source& src) {
    const qsizetype units = (src.n - 2) / 2;
    // An odd last byte is half a unit: shown as U+FFFD, not dropped.
    QString text(units + src.n % 2, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const qsizetype step = std::max<qsizetype>(src.chunk / 2, 1);
    auto convert = [&](qsizetype from, qsizetype to) {
        for (qsizetype u = from; u < to; u += step) {
            const qsizetype count = std::min(step, to - u);
            qFromLittleEndian<char16_t>(src.s + 2 + 2 * u, count, out + u);
            src.release(2 + 2 * from, 2 + 2 * (u + count));
        }
    };
    if (units >= 2 * step)
        sideBySide([&] { convert(0, units / 2); }, [&] { convert(units / 2, units); });
    else
        convert(0, units);
    if (src.n % 2) out[units] = QChar::ReplacementCharacter;
    return text;
}

QString decodeUtf8(const Source& src) {
    const qsizetype skip = startsWith(src, "\xEF\xBB\xBF", 3) ? 3 : 0;
    // The mark is skipped here; the decoder must keep a second one as a character. A sequence
    // cut off at the end shows as U+FFFD. Never more units than bytes; untouched room costs
    // nothing.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                    QStringConverter::Flag::Stateless);
    QString text(src.n - skip + 1, Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = begin;
    for (qsizetype from = skip; from < src.n;) {
        const qsizetype to = pieceEnd(src, from, src.n);
        out = utf8.appendToBuffer(out, QByteArrayView(src.s + from, to - from));
        src.release(skip, to);
        from = to;
    }
    text.resize(out - begin);
    return text;
}

QString decode(const Source& src) {
    switch (detect(src)) {
        case Encoding::Utf16Le:
            return decodeUtf16(src);
        case Encoding::Utf8:
            return decodeUtf8(src);
        case Encoding::Cp949:
            break;
    }
    return decodeCp949(src);
}

Source sourceOf(const char* data, qsizetype size, qsizetype chunk = kChunk) {
    return Source{reinterpret_cast<const uint8_t*>(data), size, chunk, nullptr};
}

}  // namespace

Encoding detectEncoding(const QByteArray& bytes) {
    return detect(sourceOf(bytes.constData(), bytes.size()));
}

QString decodeDocument(const QByteArray& bytes) {
    return decode(sourceOf(bytes.constData(), bytes.size()));
}

QString decodeDocument(const char* data, qsizetype size, qsizetype chunk) {
    return decode(sourceOf(data, size, chunk));
}

bool DocumentTooLarge(const QString& path) {
    return QFileInfo(path).size() > kMaxDocumentBytes;
}

QString TooLargeText(const QString& name) {
    return QStringLiteral("파일이 너무 커서(512MB 초과) 열 수 없습니다.\n%1").arg(name);
}

QString LoadDocumentText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxDocumentBytes) return QString();
    // Mapped and read a piece at a time, each piece's pages given back once decoded: the file
    // and its text are never held whole at once.
    const qsizetype size = qsizetype(file.size());
    if (uchar* map = size > 0 ? file.map(0, size) : nullptr) {
        ::madvise(map, size_t(size), MADV_SEQUENTIAL);
        const qsizetype page = ::getpagesize();
        // Only whole pages inside the range: a page shared with a piece not decoded yet stays.
        Source src{map, size, kChunk, [&](qsizetype from, qsizetype to) {
                       const qsizetype first = (from + page - 1) / page * page;
                       const qsizetype last =
                           to == size ? (to + page - 1) / page * page : to / page * page;
                       if (last > first)
                           ::madvise(map + first, size_t(last - first), MADV_DONTNEED);
                   }};
        QString text = decode(src);
        file.unmap(map);
        return text;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return QString();
    return decodeDocument(bytes);
}

StreamedDocument::StreamedDocument(qint64 expectedBytes) : m_expected(expectedBytes) {
    if (expectedBytes <= 0 || expectedBytes > kMaxDocumentBytes) m_stopped = true;
}

// A piece may end only before a byte below 0x41: the text then decodes in pieces as it does
// whole, and no UTF-8 sequence or byte-order mark is ever cut. Bytes after the last such place
// are held for the next call.
void StreamedDocument::add(const char* data, qsizetype size) {
    if (m_stopped || size <= 0) return;
    // It runs on the extraction's thread, where nothing may be thrown: memory that cannot be
    // had stops it, and the book is read from its file.
    try {
        consume(data, size);
    } catch (const std::bad_alloc&) {
        stop();
    }
}

void StreamedDocument::consume(const char* data, qsizetype size) {
    m_received += size;
    if (m_received > m_expected) return stop();
    if (m_text.isNull()) {
        m_text = QString(qsizetype(m_expected), Qt::Uninitialized);
        if (m_text.size() != m_expected) return stop();
    }
    const bool end = m_received == m_expected;
    if (!m_held.isEmpty()) {
        qsizetype f = 0;
        while (f < size && uint8_t(data[f]) >= 0x41) ++f;
        m_held.append(data, f);
        data += f;
        size -= f;
        if (size == 0 && !end) return;
        decodePiece(m_held.constData(), m_held.size(), end && size == 0);
        m_held.clear();
    }
    qsizetype cut = size;
    if (!end) {
        while (cut > 0 && uint8_t(data[cut - 1]) >= 0x41) --cut;
        cut = std::max<qsizetype>(cut - 1, 0);
    }
    decodePiece(data, cut, end);
    if (!m_stopped) m_held.append(data + cut, size - cut);
}

void StreamedDocument::decodePiece(const char* piece, qsizetype size, bool atEnd) {
    if (m_stopped || size <= 0) return;
    const Source src = sourceOf(piece, size);
    if (m_decoded == 0 && (startsWith(src, "\xFF\xFE", 2) || startsWith(src, "\xEF\xBB\xBF", 3)))
        return stop();
    if (m_utf8) {
        bool multiByte = false;
        m_utf8 = isUtf8(src.s, size, &multiByte, atEnd);
        // Valid UTF-8 beyond ASCII may be a UTF-8 book: only its end could tell.
        if (m_utf8 && multiByte) return stop();
    }
    m_units += textbox::decodeCp949To(piece, size,
                                      reinterpret_cast<char16_t*>(m_text.data()) + m_units);
    m_decoded += size;
}

void StreamedDocument::stop() {
    m_stopped = true;
    m_text = QString();
    m_held = QByteArray();
}

std::optional<QString> StreamedDocument::take() {
    if (m_stopped || m_decoded != m_expected) return std::nullopt;
    m_text.resize(m_units);
    m_stopped = true;
    return std::move(m_text);
}

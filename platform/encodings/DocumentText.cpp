#include "encodings/DocumentText.h"

#include <sys/mman.h>
#include <unistd.h>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "bytes/Pages.h"
#include "encodings/CodePages.h"
#include "encodings/Cp949.h"
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

// A test's look at each stretch read from a book's file.
std::function<void(qint64, qint64)>& readHook() {
    static std::function<void(qint64, qint64)> hook;
    return hook;
}

// The file ended before the size it had when it was opened (it was cut short while it was read),
// or a read failed.
struct ReadFailed {};
// The other decoding thread failed: this one gives up too.
struct Stopped {};

// The document's bytes: in memory, or in a file that is read a piece at a time.
struct Source {
    const uint8_t* s;                // the bytes, when they are in memory
    const files::RegularFile* file;  // else the file they are read from
    qsizetype n;
    qsizetype chunk;
    // A decoding thread failed: the other stops at its next piece.
    mutable std::atomic<bool> stopped{false};
};

// Two pieces are held at a time, one for each decoding thread.
constexpr qsizetype kChunk = qsizetype(2) << 20;
// How far past a piece's least end its boundary is looked for in one read.
constexpr qsizetype kLook = 4096;

// One thread's view of the document: the bytes it asks for where they lie in memory, or read
// from the file into a buffer of its own that the next piece reuses. However large the book,
// a reader holds about a piece.
class Window {
public:
    explicit Window(const Source& src) : m_src(src) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const Source& source() const { return m_src; }
    // Bytes [from, to) of the document; valid until the next call.
    const uint8_t* bytes(qsizetype from, qsizetype to) {
        if (m_src.stopped.load(std::memory_order_relaxed)) throw Stopped();
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
        if (readHook()) readHook()(from, to);
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

// Where the piece from `from` ends: at least chunk bytes on, at a boundary, at most at `to`.
qsizetype nextCut(Window& w, qsizetype from, qsizetype to) {
    return boundaryFrom(w, from + std::max<qsizetype>(w.source().chunk, 1), to);
}

// The same, for a piece about to be decoded: the piece is read with what lies just past it, so
// finding its end reads nothing twice.
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

Encoding detect(const Source& src) {
    Window w(src);
    if (startsWith(w, "\xFF\xFE", 2)) return Encoding::Utf16Le;
    if (startsWith(w, "\xEF\xBB\xBF", 3)) return Encoding::Utf8;
    bool multiByte = false;
    for (qsizetype from = 0; from < src.n;) {
        const qsizetype to = pieceEnd(w, from, src.n);
        bool some = false;
        if (!isUtf8(w.bytes(from, to), to - from, &some, to == src.n)) return guessFromStart(w);
        multiByte = multiByte || some;
        from = to;
    }
    return multiByte ? Encoding::Utf8 : Encoding::Cp949;
}

// Runs `second` on another thread while `first` runs on this one; both, one after the other, on
// this thread when no thread can be had. A side that fails stops the other at its next piece,
// and its exception is the one that comes out.
template <typename First, typename Second>
void sideBySide(const Source& src, First first, Second second) {
    const auto stop = [&src] { src.stopped.store(true, std::memory_order_relaxed); };
    threads::Section section(stop);
    const bool started = section.start([&] {
        try {
            second();
        } catch (...) {
            stop();
            throw;
        }
    });
    if (!started) {
        second();
        first();
        return;
    }
    try {
        first();
    } catch (const Stopped&) {
        section.join();  // throws what stopped this side
        throw;
    }
    section.join();
}

// CP949 bytes [from, to) decoded a piece at a time into out; the units written (a piece never
// has more units than bytes).
qsizetype cp949Forward(Window& w, qsizetype from, qsizetype to, char16_t* out) {
    qsizetype units = 0;
    for (qsizetype p = from; p < to;) {
        const qsizetype e = pieceEnd(w, p, to);
        units += encodings::decodeCp949To(w.chars(p, e), e - p, out + units);
        p = e;
    }
    return units;
}

// The same, last piece first, into the units just before `end`, where (to - from) units lie
// free: each piece is decoded where it cannot reach the piece after it and moved up against it.
// The units written.
qsizetype cp949Backward(Window& w, qsizetype from, qsizetype to, char16_t* end) {
    std::vector<qsizetype> cuts{from};
    while (cuts.back() < to) cuts.push_back(nextCut(w, cuts.back(), to));
    char16_t* at = end;
    for (size_t k = cuts.size() - 1; k > 0; --k) {
        const qsizetype a = cuts[k - 1], b = cuts[k];
        char16_t* put = at - (b - a);
        const qsizetype units = encodings::decodeCp949To(w.chars(a, b), b - a, put);
        std::memmove(at - units, put, size_t(units) * sizeof(char16_t));
        at -= units;
    }
    return end - at;
}

using bytes::releaseInside;

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
    Window mine(src);
    const qsizetype mid = src.n >= 2 * src.chunk ? boundaryFrom(mine, src.n / 2, src.n) : src.n;
    if (mid == src.n) {
        text.resize(cp949Forward(mine, 0, src.n, out));
        return text;
    }
    std::vector<qsizetype> cuts{mid};
    while (cuts.back() < src.n) cuts.push_back(nextCut(mine, cuts.back(), src.n));
    PieceQueue queue(uint32_t(cuts.size() - 1));
    // The second half's pieces the UI thread takes are decoded backwards against the end of the
    // room, beyond the second thread's reach, and moved down after it once both are done.
    qsizetype first = 0, second = 0, taken = 0;
    Window theirs(src);
    sideBySide(
        src,
        [&] {
            first = cp949Backward(mine, 0, mid, out + mid);
            for (uint32_t k; queue.takeBack(&k);)
                taken += cp949Backward(mine, cuts[k], cuts[k + 1], out + src.n - taken);
        },
        [&] {
            for (uint32_t k; queue.takeFront(&k);)
                second += cp949Forward(theirs, cuts[k], cuts[k + 1], out + mid + second);
        });
    moveDown(out + mid + second, out + src.n - taken, taken);
    text.resize(mid + second + taken);
    text.remove(0, mid - first);
    // The first piece was decoded below where its units ended up: that room is never read.
    releaseInside(out, out + mid - first);
    return text;
}

// UTF-16 after `skip` bytes of byte-order mark.
QString decodeUtf16(const Source& src, qsizetype skip, bool bigEndian) {
    const qsizetype body = src.n - skip;
    const qsizetype units = body / 2;
    // An odd last byte is half a unit: shown as U+FFFD, not dropped.
    QString text(units + body % 2, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const qsizetype step = std::max<qsizetype>(src.chunk / 2, 1);
    Window mine(src), theirs(src);
    auto convert = [&](Window& w, qsizetype from, qsizetype to) {
        for (qsizetype u = from; u < to; u += step) {
            const qsizetype count = std::min(step, to - u);
            const uint8_t* in = w.bytes(skip + 2 * u, skip + 2 * (u + count));
            if (bigEndian)
                qFromBigEndian<char16_t>(in, count, out + u);
            else
                qFromLittleEndian<char16_t>(in, count, out + u);
        }
    };
    if (units >= 2 * step)
        sideBySide(
            src, [&] { convert(mine, 0, units / 2); }, [&] { convert(theirs, units / 2, units); });
    else
        convert(mine, 0, units);
    if (body % 2) {
        mine.bytes(src.n - 1, src.n);  // read all the same: a file cut short by it is refused
        out[units] = QChar::ReplacementCharacter;
    }
    return text;
}

QString decodeUtf8(const Source& src) {
    Window w(src);
    const qsizetype skip = startsWith(w, "\xEF\xBB\xBF", 3) ? 3 : 0;
    // The mark is skipped here; the decoder must keep a second one as a character. A sequence
    // cut off at the end shows as U+FFFD. Never more units than bytes; untouched room costs
    // nothing.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                    QStringConverter::Flag::Stateless);
    QString text(src.n - skip + 1, Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = begin;
    for (qsizetype from = skip; from < src.n;) {
        const qsizetype to = pieceEnd(w, from, src.n);
        out = utf8.appendToBuffer(out, QByteArrayView(w.bytes(from, to), to - from));
        from = to;
    }
    text.resize(out - begin);
    return text;
}

// One of the iconv code pages, a piece at a time on this thread: they are read rarely, and
// their sequences have no byte that marks a place a piece may end.
QString decodeCodePage(const Source& src, Encoding encoding) {
    encodings::CodePageDecoder decoder(encoding);
    Window w(src);
    QString text(src.n, Qt::Uninitialized);
    qsizetype units = 0;
    // A piece is never shorter than the longest sequence, so each one makes progress.
    const qsizetype step = std::max<qsizetype>(src.chunk, 16);
    for (qsizetype from = 0; from < src.n;) {
        const qsizetype to = std::min(src.n, from + step);
        from += decoder.decode(w.chars(from, to), to - from, to == src.n, text, &units);
    }
    text.resize(units);
    return text;
}

// A UTF-16 book is read in the order its byte-order mark gives, else in the chosen one.
DecodedDocument decodeUtf16As(const Source& src, Encoding chosen) {
    Window w(src);
    if (startsWith(w, "\xFF\xFE", 2)) return {decodeUtf16(src, 2, false), Encoding::Utf16Le};
    if (startsWith(w, "\xFE\xFF", 2)) return {decodeUtf16(src, 2, true), Encoding::Utf16Be};
    return {decodeUtf16(src, 0, chosen == Encoding::Utf16Be), chosen};
}

DecodedDocument decode(const Source& src, Encoding chosen) {
    const Encoding encoding = chosen == Encoding::Automatic ? detect(src) : chosen;
    switch (encoding) {
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            return decodeUtf16As(src, encoding);
        case Encoding::Utf8:
            return {decodeUtf8(src), encoding};
        case Encoding::ShiftJis:
        case Encoding::EucJp:
        case Encoding::Gb18030:
        case Encoding::Big5:
            return {decodeCodePage(src, encoding), encoding};
        case Encoding::Automatic:
        case Encoding::Cp949:
            break;
    }
    return {decodeCp949(src), Encoding::Cp949};
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

QString decodeDocument(const QByteArray& bytes) {
    return decode(sourceOf(bytes.constData(), bytes.size()), Encoding::Automatic).text;
}

QString decodeDocument(const char* data, qsizetype size, qsizetype chunk, Encoding encoding) {
    return decode(sourceOf(data, size, chunk), encoding).text;
}

DecodedDocument decodeDocumentAs(const QByteArray& bytes, Encoding encoding) {
    return decode(sourceOf(bytes.constData(), bytes.size()), encoding);
}

bool DocumentTooLarge(const QString& path) {
    const files::RegularFile file(path);
    return file.isOpen() && file.size() > kMaxDocumentBytes;
}

QString TooLargeText(const QString& name) {
    return QStringLiteral("파일이 너무 커서(512MB 초과) 열 수 없습니다.\n%1").arg(name);
}

DocumentRead ReadDocument(const QString& path, const std::function<void()>& beforeReading,
                          Encoding encoding) {
    const files::RegularFile file(path);
    if (!file.isOpen())
        return {QString(), file.error() == EACCES || file.error() == EPERM
                               ? DocumentRead::Denied
                               : DocumentRead::NotABook};
    if (file.size() > kMaxDocumentBytes) return {QString(), DocumentRead::TooLarge};
    if (beforeReading) beforeReading();
    // Read a piece at a time by each decoding thread, into a buffer it reuses: the file and
    // its text are never held whole at once, and a file cut short under the reader is a read
    // that comes back short, not a fault.
    const Source src{nullptr, &file, qsizetype(file.size()), kChunk};
    try {
        DecodedDocument read = decode(src, encoding);
        return {std::move(read.text), DocumentRead::Read, read.encoding};
    } catch (const ReadFailed&) {
        return {QString(), DocumentRead::Changed};
    }
}

QString LoadDocumentText(const QString& path, Encoding encoding) {
    return ReadDocument(path, {}, encoding).text;
}

void SetDocumentReadHook(std::function<void(qint64 from, qint64 to)> hook) {
    readHook() = std::move(hook);
}

StreamedDocument::StreamedDocument(qint64 expectedBytes, Encoding encoding)
    : m_expected(expectedBytes), m_automatic(encoding == Encoding::Automatic) {
    if (expectedBytes <= 0 || expectedBytes > kMaxDocumentBytes) m_stopped = true;
    if (!m_automatic && encoding != Encoding::Cp949) m_stopped = true;
    // A chosen CP949 is read whatever the bytes look like.
    if (!m_automatic) m_utf8 = false;
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
    if (m_automatic && !m_sampleChecked) {
        const qsizetype want = std::min<qsizetype>(encodings::kGuessSampleBytes, m_expected);
        m_sample.append(data, std::min(size, want - m_sample.size()));
    }
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
    checkSample();
}

// Bytes that are not UTF-8 are read as the code page their start reads as: once the sample is
// whole, a guess other than CP949 stops it.
void StreamedDocument::checkSample() {
    if (m_stopped || !m_automatic || m_utf8 || m_sampleChecked) return;
    if (m_sample.size() < std::min<qint64>(encodings::kGuessSampleBytes, m_expected)) return;
    m_sampleChecked = true;
    const Encoding guess = encodings::guessCodePage(m_sample.constData(), m_sample.size());
    m_sample = QByteArray();
    if (guess != Encoding::Cp949) stop();
}

void StreamedDocument::decodePiece(const char* piece, qsizetype size, bool atEnd) {
    if (m_stopped || size <= 0) return;
    const auto* s = reinterpret_cast<const uint8_t*>(piece);
    if (m_automatic && m_decoded == 0 &&
        (startsWith(s, size, "\xFF\xFE", 2) || startsWith(s, size, "\xEF\xBB\xBF", 3)))
        return stop();
    if (m_utf8) {
        bool multiByte = false;
        m_utf8 = isUtf8(s, size, &multiByte, atEnd);
        // Valid UTF-8 beyond ASCII may be a UTF-8 book: only its end could tell.
        if (m_utf8 && multiByte) return stop();
    }
    m_units += encodings::decodeCp949To(piece, size,
                                      reinterpret_cast<char16_t*>(m_text.data()) + m_units);
    m_decoded += size;
}

void StreamedDocument::stop() {
    m_stopped = true;
    m_text = QString();
    m_held = QByteArray();
    m_sample = QByteArray();
}

std::optional<QString> StreamedDocument::take() {
    checkSample();
    if (m_stopped || m_decoded != m_expected) return std::nullopt;
    m_text.resize(m_units);
    m_stopped = true;
    return std::move(m_text);
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

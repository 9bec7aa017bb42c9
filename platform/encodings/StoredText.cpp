#include "encodings/StoredText.h"

#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <memory>
#include <mutex>

#include "encodings/AnsiUnits.h"
#include "encodings/CodePages.h"
#include "encodings/Cp949.h"
#include "files/Files.h"
#include "threads/Section.h"

namespace encodings {

namespace {

// A run's least size, in bytes of the file (units of a text in memory).
constexpr int64_t kRunBytes = int64_t(64) << 10;
// How far past that a line break is looked for before a long line is cut where a character begins.
constexpr int64_t kLongestLine = int64_t(1) << 20;
// The file is read forward a block at a time while its runs are found.
constexpr int64_t kBlock = int64_t(1) << 20;

struct ReadFailed {};

// How the bytes of a book are read: the encoding (its byte order settled by the mark), and the
// mark's bytes skipped at the start.
struct Form {
    Encoding encoding = Encoding::Cp949;
    int64_t skip = 0;
    int width() const {
        return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be ? 2 : 1;
    }
};

QString decodeBytes(const char* b, int64_t n, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8: {
            QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                            QStringConverter::Flag::Stateless);
            return utf8.decode(QByteArrayView(b, n));
        }
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            // An odd last byte is half a unit: shown as U+FFFD, not dropped.
            QString text(n / 2 + n % 2, Qt::Uninitialized);
            char16_t* out = reinterpret_cast<char16_t*>(text.data());
            if (encoding == Encoding::Utf16Be)
                qFromBigEndian<char16_t>(b, n / 2, out);
            else
                qFromLittleEndian<char16_t>(b, n / 2, out);
            if (n % 2) out[n / 2] = QChar::ReplacementCharacter;
            return text;
        }
        case Encoding::ShiftJis:
        case Encoding::EucJp:
        case Encoding::Gb18030:
        case Encoding::Big5: {
            CodePageDecoder decoder(encoding);
            QString text;
            qsizetype units = 0;
            for (int64_t at = 0; at < n;) {
                const qsizetype used = decoder.decode(b + at, n - at, true, text, &units);
                if (used <= 0) break;
                at += used;
            }
            text.resize(units);
            return text;
        }
        case Encoding::Automatic:
        case Encoding::Cp949:
            break;
    }
    return decodeCp949(b, n);
}

// Bytes of the file up to `end`, read forward a block at a time from the run being measured,
// so each byte is read about once.
class Forward {
public:
    Forward(const files::RegularFile& file, int64_t end) : m_file(file), m_n(end) {}
    int64_t size() const { return m_n; }
    // Where the run being measured begins: what is read from now on starts no later.
    void keepFrom(int64_t at) { m_keep = at; }
    // Bytes [from, to), to <= size(); valid until the next call.
    const char* bytes(int64_t from, int64_t to) {
        if (from >= m_from && to <= m_to) return m_buffer.data() + (from - m_from);
        const int64_t start = std::min(from, std::max(m_keep, int64_t(0)));
        const int64_t end = std::max(to, std::min(m_n, start + kBlock));
        m_buffer.resize(end - start);
        if (m_file.readAt(m_buffer.data(), end - start, start) != end - start) throw ReadFailed();
        m_from = start;
        m_to = end;
        return m_buffer.data() + (from - start);
    }

private:
    const files::RegularFile& m_file;
    int64_t m_n;
    QByteArray m_buffer;
    int64_t m_from = 0, m_to = 0;
    int64_t m_keep = INT64_MAX;
};

char16_t unitAt(const char* b, int width, bool bigEndian) {
    if (width == 1) return char16_t(uint8_t(b[0]));
    return bigEndian ? char16_t(uint8_t(b[0]) << 8 | uint8_t(b[1]))
                     : char16_t(uint8_t(b[1]) << 8 | uint8_t(b[0]));
}

// Just after the first line break in [from, stop), or -1; a CR LF is kept whole.
int64_t breakIn(Forward& f, const Form& form, int64_t from, int64_t stop) {
    const int w = form.width();
    const bool be = form.encoding == Encoding::Utf16Be;
    const int64_t to = std::min(f.size(), stop + w);
    const char* b = f.bytes(from, to);
    for (int64_t p = from; p + w <= stop; p += w) {
        const char16_t u = unitAt(b + (p - from), w, be);
        if (u == u'\n') return p + w;
        if (u != u'\r') continue;
        const bool lf = p + 2 * w <= to && unitAt(b + (p + w - from), w, be) == u'\n';
        return lf ? p + 2 * w : p + w;
    }
    return -1;
}

// Where a character surely begins at or after `from` (else the end): before a byte below 0x30,
// which no multi-byte sequence of these encodings holds past its first byte, or between two
// UTF-16 units that are not a pair.
int64_t characterStart(Forward& f, const Form& form, int64_t from) {
    const int w = form.width();
    for (int64_t look = from; look < f.size(); look += kLongestLine) {
        const int64_t stop = std::min(f.size(), look + kLongestLine);
        const char* b = f.bytes(look - w, stop);
        for (int64_t p = look; p < stop; p += w) {
            if (w == 1 && uint8_t(b[p - look + 1]) < 0x30) return p;
            if (w == 2 && !ansi::isHighSurrogate(
                              unitAt(b + (p - look), 2, form.encoding == Encoding::Utf16Be)))
                return p;
        }
    }
    return f.size();
}

// Where the run from `from` ends, and whether a line begins there.
int64_t runEnd(Forward& f, const Form& form, int64_t from, bool* lineStart) {
    const int64_t n = f.size();
    *lineStart = true;
    const int64_t least = from + kRunBytes;
    if (least >= n) return n;
    for (int64_t look = least; look < std::min(n, least + kLongestLine); look += kRunBytes) {
        const int64_t end = breakIn(f, form, look, std::min(n, look + kRunBytes));
        if (end >= 0) return end;
    }
    if (least + kLongestLine >= n) return n;
    *lineStart = false;
    return characterStart(f, form, least + kLongestLine);
}

using Run = StoredText::Run;

// Where the runs of bytes [from, to) of the file begin, a line beginning at `from`; last, where
// the bytes end. Their indexes and positions are not known yet (the first wrap measures them).
std::vector<Run> runsIn(const files::RegularFile& file, const Form& form, int64_t from,
                        int64_t to) {
    Forward f(file, to);
    std::vector<Run> runs;
    bool lineStart = true;
    for (int64_t at = from; at < to;) {
        runs.push_back({at, 0, 0, lineStart});
        f.keepFrom(at);
        at = runEnd(f, form, at, &lineStart);
    }
    runs.push_back({to, 0, 0, true});
    return runs;
}

// How bytes starting with `mark` (got of its first three) are read in `encoding`.
Form formOf(const char* mark, int64_t got, Encoding encoding) {
    const auto starts = [&](const char* m, int64_t size) {
        return got >= size && std::equal(m, m + size, mark);
    };
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
        // A UTF-16 book is read in the order its mark gives, else in the chosen one.
        if (starts("\xFF\xFE", 2)) return {Encoding::Utf16Le, 2};
        if (starts("\xFE\xFF", 2)) return {Encoding::Utf16Be, 2};
        return {encoding, 0};
    }
    if (encoding == Encoding::Utf8) return {encoding, starts("\xEF\xBB\xBF", 3) ? 3 : 0};
    return {encoding == Encoding::Automatic ? Encoding::Cp949 : encoding, 0};
}

Form formOf(const files::RegularFile& file, Encoding chosen) {
    const Encoding encoding = chosen == Encoding::Automatic ? detectEncoding(file) : chosen;
    char mark[3] = {};
    const int64_t got = file.readAt(mark, std::min<int64_t>(3, file.size()), 0);
    return formOf(mark, got, encoding);
}

}  // namespace

namespace {

// A decoded run's characters and positions.
StoredText::RunMeasure measureOf(const QString& run) {
    return {run.size(), ansi::length(ansi::units(run), run.size())};
}

}  // namespace

struct StoredText::Data {
    QString whole;  // a text held in memory; else the file's
    std::unique_ptr<files::RegularFile> file;
    QString path;
    Encoding encoding = Encoding::Cp949;
    // Every run's start, and last where the text ends.
    std::vector<Run> runs;
    std::atomic<bool> changed{false};
    // Whether the runs' indexes and positions are known yet.
    std::atomic<bool> measured{true};
    std::mutex measuring;
    // The run mid() decoded last: a page's neighbour most likely lies in it too.
    std::mutex lock;
    size_t cachedRun = SIZE_MAX;
    QString cached;
};

StoredText::StoredText() : StoredText(QString()) {}

StoredText::StoredText(const QString& text) : d(std::make_shared<Data>()) {
    d->whole = text;
    const char16_t* s = ansi::units(text);
    const qsizetype n = text.size();
    qsizetype from = 0;
    int64_t byte = 0;
    while (from < n) {
        d->runs.push_back({from, from, byte, true});
        qsizetype to = std::min(n, from + qsizetype(kRunBytes));
        while (to < n && s[to - 1] != u'\n' && !(s[to - 1] == u'\r' && s[to] != u'\n')) ++to;
        byte += ansi::length(s + from, to - from);
        from = to;
    }
    d->runs.push_back({n, n, byte, true});
}

StoredText::Read StoredText::read(const QString& path, const std::function<void()>& beforeReading,
                                  Encoding encoding) {
    auto file = std::make_unique<files::RegularFile>(path);
    if (!file->isOpen())
        return {{},
                file->error() == EACCES || file->error() == EPERM ? DocumentRead::Denied
                                                                  : DocumentRead::NotABook};
    if (file->size() > kMaxDocumentBytes) return {{}, DocumentRead::TooLarge};
    if (beforeReading) beforeReading();
    const Form form = formOf(*file, encoding);
    StoredText text;
    Data& data = *text.d;
    data.encoding = form.encoding;
    try {
        // A book is measured by its first wrap, which decodes it anyway.
        data.runs = runsIn(*file, form, form.skip, file->size());
        data.measured.store(false, std::memory_order_release);
    } catch (const ReadFailed&) {
        return {{}, DocumentRead::Changed};
    }
    data.file = std::move(file);
    data.path = path;
    data.whole = QString();
    return {std::move(text), DocumentRead::Read, form.encoding};
}

qsizetype StoredText::size() const {
    ensureMeasured();
    return d->runs.back().index;
}

int64_t StoredText::length() const {
    ensureMeasured();
    return d->runs.back().byte;
}

bool StoredText::isEmpty() const {
    return d->runs.size() <= 1;
}

bool StoredText::measured() const {
    return d->measured.load(std::memory_order_acquire);
}

qsizetype StoredText::sizeBound() const {
    if (measured()) return size();
    return qsizetype(d->runs.back().offset - d->runs.front().offset);
}

void StoredText::ensureMeasured() const {
    if (measured()) return;
    // Measured here, a run at a time, when something asks before the first wrap.
    std::vector<RunMeasure> runs;
    runs.reserve(d->runs.size());
    for (size_t k = 0; k + 1 < d->runs.size(); ++k) {
        const QByteArray bytes = bytesOf(k, k + 1);
        RunMeasure m;
        if (d->encoding == Encoding::Cp949) {
            measureCp949(bytes.constData(), bytes.size(), &m.units, &m.positions);
        } else {
            m = measureOf(decodeBytes(bytes.constData(), bytes.size(), d->encoding));
        }
        runs.push_back(m);
    }
    takeMeasures(runs);
}

// A CP949 span decoded straight into its text, a run at a time: a run's positions are its
// ASCII characters once and the others twice.
QString StoredText::cp949Runs(const Span& span, const QByteArray& bytes,
                              std::vector<RunMeasure>* measures) const {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype total = 0;
    const int64_t base = d->runs[span.firstRun].offset;
    for (size_t k = span.firstRun; k < span.endRun; ++k) {
        const int64_t from = d->runs[k].offset - base;
        const int64_t to = std::min<int64_t>(bytes.size(), d->runs[k + 1].offset - base);
        qsizetype ascii = 0;
        const qsizetype units =
            to > from ? decodeCp949To(bytes.constData() + from, to - from, out + total, &ascii) : 0;
        if (measures) measures->push_back({units, ascii + 2 * int64_t(units - ascii)});
        total += units;
    }
    text.resize(total);
    return text;
}

void StoredText::takeMeasures(const std::vector<RunMeasure>& runs) const {
    const std::lock_guard<std::mutex> hold(d->measuring);
    if (measured() || runs.size() + 1 != d->runs.size()) return;
    qsizetype index = 0;
    int64_t byte = 0;
    for (size_t k = 0; k < d->runs.size(); ++k) {
        d->runs[k].index = index;
        d->runs[k].byte = byte;
        if (k < runs.size()) {
            index += runs[k].units;
            byte += runs[k].positions;
        }
    }
    d->measured.store(true, std::memory_order_release);
}

std::vector<StoredText::Span> StoredText::spansOfBytes(int64_t leastBytes) const {
    const auto& runs = d->runs;
    std::vector<Span> out;
    size_t a = 0;
    for (size_t k = 1; k < runs.size(); ++k) {
        const bool last = k + 1 == runs.size();
        if (!last && !(runs[k].lineStart && runs[k].offset - runs[a].offset >= leastBytes))
            continue;
        out.push_back({0, 0, 0, a, k});
        a = k;
    }
    if (out.empty()) out.push_back({});
    return out;
}

QString StoredText::textOf(const Span& span, std::vector<RunMeasure>* measures) const {
    if (span.endRun <= span.firstRun) return QString();
    const QByteArray bytes = bytesOf(span.firstRun, span.endRun);
    if (d->encoding == Encoding::Cp949) return cp949Runs(span, bytes, measures);
    QString text;
    text.reserve(bytes.size());
    for (size_t k = span.firstRun; k < span.endRun; ++k) {
        const int64_t from = d->runs[k].offset - d->runs[span.firstRun].offset;
        const int64_t to = std::min<int64_t>(bytes.size(),
                                             d->runs[k + 1].offset - d->runs[span.firstRun].offset);
        const QString run =
            to > from ? decodeBytes(bytes.constData() + from, to - from, d->encoding) : QString();
        if (measures) measures->push_back(measureOf(run));
        text += run;
    }
    return text;
}

bool StoredText::inFile() const {
    return d->file != nullptr;
}

bool StoredText::changed() const {
    if (d->file && !d->changed.load(std::memory_order_relaxed) && !d->file->unchanged(d->path))
        d->changed.store(true, std::memory_order_relaxed);
    return d->changed.load(std::memory_order_relaxed);
}

QByteArray StoredText::bytesOf(size_t first, size_t end) const {
    const Run& a = d->runs[first];
    const Run& b = d->runs[end];
    if (!d->file || changed()) return QByteArray();
    QByteArray bytes(b.offset - a.offset, Qt::Uninitialized);
    if (d->file->readAt(bytes.data(), bytes.size(), a.offset) != bytes.size() || changed()) {
        d->changed.store(true, std::memory_order_relaxed);
        return QByteArray();
    }
    return bytes;
}

QString StoredText::decodeRuns(size_t first, size_t end) const {
    const Run& a = d->runs[first];
    const Run& b = d->runs[end];
    if (!d->file) return d->whole.mid(a.index, b.index - a.index);
    const QByteArray bytes = bytesOf(first, end);
    if (bytes.isNull()) return QString();
    return decodeBytes(bytes.constData(), bytes.size(), d->encoding);
}

size_t StoredText::runHolding(qsizetype index) const {
    const auto& runs = d->runs;
    const auto it = std::upper_bound(runs.begin(), runs.end() - 1, index,
                                     [](qsizetype i, const Run& r) { return i < r.index; });
    return size_t(std::max<ptrdiff_t>(0, it - runs.begin() - 1));
}

QString StoredText::mid(qsizetype from, qsizetype n) const {
    if (n <= 0) return QString();         // nothing to read, so nothing to measure
    const qsizetype size = this->size();  // measured from here on
    from = std::clamp<qsizetype>(from, 0, size);
    const qsizetype end = from + std::clamp<qsizetype>(n, 0, size - from);
    if (!d->file) return d->whole.mid(from, end - from);
    QString out;
    for (size_t k = runHolding(from); k + 1 < d->runs.size() && d->runs[k].index < end; ++k) {
        const qsizetype start = d->runs[k].index;
        std::lock_guard<std::mutex> hold(d->lock);
        if (d->cachedRun != k) {
            d->cached = decodeRuns(k, k + 1);
            d->cachedRun = d->cached.isNull() ? SIZE_MAX : k;
        }
        const qsizetype a = std::max(from, start) - start;
        const qsizetype b = std::min(end, d->runs[k + 1].index) - start;
        out += QStringView(d->cached).mid(std::min(a, d->cached.size()),
                                          std::max<qsizetype>(0, std::min(b, d->cached.size()) - a));
        if (d->cached.isNull()) break;
    }
    return out;
}

std::vector<StoredText::Span> StoredText::spans(qsizetype least) const {
    ensureMeasured();
    const auto& runs = d->runs;
    std::vector<Span> out;
    size_t a = 0;
    for (size_t k = 1; k < runs.size(); ++k) {
        const bool last = k + 1 == runs.size();
        if (!last && !(runs[k].lineStart && runs[k].index - runs[a].index >= least)) continue;
        out.push_back({runs[a].index, runs[k].index, runs[a].byte, a, k});
        a = k;
    }
    if (out.empty()) out.push_back({});
    return out;
}

QString StoredText::textOf(const Span& span) const {
    if (span.endRun <= span.firstRun) return QString();
    return decodeRuns(span.firstRun, span.endRun);
}

void StoredText::visitSpans(const std::vector<Span>& spans,
                            const std::function<void(size_t, const QString&)>& visit) const {
    std::atomic<size_t> next{0};
    const auto take = [&] {
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < spans.size();)
            visit(i, textOf(spans[i]));
    };
    // Given up on this thread: the other is handed no more spans.
    threads::Section section([&] { next.store(spans.size(), std::memory_order_relaxed); });
    if (spans.size() > 1) section.start(take);
    take();
    section.join();
}

DecodedDocument decodeDocumentAs(const QByteArray& bytes, Encoding encoding) {
    const Encoding chosen = encoding == Encoding::Automatic ? detectEncoding(bytes) : encoding;
    const Form form = formOf(bytes.constData(), std::min<int64_t>(3, bytes.size()), chosen);
    return {decodeBytes(bytes.constData() + form.skip, bytes.size() - form.skip, form.encoding),
            form.encoding};
}

}  // namespace encodings

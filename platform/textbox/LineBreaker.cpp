#include "textbox/LineBreaker.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "textbox/AdvanceTable.h"
#include "encodings/AnsiUnits.h"
#include "textbox/CharClass.h"
#include "threads/Section.h"

namespace textbox {

namespace ansi = encodings::ansi;

using namespace charclass;
using ansi::isHighSurrogate;
using ansi::isLowSurrogate;

namespace {

// Where a line ends: the next line's start, or nothing more when the text ends first.
struct LineEnd {
    qsizetype next;
    int64_t nextByte;
    bool more;
};

// A break between s[p - 1] and s[p] would split what must stay together.
inline bool bindsToPrevious(const char16_t* s, const uint8_t* cls, qsizetype p) {
    return (cls[s[p]] & kGlue) || (isLowSurrogate(s[p]) && isHighSurrogate(s[p - 1]));
}

// A word wider than the line that s[i], at byte b, would pass the edge of: the line ends before
// s[i], or before the mark or pair it belongs to; nothing more (`more` false) when that would
// leave the line empty.
inline LineEnd cutInWord(const char16_t* s, const uint8_t* cls, qsizetype start, qsizetype i,
                         int64_t b) {
    while (i > start && bindsToPrevious(s, cls, i)) b -= ansi::unitBytes(s, --i);
    return {i, b, i > start};
}

// A line being scanned: its width so far, the CP949 position reached, the last break
// opportunity (`start` for none yet) and what came last.
struct Scan {
    int64_t x = 0;
    int64_t b;
    qsizetype brk;
    int64_t brkByte;
    uint32_t prev = kNoBreakAfter;
    bool afterBlank = false;
};

// The common stretch of a line, from s[i] after a plain character or a blank: plain characters
// (a Hangul syllable, a letter, a digit) and blanks, as long as the line has room. A break falls
// only where a plain one follows a blank; it is taken without a branch, for Korean text has a
// blank every few characters, too often for a guess to pay. Returns where it stops: at the end,
// at a character of another kind or not measured yet, or at one that would pass the edge.
template <typename Advances>
inline qsizetype commonRun(const char16_t* s, qsizetype n, qsizetype i, int64_t limit,
                           const Advances& adv, Scan& scan) {
    int64_t x = scan.x, b = scan.b, brk = scan.brk, brkByte = scan.brkByte;
    uint32_t afterBlank = scan.afterBlank;
    uint32_t blank = afterBlank;
    for (; i < n; ++i) {
        const char16_t c = s[i];
        const uint32_t f = adv.fast(c);
        blank = f / AdvanceTable::kFastBlank;
        const int64_t next = x + (f & (AdvanceTable::kFastBlank - 1));
        if (f == AdvanceTable::kOffFast || (next > limit && !blank)) break;
        const int64_t take = -int64_t(afterBlank & ~blank & 1);
        brk = (i & take) | (brk & ~take);
        brkByte = (b & take) | (brkByte & ~take);
        x = next;
        b += c < 0x80 ? 1 : 2;
        afterBlank = blank;
    }
    scan.x = x;
    scan.b = b;
    scan.brk = brk;
    scan.brkByte = brkByte;
    scan.prev = afterBlank ? kBlank : 0;
    scan.afterBlank = afterBlank;
    return i;
}

// Scans one line from `start`. Only what lies between `start` and the break decides the break, so
// a line taken out with its start and put into another breaker breaks the same way.
template <typename Advances>
LineEnd scanLine(const char16_t* s, qsizetype n, qsizetype start, int64_t startByte, int64_t limit,
                 Advances& adv, const uint8_t* cls) {
    Scan scan{.b = startByte, .brk = start, .brkByte = startByte};
    qsizetype i = start;
    while (i < n) {
        const char16_t c = s[i];
        uint8_t k = cls[c];
        qsizetype units = 1;
        int32_t a;
        if (k & kSlowPath) [[unlikely]] {
            if (k & kNewline) {
                const qsizetype e = (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? i + 2 : i + 1;
                return {e, scan.b + (e - i), true};
            }
            if (k & kBlank) {
                // Blanks never wrap: they hang, and the break they allow comes after them.
                scan.x += adv.bmp(c);
                scan.afterBlank = true;
                scan.prev = k;
                scan.b += c < 0x80 ? 1 : 2;
                i = commonRun(s, n, i + 1, limit, adv, scan);
                continue;
            }
            if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(s[i + 1])) {
                const char32_t cp = QChar::surrogateToUcs4(c, s[i + 1]);
                k = astral(cp);
                a = adv.astral(cp);
                units = 2;
            } else {
                k = 0;  // a lone half is one character of its own
                a = adv.bmp(c);
            }
        } else {
            a = adv.bmp(c);
        }
        if (i > start && !(k & kGlue) &&
            (scan.afterBlank || (((scan.prev | k) & kIdeo) && !(k & kNoBreakBefore) &&
                                 !(scan.prev & kNoBreakAfter)))) {
            scan.brk = i;
            scan.brkByte = scan.b;
        }
        scan.afterBlank = false;
        scan.x += a;
        if (scan.x > limit && i > start) [[unlikely]] {
            if (scan.brk > start) return {scan.brk, scan.brkByte, true};
            if (const LineEnd cut = cutInWord(s, cls, start, i, scan.b); cut.more) return cut;
        }
        scan.b += c < 0x80 ? 1 : 2;
        i += units;
        scan.prev = k;
        if (k == 0) i = commonRun(s, n, i, limit, adv, scan);
    }
    return {n, scan.b, false};
}

// Wraps s[from, to), where a line begins, into `starts`: every line start after `from`, with byte
// offsets counted from `from`. `poll` runs after each line.
template <typename Advances, typename Poll>
void wrapRange(const char16_t* s, qsizetype from, qsizetype to, qsizetype base, int64_t limit,
               Advances& adv, const uint8_t* cls, LineStarts& starts, Poll poll) {
    qsizetype start = from;
    int64_t startByte = 0;
    for (;;) {
        const LineEnd end = scanLine(s, to, start, startByte, limit, adv, cls);
        if (!end.more) return;
        start = end.next;
        startByte = end.nextByte;
        starts.push(int32_t(base + start), int32_t(startByte));
        poll();
    }
}

// A text is wrapped in parts of whole lines, each decoded where it is wrapped: parts of a
// kParts-th of the text when two threads wrap it, else of kOnePart characters in turn; never
// more than kOnePart, so what a part holds while it is wrapped stays small in a large book.
constexpr int kParts = 32;
constexpr qsizetype kLeastPart = 1024;
constexpr qsizetype kOnePart = qsizetype(1) << 20;

// The second wrapping thread's questions to the UI thread, one at a time: only the UI thread
// measures, for a font's engines belong to the thread that made them.
class AdvanceQuestions {
public:
    // Second thread: the advance of cp, once the UI thread has measured it.
    int32_t ask(char32_t cp) {
        m_slot.store(int64_t(cp), std::memory_order_release);
        m_slot.notify_one();
        int64_t v;
        while ((v = m_slot.load(std::memory_order_acquire)) >= 0) m_slot.wait(v);
        m_slot.store(kIdle, std::memory_order_relaxed);
        return int32_t(kAnswered - v);
    }
    // Second thread: no more questions.
    void finish() {
        m_slot.store(kFinished, std::memory_order_release);
        m_slot.notify_one();
    }
    // UI thread: answers the question waiting, if one is.
    void answer(AdvanceTable& adv) {
        const int64_t v = m_slot.load(std::memory_order_acquire);
        if (v < 0) return;
        const char32_t cp = char32_t(v);
        const int32_t a = cp < 0x10000 ? adv.bmp(char16_t(cp)) : adv.astral(cp);
        m_slot.store(kAnswered - a, std::memory_order_release);
        m_slot.notify_one();
    }
    // UI thread: answers until the second thread has finished.
    void answerUntilFinished(AdvanceTable& adv) {
        for (;;) {
            const int64_t v = m_slot.load(std::memory_order_acquire);
            if (v == kFinished) return;
            if (v >= 0)
                answer(adv);
            else
                m_slot.wait(v);
        }
    }
    // UI thread, when the wrap is given up: answers 0 to everything, measuring nothing (that
    // may be what failed), until the second thread has finished.
    void refuseUntilFinished() {
        for (;;) {
            const int64_t v = m_slot.load(std::memory_order_acquire);
            if (v == kFinished) return;
            if (v >= 0) {
                m_slot.store(kAnswered, std::memory_order_release);
                m_slot.notify_one();
            } else {
                m_slot.wait(v);
            }
        }
    }

private:
    // A code point asked (>= 0), nothing asked, finished, or an advance a answered as -3 - a.
    static constexpr int64_t kIdle = -1, kFinished = -2, kAnswered = -3;
    std::atomic<int64_t> m_slot{kIdle};
};

// The advances as the second thread sees them: what the UI thread's table holds, and answers to
// what it lacks.
struct AskedAdvances {
    const AdvanceTable& table;
    AdvanceQuestions& questions;
    std::unordered_map<char32_t, int32_t> astrals;

    uint16_t fast(char16_t c) const { return table.fast(c); }
    int32_t bmp(char16_t c) {
        const int32_t a = table.measured(c);
        return a >= 0 ? a : questions.ask(c);
    }
    int32_t astral(char32_t cp) {
        const auto it = astrals.find(cp);
        if (it != astrals.end()) return it->second;
        return astrals[cp] = questions.ask(cp);
    }
};

std::function<void(size_t)>& partHook() {
    static std::function<void(size_t)> hook;
    return hook;
}

}  // namespace

void LineBreaker::setPartHook(std::function<void(size_t part)> hook) {
    partHook() = std::move(hook);
}

LineBreaker::LineBreaker() = default;

LineBreaker::~LineBreaker() = default;

void LineBreaker::setFont(const QFont& font) {
    if (font == m_font) return;
    m_font = font;
    m_advances.reset();
    m_dirty = true;
}

void LineBreaker::setWidth(int pixels) {
    pixels = std::max(pixels, 0);
    if (pixels == m_width) return;
    m_width = pixels;
    m_dirty = true;
}

void LineBreaker::setText(const encodings::StoredText& text) {
    m_text = text;
    m_dirty = true;
}

void LineBreaker::setText(const QString& text) {
    setText(encodings::StoredText(text));
}

void LineBreaker::ensureWrapped() const {
    if (m_dirty) wrap();
}

void LineBreaker::wrap() const {
    // A book not measured yet is measured by this wrap, which decodes all of it anyway: its
    // parts are cut by bytes and their lines counted from each part's start.
    const bool measuring = !m_text.measured();
    const qsizetype n = m_text.sizeBound();
    const int64_t limit = int64_t(m_width) * AdvanceTable::kUnit;
    const uint8_t* cls = bmpTable();
    if (!m_advances) m_advances = AdvanceTable::forFont(m_font);
    AdvanceTable& adv = *m_advances;
    m_starts.clear();
    m_starts.push(0, 0);
    const bool two = n >= m_twoThreadsFrom && std::thread::hardware_concurrency() > 1;
    const qsizetype least = two ? std::clamp(n / kParts, kLeastPart, kOnePart) : kOnePart;
    const std::vector<encodings::StoredText::Span> spans =
        measuring ? m_text.spansOfBytes(least) : m_text.spans(least);
    const size_t parts = spans.size();
    std::vector<LineStarts> starts(parts);
    std::vector<std::vector<encodings::StoredText::RunMeasure>> measures(parts);
    auto wrapPart = [&](size_t i, auto& advances, auto poll) {
        const QString text =
            measuring ? m_text.textOf(spans[i], &measures[i]) : m_text.textOf(spans[i]);
        wrapRange(ansi::units(text), 0, text.size(), measuring ? 0 : spans[i].from, limit,
                  advances, cls, starts[i], poll);
    };
    if (parts == 1 || !two) {
        for (size_t i = 0; i < parts; ++i) wrapPart(i, adv, [] {});
    } else {
        wrapOnTwoThreads(parts, wrapPart);
    }
    // Every part but the last ends with the start of the next, whose byte offset moves the next
    // (and, measuring, its index).
    for (LineStarts& part : starts) {
        const LineStarts::Start last = m_starts[m_starts.size() - 1];
        m_starts.append(std::move(part), last.byte, measuring ? last.index : 0);
    }
    if (measuring) {
        std::vector<encodings::StoredText::RunMeasure> all;
        for (const auto& part : measures) all.insert(all.end(), part.begin(), part.end());
        m_text.takeMeasures(all);
    }
    m_dirty = false;
}

// Lines begin after every line break whatever precedes it, so the parts wrap on their own and
// each one's starts follow the last's. Both threads take the next part until none is left, so
// a thread that gets less of the machine leaves more parts to the other. The UI thread answers
// the second thread's questions between its own lines, then until it is done.
template <typename WrapPart>
void LineBreaker::wrapOnTwoThreads(size_t parts, WrapPart& wrapPart) const {
    AdvanceTable& adv = *m_advances;
    std::atomic<size_t> next{0};
    AdvanceQuestions questions;
    auto wrapParts = [&](auto& advances, auto poll) {
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < parts;) {
            if (partHook()) partHook()(i);
            wrapPart(i, advances, poll);
        }
    };
    // Given up on this thread: the second is handed no more parts and its questions are
    // answered with nothing, so it ends soon.
    threads::Section section([&] {
        next.store(parts, std::memory_order_relaxed);
        questions.refuseUntilFinished();
    });
    const bool helped = section.start([&] {
        struct Finish {
            AdvanceQuestions& questions;
            ~Finish() { questions.finish(); }
        } finish{questions};
        AskedAdvances asked{adv, questions, {}};
        wrapParts(asked, [] {});
    });
    if (helped) {
        wrapParts(adv, [&] { questions.answer(adv); });
        questions.answerUntilFinished(adv);
        section.join();
    } else {
        wrapParts(adv, [] {});
    }
}

int LineBreaker::lineCount() const {
    ensureWrapped();
    return m_starts.size();
}

int LineBreaker::lineIndex(int line) const {
    ensureWrapped();
    if (line < 0 || line >= m_starts.size()) return -1;
    return m_starts[line].byte;
}

int LineBreaker::charIndexOfLine(int line) const {
    ensureWrapped();
    if (line < 0 || line >= m_starts.size()) return -1;
    return m_starts[line].index;
}

int LineBreaker::lineFromChar(int byteOffset) const {
    ensureWrapped();
    return m_starts.lastAtOrBefore(byteOffset);
}

int LineBreaker::charIndexOfOffset(int byteOffset) const {
    if (byteOffset <= 0) return 0;
    const int line = lineFromChar(byteOffset);
    const qsizetype from = m_starts[line].index;
    const qsizetype to = line + 1 < m_starts.size() ? m_starts[line + 1].index : m_text.size();
    const QString text = m_text.mid(from, to - from);
    return int(from + ansi::indexHoldingByte(ansi::units(text), text.size(), 0,
                                             m_starts[line].byte, byteOffset));
}

}  // namespace textbox

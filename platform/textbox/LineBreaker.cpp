#include "textbox/LineBreaker.h"

#include <algorithm>
#include <cstdint>

#include "textbox/AdvanceTable.h"
#include "textbox/AnsiUnits.h"
#include "textbox/CharClass.h"

namespace textbox {

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

// Scans one line from `start`. Only what lies between `start` and the break decides the break, so
// a line taken out with its start and put into another breaker breaks the same way.
LineEnd scanLine(const char16_t* s, qsizetype n, qsizetype start, int64_t startByte, int64_t limit,
                 AdvanceTable& adv, const uint8_t* cls) {
    int64_t x = 0;
    qsizetype i = start;
    int64_t b = startByte;
    qsizetype brk = start;  // last break opportunity; `start` means none yet
    int64_t brkByte = startByte;
    uint8_t prev = kNoBreakAfter;
    bool afterBlank = false;
    while (i < n) {
        const char16_t c = s[i];
        uint8_t k = cls[c];
        int units = 1;
        int32_t a;
        if (k & kSlowPath) [[unlikely]] {
            if (k & kNewline) {
                const qsizetype e = (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ? i + 2 : i + 1;
                return {e, b + (e - i), true};
            }
            if (k & kBlank) {
                // Blanks never wrap: they hang, and the break they allow comes after them.
                x += adv.bmp(c);
                afterBlank = true;
                prev = k;
                b += c < 0x80 ? 1 : 2;
                ++i;
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
            (afterBlank ||
             (((prev | k) & kIdeo) && !(k & kNoBreakBefore) && !(prev & kNoBreakAfter)))) {
            brk = i;
            brkByte = b;
        }
        afterBlank = false;
        x += a;
        if (x > limit && i > start) [[unlikely]] {
            if (brk > start) return {brk, brkByte, true};
            // A word wider than the line: cut before this character, or before the mark or pair
            // it belongs to.
            qsizetype p = i;
            int64_t pb = b;
            while (p > start && bindsToPrevious(s, cls, p)) pb -= ansi::unitBytes(s, --p);
            if (p > start) return {p, pb, true};
        }
        b += c < 0x80 ? 1 : 2;
        i += units;
        prev = k;
    }
    return {n, b, false};
}

}  // namespace

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

void LineBreaker::setText(const QString& text) {
    m_text = text;
    m_dirty = true;
}

void LineBreaker::ensureWrapped() const {
    if (m_dirty) wrap();
}

void LineBreaker::wrap() const {
    const char16_t* s = ansi::units(m_text);
    const qsizetype n = m_text.size();
    const int64_t limit = int64_t(m_width) * AdvanceTable::kUnit;
    const uint8_t* cls = bmpTable();
    if (!m_advances) m_advances = AdvanceTable::forFont(m_font);
    m_charStarts.clear();
    m_byteStarts.clear();
    m_charStarts.push_back(0);
    m_byteStarts.push_back(0);
    qsizetype start = 0;
    int64_t startByte = 0;
    for (;;) {
        const LineEnd end = scanLine(s, n, start, startByte, limit, *m_advances, cls);
        if (!end.more) break;
        start = end.next;
        startByte = end.nextByte;
        m_charStarts.push_back(int(start));
        m_byteStarts.push_back(int(startByte));
    }
    m_dirty = false;
}

int LineBreaker::lineCount() const {
    ensureWrapped();
    return int(m_charStarts.size());
}

int LineBreaker::lineIndex(int line) const {
    ensureWrapped();
    if (line < 0 || line >= int(m_byteStarts.size())) return -1;
    return m_byteStarts[line];
}

int LineBreaker::charIndexOfLine(int line) const {
    ensureWrapped();
    if (line < 0 || line >= int(m_charStarts.size())) return -1;
    return m_charStarts[line];
}

int LineBreaker::lineFromChar(int byteOffset) const {
    ensureWrapped();
    const auto it = std::upper_bound(m_byteStarts.begin(), m_byteStarts.end(), byteOffset);
    return it == m_byteStarts.begin() ? 0 : int(it - m_byteStarts.begin()) - 1;
}

int LineBreaker::charIndexOfOffset(int byteOffset) const {
    if (byteOffset <= 0) return 0;
    const int line = lineFromChar(byteOffset);
    return int(ansi::indexHoldingByte(ansi::units(m_text), m_text.size(), m_charStarts[line],
                                      m_byteStarts[line], byteOffset));
}

}  // namespace textbox

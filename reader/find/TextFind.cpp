#include "find/TextFind.h"

#include <QStringView>
#include <algorithm>
#include <memory>

namespace textfind {

namespace {

enum : uint8_t {
    kChanges = 1,     // normal form C turns the character alone into something else
    kJoins = 2,       // may combine with, or be reordered against, what precedes it
    kSurrogate = 4,   // half of a pair: looked at as the pair
    kFoldTarget = 8,  // another character folds to this one
};

// Per UTF-16 unit: what composing and folding do to it. Built once.
struct Tables {
    char16_t fold[0x10000];
    uint8_t flags[0x10000];

    Tables() {
        for (int c = 0; c < 0x10000; ++c) {
            fold[c] = char16_t(c);
            flags[c] = 0;
        }
        for (int c = 0; c < 0x10000; ++c) {
            const QChar ch{char16_t(c)};
            if (ch.isSurrogate()) {
                flags[c] = kSurrogate;
                continue;
            }
            if (ch.script() == QChar::Script_Latin) {
                const char16_t f = ch.toCaseFolded().unicode();
                if (f != c) fold[c] = f;
            }
            const QChar::Category cat = ch.category();
            if (ch.combiningClass() != 0 || cat == QChar::Mark_NonSpacing ||
                cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing ||
                (c >= 0x1160 && c <= 0x11FF) || (c >= 0xD7B0 && c <= 0xD7FF))
                flags[c] |= kJoins;
            // Hangul syllables are composed already; every other character with a canonical
            // decomposition is asked once. One that composes to a single other character is
            // folded to it like a letter to its case: no copy of the book is needed for it.
            const bool syllable = c >= 0xAC00 && c <= 0xD7A3;
            if (!syllable && ch.decompositionTag() == QChar::Canonical) {
                const QString alone(ch);
                const QString composed = alone.normalized(QString::NormalizationForm_C);
                if (composed != alone && composed.size() == 1 && !composed[0].isSurrogate())
                    fold[c] = composed[0].unicode();
                else if (composed != alone)
                    flags[c] |= kChanges;
                // The second of a pair that composes joins what precedes it, even when it is a
                // base character of its own.
                const QString parts = ch.decomposition();
                if (parts.size() == 2 && parts.normalized(QString::NormalizationForm_C) == alone &&
                    !parts[1].isSurrogate())
                    flags[parts[1].unicode()] |= kJoins;
            }
        }
        // Composed first, then the case: a composed Latin letter folds as the letter does.
        for (int c = 0; c < 0x10000; ++c) {
            const char16_t f = fold[c];
            if (f != c && QChar(f).script() == QChar::Script_Latin) {
                const char16_t lower = QChar(f).toCaseFolded().unicode();
                if (lower != f) fold[c] = lower;
            }
        }
        for (int c = 0; c < 0x10000; ++c)
            if (fold[c] != c) flags[fold[c]] |= kFoldTarget;
    }
};

const Tables& tables() {
    static const std::unique_ptr<Tables> t = std::make_unique<Tables>();
    return *t;
}

bool isHigh(char16_t c) {
    return (c & 0xFC00) == 0xD800;
}
bool isLow(char16_t c) {
    return (c & 0xFC00) == 0xDC00;
}

// Whether the pair at s[i] (high, low) may change under composing.
bool astralMayChange(char32_t cp) {
    const QChar::Category cat = QChar::category(cp);
    return QChar::combiningClass(cp) != 0 || cat == QChar::Mark_NonSpacing ||
           cat == QChar::Mark_SpacingCombining || QChar::decompositionTag(cp) == QChar::Canonical;
}

char32_t pairAt(const char16_t* s, qsizetype i) {
    return QChar::surrogateToUcs4(s[i], s[i + 1]);
}

// Whether s[i] starts a pair that may change under composing.
bool pairMayChange(const char16_t* s, qsizetype n, qsizetype i) {
    return isHigh(s[i]) && i + 1 < n && isLow(s[i + 1]) && astralMayChange(pairAt(s, i));
}

// Whether s[j] belongs to the cluster of what precedes it.
bool joinsAt(const char16_t* s, qsizetype n, qsizetype j) {
    const uint8_t f = tables().flags[s[j]];
    if (f & kJoins) return true;
    if (isLow(s[j]) && j > 0 && isHigh(s[j - 1])) return true;  // the rest of a pair
    return (f & kSurrogate) && pairMayChange(s, n, j) && QChar::combiningClass(pairAt(s, j)) != 0;
}

// Whether composing changes the text in more than the fold table covers. Only the clusters
// around characters that may change are composed to see.
bool composingChanges(const QString& text) {
    const Tables& t = tables();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const uint8_t f = t.flags[s[i]];
        if (!(f & (kChanges | kJoins | kSurrogate))) continue;
        if (!(f & (kChanges | kJoins)) && !pairMayChange(s, n, i)) continue;
        qsizetype a = i, b = i + 1;
        while (a > 0 && joinsAt(s, n, a)) --a;
        while (b < n && joinsAt(s, n, b)) ++b;
        const QString cluster(reinterpret_cast<const QChar*>(s + a), b - a);
        // A variation selector after an emoji, a Thai vowel mark: composed as they stand.
        if (cluster.normalized(QString::NormalizationForm_C) != cluster) return true;
        i = b - 1;
    }
    return false;
}

QString folded(QString s) {
    const Tables& t = tables();
    for (QChar& c : s) c = QChar(t.fold[c.unicode()]);
    return s;
}

// Every match of needle in hay, compared through the fold table.
void search(const QString& hay, const QString& needle, std::vector<Match>& out) {
    const Tables& t = tables();
    const char16_t* s = reinterpret_cast<const char16_t*>(hay.utf16());
    const char16_t* w = reinterpret_cast<const char16_t*>(needle.utf16());
    const int n = int(hay.size()), m = int(needle.size());
    if (m == 0 || m > n) return;
    auto matchesAt = [&](int at) {
        for (int k = 0; k < m; ++k)
            if (t.fold[s[at + k]] != w[k]) return false;
        return true;
    };
    // A character nothing else folds to is looked for as itself, which Qt does fast.
    int anchor = -1;
    for (int k = 0; k < m; ++k)
        if (!(t.flags[w[k]] & kFoldTarget)) {
            anchor = k;
            break;
        }
    const QStringView view(hay);
    if (anchor >= 0) {
        const QChar a(w[anchor]);
        qsizetype at = view.indexOf(a, anchor);
        while (at >= 0) {
            const int start = int(at) - anchor;
            if (start + m <= n && matchesAt(start)) {
                out.push_back({start, start + m});
                at = view.indexOf(a, qsizetype(start) + m + anchor);
            } else {
                at = view.indexOf(a, at + 1);
            }
        }
        return;
    }
    const char16_t first = w[0];
    for (int i = 0; i + m <= n;) {
        if (t.fold[s[i]] == first && matchesAt(i)) {
            out.push_back({i, i + m});
            i += m;
        } else {
            ++i;
        }
    }
}

}  // namespace

QString needleOf(const QString& typed) {
    if (typed.contains(QLatin1Char('\n')) || typed.contains(QLatin1Char('\r'))) return QString();
    return folded(typed.normalized(QString::NormalizationForm_C));
}

BookText::BookText(const QString& text) : m_text(text) {
    m_useCopy = composingChanges(m_text);
    if (m_useCopy) buildCopy();
}

void BookText::buildCopy() {
    const Tables& t = tables();
    const char16_t* s = reinterpret_cast<const char16_t*>(m_text.utf16());
    const int n = int(m_text.size());
    m_copy.reserve(n);
    int i = 0;
    while (i < n) {
        // A cluster: a character and whatever joins it.
        int j = i + 1;
        while (j < n && joinsAt(s, n, j)) ++j;
        const uint8_t f = t.flags[s[i]];
        if (j == i + 1 && !(f & (kChanges | kJoins | kSurrogate))) {
            m_copy.append(QChar(t.fold[s[i]]));
            i = j;
            continue;
        }
        const QString composed =
            folded(QString(reinterpret_cast<const QChar*>(s + i), j - i)
                       .normalized(QString::NormalizationForm_C));
        if (composed.size() != j - i)
            m_runs.push_back({int(m_copy.size()), int(composed.size()), i, j - i});
        m_copy.append(composed);
        i = j;
    }
}

int BookText::toBook(int copyIndex, bool end) const {
    // The run holding the index, or the last one before it.
    auto it = end ? std::lower_bound(m_runs.begin(), m_runs.end(), copyIndex,
                                     [](const Run& r, int v) { return r.copyFrom < v; })
                  : std::upper_bound(m_runs.begin(), m_runs.end(), copyIndex,
                                     [](int v, const Run& r) { return v < r.copyFrom; });
    if (it == m_runs.begin()) return copyIndex;
    const Run& r = *(it - 1);
    if (copyIndex < r.copyFrom + r.copyLength) return end ? r.bookFrom + r.bookLength : r.bookFrom;
    return r.bookFrom + r.bookLength + (copyIndex - r.copyFrom - r.copyLength);
}

std::vector<Match> BookText::findAll(const QString& typed) const {
    std::vector<Match> out;
    const QString needle = needleOf(typed);
    if (needle.isEmpty()) return out;
    if (!m_useCopy) {
        search(m_text, needle, out);
        return out;
    }
    search(m_copy, needle, out);
    for (Match& match : out) {
        match.from = toBook(match.from, false);
        match.to = toBook(match.to, true);
    }
    return out;
}

std::vector<Match> findAll(const encodings::StoredText& book, const QString& typed) {
    constexpr qsizetype kFindSpan = qsizetype(1) << 19;
    std::vector<Match> out;
    if (needleOf(typed).isEmpty()) return out;
    const auto spans = book.spans(kFindSpan);
    std::vector<std::vector<Match>> found(spans.size());
    book.visitSpans(spans, [&](size_t i, const QString& text) {
        found[i] = BookText(text).findAll(typed);
        for (Match& m : found[i]) {
            m.from += int(spans[i].from);
            m.to += int(spans[i].from);
        }
    });
    for (const auto& part : found) out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::vector<Piece> piecesOnLines(const std::vector<Match>& matches, int current,
                                 const std::vector<int>& lineStarts) {
    std::vector<Piece> pieces;
    if (lineStarts.size() < 2) return pieces;
    const int pageFrom = lineStarts.front(), pageTo = lineStarts.back();
    // The first match that ends inside the run of lines.
    auto it = std::upper_bound(matches.begin(), matches.end(), pageFrom,
                               [](int v, const Match& m) { return v < m.to; });
    for (; it != matches.end() && it->from < pageTo; ++it) {
        const bool isCurrent = int(it - matches.begin()) == current;
        for (std::size_t line = 0; line + 1 < lineStarts.size(); ++line) {
            const int from = std::max(it->from, lineStarts[line]);
            const int to = std::min(it->to, lineStarts[line + 1]);
            if (from < to)
                pieces.push_back({int(line), from - lineStarts[line], to - lineStarts[line],
                                  isCurrent});
        }
    }
    return pieces;
}

int firstFrom(const std::vector<Match>& matches, int from) {
    return int(std::lower_bound(matches.begin(), matches.end(), from,
                                [](const Match& m, int v) { return m.from < v; }) -
               matches.begin());
}

}  // namespace textfind

#include "find/Chapters.h"

#include <QRegularExpression>
#include <algorithm>

#include "encodings/AnsiUnits.h"

namespace chapters {

namespace {

// Numbers as headings write them: digits (also full-width), Korean numerals as they are
// spoken ("십이", "이백삼십일"), or Chinese ones.
#define DIGITS "[0-9０-９]{1,4}"
#define KOREAN "(?:[이삼사오육칠팔구]?천)?(?:[이삼사오육칠팔구]?백)?(?:[이삼사오육칠팔구]?십)?[일이삼사오육칠팔구]?"
// A Korean numeral of one syllable at least, and one of two at least: "일화" is a word, so a
// numeral with no "제" before it needs two syllables ("십이화").
#define KOREAN1 "(?=[일이삼사오육칠팔구십백천])" KOREAN
#define KOREAN2 "(?=[일이삼사오육칠팔구십백천]{2})" KOREAN
#define UNIT "[화장권부편회막절]"

// The heading patterns: what a heading line starts with. The rest of the line is a title
// after a blank or a separator, or nothing; a bracketed heading ("< 12화 >", "【12화】") is
// any of these between brackets.
const char* const kPatterns[] = {
    // 제 12 화, 제3장, 제 일 권, 제십이화
    "제\\s*(?:" DIGITS "|" KOREAN1 ")\\s*" UNIT,
    // 12화, 1권, 3 부, 십이화
    "(?:" DIGITS "|" KOREAN2 ")\\s*" UNIT,
    // 프롤로그, 에필로그, 외전 3, 번외편 2, 작가의 말
    "(?:프롤로그|에필로그|서장|종장|서막|막간|외전|번외편?|특별편|후기|작가\\s*후기|작가의\\s*말)"
    "(?:\\s*(?:" DIGITS "|" KOREAN1 ")\\s*[화편장]?)?",
    // Prologue, Epilogue
    "(?i:prologue|epilogue)",
    // Chapter 12, Part II
    "(?i:chapter|part)\\s*(?:" DIGITS "|(?i:[ivxlc]{1,6})(?![A-Za-z]))",
    // Ch.3, Episode 4, EP 12
    "(?i:ch\\.?|episode|ep\\.?)\\s*" DIGITS,
    // #12
    "#\\s*" DIGITS,
    // 第12章, 第三話
    "第\\s*[0-9０-９一二三四五六七八九十百千零〇]{1,6}\\s*[章話话回卷部]",
};

// What may follow a heading on its line: a separator or a bracket, then anything; or a blank,
// then a title.
#define TAIL "(?<tail>(?:\\s|[-–—:：.·|~_/(\\[<〈《【「『]).*)?"
#define OPEN "[<〈《【\\[「『(＜]"
#define CLOSE "[>〉》】\\]」』)＞]"

const QRegularExpression& headingPattern() {
    static const QRegularExpression pattern = [] {
        QString cores;
        for (const char* p : kPatterns) {
            if (!cores.isEmpty()) cores += QLatin1Char('|');
            cores += QStringLiteral("(?:") + QString::fromUtf8(p) + QLatin1Char(')');
        }
        const QString any = QStringLiteral("(?:") + cores + QLatin1Char(')');
        // Inside brackets a heading may carry its title too: "【12화 - 귀환】".
        const QString bracketed = QStringLiteral(OPEN "\\s*") + any +
                                  QStringLiteral("(?:(?:\\s|[-–—:：.·|~])[^>〉》】\\]」』)＞]*)?\\s*" CLOSE);
        QRegularExpression re(QStringLiteral("^(?:") + bracketed + QLatin1Char('|') + any +
                                  QStringLiteral(")" TAIL "$"),
                              QRegularExpression::UseUnicodePropertiesOption);
        re.optimize();
        return re;
    }();
    return pattern;
}

// What a heading line can start with; anything else is not asked of the pattern.
bool mayStartHeading(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= '0' && u <= '9') || (u >= 0xFF10 && u <= 0xFF19)) return true;
    static const QString starts = QStringLiteral(
        "제일이삼사오육칠팔구십백천프에서종막외번특후작pPeEcC#第<〈《【[「『(＜");
    return starts.contains(c);
}

// Whether a title after a heading reads as the rest of a sentence: "1권 샀어." is no heading.
bool sentenceTail(QStringView tail) {
    tail = tail.trimmed();
    if (tail.size() <= 1) return false;  // "12화." or a lone separator
    const QChar last = tail.back();
    if (last == QLatin1Char('.') || last == QLatin1Char(',') || last == QChar(0x3002)) return true;
    // A title after a bare blank that ends the way a spoken sentence does ("3화 봤어?").
    if (!tail.isEmpty() && tail.front().isLetterOrNumber()) {
        QStringView body = tail;
        while (!body.isEmpty() && QStringLiteral("?!~…").contains(body.back())) body.chop(1);
        static const QString endings = QStringLiteral("다요죠까네어야지라");
        if (body.size() > 1 && endings.contains(body.back())) return true;
    }
    return false;
}

// CP949 bytes of a line (see AnsiUnits.h), in a loop the compiler can widen; a line with a
// surrogate is counted the careful way.
int64_t bytesOf(const char16_t* s, qsizetype n) {
    int64_t wide = 0, low = 0;
    for (qsizetype i = 0; i < n; ++i) {
        wide += s[i] >= 0x80;
        low += (s[i] & 0xFC00) == 0xDC00;
    }
    return low == 0 ? n + wide : encodings::ansi::length(s, n);
}

bool isBlank(QStringView line) {
    for (QChar c : line)
        if (!c.isSpace()) return false;
    return true;
}

}  // namespace

bool isHeading(QStringView line) {
    line = line.trimmed();
    if (line.isEmpty() || line.size() > kMaxHeadingLength || !mayStartHeading(line.front()))
        return false;
    const QRegularExpressionMatch m = headingPattern().match(line);
    if (!m.hasMatch()) return false;
    return !sentenceTail(m.capturedView(u"tail"));
}

namespace {

// The headings of text, whole lines from CP949 position `bytes` on, into headings; standsAlone
// says whether the line before it leaves its first line standing alone, and is left saying so
// of the line after it. The empty line after a last line break is looked at only at the end.
void headingsIn(const QString& text, int64_t bytes, bool atEnd, bool* standsAloneAcross,
                std::vector<Heading>& headings) {
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    bool standsAlone = *standsAloneAcross;
    qsizetype start = 0;
    while (start < n || (start == n && atEnd)) {
        // The line's end: LF found fast, then a lone CR before it.
        const QStringView rest(s + start, n - start);
        qsizetype end = rest.indexOf(u'\n');
        end = end < 0 ? n : start + end;
        const qsizetype cr = QStringView(s + start, end - start).indexOf(u'\r');
        if (cr >= 0) end = start + cr;
        const int64_t lineBytes = bytesOf(s + start, end - start);
        const QStringView line(s + start, end - start);
        bool heading = false;
        const bool blank = isBlank(line);
        if (!blank && standsAlone && isHeading(line)) {
            if (bytes > INT32_MAX) break;
            headings.push_back({int32_t(bytes), line.trimmed().toString()});
            heading = true;
        }
        // After a blank line, and right under a heading ("1권" over "1화").
        standsAlone = blank || heading;
        if (end >= n) break;
        const qsizetype next = end + (s[end] == u'\r' && end + 1 < n && s[end + 1] == u'\n' ? 2 : 1);
        bytes += lineBytes + (next - end);
        start = next;
    }
    *standsAloneAcross = standsAlone;
}

// A book is scanned this many characters at a time.
constexpr qsizetype kScanSpan = qsizetype(1) << 19;

// Whether the first line of text would be a heading if it stood alone.
bool firstLineMayBeHeading(const QString& text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
    const QStringView line = QStringView(text).left(end);
    return !isBlank(line) && isHeading(line);
}

// The headings of one span of a book, and whether the line after it stands alone.
struct SpanHeadings {
    std::vector<Heading> headings;
    bool standsAlone = false;
    bool firstMayBeHeading = false;
};

}  // namespace

std::vector<Heading> findHeadings(const QString& text) {
    std::vector<Heading> headings;
    bool standsAlone = true;  // the start of the text
    headingsIn(text, 0, true, &standsAlone, headings);
    return headings;
}

std::vector<Heading> findHeadings(const encodings::StoredText& book) {
    // The spans are scanned side by side, each as if a line of text came before it; the few
    // whose first line may be a heading and does stand alone are scanned again after.
    const auto spans = book.spans(kScanSpan);
    std::vector<SpanHeadings> parts(spans.size());
    const auto scan = [&](size_t i, const QString& text, bool standsAlone) {
        SpanHeadings& part = parts[i];
        part.headings.clear();
        part.standsAlone = standsAlone;
        headingsIn(text, spans[i].byte, i + 1 == spans.size(), &part.standsAlone, part.headings);
    };
    book.visitSpans(spans, [&](size_t i, const QString& text) {
        parts[i].firstMayBeHeading = firstLineMayBeHeading(text);
        scan(i, text, i == 0);
    });
    std::vector<Heading> headings;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && parts[i - 1].standsAlone && parts[i].firstMayBeHeading)
            scan(i, book.textOf(spans[i]), true);
        headings.insert(headings.end(), parts[i].headings.begin(), parts[i].headings.end());
    }
    return headings;
}

int headingOnScreen(const std::vector<Heading>& headings, int64_t to) {
    if (headings.empty()) return -1;
    const auto it = std::lower_bound(headings.begin(), headings.end(), to,
                                     [](const Heading& h, int64_t v) { return h.position < v; });
    return it == headings.begin() ? 0 : int(it - headings.begin()) - 1;
}

}  // namespace chapters

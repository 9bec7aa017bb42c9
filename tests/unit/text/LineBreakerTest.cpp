// The line breaker on small texts: where lines end, wrap and start, in CP949 byte units.

#include <gtest/gtest.h>
#include <QStringList>
#include <climits>
#include <functional>
#include <utility>
#include <vector>

#include "TextTestUtil.h"
#include "pages/Mo_TxtPublic.h"
#include "textbox/TextBox.h"

namespace {

using textbox::LineBreaker;
using texttest::pageFont;
using texttest::widthFor;

// The text of each line, break characters and hanging blanks included.
QStringList linesOf(const LineBreaker& lb) {
    QStringList lines;
    for (int l = 0; l < lb.lineCount(); ++l) {
        const int from = lb.charIndexOfLine(l);
        const int to = l + 1 < lb.lineCount() ? lb.charIndexOfLine(l + 1) : lb.text().size();
        lines << lb.text().mid(from, to - from);
    }
    return lines;
}

struct WrapCase {
    const char* name;
    QString text;
    QString fits;  // the box is just wide enough for this
    QStringList lines;
};

void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.name;
}

class Wrap : public ::testing::TestWithParam<WrapCase> {};

// Lines as expected, and the three ways to name a position agree with each other and with MidAnsi.
TEST_P(Wrap, BreaksWhereExpectedAndPositionsAgree) {
    const WrapCase& c = GetParam();
    LineBreaker lb;
    lb.setFont(pageFont());
    lb.setWidth(c.fits.isEmpty() ? 0 : widthFor(c.fits));
    lb.setText(c.text);
    EXPECT_EQ(linesOf(lb), c.lines);
    const int count = lb.lineCount();
    const int total = int(Mo_TxtPublic::LenAnsi(c.text));
    ASSERT_GE(count, 1);
    EXPECT_EQ(lb.lineIndex(0), 0);
    EXPECT_EQ(lb.lineIndex(count), -1);
    EXPECT_EQ(lb.lineIndex(-1), -1);
    EXPECT_EQ(lb.charIndexOfLine(count), -1);
    for (int l = 0; l < count; ++l) {
        const int start = lb.lineIndex(l);
        const int next = l + 1 < count ? lb.lineIndex(l + 1) : total;
        EXPECT_EQ(start, Mo_TxtPublic::LenAnsi(c.text.left(lb.charIndexOfLine(l)))) << l;
        EXPECT_EQ(lb.charIndexOfOffset(start), lb.charIndexOfLine(l)) << l;
        EXPECT_EQ(Mo_TxtPublic::MidAnsi(c.text, start + 1, next - start), linesOf(lb).at(l)) << l;
        if (l + 1 < count) {
            EXPECT_LT(start, next) << "line " << l << " is empty but not last";
        }
        for (int b = start; b < next; ++b) EXPECT_EQ(lb.lineFromChar(b), l) << "byte " << b;
    }
    EXPECT_EQ(lb.lineFromChar(total), count - 1);
    EXPECT_EQ(lb.lineFromChar(total + 10), count - 1);
    EXPECT_EQ(lb.lineFromChar(-5), 0);
    EXPECT_EQ(lb.charIndexOfOffset(total + 10), c.text.size());
}

const QString kWide = QStringLiteral("가나다라마바사아자차카타파하가나다라마바사아자차카타파하");
// An old-orthography syllable as conjoining jamo: initial, vowel and final, each with an advance.
const QString kJamo = QStringLiteral("\u1100\u1161\u11A8");
const QString kEmoji = QStringLiteral("😀");

INSTANTIATE_TEST_SUITE_P(
    Cases, Wrap,
    ::testing::Values(
        WrapCase{"Empty", "", kWide, {""}},
        WrapCase{
            "HangulWrapsOnEvenOffsets", "가나다라마바사", "가나다", {"가나다", "라마바", "사"}},
        WrapCase{"CrLfAtTheEndAddsAnEmptyLine", "가나\r\n", kWide, {"가나\r\n", ""}},
        WrapCase{
            "LoneLfAndLoneCr", "a\nb\rc\r\n\r\nd", kWide, {"a\n", "b\r", "c\r\n", "\r\n", "d"}},
        WrapCase{"CrThenCrLf", "\r\r\n", kWide, {"\r", "\r\n", ""}},
        WrapCase{"LfOnly", "\n", kWide, {"\n", ""}},
        WrapCase{"KoreanWordStaysWhole", "가나다 라마바사", "가나다 라마", {"가나다 ", "라마바사"}},
        WrapCase{
            "HanjaInParenthesesStayWithTheWord", "다 가나(漢)", "다 가나(漢", {"다 ", "가나(漢)"}},
        WrapCase{"OverlongWordBreaksBetweenCharacters",
                 "가 나다라마바",
                 "가나다",
                 {"가 ", "나다라", "마바"}},
        WrapCase{"OverlongLatinWord", "abcdefghij", "abcd", {"abcd", "efgh", "ij"}},
        WrapCase{"BlanksHangAtTheWrap", "가나다   라마", "가나다", {"가나다   ", "라마"}},
        WrapCase{"HangingBlanksThenBreak", "가나다   \r\n라", "가나다", {"가나다   \r\n", "라"}},
        WrapCase{"IndentIsKept", "  가나", "  가나", {"  가나"}},
        WrapCase{
            "IdeographsBreakBetweenCharacters", "漢字漢字漢字", "漢字漢字", {"漢字漢字", "漢字"}},
        WrapCase{"ClosingPunctuationNeverStartsALine", "漢字漢。", "漢字漢", {"漢字", "漢。"}},
        WrapCase{"SurrogatePairsStayWhole",
                 kEmoji + kEmoji + kEmoji,
                 kEmoji + "a",
                 {kEmoji, kEmoji, kEmoji}},
        WrapCase{"JamoStayWithTheirInitial", kJamo + kJamo, "\u1100", {kJamo, kJamo}},
        WrapCase{"TabIsFourSpaces", "a\tb", "a    b", {"a\tb"}},
        WrapCase{"TabWiderThanThreeSpaces", "a\tb", "a   b", {"a\t", "b"}},
        WrapCase{"TinyWidthStillTerminates", "가나 ab\r\n", "", {"가", "나 ", "a", "b\r\n", ""}},
        WrapCase{"CharacterWiderThanTheBox", "가나", "a", {"가", "나"}},
        WrapCase{"WideBlankHangsAndCountsTwo",
                 "가나\u3000다라 마",
                 "가나\u3000다",
                 {"가나\u3000", "다라 마"}},
        WrapCase{
            "HangulAfterAnIdeographMayStartALine", "漢字가나다", "漢字가나", {"漢字", "가나다"}},
        WrapCase{"PunctuationEndsAWord", "가나. 다라, 마", "가나. 다라", {"가나. ", "다라, 마"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A book is wrapped in parts on two threads, cut after line breaks. Whatever the text and wherever
// the cuts fall (or none can), the lines are those of one piece: counted, started and found again
// the same. The font is one no table has measured yet, so the second thread asks the first for
// every advance it needs.
struct PartsCase {
    const char* name;
    std::function<QString()> text;  // a null text: the test data is absent
    int width;
};

void PrintTo(const PartsCase& c, std::ostream* os) {
    *os << c.name;
}

class Parts : public ::testing::TestWithParam<PartsCase> {};

QString repeated(const QString& s, int times) {
    QString r;
    for (int i = 0; i < times; ++i) r += s;
    return r;
}

QString allWorks(int times) {
    QString all;
    for (const char* book : texttest::kBooks) {
        const QByteArray bytes = texttest::readBytes(QLatin1String(book));
        if (bytes.isEmpty()) return QString();
        all += QString::fromUtf8(bytes);
    }
    return repeated(all, times);
}

// The first line at which two breakers part, or -1 when every line agrees.
int firstDifference(const LineBreaker& a, const LineBreaker& b) {
    const int count = std::min(a.lineCount(), b.lineCount());
    for (int l = 0; l < count; ++l)
        if (a.lineIndex(l) != b.lineIndex(l) || a.charIndexOfLine(l) != b.charIndexOfLine(l))
            return l;
    return a.lineCount() == b.lineCount() ? -1 : count;
}

TEST_P(Parts, BreakAsOnePieceDoes) {
    const PartsCase& c = GetParam();
    const QString text = c.text();
    if (text.isNull()) GTEST_SKIP() << "test data absent: " << qPrintable(texttest::dataDir());
    static int points = 30;  // a size of its own for every case: nothing is measured before
    const QFont font = pageFont(points++);
    LineBreaker two, one;
    two.setTwoThreadsFrom(0);
    one.setTwoThreadsFrom(LLONG_MAX);
    for (LineBreaker* lb : {&two, &one}) {
        lb->setFont(font);
        lb->setWidth(c.width);
        lb->setText(text);
        lb->lineCount();  // in parts first: they meet the font unmeasured
    }
    ASSERT_EQ(firstDifference(two, one), -1)
        << two.lineCount() << " lines in parts, " << one.lineCount() << " in one piece";
    // Each start is found again from its own byte and the byte before it.
    for (int l = 1; l < two.lineCount(); ++l) {
        ASSERT_EQ(two.lineFromChar(two.lineIndex(l)), l);
        ASSERT_EQ(two.lineFromChar(two.lineIndex(l) - 1), l - 1);
    }
}

// a + CR LF + a has the LF at its middle, where a cut is looked for; with one character more, the
// CR.
const QString kPlain = repeated(QStringLiteral("가나다 라마바사 아자 "), 300);

INSTANTIATE_TEST_SUITE_P(
    Cases, Parts,
    ::testing::Values(
        PartsCase{"UnsuJoeunNal",
                  [] { return QString::fromUtf8(texttest::readBytes("unsu_joeun_nal.utf8.txt")); },
                  700},
        PartsCase{"Nalgae",
                  [] { return QString::fromUtf8(texttest::readBytes("nalgae.utf8.txt")); }, 700},
        PartsCase{"AllWorks", [] { return allWorks(1); }, 900},
        // More lines than a block of line starts holds, on both sides of the cut.
        PartsCase{"AllWorksTwiceACharacterALine", [] { return allWorks(2); }, 0},
        PartsCase{"CutFallsInALongLineWithoutBreaks",
                  [] { return "머리말\r\n" + repeated("가나다라", 3000) + "\r\n끝"; }, 300},
        PartsCase{"OnlyBreakNearTheStart", [] { return "머\n" + repeated("가나 다라 ", 2000); },
                  300},
        PartsCase{"OnlyBreakAtTheEnd", [] { return repeated("가나 다라 ", 2000) + "\r\n"; }, 300},
        PartsCase{"NoBreakAtAll", [] { return repeated("가나 다라 ", 2000); }, 300},
        PartsCase{"LfOfCrLfAtTheMiddle", [] { return kPlain + "\r\n" + kPlain; }, 250},
        PartsCase{"CrOfCrLfAtTheMiddle", [] { return kPlain + "x\r\n" + kPlain; }, 250},
        PartsCase{"LoneCrAtTheMiddle", [] { return kPlain + "\r" + kPlain; }, 250},
        PartsCase{
            "OnlyBreaks",
            [] { return repeated("\r\n", 3000) + repeated("\n", 2000) + repeated("\r", 2000); },
            100},
        PartsCase{"PairsMarksBlanksAndIdeographs",
                  [] {
                      return repeated(kEmoji + kJamo + "     " + "漢字漢字。" + kEmoji + "\r\n" +
                                          kJamo + kJamo + "\r",
                                      700);
                  },
                  60}),
    [](const auto& info) { return std::string(info.param.name); });

// The layout box switches fonts back and forth; each switch must re-wrap in that font.
TEST(LineBreaker, SwitchingFontsGivesTheSameLinesAsAFreshBreaker) {
    QString text;
    for (int i = 0; i < 200; ++i) text += QStringLiteral("그는 손을 들어 이마를 짚었다. Hello, ");
    LineBreaker lb;
    lb.setWidth(300);
    lb.setText(text);
    auto fresh = [&](int points) {
        LineBreaker other;
        other.setFont(pageFont(points));
        other.setWidth(300);
        other.setText(text);
        return linesOf(other);
    };
    const QStringList at12 = fresh(12), at20 = fresh(20);
    ASSERT_NE(at12, at20);
    for (int round = 0; round < 3; ++round) {
        lb.setFont(pageFont(12));
        EXPECT_EQ(linesOf(lb), at12);
        lb.setFont(pageFont(20));
        EXPECT_EQ(linesOf(lb), at20);
    }
}

TEST(TextBox, AnswersTheEditMessagesAtItsOwnWidthAndFont) {
    using namespace textbox;
    TextBox box;
    box.setFont(pageFont());
    box.resize(widthFor("가나다"), 100);
    box.setText(QStringLiteral("가나다라마바사"));
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.SendMessageA(EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(box.SendMessageA(EM_LINEINDEX, 1, 0), 6);
    EXPECT_EQ(box.SendMessageA(EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(box.SendMessageA(EM_LINEFROMCHAR, 7, 0), 1);
    EXPECT_EQ(box.SendMessageA(0x000C, 0, 0), 0);  // a message the box does not answer
    box.setSelStart(13);
    EXPECT_EQ(box.SendMessageA(EM_LINEFROMCHAR, -1, 0), 2);
    EXPECT_EQ(box.SendMessageA(EM_LINEINDEX, -1, 0), 12);

    // Twice the width: the box re-wraps although, hidden, it gets no resize event yet.
    box.resize(widthFor("가나다라마바"), 100);
    EXPECT_EQ(box.lineCount(), 2);
    EXPECT_EQ(box.charIndexOfLine(1), 6);
    // Twice the size: half as many characters fit.
    QFont big = pageFont(24);
    box.setFont(big);
    EXPECT_EQ(box.lineCount(), 3);
    EXPECT_EQ(box.charIndexOfOffset(box.lineIndex(1) + 1), box.charIndexOfLine(1));
}

// Lines of more than 64 Ki characters or CP949 bytes among short ones, wrapped in one piece and in
// parts: every start is where its line break puts it, and is found again from its byte.
TEST(LineBreaker, LinesLongerThan64KiKeepTheirStarts) {
    QString text;
    std::vector<std::pair<int, int>> starts{{0, 0}};  // index, byte
    for (int i = 0; i < 60; ++i) {
        const QString line = i % 7 == 3   ? QString(70000 + i, QLatin1Char('a'))
                             : i % 7 == 5 ? QString(40000, QChar(0xAC00))  // 80,000 bytes
                                          : QString(5 + i % 11, QChar(0xAC00));
        text += line + QLatin1Char('\n');
        const int bytes = line[0] == QLatin1Char('a') ? line.size() : 2 * line.size();
        starts.emplace_back(starts.back().first + line.size() + 1,
                            starts.back().second + bytes + 1);
    }
    for (const qsizetype twoFrom : {qsizetype(0), qsizetype(LLONG_MAX)}) {
        LineBreaker lb;
        lb.setTwoThreadsFrom(twoFrom);
        lb.setFont(pageFont());
        lb.setWidth(1 << 22);
        lb.setText(text);
        ASSERT_EQ(lb.lineCount(), int(starts.size()));
        for (int l = 0; l < lb.lineCount(); ++l) {
            ASSERT_EQ(lb.charIndexOfLine(l), starts[l].first) << l;
            ASSERT_EQ(lb.lineIndex(l), starts[l].second) << l;
            ASSERT_EQ(lb.lineFromChar(starts[l].second), l);
            if (l > 0) {
                ASSERT_EQ(lb.lineFromChar(starts[l].second - 1), l - 1);
            }
        }
    }
}

}  // namespace

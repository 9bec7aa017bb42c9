// Finding in the book and its heading lines: matches compared in normal form C and without
// Latin case, within paragraphs, the same in every encoding of a book; the parts of a match on
// the lines the wrap made; the heading table on true and false headings.

#include <gtest/gtest.h>

#include "TextTestUtil.h"
#include "encodings/StoredText.h"
#include "find/Chapters.h"
#include "find/TextFind.h"
#include "pages/Mo_TxtPublic.h"
#include "textbox/LineBreaker.h"

namespace {

using textfind::BookText;
using textfind::Match;

std::vector<std::pair<int, int>> spans(const std::vector<Match>& matches) {
    std::vector<std::pair<int, int>> out;
    for (const Match& m : matches) out.emplace_back(m.from, m.to);
    return out;
}

TEST(Find, MatchesInNormalFormCWithoutLatinCaseWithinParagraphs) {
    // 한 and 글 decomposed into their jamo, as some Mac-made files hold them.
    const QString nfd = QString::fromUtf16(u"\u1112\u1161\u11AB\u1100\u1173\u11AF");
    const struct {
        const char* what;
        QString text, typed;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        {"Latin case", "Apple apple APPLE", "aPPle", {{0, 5}, {6, 11}, {12, 17}}},
        {"decomposed book, composed word", "가 " + nfd + "!", "한글", {{2, 8}}},
        {"composed book, decomposed word", QStringLiteral("가 한글!"), nfd, {{2, 4}}},
        {"accent and case", QString::fromUtf16(u"x Cafe\u0301 y"), QString::fromUtf16(u"CAFÉ"),
         {{2, 7}}},
        {"after a decomposed run", nfd + " AB ab", "ab", {{7, 9}, {10, 12}}},
        {"a compatibility ideograph", QString::fromUtf16(u"\uF900 \u8C48"),
         QString::fromUtf16(u"\u8C48"), {{0, 1}, {2, 3}}},
        {"a syllable is no part of another", QStringLiteral("하늘 한 하"), "하", {{0, 1}, {5, 6}}},
        {"none overlaps", "aaaaa", "aa", {{0, 2}, {2, 4}}},
        {"a wrapped line is one line", QStringLiteral("긴 낱말이 이어진다"),
         QStringLiteral("낱말이 이어"), {{2, 8}}},
        {"never across CR LF", QStringLiteral("사랑\r\n해"), QStringLiteral("사랑해"), {}},
        {"never across a lone LF", QStringLiteral("사랑\n해"), QStringLiteral("사랑 해"), {}},
        {"a typed line break finds nothing", QStringLiteral("사랑\n해"),
         QStringLiteral("사랑\n해"), {}},
        {"nothing typed", "abc", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(spans(BookText(c.text).findAll(c.typed)), c.expected);
    }
    // Composed books and marks that compose to nothing else are read in place.
    EXPECT_FALSE(BookText(QString::fromUtf16(u"\u2764\uFE0F 사랑 \uF900 Café")).composedCopy());
    EXPECT_TRUE(BookText(nfd).composedCopy());
}

TEST(Find, EveryEncodingOfABookGivesTheSameMatches) {
    SKIP_WITHOUT_TEXTS();
    const struct {
        const char* word;
        std::vector<const char*> copies;
    } books[] = {
        {"점순이",
         {"dongbaekkkot.utf8.txt", "dongbaekkkot.utf8-bom.txt", "dongbaekkkot.cp949.txt",
          "dongbaekkkot.utf16le-bom.txt"}},
        {"아내", {"nalgae.utf8.txt", "nalgae.cp949.txt", "nalgae.utf16le-bom.txt"}},
        {"문 서방", {"hongyeom.utf8.txt", "hongyeom.cp949-original.txt"}},
    };
    for (const auto& book : books) {
        const auto first =
            spans(BookText(encodings::StoredText::read(texttest::dataDir() + "/" + book.copies[0])
                               .text.toString())
                      .findAll(QString::fromUtf8(book.word)));
        EXPECT_GT(first.size(), 5u) << book.copies[0];
        for (const char* copy : book.copies) {
            EXPECT_EQ(spans(BookText(encodings::StoredText::read(texttest::dataDir() + "/" + copy)
                                         .text.toString())
                                .findAll(QString::fromUtf8(book.word))),
                      first)
                << copy;
        }
    }
}

TEST(Find, AWordWrappedOverTwoLinesIsMarkedOnBoth) {
    // A word wider than the line breaks between its characters.
    const QString word = QStringLiteral("가나다라마바사아자차카타파하");
    const QString text = QStringLiteral("앞\r\n") + word + QStringLiteral("\r\n뒤 ") + word.left(3);
    textbox::LineBreaker lines;
    lines.setFont(texttest::pageFont());
    lines.setWidth(texttest::widthFor(word.left(8)));
    lines.setText(text);
    ASSERT_EQ(lines.lineCount(), 4);
    std::vector<int> starts;
    for (int i = 0; i < lines.lineCount(); ++i) starts.push_back(lines.charIndexOfLine(i));
    starts.push_back(int(text.size()));
    const std::vector<Match> found = BookText(text).findAll(word.mid(6, 4));  // 사아 | 자차
    ASSERT_EQ(spans(found), (std::vector<std::pair<int, int>>{{9, 13}}));
    const auto pieces = textfind::piecesOnLines(found, 0, starts);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].line, 1);
    EXPECT_EQ(pieces[0].from, 6);
    EXPECT_EQ(pieces[0].to, 8);
    EXPECT_EQ(pieces[1].line, 2);
    EXPECT_EQ(pieces[1].from, 0);
    EXPECT_EQ(pieces[1].to, 2);
    EXPECT_TRUE(pieces[0].current && pieces[1].current);
    // Only the lines asked for: a page of the last two lines holds the second part and the
    // match at the end, which is not the one stepped to.
    const auto last = textfind::piecesOnLines(BookText(text).findAll(word.left(3)), 0,
                                              {starts[2], starts[3], starts[4]});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].line, 1);
    EXPECT_EQ(last[0].from, 2);
    EXPECT_FALSE(last[0].current);
    EXPECT_EQ(textfind::firstFrom(found, 9), 0);
    EXPECT_EQ(textfind::firstFrom(found, 10), 1);
}

TEST(Chapters, TheHeadingTableOnTrueAndFalseHeadings) {
    const char* const headings[] = {
        "제 12 화", "제12화", "제3장", "  제 일 장  ", "제십이화", "12화", "１２화", "12 화",
        "1권", "2부", "십이화", "이십삼화", "프롤로그", "에필로그", "외전 3", "외전", "번외편 2",
        "작가의 말", "< 12화 >", "<12화>", "【12화】", "【12화 - 귀환】", "[제 3 장] 폭풍", "#12",
        "# 12", "Chapter 12", "CHAPTER 3: The Gate", "chapter IV", "Ep.12", "Prologue",
        "12화 - 각성", "12화. 운명의 시작", "12화 운명의 시작", "제 12 화 돌아온 그", "12화(1)",
        "第三章", "第12話",
    };
    for (const char* line : headings)
        EXPECT_TRUE(chapters::isHeading(QString::fromUtf8(line))) << line;
    const char* const notHeadings[] = {
        "3화를 봤어", "“3화 봤어?”", "\"12화 나왔대\"", "3화 봤어?", "1권 샀어.", "3장 남았다",
        "일화", "사장", "이사장", "사장님이 왔다", "12화를 다 읽었다.", "12", "1. 빼허의 조선인 촌락",
        "제일 좋아", "Chapters are long", "epilogues", "#hashtag", "<끝>", "12화에서",
        "프롤로그가 너무 길다.", "2020년 3월", "",
        "제 12 화 아주 아주 긴 제목이 이어지고 또 이어져서 제목이라고 보기 어려운 줄",
    };
    for (const char* line : notHeadings)
        EXPECT_FALSE(chapters::isHeading(QString::fromUtf8(line))) << line;
}

TEST(Chapters, HeadingsStandAloneAndAreTextPositions) {
    const QString text = QStringLiteral(
        "1권\r\n"            // the start of the text
        "프롤로그\r\n"       // right under a heading
        "본문 첫 줄 \U0001F600.\r\n"  // a pair counts two bytes
        "12화\r\n"           // inside a paragraph: not a heading
        "\r\n"
        "  제 2 화  \r\n"     // after a blank line, blanks around it
        "그리고 a.\n"
        "\n"
        "【3화】\r"          // a lone CR ends a line too
        "끝.");
    const std::vector<chapters::Heading> found = chapters::findHeadings(text);
    ASSERT_EQ(found.size(), 4u);
    const QStringList titles = {"1권", "프롤로그", "제 2 화", "【3화】"};
    const QStringList lines = {"1권", "프롤로그", "  제 2 화", "【3화】"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(found[size_t(i)].title, titles[i]);
        // The CP949 offset of the heading line's first character.
        const qsizetype at = text.indexOf(lines[i]);
        EXPECT_EQ(found[size_t(i)].position, int32_t(Mo_TxtPublic::LenAnsi(text.left(at))))
            << qPrintable(titles[i]);
    }
    EXPECT_TRUE(chapters::findHeadings(QStringLiteral("본문만 있다.\r\n\r\n3화를 봤어\r\n")).empty());
    // The chapter of a spread that ends before a byte: the last heading starting before it.
    EXPECT_EQ(chapters::headingOnScreen(found, 0), 0);
    EXPECT_EQ(chapters::headingOnScreen(found, found[2].position), 1);
    EXPECT_EQ(chapters::headingOnScreen(found, found[2].position + 1), 2);
    EXPECT_EQ(chapters::headingOnScreen(found, INT64_MAX), 3);
    EXPECT_EQ(chapters::headingOnScreen({}, 100), -1);
}

TEST(Chapters, RealBooksWithoutHeadingsShowNone) {
    SKIP_WITHOUT_TEXTS();
    // Short stories: titles, author lines, a table of contents, dialogue, "<끝>" - no chapter.
    for (const char* book : texttest::kBooks) {
        const auto found = chapters::findHeadings(
            encodings::StoredText::read(texttest::dataDir() + "/" + book).text);
        EXPECT_TRUE(found.empty()) << book << ": " << (found.empty() ? "" : qPrintable(found[0].title));
    }
}

}  // namespace

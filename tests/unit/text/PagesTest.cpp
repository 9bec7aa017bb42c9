// The two boxes on whole real books: a page's text, cut by the layout box's line starts, breaks
// the same way again in the line box; every line fits; Korean words stay whole.

#include <gtest/gtest.h>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <algorithm>

#include "TextTestUtil.h"
#include "pages/Mo_TxtPublic.h"
#include "textbox/LineBreaker.h"

namespace {

using Mo_TxtPublic::LenAnsi;
using Mo_TxtPublic::MidAnsi;
using textbox::LineBreaker;

constexpr int kWidth = 300;
constexpr int kLinesPerPage = 20;

struct Book {
    QString text;
    LineBreaker layout;
};

void open(Book& book, const char* file) {
    book.text = QString::fromUtf8(texttest::readBytes(file));
    book.layout.setFont(texttest::pageFont());
    book.layout.setWidth(kWidth);
    book.layout.setText(book.text);
}

// The page text as the reader cuts it: from the page's first line start to the next page's, the
// last page to the end, followed by a line break.
QString pageText(const Book& book, int page, int* start) {
    const int first = (page - 1) * kLinesPerPage;
    *start = book.layout.lineIndex(first);
    double length;
    if (book.layout.lineCount() < first + kLinesPerPage + 1)
        length = LenAnsi(book.text) - *start;
    else
        length = book.layout.lineIndex(page * kLinesPerPage) - *start;
    return MidAnsi(book.text, *start + 1, length) + QStringLiteral("\r\n");
}

QString lineText(const LineBreaker& lb, int line) {
    const int from = lb.charIndexOfLine(line);
    const int to = line + 1 < lb.lineCount() ? lb.charIndexOfLine(line + 1) : lb.text().size();
    return lb.text().mid(from, to - from);
}

bool isHangul(QChar c) {
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
}

class RealBook : public ::testing::TestWithParam<const char*> {};

TEST_P(RealBook, EveryPageBreaksTheSameWayInTheLineBox) {
    SKIP_WITHOUT_TEXTS();
    Book book;
    open(book, GetParam());
    const int lines = book.layout.lineCount();
    ASSERT_GT(lines, 3 * kLinesPerPage);
    const int pages = (lines + kLinesPerPage - 1) / kLinesPerPage;
    LineBreaker box;
    box.setFont(texttest::pageFont());
    box.setWidth(kWidth);
    for (int page = 1; page <= pages; ++page) {
        int start = 0;
        const QString text = pageText(book, page, &start);
        box.setText(text);
        const int first = (page - 1) * kLinesPerPage;
        const int onPage = std::min(kLinesPerPage, lines - first);
        ASSERT_GE(box.lineCount(), onPage + 1) << "page " << page;
        for (int k = 0; k < onPage; ++k)
            ASSERT_EQ(box.lineIndex(k), book.layout.lineIndex(first + k) - start)
                << "page " << page << ", line " << k;
        // After them only the page's own closing break: when the last line ended at a line break,
        // the added one forms one more empty line before the empty last line.
        const QString rest = MidAnsi(text, box.lineIndex(onPage) + 1, LenAnsi(text));
        ASSERT_TRUE(rest.isEmpty() || rest == QLatin1String("\r\n")) << "page " << page;
        EXPECT_EQ(box.lineCount(), onPage + (rest.isEmpty() ? 1 : 2)) << "page " << page;
        EXPECT_EQ(box.lineIndex(box.lineCount() - 1), LenAnsi(text)) << "page " << page;
    }
}

// What a reader sees: no drawn line passes the box, and no Korean word that fits a line is cut.
TEST_P(RealBook, LinesFitAndKoreanWordsStayWhole) {
    SKIP_WITHOUT_TEXTS();
    Book book;
    open(book, GetParam());
    const QFontMetricsF fm(texttest::pageFont());
    const LineBreaker& lb = book.layout;
    int wraps = 0;
    for (int l = 0; l < lb.lineCount(); ++l) {
        const QString line = lineText(lb, l);
        QString shown = line;
        while (!shown.isEmpty() && (shown.back() == '\r' || shown.back() == '\n')) shown.chop(1);
        const bool wrapped = shown.size() == line.size() && l + 1 < lb.lineCount();
        while (!shown.isEmpty() && shown.back() == ' ') shown.chop(1);
        if (shown.size() > 1) {
            EXPECT_LE(fm.horizontalAdvance(shown), kWidth) << "line " << l;
        }
        if (!wrapped) continue;
        ++wraps;
        const QString next = lineText(lb, l + 1);
        if (line.back() == ' ' || !isHangul(line.back()) || !isHangul(next.front())) continue;
        // A word was cut: it must be one that no line can hold.
        const qsizetype cut = lb.charIndexOfLine(l + 1);
        qsizetype from = book.text.lastIndexOf(' ', cut) + 1;
        qsizetype to = book.text.indexOf(QRegularExpression("[ \r\n]"), cut);
        from = std::max(from, qsizetype(lb.charIndexOfLine(l)));
        const QString word = book.text.mid(from, (to < 0 ? book.text.size() : to) - from);
        EXPECT_GT(texttest::widthFor(word), kWidth) << "line " << l << " cuts " << qPrintable(word);
    }
    EXPECT_GT(wraps, lb.lineCount() / 4) << "the paragraphs should wrap at 300 px";
}

INSTANTIATE_TEST_SUITE_P(Books, RealBook, ::testing::ValuesIn(texttest::kBooks),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace

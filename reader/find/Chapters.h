#pragma once
// The chapters of a plain-text book: its heading lines ("제 12 화", "12화", "프롤로그",
// "< 12화 >", "Chapter 12", ...), found by a small table of patterns. A heading is a short
// line standing alone: at the start of the text, after a blank line, or right under another
// heading ("1권" over "1화").

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "encodings/StoredText.h"

namespace chapters {

struct Heading {
    int32_t position = 0;  // CP949 byte offset of the line's first character, 0-based
    QString title;         // the line as shown in the list, trimmed
};

// The longest line, in characters after trimming, that can be a heading.
constexpr int kMaxHeadingLength = 40;

// Whether one line (without its line break, blanks around it allowed) reads as a heading.
bool isHeading(QStringView line);

// The headings of a book, in text order.
std::vector<Heading> findHeadings(const QString& text);
// The same, of a book read from its file a part at a time.
std::vector<Heading> findHeadings(const encodings::StoredText& book);

// The heading of a spread that ends before byte `to`: the last one that starts before it (a
// chapter whose heading shows is on screen); 0 when even the first starts later; -1 for none.
int headingOnScreen(const std::vector<Heading>& headings, int64_t to);

}  // namespace chapters

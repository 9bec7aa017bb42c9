#pragma once
// Finding a word in the book. What is compared is the text in Unicode normal form C with Latin
// letters in one case, so a decomposed copy of a book finds what the composed one finds and the
// encoding the book came in does not matter. A match never holds a line break: lines the wrap
// made hold no break, so a word wrapped over two lines is found, but a paragraph break ends it.
//
// Matches are indexes into the book's QString: they live only while the book is on screen and
// are never saved (saved places are CP949 positions, see Mo_TxtPublic).

#include <QString>
#include <vector>

#include "encodings/StoredText.h"

namespace textfind {

struct Match {
    int from = 0;  // first character, an index into the book text
    int to = 0;    // one past the last
};

// The typed text as it is compared: NFC, Latin letters folded to one case. Empty when there is
// nothing to find, or when it holds a line break (no match spans a paragraph break).
QString needleOf(const QString& typed);

// A book prepared for finding. Most books need nothing: they are read in place. A book that
// normal form C changes (decomposed Hangul, combining accents) gets a composed copy once, and
// its matches are mapped back to the book's own characters.
class BookText {
public:
    explicit BookText(const QString& text);

    const QString& text() const { return m_text; }
    // Whether the book needed its composed copy.
    bool composedCopy() const { return m_useCopy; }
    // Every match of the typed text in book order, none overlapping another.
    std::vector<Match> findAll(const QString& typed) const;

private:
    // A run of characters that composing changed in length: where it lies in the copy and in
    // the book. Between runs, copy and book go character for character.
    struct Run {
        int copyFrom, copyLength, bookFrom, bookLength;
    };
    int toBook(int copyIndex, bool end) const;
    void buildCopy();

    QString m_text;
    bool m_useCopy = false;
    QString m_copy;
    std::vector<Run> m_runs;
};

// Every match of the typed text in a book read from its file, a part of whole lines at a time
// (no match holds a line break); nothing of it is kept.
std::vector<Match> findAll(const encodings::StoredText& book, const QString& typed);

// The part of a match on one line of a page: characters [from, to) of line `line`.
struct Piece {
    int line = 0;
    int from = 0;
    int to = 0;
    bool current = false;  // a part of the match the reader stepped to
};

// The parts of the matches that lie on a run of lines. lineStarts holds the book index of
// each line's first character and, last, the end of the last line; matches are in book
// order; current is the index of the match stepped to, or -1. A match wrapped over two lines
// gives a part on each.
std::vector<Piece> piecesOnLines(const std::vector<Match>& matches, int current,
                                 const std::vector<int>& lineStarts);

// The first match that starts at or after book index `from`; matches.size() when none.
int firstFrom(const std::vector<Match>& matches, int from);

}  // namespace textfind

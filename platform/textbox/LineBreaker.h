#pragma once
// The one line-breaking engine behind both text boxes: wraps a text at a width in a font and
// answers line starts in CP949 byte units. No widget; the same text, width and font always break
// at the same places.
//
// Rule: lines end at CR LF, a lone LF and a lone CR; a text that ends with a break has one more,
// empty, line. Lines wrap where the next character would pass the width. Korean words stay whole
// (breaks at blanks); CJK ideographs and kana may break between characters; a word wider than the
// line breaks between characters; blanks at a wrap hang past the edge and the next line starts at
// the first non-blank. A tab is a blank four spaces wide. Nothing breaks inside CR LF, a surrogate
// pair or before a combining mark, and every line holds at least one character.

#include <QFont>
#include <QString>
#include <functional>
#include <memory>

#include "encodings/StoredText.h"
#include "textbox/LineStarts.h"

namespace textbox {

class AdvanceTable;

class LineBreaker {
public:
    LineBreaker();
    ~LineBreaker();
    LineBreaker(const LineBreaker&) = delete;
    LineBreaker& operator=(const LineBreaker&) = delete;

    // Wraps in this font's advances from the next query on; the same font again costs nothing.
    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    // Wraps at this many pixels from the next query on; negative counts as 0.
    void setWidth(int pixels);
    int width() const { return m_width; }
    // The text wrapped: held in memory, or read from its file a part at a time as it is wrapped.
    void setText(const encodings::StoredText& text);
    void setText(const QString& text);
    const encodings::StoredText& text() const { return m_text; }
    // A text of at least this many UTF-16 units is wrapped in parts, cut after line breaks, on
    // this thread and one more; the lines are the same as wrapped in one piece. Only this thread
    // measures: the other asks it for what it has not measured yet.
    void setTwoThreadsFrom(qsizetype units) { m_twoThreadsFrom = units; }
    // For tests: runs before each part of a text wrapped on two threads, on the thread that
    // takes it; it may throw.
    static void setPartHook(std::function<void(size_t part)> hook);

    // Number of lines, at least 1 (an empty text has one line).
    int lineCount() const;
    // CP949 byte offset of the first character of a 0-based line; -1 when there is no such line.
    int lineIndex(int line) const;
    // The 0-based line that holds a byte offset; offsets before the text give 0, past it the last.
    int lineFromChar(int byteOffset) const;
    // QString index of the first character of a 0-based line; -1 when there is no such line.
    int charIndexOfLine(int line) const;
    // QString index of the character that starts at or covers a byte offset, clamped to
    // [0, text().size()].
    int charIndexOfOffset(int byteOffset) const;

private:
    void ensureWrapped() const;
    void wrap() const;
    template <typename WrapPart>
    void wrapOnTwoThreads(size_t parts, WrapPart& wrapPart) const;

    encodings::StoredText m_text;
    QFont m_font;
    int m_width = 0;
    mutable std::shared_ptr<AdvanceTable> m_advances;  // of m_font, taken at the next wrap
    mutable bool m_dirty = true;
    qsizetype m_twoThreadsFrom = qsizetype(1) << 20;
    // Line starts, the first always 0.
    mutable LineStarts m_starts;
};

}  // namespace textbox

#pragma once
// The hidden word-wrapping box the reader uses as its layout box. It wraps with the LineBreaker
// that cuts each page into rows, at the same width in the same font, so both always break the
// same text at the same places. Offsets are CP949 byte units (see AnsiUnits.h).

#include <QWidget>
#include <cstdint>

#include "textbox/LineBreaker.h"

namespace textbox {

// The three edit-box queries the reader sends; their last argument is 0.
constexpr int EM_GETLINECOUNT = 0x00BA;
constexpr int EM_LINEINDEX = 0x00BB;
constexpr int EM_LINEFROMCHAR = 0x00C9;

class TextBox : public QWidget {
    Q_OBJECT
public:
    // Starts hidden: the box is never seen, only asked.
    explicit TextBox(QWidget* parent = nullptr);

    // Replaces the text; lines are wrapped again on the next query.
    void setText(const encodings::StoredText& text);
    void setText(const QString& text) { setText(encodings::StoredText(text)); }
    const encodings::StoredText& text() const { return m_breaker.text(); }
    // The caret, a byte offset; it only answers the queries that pass -1.
    void setSelStart(int position) { m_selStart = position; }
    int selStart() const { return m_selStart; }

    // Answers EM_GETLINECOUNT, EM_LINEINDEX (wParam a line, -1 the caret's) and EM_LINEFROMCHAR
    // (wParam a byte offset, -1 the caret); any other message answers 0.
    intptr_t SendMessageA(int msg, intptr_t wParam, intptr_t lParam);

    // The same answers, typed; see LineBreaker.
    int lineCount() const;
    int lineIndex(int line) const;
    int lineFromChar(int byteOffset) const;
    int charIndexOfLine(int line) const;
    int charIndexOfOffset(int byteOffset) const;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The engine with this box's current width and font; a hidden widget gets no resize events.
    const LineBreaker& synced() const;

    mutable LineBreaker m_breaker;
    int m_selStart = 0;
};

}  // namespace textbox

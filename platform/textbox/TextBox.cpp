#include "textbox/TextBox.h"

#include <QEvent>
#include <algorithm>
#include <climits>

namespace textbox {

namespace {
// Message arguments are pointer-sized; every position of the boxes fits an int.
int toInt(intptr_t v) {
    return int(std::clamp<intptr_t>(v, INT_MIN, INT_MAX));
}
}  // namespace

TextBox::TextBox(QWidget* parent) : QWidget(parent) {
    hide();
    m_breaker.setFont(font());
    m_breaker.setWidth(width());
}

void TextBox::setText(const encodings::StoredText& text) {
    m_breaker.setText(text);
}

const LineBreaker& TextBox::synced() const {
    m_breaker.setWidth(width());
    m_breaker.setFont(font());
    return m_breaker;
}

intptr_t TextBox::SendMessageA(int msg, intptr_t wParam, intptr_t) {
    switch (msg) {
        case EM_GETLINECOUNT:
            return lineCount();
        case EM_LINEINDEX:
            return lineIndex(wParam == -1 ? lineFromChar(m_selStart) : toInt(wParam));
        case EM_LINEFROMCHAR:
            return lineFromChar(wParam == -1 ? m_selStart : toInt(wParam));
        default:
            return 0;
    }
}

int TextBox::lineCount() const {
    return synced().lineCount();
}

int TextBox::lineIndex(int line) const {
    return synced().lineIndex(line);
}

int TextBox::lineFromChar(int byteOffset) const {
    return synced().lineFromChar(byteOffset);
}

int TextBox::charIndexOfLine(int line) const {
    return synced().charIndexOfLine(line);
}

int TextBox::charIndexOfOffset(int byteOffset) const {
    return synced().charIndexOfOffset(byteOffset);
}

void TextBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) m_breaker.setFont(font());
    QWidget::changeEvent(event);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    m_breaker.setWidth(width());
    QWidget::resizeEvent(event);
}

}  // namespace textbox

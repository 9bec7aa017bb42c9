#include "forms/Label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>

namespace forms {

Label::Label(QWidget* parent) : QWidget(parent) {}

void Label::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    fit();
    update();
}

void Label::setAutoSize(bool on) {
    m_autoSize = on;
    fit();
}

void Label::setForeColor(gdi::COLORREF c) {
    m_foreColor = c;
    update();
}

void Label::setBackColor(gdi::COLORREF c) {
    m_backColor = c;
    update();
}

void Label::setTransparent(bool on) {
    m_transparent = on;
    update();
}

void Label::setAlignment(Qt::Alignment a) {
    m_alignment = a;
    update();
}

QSize Label::captionSize() const {
    const QFontMetrics fm(font());
    // drawText breaks the caption at its line feeds, so the size must too.
    const QStringList lines = m_caption.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    return QSize(width, fm.height() * int(lines.size()));
}

void Label::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_transparent) p.fillRect(rect(), gdi::toQColor(m_backColor));
    p.setFont(font());
    p.setPen(gdi::toQColor(m_foreColor));
    p.drawText(rect(), int(m_alignment), m_caption);
}

void Label::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fit();
        update();
    }
}

void Label::fit() {
    if (m_autoSize) resize(captionSize());
}

}  // namespace forms

#pragma once
// The classic label: a caption in a font and colour, optionally sized to fit its caption.

#include <QWidget>

#include "graphics/Gdi.h"

namespace forms {

class Label : public QWidget {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    const QString& caption() const { return m_caption; }
    // With AutoSize on the label takes the size of its caption in its font, at every change.
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }
    void setForeColor(gdi::COLORREF c);
    void setBackColor(gdi::COLORREF c);
    // Transparent labels draw only their caption.
    void setTransparent(bool on);
    void setAlignment(Qt::Alignment a);
    // The size the caption needs in the current font.
    QSize captionSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fit();

    QString m_caption;
    bool m_autoSize = false;
    bool m_transparent = false;
    gdi::COLORREF m_foreColor = 0;
    gdi::COLORREF m_backColor = 0x00FFFFFF;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
};

}  // namespace forms

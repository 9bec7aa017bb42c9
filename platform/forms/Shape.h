#pragma once
// The classic rectangle shape: a one-pixel border and an optional solid fill. It never takes
// the mouse.

#include <QWidget>

#include "graphics/Gdi.h"

namespace forms {

class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);

    void setBorderColor(gdi::COLORREF c);
    gdi::COLORREF borderColor() const { return m_borderColor; }
    // Fill with the back colour (opaque) or leave the inside transparent.
    void setBackColor(gdi::COLORREF c);
    gdi::COLORREF backColor() const { return m_backColor; }
    void setOpaque(bool on);
    void setBorderVisible(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    gdi::COLORREF m_borderColor = 0;
    gdi::COLORREF m_backColor = 0x00FFFFFF;
    bool m_opaque = false;
    bool m_border = true;
};

}  // namespace forms

#pragma once
// The base of the classic controls that report the mouse: button codes (1 left, 2 right,
// 4 middle), shift state and pixel position on press, release and every move, and a click
// when a press is released inside the control (leftClicked too when it was the left button's
// alone).

#include <QWidget>

namespace forms {

class Control : public QWidget {
    Q_OBJECT
public:
    explicit Control(QWidget* parent = nullptr);

signals:
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void mouseMove(int button, int shift, int x, int y);
    void clicked();
    void leftClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
    bool m_leftOnly = false;
};

}  // namespace forms

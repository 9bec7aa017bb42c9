#pragma once
// The classic image control: shows a picture at its own size and reports the mouse with
// button and position. A disabled image receives no mouse events.

#include <QImage>
#include <QWidget>

namespace forms {

class Image : public QWidget {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    // Shows picture unscaled at the origin and takes its size; a null picture shows nothing
    // and keeps the current size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

signals:
    void mouseDown(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void mouseMove(int button, int shift, int x, int y);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    bool m_pressed = false;
};

}  // namespace forms

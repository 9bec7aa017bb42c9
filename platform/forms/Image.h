#pragma once
// The classic image control: shows a picture at its own size and reports the mouse with
// button and position. A disabled image receives no mouse events.

#include <QImage>
#include "forms/Control.h"

namespace forms {

class Image : public Control {
    Q_OBJECT
public:
    explicit Image(QWidget* parent = nullptr);

    // Shows picture unscaled at the origin and takes its size; a null picture shows nothing
    // and keeps the current size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

}  // namespace forms

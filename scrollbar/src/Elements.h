#pragma once
// The widgets the scroll bar is made of: its surface (the track), the image elements (tick and
// arrows) and the hidden scratch surfaces it draws pictures on. Positions and sizes are held in
// twips, as the control computes them; the widgets sit at the nearest pixels.

#include <QImage>

#include "controls/Picture.h"
#include "forms/Image.h"
#include "forms/PictureBox.h"

namespace Qm_ImgScrollBar {

class ImageScrollBar;

// How many twips one pixel spans, along x and along y.
struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};

// The control surface: the track under the tick and the arrows.
class Surface : public forms::PictureBox {
public:
    Surface(QWidget* parent, ImageScrollBar* owner, TwipsPerPixel tpp);
    // The control is gone; events go nowhere from now on.
    void detach() { m_owner = nullptr; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ImageScrollBar* m_owner;
    TwipsPerPixel m_tpp;
};

// An image element. Its Left, Top, Width and Height are twips in single precision.
class Element : public forms::Image {
public:
    enum class Role { Tick, Decrease, Increase };
    Element(QWidget* surface, ImageScrollBar* owner, Role role, TwipsPerPixel tpp);
    void detach() { m_owner = nullptr; }

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    bool shown() const { return !isHidden(); }

    void moveTo(double left, double top);
    void setLeft(double left) { moveTo(left, m_top); }
    void setTop(double top) { moveTo(m_left, top); }
    // Shows the picture at its own size, which becomes the element's; Nothing or the empty
    // picture shows nothing and keeps the size.
    void showPicture(const controls::PictureRef& picture);
    // Shows a picture drawn for the element, whose size in twips is given (the pixels are that
    // size rounded); a null image shows nothing.
    void showDrawn(const QImage& image, double widthTwips, double heightTwips);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The event's position relative to the element, in twips.
    QPointF twipsOf(const QMouseEvent* event) const;

    ImageScrollBar* m_owner;
    Role m_role;
    TwipsPerPixel m_tpp;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};

// A hidden drawing surface (PicTmp) with a size in twips, an auto-size switch that makes it take
// a picture's size, and line drawing in twips.
class Scratch {
public:
    Scratch(QWidget* surface, TwipsPerPixel tpp);

    void setAutoSize(bool on);
    void setAutoRedraw(bool on) { m_box->setAutoRedraw(on); }
    // Nothing and the empty picture both leave the surface without a picture.
    void setPicture(const controls::PictureRef& picture);
    bool holdsPicture() const { return m_box->hasPicture(); }
    void resize(double widthTwips, double heightTwips);
    double width() const { return m_width; }
    double height() const { return m_height; }
    int pixelWidth() const { return m_box->width(); }
    int pixelHeight() const { return m_box->height(); }
    // Fills the surface with c.
    void setBackColor(gdi::COLORREF c) { m_box->setBackColor(c); }
    void Cls() { m_box->Cls(); }
    // A one-pixel line between two points given in twips, both ends drawn.
    void line(double x1, double y1, double x2, double y2, gdi::COLORREF c);
    gdi::HDC hDC() const { return m_box->hDC(); }
    QImage image() const { return m_box->image(); }

private:
    // Follows a size the box took by itself (auto-size).
    void syncTwips();

    forms::PictureBox* m_box;
    TwipsPerPixel m_tpp;
    double m_width = 0, m_height = 0;
};

}  // namespace Qm_ImgScrollBar

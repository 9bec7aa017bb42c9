#pragma once
// The classic picture box: a background colour, an optional Picture, and a persistent image.
// While AutoRedraw is on, drawing lands in a buffer; switching it off makes that buffer the
// box's background, which Cls returns to. With AutoRedraw off, drawing goes straight to the
// screen image, on top of that background.
// A box holds an image only once something is drawn on it: the plain background (colour,
// Picture and the box's Drawing) is painted straight onto the window, so a box that shows just
// that holds no surface of its size.

#include <QImage>
#include <functional>
#include "forms/Control.h"

#include "graphics/Gdi.h"

namespace forms {

class PictureBox : public Control {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    void setBackColor(gdi::COLORREF c);
    gdi::COLORREF backColor() const { return m_backColor; }
    void setForeColor(gdi::COLORREF c) { m_foreColor = c; }
    gdi::COLORREF foreColor() const { return m_foreColor; }

    void setAutoRedraw(bool on);
    bool autoRedraw() const { return m_autoRedraw; }

    // The Picture property: drawn at the origin over the background colour. A null image is
    // Nothing. With AutoSize on the box takes the picture's size (logical: a picture drawn for
    // a scaled screen says so by its device pixel ratio). A picture compiled into the program
    // (loaded by gdi::LoadImageFor from a resource) is let go of while the box is hidden, and
    // loaded again when it is needed: a panel kept hidden holds no pixels of it.
    void setPicture(const QImage& picture);
    void clearPicture() { setPicture(QImage()); }
    const QImage& picture() const;
    bool hasPicture() const { return !m_picture.isNull() || !m_resource.isEmpty(); }
    void setVisible(bool visible) override;
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }

    // Drawing that is part of the plain background, over colour and Picture: done again each
    // time the box is painted (for the part that shows, area) or its image is made, never
    // kept. For drawing that follows from a few numbers, like the frame around the book. Like
    // a new back colour, setting it erases all drawing.
    using Drawing = std::function<void(QPainter& painter, const QRect& area)>;
    void setDrawing(Drawing drawing);

    // The persistent image (the classic Image property): the buffer while AutoRedraw is on,
    // else the background.
    QImage image() const;
    // What is on screen now.
    QImage screenImage() const;

    // Clears to the background: the persistent buffer to colour + Picture, or the screen to
    // the persistent background. Resets CurrentX and CurrentY to 0.
    void Cls();
    // Cls for a caller that is about to paint every pixel of covering: when that is the whole
    // box, the old content is dropped without being cleared first; otherwise a plain Cls.
    void ClsBeforeCovering(const QRect& covering);
    // Cls and then a block copy of img at the origin; with AutoRedraw on and img the box's
    // size, img becomes the persistent buffer as it is, with no copy made.
    void ClsWith(QImage img);
    // Lets go of every image the box holds, drawn or not: a box kept hidden between uses need
    // not hold a surface of its size. It is the plain background again, made at its size when
    // next drawn on or shown.
    void dropImages();

    int currentX() const { return m_currentX; }
    int currentY() const { return m_currentY; }
    void setCurrentX(int x) { m_currentX = x; }
    void setCurrentY(int y) { m_currentY = y; }
    // Prints text with the top of the line at CurrentY, from CurrentX, in the box's font and
    // fore colour; then CurrentX = 0 and CurrentY moves down one line.
    void Print(const QString& text);
    // A line from (x1, y1) to (x2, y2) inclusive, one pixel wide.
    void Line(int x1, int y1, int x2, int y2, gdi::COLORREF color);
    // Fills the rectangle with a colour.
    void FillRect(const QRect& r, gdi::COLORREF color);
    // Repaints the box now.
    void Refresh();

    // The box's device context; drawing on it lands where Print and Line would.
    gdi::HDC hDC() const { return m_dc; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Device pixels per logical pixel of the screen the box is on; its images hold that many.
    qreal ratio() const;
    // Whether img is an image of the box as it is now: its size, at its ratio.
    bool fits(const QImage& img) const;
    // Paints the plain background over area: colour, Picture, Drawing.
    void paintBackground(QPainter& p, const QRect& area) const;
    QImage blank(const QSize& size) const;
    // The image on screen while AutoRedraw is off; null: the plain background.
    const QImage& shown() const { return m_screen.isNull() ? m_background : m_screen; }
    QImage& target();
    QImage resized(const QImage& img, const QSize& size) const;
    // Brings the images to the widget's size, which may have changed while it was hidden.
    void syncSize();
    // Back to the plain background: colour and Picture, nothing drawn.
    void reset();
    // Makes img the plain background, in place when it can (a page-sized box is cleared many
    // times a second); else null, which is the plain background made when next drawn on.
    void refill(QImage& img) const;

    gdi::COLORREF m_backColor = 0x00FFFFFF;
    gdi::COLORREF m_foreColor = 0;
    bool m_autoRedraw = false;
    bool m_autoSize = false;
    mutable QImage m_picture;  // null while a resource picture is let go of
    QString m_resource;        // the resource the picture came from, if any
    qreal m_resourceRatio = 1;
    Drawing m_drawing;
    // Each image null while it is the plain background.
    QImage m_background;  // what Cls returns to with AutoRedraw off
    QImage m_buffer;      // the persistent buffer while AutoRedraw is on
    QImage m_screen;      // what is shown while AutoRedraw is off; null: the background
    QImage m_spare;       // a buffer handed out earlier, reused once nobody else holds it
    int m_currentX = 0;
    int m_currentY = 0;
    gdi::HDC m_dc = nullptr;
};

}  // namespace forms

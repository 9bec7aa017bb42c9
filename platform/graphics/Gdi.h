#pragma once
// Device contexts, bitmaps and pens with the classic GDI call shapes, over QImage.
// A DC draws onto a surface: a memory DC onto the bitmap selected into it, a window DC onto
// the image of the control that owns it. Coordinates are logical pixels (a surface of a scaled
// screen holds more device pixels, see Raster.h); colours are 0x00BBGGRR.

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>

class QWidget;

namespace gdi {

using COLORREF = uint32_t;
using DWORD = uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
// Colours with the top bit set are system colour indexes; 0x8000000F is the button face.
QColor toQColor(COLORREF c);
COLORREF fromQColor(const QColor& c);

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
constexpr int PS_SOLID = 0;

class DeviceContext;
class Bitmap;
class Pen;
using HDC = DeviceContext*;
using HBITMAP = Bitmap*;
using HPEN = Pen*;
using HWND = QWidget*;

// A DC whose surface belongs to a control (a picture box's hDC). Not counted as created:
// its owner deletes it. surface() is asked at every call, so the owner may swap buffers;
// changed() is called after every drawing call that touched the surface. ratio(), when given,
// answers RatioOf without asking for the surface, which its owner may have to make first.
HDC CreateWindowDC(std::function<QImage*()> surface, std::function<void()> changed,
                   std::function<qreal()> ratio = {});
void ReleaseWindowDC(HDC dc);

// Device pixels per logical pixel: of what dc draws on (a memory DC: of the bitmaps made
// compatible with it), and of the screen. Every coordinate of these calls is logical.
qreal RatioOf(HDC dc);
qreal ScreenRatio();

// A memory DC compatible with dc (nullptr: the screen); it starts with a 1 x 1 stock bitmap.
HDC CreateCompatibleDC(HDC dc);
// A w x h colour bitmap at dc's ratio, black; nullptr when w or h is not positive.
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);
// A bitmap holding a copy of image (the picture-loading path).
HBITMAP CreateBitmapFromImage(const QImage& image);
// Selects bmp into a memory DC and returns the bitmap it displaces; nullptr on failure
// (not a memory DC, or bmp already selected into another DC).
HBITMAP SelectObject(HDC dc, HBITMAP bmp);
// Selects pen into dc and returns the displaced pen (a stock black pen at first).
HPEN SelectObject(HDC dc, HPEN pen);
// Deletes a memory DC; false for window DCs and null.
bool DeleteDC(HDC dc);
// Deletes a bitmap that is not selected into any DC; false otherwise.
bool DeleteObject(HBITMAP bmp);
// Deletes a pen that is not selected into any DC; false otherwise.
bool DeleteObject(HPEN pen);

// Copies the w x h block at (sx, sy) of src to (x, y) of dst, 1:1, clipped to both surfaces;
// never scales. Only SRCCOPY is supported; other operations return false.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// Scales the sw x sh block at (sx, sy) of src onto the w x h block at (x, y) of dst, clipped to
// dst. HALFTONE smooths; every other mode picks the nearest pixel. Negative sizes mirror.
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
// Sets the stretch mode of dc and returns the previous one (0 on failure).
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// A solid pen of the given width (0 counts as 1) and colour.
HPEN CreatePen(int style, int width, COLORREF color);
// Moves the current point; the previous one goes to *previous when it is given.
bool MoveToEx(HDC dc, int x, int y, QPoint* previous);
// Draws from the current point to (x, y) with the selected pen, excluding the end point, and
// makes (x, y) the current point.
bool LineTo(HDC dc, int x, int y);

// Pictures come in sets drawn for 1 and 2 device pixels per logical pixel; a screen of ratio r
// is served by the nearer set (1.5 and above: the double one), scaled smoothly where it differs.
int PictureScale(qreal ratio);
// The picture at path for a screen of ratio r: its double-size sibling ("name@2x.bmp" beside
// "name.bmp") when PictureScale(r) is 2 and that reads, else path itself; null when nothing
// reads. The image's device pixel ratio says which it is, and its text "source" holds path, so
// what shows it can take it again for another screen.
QImage LoadImageFor(const QString& path, qreal ratio);

// Asks the window to repaint rect (the whole window when rect is null).
bool InvalidateRect(HWND hwnd, const QRect* rect, bool erase);

// The surface a DC draws on (nullptr when none), for callers that draw text or read pixels.
QImage* SurfaceOf(HDC dc);
// Tells the owner of a window DC that its surface was drawn on.
void NotifyChanged(HDC dc);
// The image held by a bitmap.
const QImage* ImageOf(HBITMAP bmp);

// Live objects created by the calls above and not yet deleted, so tests can prove no leak.
int LiveDCs();
int LiveBitmaps();
int LivePens();

// Pairs a memory DC with the bitmap it owns; releases both in the right order.
class MemoryDC {
public:
    MemoryDC(HDC compatible, int w, int h);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HBITMAP m_displaced = nullptr;
};

}  // namespace gdi

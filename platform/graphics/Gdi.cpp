#include "graphics/Gdi.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <unordered_set>
#include <utility>
#include <vector>

#include "graphics/Raster.h"

namespace gdi {

class Bitmap {
public:
    explicit Bitmap(QImage img, bool stock = false) : image(std::move(img)), stock(stock) {}
    QImage image;
    const bool stock;
    // The DC this bitmap is selected into; the stock bitmap is shared and never records one.
    DeviceContext* owner = nullptr;
};

class Pen {
public:
    Pen(int style, int width, COLORREF color, bool stock = false)
        : style(style), width(width), color(color), stock(stock) {}
    const int style;
    const int width;
    const COLORREF color;
    const bool stock;
    // Unlike a bitmap, one pen may be selected into many DCs at once.
    int selections = 0;
};

class DeviceContext {
public:
    bool window = false;
    std::function<QImage*()> surface;
    std::function<void()> changed;
    std::function<qreal()> windowRatio;
    Bitmap* bitmap = nullptr;
    Pen* pen = nullptr;
    int stretchMode = BLACKONWHITE;
    QPoint position;
    // The device pixels per logical pixel of the bitmaps made compatible with a memory DC.
    qreal ratio = 1;
};

namespace {

// Every handle handed out and not yet deleted, so a stale or foreign handle fails instead of
// crashing.
std::unordered_set<DeviceContext*>& dcs() {
    static std::unordered_set<DeviceContext*> set;
    return set;
}
std::unordered_set<Bitmap*>& bitmaps() {
    static std::unordered_set<Bitmap*> set;
    return set;
}
std::unordered_set<Pen*>& pens() {
    static std::unordered_set<Pen*> set;
    return set;
}
int g_memoryDCs = 0;

Bitmap* stockBitmap() {
    static Bitmap bmp(
        [] {
            QImage img(1, 1, QImage::Format_RGB32);
            img.fill(Qt::black);
            return img;
        }(),
        true);
    return &bmp;
}

Pen* stockPen() {
    static Pen pen(PS_SOLID, 1, 0, true);
    return &pen;
}

bool known(HDC dc) {
    return dc && dcs().count(dc);
}
bool known(HBITMAP bmp) {
    return bmp && (bmp->stock || bitmaps().count(bmp));
}
bool known(HPEN pen) {
    return pen && (pen->stock || pens().count(pen));
}

QImage* surfaceOf(HDC dc) {
    if (!known(dc)) return nullptr;
    if (dc->window) return dc->surface ? dc->surface() : nullptr;
    return dc->bitmap ? &dc->bitmap->image : nullptr;
}

void notify(HDC dc) {
    if (dc->window && dc->changed) dc->changed();
}

void releasePen(DeviceContext* dc) {
    if (dc->pen) --dc->pen->selections;
    dc->pen = nullptr;
}

DeviceContext* newDC(bool window) {
    auto* dc = new DeviceContext;
    dc->window = window;
    dc->pen = stockPen();
    ++dc->pen->selections;
    dcs().insert(dc);
    return dc;
}

QRect normalized(int x, int y, int w, int h) {
    return QRect(QPoint(std::min(x, x + w), std::min(y, y + h)), QSize(std::abs(w), std::abs(h)));
}

// For each destination pixel of [d0, d0 + dn) that lies in [0, dstLimit), the nearest source
// pixel of [s0, s0 + sn), reversed when mirrored. Only the run whose source lies in
// [0, srcLimit) is kept; the mapping is monotonic, so that run is contiguous.
struct AxisMap {
    int first = 0;
    std::vector<int> source;
};
AxisMap mapAxis(int d0, int dn, int s0, int sn, bool mirror, int dstLimit, int srcLimit) {
    AxisMap m;
    const int lo = std::max(d0, 0), hi = std::min(d0 + dn, dstLimit);
    for (int d = lo; d < hi; ++d) {
        // Sample at the centre of the destination pixel.
        const int k = int((int64_t(2 * (d - d0) + 1) * sn) / (2 * int64_t(dn)));
        const int s = mirror ? s0 + sn - 1 - k : s0 + k;
        if (s < 0 || s >= srcLimit) {
            if (m.source.empty()) continue;
            break;
        }
        if (m.source.empty()) m.first = d;
        m.source.push_back(s);
    }
    return m;
}

// Stretches work in device pixels: a logical block maps onto the device pixels it covers, so a
// picture of one resolution stretches onto a surface of another without a second scaling.
void stretchNearest(QImage& dst, const QRect& logicalD, const QImage& src, const QRect& logicalS,
                    bool mx, bool my) {
    const QRect d = raster::toDevice(logicalD, dst.devicePixelRatio());
    const QRect s = raster::toDevice(logicalS, src.devicePixelRatio());
    if (d.isEmpty() || s.isEmpty()) return;
    const AxisMap xs = mapAxis(d.x(), d.width(), s.x(), s.width(), mx, dst.width(), src.width());
    const AxisMap ys =
        mapAxis(d.y(), d.height(), s.y(), s.height(), my, dst.height(), src.height());
    if (xs.source.empty() || ys.source.empty()) return;
    const QImage from = src.convertToFormat(QImage::Format_RGB32);
    QImage block(int(xs.source.size()), int(ys.source.size()), QImage::Format_RGB32);
    for (int row = 0; row < block.height(); ++row) {
        const QRgb* in = reinterpret_cast<const QRgb*>(from.constScanLine(ys.source[row]));
        QRgb* out = reinterpret_cast<QRgb*>(block.scanLine(row));
        for (int col = 0; col < block.width(); ++col) out[col] = in[xs.source[col]];
    }
    raster::putDevice(dst, QPoint(xs.first, ys.first), block);
}

void stretchSmooth(QImage& dst, const QRect& logicalD, const QImage& src, const QRect& logicalS,
                   bool mx, bool my) {
    const QRect d = raster::toDevice(logicalD, dst.devicePixelRatio());
    const QRect s = raster::toDevice(logicalS, src.devicePixelRatio());
    if (d.isEmpty() || s.isEmpty()) return;
    QImage block = src.copy(s).convertToFormat(QImage::Format_RGB32);
    block.setDevicePixelRatio(1);
    if (mx || my) block = block.mirrored(mx, my);
    // Qt's smooth scaling averages areas when shrinking and interpolates when growing.
    raster::putDevice(dst, d.topLeft(),
                      block.scaled(d.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The classic system colour indexes the reader may name, and the palette roles that play their
// part here; any other index falls back to the button face (0x0F).
struct SystemColour {
    COLORREF index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr SystemColour kSystemColours[] = {
    {0x04, QPalette::Active, QPalette::Window},           // menu
    {0x05, QPalette::Active, QPalette::Base},             // window background
    {0x07, QPalette::Active, QPalette::WindowText},       // menu text
    {0x08, QPalette::Active, QPalette::Text},             // window text
    {0x0D, QPalette::Active, QPalette::Highlight},        // selection
    {0x0E, QPalette::Active, QPalette::HighlightedText},  // selected text
    {0x10, QPalette::Active, QPalette::Dark},             // button shadow
    {0x11, QPalette::Disabled, QPalette::Text},           // grey text
    {0x12, QPalette::Active, QPalette::ButtonText},       // button text
    {0x14, QPalette::Active, QPalette::Light},            // button highlight
    {0x17, QPalette::Active, QPalette::ToolTipText},      // tooltip text
    {0x18, QPalette::Active, QPalette::ToolTipBase},      // tooltip background
};

}  // namespace

QColor toQColor(COLORREF c) {
    if (!(c & 0x80000000u))
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    if (!QGuiApplication::instance()) return QColor(240, 240, 240);
    const QPalette pal = QGuiApplication::palette();
    for (const SystemColour& sc : kSystemColours)
        if (sc.index == (c & 0xFF)) return pal.color(sc.group, sc.role);
    return pal.color(QPalette::Button);
}

COLORREF fromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

HDC CreateWindowDC(std::function<QImage*()> surface, std::function<void()> changed,
                   std::function<qreal()> ratio) {
    DeviceContext* dc = newDC(true);
    dc->surface = std::move(surface);
    dc->changed = std::move(changed);
    dc->windowRatio = std::move(ratio);
    return dc;
}

void ReleaseWindowDC(HDC dc) {
    if (!known(dc) || !dc->window) return;
    releasePen(dc);
    dcs().erase(dc);
    delete dc;
}

qreal RatioOf(HDC dc) {
    if (known(dc)) {
        if (!dc->window) return dc->ratio;
        if (dc->windowRatio) return dc->windowRatio();
        if (const QImage* s = surfaceOf(dc)) return s->devicePixelRatio();
        return 1;
    }
    return ScreenRatio();
}

qreal ScreenRatio() {
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1;
}

HDC CreateCompatibleDC(HDC compatible) {
    const qreal ratio = RatioOf(compatible);
    DeviceContext* dc = newDC(false);
    dc->bitmap = stockBitmap();
    dc->ratio = ratio;
    ++g_memoryDCs;
    return dc;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    QImage img = raster::surface(QSize(w, h), RatioOf(dc));
    if (img.isNull()) return nullptr;
    img.fill(Qt::black);
    auto* bmp = new Bitmap(std::move(img));
    bitmaps().insert(bmp);
    return bmp;
}

HBITMAP CreateBitmapFromImage(const QImage& image) {
    if (image.isNull()) return nullptr;
    auto* bmp = new Bitmap(image.convertToFormat(QImage::Format_RGB32));
    bitmaps().insert(bmp);
    return bmp;
}

HBITMAP SelectObject(HDC dc, HBITMAP bmp) {
    if (!known(dc) || dc->window || !known(bmp)) return nullptr;
    if (bmp == dc->bitmap) return bmp;
    if (!bmp->stock && bmp->owner) return nullptr;
    Bitmap* old = dc->bitmap;
    if (!old->stock) old->owner = nullptr;
    dc->bitmap = bmp;
    if (!bmp->stock) bmp->owner = dc;
    return old;
}

HPEN SelectObject(HDC dc, HPEN pen) {
    if (!known(dc) || !known(pen)) return nullptr;
    Pen* old = dc->pen;
    --old->selections;
    dc->pen = pen;
    ++pen->selections;
    return old;
}

bool DeleteDC(HDC dc) {
    if (!known(dc) || dc->window) return false;
    // As in GDI, deleting the DC frees whatever was selected into it.
    if (!dc->bitmap->stock) dc->bitmap->owner = nullptr;
    releasePen(dc);
    dcs().erase(dc);
    delete dc;
    --g_memoryDCs;
    return true;
}

bool DeleteObject(HBITMAP bmp) {
    // A stale handle is looked up before it is read.
    if (!bmp || !bitmaps().count(bmp) || bmp->stock || bmp->owner) return false;
    bitmaps().erase(bmp);
    delete bmp;
    return true;
}

bool DeleteObject(HPEN pen) {
    if (!pen || !pens().count(pen) || pen->stock || pen->selections > 0) return false;
    pens().erase(pen);
    delete pen;
    return true;
}

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (rop != SRCCOPY) return false;
    QImage* to = surfaceOf(dst);
    const QImage* from = surfaceOf(src);
    if (!to || !from) return false;
    if (w <= 0 || h <= 0) return true;
    // Clip the source first, then shift what is left onto the destination; put() clips again.
    const QRect whole = raster::logicalRect(*from);
    const QRect s = QRect(sx, sy, w, h).intersected(whole);
    if (s.isEmpty()) return true;
    const QPoint at(x + s.x() - sx, y + s.y() - sy);
    // A DC may blit onto itself with overlapping areas: then the block is copied out first.
    // Otherwise the rows go straight across; pages are copied many times a second.
    if (to->constBits() == from->constBits()) {
        raster::put(*to, at, from->copy(raster::toDevice(s, from->devicePixelRatio())));
    } else if (s == whole) {
        raster::put(*to, at, *from);
    } else {
        raster::putPart(*to, at, *from, s);
    }
    notify(dst);
    return true;
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
    if (rop != SRCCOPY) return false;
    QImage* to = surfaceOf(dst);
    const QImage* from = surfaceOf(src);
    if (!to || !from) return false;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return true;
    // Extents are edges, not pixels: x = 10, w = -10 covers pixels 0..9, mirrored.
    const QRect d = normalized(x, y, w, h), s = normalized(sx, sy, sw, sh);
    const bool mx = (w < 0) != (sw < 0), my = (h < 0) != (sh < 0);
    if (dst->stretchMode == HALFTONE)
        stretchSmooth(*to, d, *from, s, mx, my);
    else
        stretchNearest(*to, d, *from, s, mx, my);
    notify(dst);
    return true;
}

int SetStretchBltMode(HDC dc, int mode) {
    if (!known(dc) || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int GetStretchBltMode(HDC dc) {
    return known(dc) ? dc->stretchMode : 0;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto* pen = new Pen(style, std::max(width, 1), color);
    pens().insert(pen);
    return pen;
}

bool MoveToEx(HDC dc, int x, int y, QPoint* previous) {
    if (!known(dc)) return false;
    if (previous) *previous = dc->position;
    dc->position = QPoint(x, y);
    return true;
}

bool LineTo(HDC dc, int x, int y) {
    QImage* img = surfaceOf(dc);
    if (!img) return false;
    const QPoint from = dc->position, to(x, y);
    dc->position = to;
    const QColor color = toQColor(dc->pen->color);
    if (dc->pen->width <= 1) {
        raster::line(*img, from, to, color.rgb(), false);
    } else {
        QPainter p(img);
        p.setPen(QPen(color, dc->pen->width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(from, to);
    }
    notify(dc);
    return true;
}

int PictureScale(qreal ratio) {
    return ratio >= 1.5 ? 2 : 1;
}

QImage LoadImageFor(const QString& path, qreal ratio) {
    if (PictureScale(ratio) == 2) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        const QString twice = dot > slash ? path.left(dot) + QStringLiteral("@2x") + path.mid(dot)
                                          : path + QStringLiteral("@2x");
        QImage img(twice);
        if (!img.isNull()) {
            img.setDevicePixelRatio(2);
            img.setText(QStringLiteral("source"), path);
            return img;
        }
    }
    QImage img(path);
    if (!img.isNull()) {
        img.setDevicePixelRatio(1);
        img.setText(QStringLiteral("source"), path);
    }
    return img;
}

bool InvalidateRect(HWND hwnd, const QRect* rect, bool) {
    if (!hwnd) return false;
    if (rect)
        hwnd->update(*rect);
    else
        hwnd->update();
    return true;
}

QImage* SurfaceOf(HDC dc) {
    return surfaceOf(dc);
}

void NotifyChanged(HDC dc) {
    if (known(dc)) notify(dc);
}

const QImage* ImageOf(HBITMAP bmp) {
    return known(bmp) ? &bmp->image : nullptr;
}

int LiveDCs() {
    return g_memoryDCs;
}
int LiveBitmaps() {
    return int(bitmaps().size());
}
int LivePens() {
    return int(pens().size());
}

MemoryDC::MemoryDC(HDC compatible, int w, int h) {
    m_dc = CreateCompatibleDC(compatible);
    m_bitmap = CreateCompatibleBitmap(m_dc, w, h);
    if (m_bitmap) m_displaced = SelectObject(m_dc, m_bitmap);
}

MemoryDC::~MemoryDC() {
    if (m_displaced) SelectObject(m_dc, m_displaced);
    if (m_bitmap) DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

}  // namespace gdi

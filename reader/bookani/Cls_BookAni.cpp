#include "bookani/Cls_BookAni.h"

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QThread>
#include <algorithm>

using bookani::Side;
using bookani::Surface;

// Everything a turn reads, taken when it starts, so setters called from pending events between
// frames cannot pull its sizes from under it.
struct Cls_BookAni::Turn {
    bookani::PageLook look;
    int16_t frames = 0;
    int spreadWidth = 0;  // round(W)
    int pageHeight = 0;   // round(H)
    int half = 0;         // round(W / 2), the spine
    QRect area;           // what each frame repaints, round(W) x round(D + H)

    int left(Side side) const { return side == Side::Left ? 0 : half; }
    int width(Side side) const { return side == Side::Left ? half : spreadWidth - half; }
};

namespace {

std::optional<int> positive(double x) {
    const std::optional<int32_t> n = bookani::toInt32(x);
    if (!n || *n <= 0) return std::nullopt;
    return *n;
}

Side opposite(Side side) {
    return side == Side::Left ? Side::Right : Side::Left;
}

}  // namespace

Cls_BookAni::Cls_BookAni() {
    Set_FrameCount(6);
    Set_Color(gdi::RGB(162, 165, 165), gdi::RGB(175, 179, 178), gdi::RGB(188, 193, 191),
              gdi::RGB(200, 204, 203), gdi::RGB(208, 212, 211));
}

Cls_BookAni::~Cls_BookAni() {
    *m_alive = false;
    m_depth.release();
    m_cur.release();
    m_flip.release();
    m_work.release();
}

void Cls_BookAni::Set_FrameCount(int16_t count) {
    m_frameCount = count;
}

bool Cls_BookAni::Set_PagePos(int32_t pos) {
    const std::optional<int16_t> p = bookani::toInt16(pos);
    m_pagePos = p.value_or(0);
    return p.has_value();
}

void Cls_BookAni::Set_Width(float width) {
    m_look.width = width;
    m_frameCount = bookani::frameCountForWidth(width);
}

void Cls_BookAni::Set_Height(float height) {
    m_look.height = height;
}

void Cls_BookAni::Set_Depth(int16_t depth) {
    m_look.depth = depth;
}

void Cls_BookAni::Set_Border(int16_t border) {
    m_look.border = border == -1;
}

bool Cls_BookAni::Screen_DepthCapture(gdi::HDC src) {
    return loadCopy(m_depth, src, m_look.width, m_look.depth);
}

void Cls_BookAni::Set_Color(gdi::COLORREF c1, gdi::COLORREF c2, gdi::COLORREF c3, gdi::COLORREF c4,
                            gdi::COLORREF c5) {
    m_look.colours = {c1, c2, c3, c4, c5};
}

bool Cls_BookAni::Load_CurBookPath(const QString& path, gdi::HDC compatible) {
    return loadPicture(m_cur, path, compatible);
}

bool Cls_BookAni::Load_FlipBookPath(const QString& path, gdi::HDC compatible) {
    return loadPicture(m_flip, path, compatible);
}

bool Cls_BookAni::Load_CurBookDc(gdi::HDC src) {
    return loadCopy(m_cur, src, m_look.width, m_look.height);
}

bool Cls_BookAni::Load_FlipBookDc(gdi::HDC src) {
    return loadCopy(m_flip, src, m_look.width, m_look.height);
}

bool Cls_BookAni::Load_CurBookHandle(gdi::HDC compatible, gdi::HBITMAP bmp) {
    m_cur.release();
    m_cur = Surface::borrowing(compatible, bmp);
    return bool(m_cur);
}

bool Cls_BookAni::Load_FlipBookHandle(gdi::HDC compatible, gdi::HBITMAP bmp) {
    m_flip.release();
    m_flip = Surface::borrowing(compatible, bmp);
    return bool(m_flip);
}

bool Cls_BookAni::loadPicture(Surface& surface, const QString& path, gdi::HDC compatible) {
    surface.release();
    const QImage image(path);
    if (image.isNull()) return false;
    surface = Surface::owning(compatible, gdi::CreateBitmapFromImage(image));
    return bool(surface);
}

bool Cls_BookAni::loadCopy(Surface& surface, gdi::HDC src, double w, double h) {
    surface.release();
    const std::optional<int> width = positive(w), height = positive(h);
    if (!width || !height) return false;
    surface = Surface::copyOf(src, *width, *height);
    return bool(surface);
}

bool Cls_BookAni::Move_Flip(gdi::HDC target, gdi::HWND targetWindow) {
    if (m_turning) return false;
    const std::optional<int> spread = positive(m_look.width), page = positive(m_look.height);
    const std::optional<int> half = positive(m_look.width / 2);
    const std::optional<int> band = positive(double(m_look.height + float(m_look.depth)));
    m_work.release();
    if (!spread || !page || !half || !band) return false;
    // The work surface holds either page: at an odd width one of them is a column wider.
    m_work = Surface::blank(target, std::max(*half, *spread - *half), *page);

    const Turn turn{m_look, m_frameCount, *spread, *page, *half, QRect(0, 0, *spread, *band)};
    const std::shared_ptr<bool> alive = m_alive;
    m_turning = true;
    bool drawn = false;
    if (m_work && (m_pagePos == 1 || m_pagePos == 2))
        drawn = turnPage(turn, m_pagePos == 1 ? Side::Left : Side::Right, target, targetWindow);
    if (!*alive) return false;
    m_turning = false;
    m_work.release();
    return drawn;
}

// first is the side the turning page starts on: it falls towards the spine over the first half
// of the frames, and the back of the page rises from the spine on the other side.
bool Cls_BookAni::turnPage(const Turn& turn, Side first, gdi::HDC target, gdi::HWND window) {
    if (!m_cur || !m_flip || turn.frames < 1) return false;
    const std::optional<int16_t> sx = bookani::stepWidth(turn.look.width, turn.frames);
    if (!sx) return false;
    const float sd = bookani::liftStep(turn.look.depth, turn.frames);
    // The spread as it lies under the turning page is read where it lies: the band on top, the
    // flip picture's page on the side the page leaves, the current picture's page on the side it
    // has not reached yet. Without a band captured, a blank one.
    const int depth = turn.look.depth;
    const Surface blankBand =
        m_depth ? Surface() : Surface::blank(target, turn.spreadWidth, std::max(1, depth));
    const Surface& band = m_depth ? m_depth : blankBand;
    if (!band) return false;
    auto picture = [&](Side side) -> const Surface& { return side == first ? m_flip : m_cur; };
    auto show = [&](Side side) {
        gdi::BitBlt(target, turn.left(side), 0, turn.width(side), depth, band.dc(), turn.left(side),
                    0, gdi::SRCCOPY);
        gdi::BitBlt(target, turn.left(side), depth, turn.width(side), turn.pageHeight,
                    picture(side).dc(), turn.left(side), 0, gdi::SRCCOPY);
    };
    // Between frames only the columns the last strip covered differ from the background: the
    // strip puts them back as it is drawn (the whole side goes back before a half's first frame).
    std::optional<bookani::Columns> dirty;
    auto restoreFor = [&](Side side) -> std::optional<bookani::Restore> {
        if (!dirty) {
            show(side);
            return std::nullopt;
        }
        const int from = std::max(dirty->from, turn.left(side));
        const int to = std::min(dirty->to, turn.left(side) + turn.width(side));
        return bookani::Restore{
            band.dc(), {from, std::max(from, to)}, turn.area.height(), picture(side).dc(), depth};
    };
    auto step = [&](Side side, std::optional<int16_t> extent, std::optional<int16_t> lift) {
        const std::optional<bookani::Restore> restore = restoreFor(side);
        dirty.emplace();
        return frame(turn, side, target, window, extent, lift, &*dirty,
                     restore ? &*restore : nullptr);
    };

    m_shown.invalidate();
    const Side second = opposite(first);
    fillWork(turn, m_cur, first);
    show(second);
    if (first == Side::Right) show(first);  // a right page turn starts from the whole background
    for (int i = 1; i <= turn.frames; ++i) {
        if (!step(first, bookani::mul16(int16_t(i), *sx), bookani::liftAt(i, sd))) return false;
    }
    fillWork(turn, m_flip, second);
    show(first);
    dirty.reset();
    for (int k = turn.frames; k >= 1; --k) {
        if (!step(second, bookani::mul16(int16_t(k - 1), *sx), bookani::liftAt(k, sd)))
            return false;
    }
    return true;
}

void Cls_BookAni::fillWork(const Turn& turn, const Surface& picture, Side side) {
    gdi::BitBlt(m_work.dc(), 0, 0, turn.width(side), turn.pageHeight, picture.dc(), turn.left(side),
                0, gdi::SRCCOPY);
}

bool Cls_BookAni::frame(const Turn& turn, Side side, gdi::HDC target, gdi::HWND window,
                        std::optional<int16_t> extent, std::optional<int16_t> lift,
                        bookani::Columns* drawn, const bookani::Restore* restore) {
    if (!extent || !lift) return false;
    const bookani::StripResult r =
        bookani::drawStrip(turn.look, side, m_work.dc(), target, *extent, *lift, drawn, restore);
    if (r == bookani::StripResult::Overflow) return false;
    return present(turn, window);
}

// Shows the frame just drawn once the one before has been on screen for a whole refresh, so a
// fast machine does not merge frames away. False when pending events destroyed the animator.
bool Cls_BookAni::present(const Turn& turn, gdi::HWND window) {
    const std::shared_ptr<bool> alive = m_alive;
    if (m_frameInterval > 0 && m_shown.isValid()) {
        const qint64 remaining = m_frameInterval - m_shown.elapsed();
        if (remaining > 0) QThread::msleep(static_cast<unsigned long>(remaining));
    }
    gdi::InvalidateRect(window, &turn.area, true);
    QCoreApplication::processEvents();
    if (!*alive) return false;
    if (m_stopWhen && m_stopWhen()) return false;
    m_shown.start();
    return true;
}

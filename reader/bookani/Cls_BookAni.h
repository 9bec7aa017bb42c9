#pragma once
// Draws one page turn between two pictures of a two-page spread: the spread shown so far (the
// current picture) and the one about to be shown (the flip picture). Each frame is drawn onto
// the target DC, the target window is asked to repaint and pending events run.

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "bookani/BookAniStrip.h"
#include "bookani/Surface.h"
#include "graphics/Gdi.h"

class Cls_BookAni {
public:
    Cls_BookAni();
    ~Cls_BookAni();
    Cls_BookAni(const Cls_BookAni&) = delete;
    Cls_BookAni& operator=(const Cls_BookAni&) = delete;

    void Set_FrameCount(int16_t count);
    // 1: the left page turns over to the right; 2: the right page to the left; anything else
    // turns nothing. Outside the int16 range: false, and the position becomes 0.
    bool Set_PagePos(int32_t pos);
    // Also picks the frame count for the width; set a frame count of your own after it.
    void Set_Width(float width);
    void Set_Height(float height);
    void Set_Depth(int16_t depth);
    // Only -1 draws the page edges.
    void Set_Border(int16_t border);
    // Keeps the band above the pages, round(W) x D from the top-left of src.
    bool Screen_DepthCapture(gdi::HDC src);
    void Set_Color(gdi::COLORREF c1, gdi::COLORREF c2, gdi::COLORREF c3, gdi::COLORREF c4,
                   gdi::COLORREF c5);

    // Each Load_* first releases the picture it replaces; false when there is none after it.
    bool Load_CurBookPath(const QString& path, gdi::HDC compatible);
    bool Load_FlipBookPath(const QString& path, gdi::HDC compatible);
    // Copies round(W) x round(H) from the top-left of src.
    bool Load_CurBookDc(gdi::HDC src);
    bool Load_FlipBookDc(gdi::HDC src);
    // Draws from bmp in place; bmp stays its caller's and must not be selected into a DC.
    bool Load_CurBookHandle(gdi::HDC compatible, gdi::HBITMAP bmp);
    bool Load_FlipBookHandle(gdi::HDC compatible, gdi::HBITMAP bmp);

    // Draws the turn onto target. True when a turn was drawn; false when there was none to draw
    // (no turning page, a missing picture, an empty size, a turn already running) or it stopped
    // on a 16-bit overflow: the caller then shows the new spread directly.
    bool Move_Flip(gdi::HDC target, gdi::HWND targetWindow);

    // The least time each frame stays on screen (16 ms, one refresh); 0 draws flat out.
    void setFrameInterval(int ms) { m_frameInterval = ms; }
    // Asked after every frame: true ends the turn there (the window closes, shrinks to the
    // task bar or changes size), and Move_Flip returns false.
    void setStopWhen(std::function<bool()> stop) { m_stopWhen = std::move(stop); }
    int16_t FrameCount() const { return m_frameCount; }
    int16_t PagePos() const { return m_pagePos; }

private:
    struct Turn;

    bool loadPicture(bookani::Surface& surface, const QString& path, gdi::HDC compatible);
    bool loadCopy(bookani::Surface& surface, gdi::HDC src, double w, double h);
    bool turnPage(const Turn& turn, bookani::Side first, gdi::HDC target, gdi::HWND window);
    void fillWork(const Turn& turn, const bookani::Surface& picture, bookani::Side side);
    bool frame(const Turn& turn, bookani::Side side, gdi::HDC target, gdi::HWND window,
               std::optional<int16_t> extent, std::optional<int16_t> lift,
               bookani::Columns* drawn, const bookani::Restore* restore);
    bool present(const Turn& turn, gdi::HWND window);

    int16_t m_frameCount = 6;
    int16_t m_pagePos = 0;
    bookani::PageLook m_look;
    bookani::Surface m_cur, m_flip, m_depth, m_work;

    int m_frameInterval = 16;
    std::function<bool()> m_stopWhen;
    QElapsedTimer m_shown;
    bool m_turning = false;
    // Pending events run between frames and may destroy the animator; a turn notices it here.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

#pragma once
// A memory DC with a bitmap selected into it, released in the right order by its owner: the
// displaced bitmap goes back in, an owned bitmap is deleted, then the DC. A borrowed bitmap is
// never deleted; it leaves the DC selected into nothing, as its owner gave it.

#include <utility>

#include "graphics/Gdi.h"

namespace bookani {

class Surface {
public:
    Surface() = default;
    ~Surface() { release(); }
    Surface(Surface&& other) noexcept { *this = std::move(other); }
    Surface& operator=(Surface&& other) noexcept;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A black w x h surface; empty when the size is not positive.
    static Surface blank(gdi::HDC compatible, int w, int h);
    // A w x h surface holding the top-left of src; empty when src cannot be read.
    static Surface copyOf(gdi::HDC src, int w, int h);
    // Takes bmp over: it is deleted on release, or at once when it cannot be selected.
    static Surface owning(gdi::HDC compatible, gdi::HBITMAP bmp);
    // Draws on bmp for its owner; bmp must not be selected into another DC.
    static Surface borrowing(gdi::HDC compatible, gdi::HBITMAP bmp);

    void release();
    gdi::HDC dc() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    Surface(gdi::HDC compatible, gdi::HBITMAP bmp, bool owned);

    gdi::HDC m_dc = nullptr;
    gdi::HBITMAP m_bitmap = nullptr;
    gdi::HBITMAP m_displaced = nullptr;
    bool m_owned = false;
};

// A solid one-pixel pen selected into dc for the lifetime of the object, then deleted.
class SelectedPen {
public:
    SelectedPen(gdi::HDC dc, gdi::COLORREF colour);
    ~SelectedPen();
    SelectedPen(const SelectedPen&) = delete;
    SelectedPen& operator=(const SelectedPen&) = delete;

private:
    gdi::HDC m_dc;
    gdi::HPEN m_pen;
    gdi::HPEN m_displaced;
};

}  // namespace bookani

#include "bookani/Surface.h"

#include <utility>

namespace bookani {

Surface::Surface(gdi::HDC compatible, gdi::HBITMAP bmp, bool owned) {
    if (!bmp) return;
    m_dc = gdi::CreateCompatibleDC(compatible);
    m_displaced = gdi::SelectObject(m_dc, bmp);
    if (!m_displaced) {
        gdi::DeleteDC(m_dc);
        m_dc = nullptr;
        if (owned) gdi::DeleteObject(bmp);
        return;
    }
    m_bitmap = bmp;
    m_owned = owned;
}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        release();
        m_dc = std::exchange(other.m_dc, nullptr);
        m_bitmap = std::exchange(other.m_bitmap, nullptr);
        m_displaced = std::exchange(other.m_displaced, nullptr);
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

Surface Surface::blank(gdi::HDC compatible, int w, int h) {
    return Surface(compatible, gdi::CreateCompatibleBitmap(compatible, w, h), true);
}

Surface Surface::copyOf(gdi::HDC src, int w, int h) {
    Surface s = blank(src, w, h);
    if (s && !gdi::BitBlt(s.dc(), 0, 0, w, h, src, 0, 0, gdi::SRCCOPY)) s.release();
    return s;
}

Surface Surface::owning(gdi::HDC compatible, gdi::HBITMAP bmp) {
    return Surface(compatible, bmp, true);
}

Surface Surface::borrowing(gdi::HDC compatible, gdi::HBITMAP bmp) {
    return Surface(compatible, bmp, false);
}

void Surface::release() {
    if (!m_dc) return;
    gdi::SelectObject(m_dc, m_displaced);
    if (m_owned) gdi::DeleteObject(m_bitmap);
    gdi::DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = m_displaced = nullptr;
    m_owned = false;
}

SelectedPen::SelectedPen(gdi::HDC dc, gdi::COLORREF colour)
    : m_dc(dc),
      m_pen(gdi::CreatePen(gdi::PS_SOLID, 1, colour)),
      m_displaced(gdi::SelectObject(dc, m_pen)) {}

SelectedPen::~SelectedPen() {
    if (m_displaced) gdi::SelectObject(m_dc, m_displaced);
    gdi::DeleteObject(m_pen);
}

}  // namespace bookani

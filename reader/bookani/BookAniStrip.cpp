#include "bookani/BookAniStrip.h"

#include "bookani/Surface.h"

namespace bookani {

namespace {

void line(gdi::HDC dc, int x1, int y1, int x2, int y2) {
    gdi::MoveToEx(dc, x1, y1, nullptr);
    gdi::LineTo(dc, x2, y2);
}

// Five shaded lines along the top, the bottom and the page's outer edge, so the turning page
// reads as paper with a thickness.
void drawEdges(gdi::HDC dc, const PageLook& look, Side side, int width, int height) {
    for (int k = 1; k <= 5; ++k) {
        SelectedPen pen(dc, look.colours[k - 1]);
        const int bottom = int(roundHalfEven(look.height - float(k - 1)));
        const int edge = side == Side::Left ? k - 1 : width - k + 1;
        line(dc, 0, k - 1, width, k - 1);
        line(dc, 0, bottom, width, bottom);
        line(dc, edge, 0, edge, height);
    }
}

}  // namespace

StripResult drawStrip(const PageLook& look, Side side, gdi::HDC work, gdi::HDC target,
                      int16_t extent, int16_t lift, Columns* drawn) {
    if (drawn) *drawn = Columns{};
    const std::optional<Strip> strip = stripAt(side, look.width, extent);
    const std::optional<int16_t> base = sub16(look.depth, lift);
    const std::optional<int32_t> height = toInt32(look.height);
    if (!strip || !base || !height) return StripResult::Overflow;
    if (strip->width <= 0 || *height <= 0) return StripResult::Empty;

    Surface copy = Surface::blank(target, strip->width, *height);
    if (!copy) return StripResult::Empty;
    // A left page keeps its columns next to the spine; a right page starts at the spine.
    const int from = side == Side::Left ? strip->x0 : 0;
    gdi::BitBlt(copy.dc(), 0, 0, strip->width, *height, work, from, 0, gdi::SRCCOPY);
    if (look.border) drawEdges(copy.dc(), look, side, strip->width, *height);
    // Column v lands archRow(v) down; neighbours that land on the same row go as one block,
    // which gives the same pixels for far fewer copies where the arch is flat.
    for (int v = 0; v <= strip->width;) {
        const int y = archRow(*base, lift, strip->span, v);
        int run = 1;
        while (v + run <= strip->width && archRow(*base, lift, strip->span, v + run) == y) ++run;
        gdi::BitBlt(target, strip->x0 + v, y, run, *height, copy.dc(), v, 0, gdi::SRCCOPY);
        v += run;
    }
    if (drawn) *drawn = Columns{strip->x0, strip->x0 + strip->width + 1};
    return StripResult::Drawn;
}

}  // namespace bookani

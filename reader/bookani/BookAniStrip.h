#pragma once
// One frame of a turning page: the part of the page still standing, lifted into an arch over
// the spine side of the spread and drawn column by column onto the target.

#include <array>
#include <cstdint>

#include "bookani/BookAniMath.h"
#include "graphics/Gdi.h"

namespace bookani {

// What a turn is drawn with; the animator takes a copy for each turn.
struct PageLook {
    float width = 0;    // W, the whole spread
    float height = 0;   // H, the pages
    int16_t depth = 0;  // D, the band above the pages the page rises into
    bool border = false;
    std::array<gdi::COLORREF, 5> colours{};  // edge lines, outermost first
};

enum class StripResult { Drawn, Empty, Overflow };

// The columns [from, to) of the target a strip was drawn on, its whole height.
struct Columns {
    int from = 0, to = 0;
};

// What a frame puts back before its strip is drawn: columns of target, the turn area's whole
// height, from background (the spread as it lies under the turning page). With `below`, the
// background is read where it lies: the rows above logical row `split` from background, the
// rest from below, whose top lies on that row, pixel for pixel as if below had been copied
// there first.
struct Restore {
    gdi::HDC background = nullptr;
    Columns columns;
    int height = 0;
    gdi::HDC below = nullptr;
    int split = 0;
};

// Draws the strip of the half page on work for a turn of extent, lifted by lift, onto target;
// where it went goes to *drawn (nothing when it drew nothing). With restore, its columns are
// the background again but where the new strip covers them, so they are copied once a frame.
// Empty: the strip has no width this frame; Overflow: the 16-bit arithmetic left its range
// (and nothing is put back).
StripResult drawStrip(const PageLook& look, Side side, gdi::HDC work, gdi::HDC target,
                      int16_t extent, int16_t lift, Columns* drawn = nullptr,
                      const Restore* restore = nullptr);

}  // namespace bookani

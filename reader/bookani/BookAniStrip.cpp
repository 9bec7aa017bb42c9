#include "bookani/BookAniStrip.h"

#include "graphics/Raster.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace bookani {

namespace {

// Strip columns [v, v + width) land `y` rows down the target.
struct Run {
    int v = 0, width = 0, y = 0;
};

// Column v lands archRow(v) down; neighbours that land on the same row go as one run, which
// gives the same pixels for far fewer copies where the arch is flat.
std::vector<Run> archRuns(const Strip& strip, int width, int16_t base, int16_t lift) {
    std::vector<Run> runs;
    for (int v = 0; v < width;) {
        const int y = archRow(base, lift, strip.span, v);
        int run = 1;
        while (v + run < width && archRow(base, lift, strip.span, v + run) == y) ++run;
        runs.push_back({v, run, y});
        v += run;
    }
    return runs;
}

// Puts back restore's columns from its background, but the rows the strip's runs (at x0, each
// `height` rows tall) are about to cover.
void putBack(QImage& to, const Restore& restore, const std::vector<Run>& runs, int x0,
             int height) {
    const QImage* bg = gdi::SurfaceOf(restore.background);
    const QImage* below = restore.below ? gdi::SurfaceOf(restore.below) : nullptr;
    if (!bg || (restore.below && !below)) return;
    // In device rows, cut where below's top lands, as a copy of it to there would put it;
    // without below, every row comes from background.
    const qreal ratio = to.devicePixelRatio();
    const int split = below ? gdi::raster::toDevice(restore.split, ratio) : INT_MAX;
    std::vector<gdi::raster::DevicePart> above, under;
    auto rows = [&](int from, int to, int top, int bottom) {
        if (to <= from || bottom <= top) return;
        const QRect d = gdi::raster::toDevice(QRect(from, top, to - from, bottom - top), ratio);
        const int cut = std::clamp(split, d.top(), d.bottom() + 1);
        if (cut > d.top())
            above.push_back({QRect(d.left(), d.top(), d.width(), cut - d.top()), d.topLeft()});
        if (cut <= d.bottom())
            under.push_back({QRect(d.left(), cut, d.width(), d.bottom() + 1 - cut),
                             QPoint(d.left(), cut - split)});
    };
    int x = restore.columns.from;
    for (const Run& run : runs) {
        const int from = std::max(x0 + run.v, x), to = std::min(x0 + run.v + run.width,
                                                                  restore.columns.to);
        if (to <= from) continue;
        rows(x, from, 0, restore.height);
        rows(from, to, 0, run.y);
        // From the strip's last row down: on a screen scaled by a fraction the strip may end a
        // device row short of its logical bottom, and that row must not keep the last frame.
        rows(from, to, run.y + height - 1, restore.height);
        x = to;
    }
    rows(x, restore.columns.to, 0, restore.height);
    gdi::raster::putDeviceParts(to, *bg, above);
    if (below) gdi::raster::putDeviceParts(to, *below, under);
}

// Five shaded lines along the top, the bottom and the page's outer edge of the strip as it
// lies on the target, so the turning page reads as paper with a thickness: later lines over
// earlier ones, each along its row of every run.
void drawEdges(QImage& to, const PageLook& look, Side side, const std::vector<Run>& runs,
               int x0, int width, int height) {
    auto row = [&](const Run& run, int r, QRgb colour) {
        if (r < 0 || r >= height) return;
        gdi::raster::line(to, QPoint(x0 + run.v, run.y + r),
                          QPoint(x0 + run.v + run.width - 1, run.y + r), colour, true);
    };
    for (int k = 1; k <= 5; ++k) {
        const QRgb colour = gdi::toQColor(look.colours[k - 1]).rgb();
        const int bottom = int(roundHalfEven(look.height - float(k - 1)));
        const int edge = side == Side::Left ? k - 1 : width - k + 1;
        for (const Run& run : runs) {
            row(run, k - 1, colour);
            row(run, bottom, colour);
            if (edge >= run.v && edge < run.v + run.width)
                gdi::raster::line(to, QPoint(x0 + edge, run.y),
                                  QPoint(x0 + edge, run.y + height - 1), colour, true);
        }
    }
}

}  // namespace

StripResult drawStrip(const PageLook& look, Side side, gdi::HDC work, gdi::HDC target,
                      int16_t extent, int16_t lift, Columns* drawn, const Restore* restore) {
    if (drawn) *drawn = Columns{};
    const std::optional<Strip> strip = stripAt(side, look.width, extent);
    const std::optional<int16_t> base = sub16(look.depth, lift);
    const std::optional<int32_t> height = toInt32(look.height);
    if (!strip || !base || !height) return StripResult::Overflow;
    QImage* to = gdi::SurfaceOf(target);
    const QImage* page = gdi::SurfaceOf(work);
    if (!to || !page) return StripResult::Empty;
    // A left page keeps its columns next to the spine; a right page starts at the spine.
    const int from = side == Side::Left ? strip->x0 : 0;
    // The strip's columns and rows the work page holds.
    const QSize held = gdi::raster::logicalSize(*page);
    const int width = std::min(strip->width, held.width() - from);
    const int rows = std::min(*height, held.height());
    const std::vector<Run> runs =
        width > 0 && rows > 0 ? archRuns(*strip, width, *base, lift) : std::vector<Run>{};
    if (restore) putBack(*to, *restore, runs, strip->x0, rows);
    if (runs.empty()) {
        if (restore) gdi::NotifyChanged(target);
        return StripResult::Empty;
    }
    std::vector<gdi::raster::Part> parts;
    for (const Run& run : runs)
        parts.push_back({QPoint(strip->x0 + run.v, run.y), QRect(from + run.v, 0, run.width, rows)});
    gdi::raster::putParts(*to, *page, parts);
    if (look.border) drawEdges(*to, look, side, runs, strip->x0, strip->width, *height);
    gdi::NotifyChanged(target);
    if (drawn) *drawn = Columns{strip->x0, strip->x0 + strip->width + 1};
    return StripResult::Drawn;
}

}  // namespace bookani

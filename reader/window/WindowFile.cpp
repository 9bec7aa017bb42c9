#include "window/WindowFile.h"

#include "window/Binary.h"
#include "window/Layout.h"
#include "window/StateFiles.h"

#include <algorithm>

namespace windowfile {

QString fileName() {
    return QStringLiteral("data%1_%2_%3")
        .arg(TL_VERSION_MAJOR)
        .arg(TL_VERSION_MINOR)
        .arg(TL_VERSION_PATCH);
}

namespace {

using binary::put;
using binary::take;

Placement placementAt(const QByteArray& b) {
    int o = 0;
    Placement p;
    p.left = take<int32_t>(b, o);
    p.top = take<int32_t>(b, o);
    p.width = take<int32_t>(b, o);
    p.height = take<int32_t>(b, o);
    return p;
}

}  // namespace

QByteArray encode(const Record& r) {
    QByteArray out;
    put(out, r.placement.left);
    put(out, r.placement.top);
    put(out, r.placement.width);
    put(out, r.placement.height);
    put(out, r.currentPage);
    put(out, r.pageCount);
    put(out, r.pageTurn);
    return out;
}

std::optional<Record> decode(const QByteArray& bytes) {
    if (bytes.size() < kSize) return std::nullopt;
    Record r;
    r.placement = placementAt(bytes);
    int o = 16;
    r.currentPage = take<int32_t>(bytes, o);
    r.pageCount = take<int32_t>(bytes, o);
    r.pageTurn = take<int16_t>(bytes, o);
    return r;
}

std::optional<Placement> readPlacement(const QString& path) {
    const auto bytes = statefiles::readFile(path);
    if (!bytes || bytes->size() < 16) return std::nullopt;
    return placementAt(*bytes);
}

PlacementUse usePlacement(const std::optional<Placement>& saved, const QList<QRectF>& screens) {
    if (!saved || screens.isEmpty()) return PlacementUse::Maximise;
    // 64 bits: every sum of two saved values stays exact, whatever the file holds.
    const int64_t left = saved->left, top = saved->top;
    const int64_t width = saved->width, height = saved->height;
    // A pixel's worth of slack: the minimum is a size in pixels, saved after rounding.
    constexpr int64_t kSlack = 30;
    if (width + kSlack < layout::kMinWidthTwips || height + kSlack < layout::kMinHeightTwips)
        return PlacementUse::Maximise;
    // The classic test, against the area a maximised window really gets beside the panels, of
    // the screen the window was on.
    const QRectF& home = screens.at(screenOf(saved, screens));
    if (width >= home.width() && height + 300 >= home.height()) return PlacementUse::Maximise;
    bool fits = false, seen = false;
    for (const QRectF& s : screens) {
        fits = fits || (width <= s.width() + kSlack && height <= s.height() + kSlack);
        seen = seen || (left < s.right() && left + width > s.left() && top < s.bottom() &&
                        top + height > s.top());
    }
    return fits && seen ? PlacementUse::Apply : PlacementUse::Maximise;
}

int screenOf(const std::optional<Placement>& saved, const QList<QRectF>& screens) {
    if (!saved) return 0;
    const double left = saved->left, top = saved->top;
    const double right = left + double(saved->width), bottom = top + double(saved->height);
    int best = 0;
    double bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRectF& s = screens.at(i);
        const double w = std::min(right, s.right()) - std::max(left, s.left());
        const double h = std::min(bottom, s.bottom()) - std::max(top, s.top());
        if (w > 0 && h > 0 && w * h > bestArea) {
            bestArea = w * h;
            best = i;
        }
    }
    return best;
}

bool positionUsable(int32_t currentPage, int32_t pageCount, double characters) {
    return pageCount >= 1 && pageCount <= characters && currentPage >= 1 &&
           currentPage <= pageCount && currentPage % 2 == 1;
}

}  // namespace windowfile

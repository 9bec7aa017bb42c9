#include "window/WindowFile.h"

#include "session/Binary.h"
#include "session/StateFiles.h"
#include "window/Layout.h"

#include <algorithm>
#include <type_traits>
#include <variant>

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

// The record, field by field in file order: where each lies and which member holds it, the four
// of the placement first (a placement alone is read from the file's first 16 bytes). Every
// number is little-endian and as wide as its member.
struct Field {
    int offset;
    std::variant<int32_t Placement::*, int32_t Record::*, int16_t Record::*> member;
};

constexpr Field kFields[] = {
    {0, &Placement::left},    {4, &Placement::top},       {8, &Placement::width},
    {12, &Placement::height}, {16, &Record::currentPage}, {20, &Record::pageCount},
    {24, &Record::pageTurn},
};
constexpr int kPlacementSize = 16;

template <typename T, typename Member>
constexpr int widthOf(T Member::*) {
    return int(sizeof(T));
}

// Each field starts where the one before it ends, the placement's fill its first 16 bytes and
// the last ends with the record: the writer, which appends them in this order, puts every one
// at its offset.
constexpr bool fieldsTileRecord() {
    int end = 0;
    for (const Field& f : kFields) {
        const bool inPlacement = std::holds_alternative<int32_t Placement::*>(f.member);
        if (f.offset != end || inPlacement != (f.offset < kPlacementSize)) return false;
        end += std::visit([](auto m) { return widthOf(m); }, f.member);
    }
    return end == kSize;
}
static_assert(fieldsTileRecord());

// The member m of r, or of r's placement.
template <typename R, typename T>
auto& in(R& r, T Placement::*m) {
    return r.placement.*m;
}
template <typename R, typename T>
auto& in(R& r, T Record::*m) {
    return r.*m;
}

// The fields of b (which holds them) into r, the placement's alone unless whole.
void readFields(const QByteArray& b, Record& r, bool whole) {
    for (const Field& f : kFields) {
        if (!whole && f.offset >= kPlacementSize) break;
        std::visit(
            [&](auto m) {
                auto& field = in(r, m);
                int o = f.offset;
                field = take<std::remove_reference_t<decltype(field)>>(b, o);
            },
            f.member);
    }
}

}  // namespace

QByteArray encode(const Record& r) {
    QByteArray out;
    for (const Field& f : kFields) std::visit([&](auto m) { put(out, in(r, m)); }, f.member);
    return out;
}

std::optional<Record> decode(const QByteArray& bytes) {
    if (bytes.size() < kSize) return std::nullopt;
    Record r;
    readFields(bytes, r, true);
    return r;
}

std::optional<Placement> readPlacement(const QString& path) {
    const auto bytes = statefiles::readFile(path);
    if (!bytes || bytes->size() < kPlacementSize) return std::nullopt;
    Record r;
    readFields(*bytes, r, false);
    return r.placement;
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

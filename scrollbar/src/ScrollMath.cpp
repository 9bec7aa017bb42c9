#include "ScrollMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "forms/Units.h"

namespace Qm_ImgScrollBar::math {

namespace {
// The largest coordinate a widget can take (QWIDGETSIZE_MAX); a tick for a value far beyond
// Max lands there instead of overflowing.
constexpr double kFarthestPixel = 16777215;
constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();
}  // namespace

int32_t roundWhole(double twips) {
    if (std::isnan(twips)) return 0;
    return int32_t(forms::roundHalfEven(std::clamp(twips, kInt32Min, kInt32Max)));
}

int toPixels(double twips, double twipsPerPixel) {
    const double px = twipsPerPixel > 0 ? twips / twipsPerPixel : twips;
    if (std::isnan(px)) return 0;
    return int(forms::roundHalfEven(std::clamp(px, -kFarthestPixel, kFarthestPixel)));
}

std::optional<int32_t> difference(int32_t a, int32_t b) {
    int32_t out = 0;
    if (__builtin_sub_overflow(a, b, &out)) return std::nullopt;
    return out;
}

int32_t positiveChange(int32_t change) {
    return change > 0 ? change : 1;
}

int32_t trackLength(double barLength, double arrowsLength, bool enabled) {
    const double raw = enabled ? barLength - arrowsLength : barLength - kDisabledAllowance;
    return std::max(roundWhole(raw), kMinTrackLength);
}

Status tickLength(int32_t track, int32_t min, int32_t max, int32_t largeChange, int32_t& out) {
    const std::optional<int32_t> range = difference(max, min);
    if (!range) return Status::Overflow;
    // A range below zero only comes from a saved state that skipped the set rules; it would put
    // the divisor under one and the tick far past the track, so it counts as an empty range.
    const double divisor = double(std::max(*range, 0)) / positiveChange(largeChange) + 1;
    out = std::max(roundWhole(track / divisor), kMinTickLength);
    return Status::Ok;
}

Travel placeTravel(bool arrowsVisible, Span decrease, Span increase, double tickLength,
                   double barLength) {
    if (arrowsVisible) return {decrease.length, increase.start - tickLength};
    return {kMarginWithoutArrows, barLength - tickLength - kMarginWithoutArrows};
}

Travel dragTravel(bool arrowsVisible, Span decrease, Span increase, double tickLength,
                  double barLength) {
    if (arrowsVisible)
        return {double(roundWhole(decrease.start + decrease.length)),
                double(roundWhole(increase.start - tickLength))};
    return {kMarginWithoutArrows,
            double(roundWhole(barLength - tickLength - kMarginWithoutArrows))};
}

Status tickPosition(int32_t value, int32_t min, int32_t max, Travel travel,
                    std::optional<float>& out) {
    out.reset();
    const std::optional<int32_t> offset = difference(value, min);
    const std::optional<int32_t> range = difference(max, min);
    if (!offset || !range) return Status::Overflow;
    if (*range == 0) return Status::Ok;
    out = float(double(*offset) / double(*range) * (travel.end - travel.start) + travel.start);
    return Status::Ok;
}

double clampDrag(double wanted, Travel travel) {
    double p = wanted;
    if (p >= travel.end) p = travel.end;
    if (p <= travel.start) p = travel.start;
    return p;
}

int32_t dragValue(double left, Travel travel, int32_t min, int32_t max) {
    // The range is taken exactly, so a drag on a bar whose range exceeds 32 bits still works.
    const double range = double(int64_t(max) - int64_t(min));
    const double v = (left - travel.start) / (travel.end - travel.start) * range + min;
    return roundWhole(v);
}

StepBound stepBound(int32_t value, int64_t step, int32_t min, int32_t max) {
    const int64_t next = int64_t(value) + step;
    if (next > max) return StepBound::AboveMax;
    if (next < min) return StepBound::BelowMin;
    return StepBound::Inside;
}

}  // namespace Qm_ImgScrollBar::math

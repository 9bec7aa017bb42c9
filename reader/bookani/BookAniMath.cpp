#include "bookani/BookAniMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bookani {

namespace {

struct Band {
    float from, to;
    int16_t frames;
};
constexpr Band kBands[] = {{1, 100, 66},   {101, 200, 60}, {201, 300, 54},
                           {301, 400, 48}, {401, 500, 42}, {501, 600, 36},
                           {601, 700, 30}, {701, 800, 24}, {801, 1024, 18}};
constexpr int16_t kOutsideBands = 6;

template <typename Int>
std::optional<Int> fitting(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double r = roundHalfEven(x);
    if (r < double(std::numeric_limits<Int>::min()) || r > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(r);
}

std::optional<int16_t> narrow(int32_t x) {
    if (x < std::numeric_limits<int16_t>::min() || x > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return int16_t(x);
}

}  // namespace

int16_t frameCountForWidth(float width) {
    // Widths between bands (100.5) and NaN fall through to the default as well.
    for (const Band& b : kBands)
        if (width >= b.from && width <= b.to) return b.frames;
    return kOutsideBands;
}

double roundHalfEven(double x) {
    // The default rounding mode rounds ties to even; nothing in the reader changes it.
    return std::nearbyint(x);
}

std::optional<int16_t> toInt16(double x) {
    return fitting<int16_t>(x);
}

std::optional<int32_t> toInt32(double x) {
    return fitting<int32_t>(x);
}

std::optional<int16_t> mul16(int16_t a, int16_t b) {
    return narrow(int32_t(a) * int32_t(b));
}

std::optional<int16_t> sub16(int16_t a, int16_t b) {
    return narrow(int32_t(a) - int32_t(b));
}

std::optional<int16_t> stepWidth(float width, int16_t frames) {
    return toInt16(width / float(frames));
}

float liftStep(int16_t depth, int16_t frames) {
    return float(double(depth) / double(frames));
}

std::optional<int16_t> liftAt(int n, float step) {
    return toInt16(float(n) * step);
}

std::optional<Strip> stripAt(Side side, float spreadWidth, int16_t extent) {
    const std::optional<int16_t> g = toInt16(spreadWidth - float(extent));
    if (!g) return std::nullopt;
    Strip s;
    // A page turned all the way still leaves a span of 1, so the arch never divides by zero.
    s.span = *g == 0 ? int16_t(1) : *g;
    s.width = int(roundHalfEven(s.span / 2.0f));
    const float spine = spreadWidth / 2;
    s.x0 = int(roundHalfEven(side == Side::Left ? spine - s.span / 2.0f : spine));
    if (s.width <= 0) return s;
    // A strip holds columns of its own page, all of them once the page lies flat. An odd spread
    // whose spine rounds down leaves the right page a column wider than half, and the strip
    // takes that column too; the rounding of x0 and sw must not carry a left strip past the
    // spine, where the work page has no column to give.
    const int half = int(roundHalfEven(spine));
    const int page = side == Side::Left ? half : int(roundHalfEven(spreadWidth)) - half;
    if (side == Side::Right && page > half) s.width += 1;
    s.width = std::min(s.width, page - (side == Side::Left ? s.x0 : 0));
    return s;
}

int archRow(int16_t base, int16_t lift, int16_t span, int v) {
    // 6.14159, not 2 pi: turns have always been drawn so, with the last column slightly raised.
    const float theta = (-6.14159f / float(span)) * float(v);
    return int(roundHalfEven(double(base) + double(lift) * std::sin(double(theta)) + double(lift)));
}

}  // namespace bookani

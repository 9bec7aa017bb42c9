#pragma once
// The arithmetic of a page turn, free of surfaces. Conversions to integers round half to even,
// and 16-bit results that leave the int16 range come back empty instead of wrapping.

#include <cstdint>
#include <optional>

namespace bookani {

enum class Side { Left, Right };

// Frames per turn for a spread of this width: wider spreads take bigger steps.
int16_t frameCountForWidth(float width);

// x rounded to the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double x);
std::optional<int16_t> toInt16(double x);
std::optional<int32_t> toInt32(double x);
std::optional<int16_t> mul16(int16_t a, int16_t b);
std::optional<int16_t> sub16(int16_t a, int16_t b);

// How far the page edge moves per frame, round(width / frames).
std::optional<int16_t> stepWidth(float width, int16_t frames);
// How far the page rises per frame into the band of the given depth.
float liftStep(int16_t depth, int16_t frames);
// The rise at frame n, round(n * step).
std::optional<int16_t> liftAt(int n, float step);

// Where the strip of a page turned by extent lies.
struct Strip {
    int16_t span = 0;  // g: what is left of the spread width, at least 1
    int width = 0;     // sw = round(g / 2), kept to the strip's own page (see stripAt);
                       // nothing is drawn when it is not positive
    int x0 = 0;        // the strip's left on the spread (and on a left work page)
};
std::optional<Strip> stripAt(Side side, float spreadWidth, int16_t extent);

// The target row of strip column v: the page arches up by lift above base.
int archRow(int16_t base, int16_t lift, int16_t span, int v);

}  // namespace bookani

#pragma once
// Conversions between fractions and whole numbers, and between twips and pixels.

#include <cmath>
#include <cstdint>

namespace forms {

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline int64_t roundHalfEven(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}
inline int roundToInt(double v) {
    return static_cast<int>(roundHalfEven(v));
}

}  // namespace forms

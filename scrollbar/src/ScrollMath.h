#pragma once
// The scroll bar's arithmetic, apart from any widget: track and tick lengths, where the tick
// sits for a value, where a drag puts it and which value that gives, and the steps of the
// auto-repeat. All lengths are twips along the bar's axis.

#include <cstdint>
#include <optional>

#include "controls/Variant.h"

namespace Qm_ImgScrollBar::math {

using controls::Status;

// Tick travel starts this far from each end when the arrows are hidden.
constexpr double kMarginWithoutArrows = 15;
// The track loses this much while the control is disabled.
constexpr double kDisabledAllowance = 30;
constexpr int32_t kMinTrackLength = 15;
// 12 pixels at 15 twips per pixel.
constexpr int32_t kMinTickLength = 180;

// The nearest whole number, halves to even, held inside 32 bits.
int32_t roundWhole(double twips);
// Twips to whole pixels, halves to even, kept inside what a widget can be placed at.
int toPixels(double twips, double twipsPerPixel);
// a - b in 32 bits; nothing when it does not fit.
std::optional<int32_t> difference(int32_t a, int32_t b);
// A value from the property bag that must be positive (LargeChange, SmallChange) but is not
// steps and divides as 1.
int32_t positiveChange(int32_t change);

// The track: the bar's length less both arrows (enabled) or less 30 (disabled), in whole twips,
// never below 15.
int32_t trackLength(double barLength, double arrowsLength, bool enabled);
// The tick's length T = track / ((Max - Min) / LargeChange + 1), whole twips, at least 180.
// Overflow when Max - Min does not fit 32 bits.
Status tickLength(int32_t track, int32_t min, int32_t max, int32_t largeChange, int32_t& out);

// An element's extent along the bar.
struct Span {
    double start = 0;
    double length = 0;
};
// Where the tick's leading edge may go: from start (at Min) to end (at Max).
struct Travel {
    double start = 0;
    double end = 0;
};
// The travel that places the tick for a value: from the decrease arrow's length to the
// increase arrow's start less the tick, or 15 in from both ends without arrows.
Travel placeTravel(bool arrowsVisible, Span decrease, Span increase, double tickLength,
                   double barLength);
// The travel that bounds a drag: the same, but from the decrease arrow's far edge and in whole
// twips.
Travel dragTravel(bool arrowsVisible, Span decrease, Span increase, double tickLength,
                  double barLength);

// The tick's leading edge for value, in single precision; nothing when Max equals Min (the tick
// stays where it is). Overflow when Value - Min or Max - Min does not fit 32 bits.
Status tickPosition(int32_t value, int32_t min, int32_t max, Travel travel,
                    std::optional<float>& out);
// The wanted drag position held inside lo..hi; lo wins when hi < lo.
double clampDrag(double wanted, Travel travel);
// The whole value (halves to even) under a tick at left; travel.end must differ from start.
int32_t dragValue(double left, Travel travel, int32_t min, int32_t max);

// Whether value + step stays inside Min..Max, or which limit it passes.
enum class StepBound { Inside, AboveMax, BelowMin };
StepBound stepBound(int32_t value, int64_t step, int32_t min, int32_t max);

}  // namespace Qm_ImgScrollBar::math

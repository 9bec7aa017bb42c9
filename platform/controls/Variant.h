#pragma once
// The values that cross between a host and a hosted control: dispatch ids, the variant that
// carries property values, and the status every property call returns. Booleans travel as 16-bit
// integers (-1 True, 0 False); integers and OLE colours (0x00BBGGRR, or 0x80000000 | index) as
// 32-bit integers; pictures by reference.

#include <QString>
#include <cstdint>
#include <variant>

#include "controls/Picture.h"

namespace controls {

using DISPID = int32_t;

using Variant = std::variant<std::monostate, int16_t, int32_t, double, QString, PictureRef>;

// The classic run-time error numbers, so a host can report them as the platform would.
enum class Status : int32_t {
    Ok = 0,
    Overflow = 6,
    OutOfMemory = 7,
    TypeMismatch = 13,
    InternalError = 51,
    InvalidPropertyValue = 380,
    ObjectRequired = 424,
    UnknownMember = 438,
};

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// A Boolean as it travels: -1 or 0.
inline Variant BoolVariant(bool b) {
    return Variant(std::in_place_type<int16_t>, b ? kTrue : kFalse);
}
inline Variant LongVariant(int32_t v) {
    return Variant(std::in_place_type<int32_t>, v);
}
// A picture reference; nullptr gives Nothing (which is not the Empty variant).
inline Variant PictureVariant(PictureRef p) {
    return Variant(std::in_place_type<PictureRef>, std::move(p));
}
inline bool IsEmpty(const Variant& v) {
    return std::holds_alternative<std::monostate>(v);
}

// Coercions as the classic property calls make them. Empty counts as 0 / False; a double rounds
// halves to even; a string is read as a number (or "True"/"False" for a Boolean). Each returns
// Ok, Overflow (a number outside the type) or TypeMismatch, and leaves out untouched on failure.
Status CoerceInt32(const Variant& v, int32_t& out);
// Any nonzero number is True.
Status CoerceBool(const Variant& v, bool& out);
// Only a picture reference (Nothing included) is a picture.
Status CoercePicture(const Variant& v, PictureRef& out);

// The same coercions for callers that only need to know whether they worked (ok may be null);
// a failed coercion gives 0, False or Nothing.
int32_t toInt32(const Variant& v, bool* ok = nullptr);
bool toBool(const Variant& v, bool* ok = nullptr);
PictureRef toPicture(const Variant& v, bool* ok = nullptr);

// "Empty", "Nothing", numbers and quoted strings, for messages and test output.
QString Describe(const Variant& v);

}  // namespace controls

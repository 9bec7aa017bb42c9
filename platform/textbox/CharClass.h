#pragma once
// What the line breaker needs to know of a character, as bits, looked up per UTF-16 unit.

#include <cstdint>

namespace textbox::charclass {

enum : uint8_t {
    kNewline = 1,         // CR or LF: ends the line
    kBlank = 2,           // a breaking space: hangs past the edge at a wrap, a break follows it
    kSurrogate = 4,       // half of a pair: the breaker combines the pair first
    kIdeo = 8,            // CJK ideograph or kana: a line may break before and after it
    kNoBreakBefore = 16,  // closing punctuation: never starts a line next to an ideograph
    kNoBreakAfter = 32,   // opening punctuation: never ends a line next to an ideograph
    kGlue = 64,           // combining mark, conjoining jamo, ZWJ: stays with what precedes it
};

// Bits that send the breaker off its fast path.
constexpr uint8_t kSlowPath = kNewline | kBlank | kSurrogate;

// The class of every UTF-16 unit, built once.
const uint8_t* bmpTable();
// The class of a code point outside the BMP.
uint8_t astral(char32_t cp);

}  // namespace textbox::charclass

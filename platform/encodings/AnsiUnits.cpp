#include "encodings/AnsiUnits.h"

namespace encodings::ansi {

int64_t length(const char16_t* s, qsizetype n) {
    // Every unit counts 2 except ASCII (1) and the low half of a pair (0, its pair already has 2):
    // counted apart, in loops of no branches, as a large book is measured a run at a time.
    int64_t ascii = 0, halves = 0;
    for (qsizetype i = 0; i < n; ++i) ascii += s[i] < 0x80;
    for (qsizetype i = 1; i < n; ++i) halves += isLowSurrogate(s[i]) & isHighSurrogate(s[i - 1]);
    return 2 * int64_t(n) - ascii - 2 * halves;
}

qsizetype indexAtByte(const char16_t* s, qsizetype n, qsizetype from, int64_t fromByte,
                      int64_t target, int64_t* byteAt) {
    qsizetype i = from;
    int64_t b = fromByte;
    while (i < n && b < target) b += unitBytes(s, i++);
    // A pair's low half has no byte of its own: the boundary is after it.
    while (i < n && unitBytes(s, i) == 0) ++i;
    if (byteAt) *byteAt = b;
    return i;
}

qsizetype indexHoldingByte(const char16_t* s, qsizetype n, qsizetype from, int64_t fromByte,
                           int64_t target) {
    qsizetype i = from;
    int64_t b = fromByte;
    while (i < n) {
        qsizetype next = i + 1;
        if (isHighSurrogate(s[i]) && next < n && isLowSurrogate(s[next])) ++next;
        const int width = s[i] < 0x80 ? 1 : 2;
        if (b + width > target) return i;
        b += width;
        i = next;
    }
    return n;
}

}  // namespace encodings::ansi

#pragma once
// Text positions in CP949 byte units, computed from the text and never through an encoder: an
// ASCII character counts 1, every other character 2, a surrogate pair is one character (2), so a
// character that CP949 cannot encode still has a place and is never shown as "?".

#include <QString>
#include <cstdint>

namespace encodings::ansi {

inline bool isHighSurrogate(char16_t c) {
    return (c & 0xFC00) == 0xD800;
}
inline bool isLowSurrogate(char16_t c) {
    return (c & 0xFC00) == 0xDC00;
}

// Bytes the UTF-16 unit s[i] adds: 1 for ASCII, 0 for the low half of a pair, else 2.
inline int unitBytes(const char16_t* s, qsizetype i) {
    if (s[i] < 0x80) return 1;
    if (i > 0 && isLowSurrogate(s[i]) && isHighSurrogate(s[i - 1])) return 0;
    return 2;
}

// Bytes of s[0, n).
int64_t length(const char16_t* s, qsizetype n);

// From unit `from` at byte `fromByte`, the first character boundary whose first byte is at or past
// `target` (n when none); *byteAt receives its byte offset. Never stops inside a surrogate pair.
qsizetype indexAtByte(const char16_t* s, qsizetype n, qsizetype from, int64_t fromByte,
                      int64_t target, int64_t* byteAt);

// From unit `from` at byte `fromByte`, the start of the character that holds byte `target` (the
// character that starts at or covers it); n when the text ends before `target`.
qsizetype indexHoldingByte(const char16_t* s, qsizetype n, qsizetype from, int64_t fromByte,
                           int64_t target);

inline const char16_t* units(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.utf16());
}

}  // namespace encodings::ansi

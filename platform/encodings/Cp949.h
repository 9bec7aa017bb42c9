#pragma once
// Decoding of code page 949 (Unified Hangul Code, a superset of EUC-KR), the code page of Korean
// Windows text files.

#include <QString>
#include <cstdint>

namespace encodings {

// Decodes CP949 bytes as iconv "CP949" does; a byte or pair it cannot decode becomes one U+FFFD
// and decoding goes on, so the text is never cut short (an ASCII byte after a lone lead byte
// survives).
QString decodeCp949(const char* data, qsizetype size);
// The same into out (room for size units); returns the units written and, when `ascii` is given,
// sets it to how many of them are ASCII.
qsizetype decodeCp949To(const char* data, qsizetype size, char16_t* out,
                        qsizetype* ascii = nullptr);
// What decoding the bytes would give, without the text: its UTF-16 units and CP949 positions
// (1 an ASCII character, 2 any other).
void measureCp949(const char* data, qsizetype size, qsizetype* units, int64_t* positions);

}  // namespace encodings

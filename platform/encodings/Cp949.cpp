#include "encodings/Cp949.h"

#include <iconv.h>
#include <array>
#include <bitset>
#include <cstring>
#include <cstdint>

namespace encodings {

namespace {

// Every pair lead * 256 + trail that iconv decodes, to its UTF-16 unit; 0 where it fails. CP949 has
// no double-byte character outside the BMP and none that decodes to U+0000.
using PairTable = std::array<char16_t, 0x10000>;

char16_t decodeWithIconv(iconv_t cd, const char* in, size_t inSize) {
    char16_t out[4];
    char* src = const_cast<char*>(in);
    char* dst = reinterpret_cast<char*>(out);
    size_t srcLeft = inSize, dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0) return 0;
    return dstLeft == sizeof out - 2 ? out[0] : 0;
}

// Built once through iconv, so decoding a book is one lookup per character.
const PairTable& pairTable() {
    static const PairTable table = [] {
        PairTable t{};
        iconv_t cd = iconv_open("UTF-16LE", "CP949");
        if (cd == iconv_t(-1)) return t;  // every non-ASCII byte then decodes to U+FFFD
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x41; trail <= 0xFE; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                t[lead << 8 | trail] = decodeWithIconv(cd, pair, 2);
            }
        }
        iconv_close(cd);
        return t;
    }();
    return table;
}

}  // namespace

QString decodeCp949(const char* data, qsizetype size) {
    QString text(size, Qt::Uninitialized);
    text.resize(decodeCp949To(data, size, reinterpret_cast<char16_t*>(text.data())));
    return text;
}

qsizetype decodeCp949To(const char* data, qsizetype size, char16_t* out, qsizetype* ascii) {
    const PairTable& pairs = pairTable();
    const auto* s = reinterpret_cast<const uint8_t*>(data);
    char16_t* const begin = out;
    qsizetype low = 0;
    // A character at a time with no branch on what it is: Korean text mixes one-byte and
    // two-byte characters too often for a guess to pay. An ASCII byte looks up the table's
    // first entry, which is 0 and stays near.
    const auto step = [&](qsizetype i, uint8_t trail) {
        const uint8_t c = s[i];
        const bool ascii = c < 0x80;
        const char16_t u = pairs[ascii ? 0 : (c << 8 | trail)];
        const char16_t unit = ascii ? char16_t(c) : u ? u : char16_t(0xFFFD);
        *out++ = unit;
        low += unit < 0x80;
        // A pair that decodes to nothing is one unknown character, but an ASCII byte after a
        // lone lead byte is a character of its own and survives.
        const bool pair = !ascii && (u || (c >= 0x81 && c <= 0xFE && trail >= 0x80 && trail <= 0xFE));
        return i + 1 + qsizetype(pair);
    };
    qsizetype i = 0;
    while (i + 1 < size) i = step(i, s[i + 1]);
    if (i < size) step(i, 0);
    if (ascii) *ascii = low;
    return out - begin;
}

// One bit a pair: whether it decodes. Small enough to stay in the nearest cache.
const std::bitset<0x10000>& decodingPairs() {
    static const std::bitset<0x10000> bits = [] {
        std::bitset<0x10000> b;
        const PairTable& pairs = pairTable();
        for (size_t i = 0; i < pairs.size(); ++i) b[i] = pairs[i] != 0;
        return b;
    }();
    return bits;
}

void measureCp949(const char* data, qsizetype size, qsizetype* units, int64_t* positions) {
    const std::bitset<0x10000>& pairs = decodingPairs();
    const auto* s = reinterpret_cast<const uint8_t*>(data);
    // A byte at a time, as decodeCp949To steps: after a lead (81-FE), a high trail (80-FE)
    // always makes a pair with it, decoding or not; a low one only when the pair decodes, else
    // it begins a character of its own. Only that rare case is looked up.
    int64_t chars = 0, ascii = 0;
    unsigned pending = 0;  // the byte before is a lead waiting for its trail
    unsigned lead = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned b = s[i];
        unsigned paired = pending & unsigned(b - 0x80u <= 0xFEu - 0x80u);
        if (pending && b >= 0x41 && b < 0x80) [[unlikely]]
            paired = pairs[size_t(lead) << 8 | b];
        const unsigned begins = paired ^ 1u;
        chars += begins;
        ascii += begins & unsigned(b < 0x80);
        pending = begins & unsigned(b - 0x81u <= 0xFEu - 0x81u);
        lead = b;
    }
    *units = qsizetype(chars);
    *positions = ascii + 2 * (chars - ascii);
}

}  // namespace encodings

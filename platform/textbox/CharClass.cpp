#include "textbox/CharClass.h"

#include <QChar>
#include <array>

namespace textbox::charclass {

namespace {

struct Range {
    char16_t first, last;
    uint8_t bits;
};

// Hangul is deliberately absent from kIdeo: Korean words stay whole and break at spaces.
constexpr Range kRanges[] = {
    {u'\n', u'\n', kNewline},
    {u'\r', u'\r', kNewline},
    {u' ', u' ', kBlank},
    {u'\t', u'\t', kBlank},
    {0x1680, 0x1680, kBlank},
    {0x2000, 0x2006, kBlank},  // U+2007 FIGURE SPACE does not break
    {0x2008, 0x200B, kBlank},  // up to ZERO WIDTH SPACE
    {0x205F, 0x205F, kBlank},
    {0x3000, 0x3000, kBlank},
    {0xD800, 0xDFFF, kSurrogate},
    {0x1160, 0x11FF, kGlue},  // conjoining vowels and final consonants
    {0xD7B0, 0xD7FF, kGlue},
    {0x200D, 0x200D, kGlue},
    {0x2E80, 0x2FDF, kIdeo},
    {0x3005, 0x3007, kIdeo},
    {0x3021, 0x3029, kIdeo},
    {0x3041, 0x30FF, kIdeo},
    {0x3105, 0x312F, kIdeo},
    {0x31A0, 0x31BF, kIdeo},
    {0x31F0, 0x31FF, kIdeo},
    {0x3400, 0x4DBF, kIdeo},
    {0x4E00, 0x9FFF, kIdeo},
    {0xF900, 0xFAFF, kIdeo},
    {0xFF66, 0xFF9F, kIdeo},
};

constexpr char16_t kClosing[] = {
    u')',   u']',   u'}',   u',',   u'.',   u'!',   u'?',   u':',   u';',   u'%',   0x2019,
    0x201D, 0x2026, 0x3001, 0x3002, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0x3015, 0x3017,
    0x3019, 0x301B, 0x309B, 0x309C, 0x30FC, 0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3063,
    0x3083, 0x3085, 0x3087, 0x308E, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30C3, 0x30E3,
    0x30E5, 0x30E7, 0x30EE, 0x30F5, 0x30F6, 0xFF01, 0xFF09, 0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B,
    0xFF1F, 0xFF3D, 0xFF5D, 0xFF61, 0xFF63, 0xFF64};
constexpr char16_t kOpening[] = {u'(',   u'[',   u'{',   0x2018, 0x201C, 0x3008,
                                 0x300A, 0x300C, 0x300E, 0x3010, 0x3014, 0x3016,
                                 0x3018, 0x301A, 0xFF08, 0xFF3B, 0xFF5B, 0xFF62};

std::array<uint8_t, 0x10000> build() {
    std::array<uint8_t, 0x10000> t{};
    for (char32_t c = 0; c < 0x10000; ++c) {
        switch (QChar::category(c)) {
            case QChar::Mark_NonSpacing:
            case QChar::Mark_SpacingCombining:
            case QChar::Mark_Enclosing:
                t[c] |= kGlue;
                break;
            default:
                break;
        }
    }
    for (const Range& r : kRanges)
        for (char32_t c = r.first; c <= r.last; ++c) t[c] |= r.bits;
    for (char16_t c : kClosing) t[c] |= kNoBreakBefore;
    for (char16_t c : kOpening) t[c] |= kNoBreakAfter;
    return t;
}

}  // namespace

const uint8_t* bmpTable() {
    static const std::array<uint8_t, 0x10000> table = build();
    return table.data();
}

uint8_t astral(char32_t cp) {
    if (cp >= 0x20000 && cp <= 0x3FFFF) return kIdeo;  // CJK extensions B and later
    if (cp >= 0x1B000 && cp <= 0x1B16F) return kIdeo;  // historic kana
    if (cp >= 0x1F3FB && cp <= 0x1F3FF) return kGlue;  // skin tone modifiers
    if (cp >= 0xE0000 && cp <= 0xE01EF) return kGlue;  // tags and variation selectors
    return 0;
}

}  // namespace textbox::charclass

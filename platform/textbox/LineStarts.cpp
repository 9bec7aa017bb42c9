#include "textbox/LineStarts.h"

namespace textbox {

void LineStarts::clear() {
    m_blocks.clear();
    m_size = 0;
}

void LineStarts::push(int32_t index, int32_t byte) {
    const size_t at = size_t(m_size) & kMask;
    if (at == 0) m_blocks.emplace_back(new Start[kBlock]);
    m_blocks.back()[at] = Start{index, byte};
    ++m_size;
}

int32_t LineStarts::lastAtOrBefore(int32_t byte) const {
    // Byte offsets rise with the line: the first line past `byte`, less one.
    int32_t lo = 0, hi = m_size;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if ((*this)[mid].byte <= byte)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo > 0 ? lo - 1 : 0;
}

void LineStarts::appendAfterFirst(LineStarts& more, int32_t byteShift) {
    for (int32_t line = 1; line < more.m_size; ++line) {
        const Start& s = more[line];
        push(s.index, s.byte + byteShift);
        // A block of `more` wholly taken over goes at once, so the two never hold a book twice.
        if ((size_t(line) & kMask) == kMask) more.m_blocks[size_t(line) >> kShift].reset();
    }
    more.clear();
}

}  // namespace textbox

#include "textbox/LineStarts.h"

#include <algorithm>

namespace textbox {

void LineStarts::clear() {
    m_runs.clear();
    m_size = 0;
    m_next = nullptr;
    m_room = 0;
}

void LineStarts::addBlock() {
    if (m_runs.empty()) m_runs.emplace_back();
    Run& run = m_runs.back();
    run.blocks.emplace_back(new Start[kBlock]);
    m_next = run.blocks.back().get();
    m_room = kBlock;
}

const LineStarts::Run& LineStarts::runOf(int32_t line) const {
    // A book has a few dozen runs at most; most lookups land in the first.
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), line,
                                     [](int32_t l, const Run& r) { return l < r.first; });
    return *(it - 1);
}

LineStarts::Start LineStarts::operator[](int32_t line) const {
    const Run& run = runOf(line);
    const size_t i = size_t(line - run.first);
    const Start& s = run.blocks[i >> kShift][i & kMask];
    return Start{s.index + run.indexShift, s.byte + run.byteShift};
}

int32_t LineStarts::lastAtOrBefore(int32_t byte) const {
    if (m_size == 0) return 0;
    // Byte offsets rise with the line: the last run that starts at or before `byte`, then its
    // first start past it, less one.
    const auto first = [](const Run& r) { return r.blocks[0][0].byte + r.byteShift; };
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), byte,
                                     [&](int32_t b, const Run& r) { return b < first(r); });
    if (it == m_runs.begin()) return 0;
    const Run& run = *(it - 1);
    const int32_t relative = byte - run.byteShift;
    int32_t lo = 0, hi = run.size;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (run.blocks[size_t(mid) >> kShift][size_t(mid) & kMask].byte <= relative)
            lo = mid + 1;
        else
            hi = mid;
    }
    return run.first + lo - 1;
}

void LineStarts::append(LineStarts&& more, int32_t byteShift, int32_t indexShift) {
    for (Run& run : more.m_runs) {
        if (run.size == 0) continue;
        run.first += m_size;
        run.byteShift += byteShift;
        run.indexShift += indexShift;
        m_size += run.size;
        m_runs.push_back(std::move(run));
    }
    more.clear();
    if (m_runs.empty()) return;
    // More starts go after the last run's, in its last block while that has room.
    const Run& last = m_runs.back();
    const size_t used = size_t(last.size) & kMask;
    m_next = used ? last.blocks.back().get() + used : nullptr;
    m_room = used ? kBlock - used : 0;
}

}  // namespace textbox

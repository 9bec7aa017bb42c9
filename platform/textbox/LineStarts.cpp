#include "textbox/LineStarts.h"

#include <algorithm>

namespace textbox {

void LineStarts::clear() {
    m_runs.clear();
    m_size = 0;
    m_group = nullptr;
}

LineStarts::Run& LineStarts::newRun() {
    return m_runs.emplace_back();
}

void LineStarts::startGroup(Run& run, Start s) {
    const size_t group = size_t(run.size) >> kGroupShift;
    if ((group & kBlockMask) == 0) run.blocks.emplace_back(new Group[kBlock]);
    m_group = &run.blocks.back()[group & kBlockMask];
    m_group->index = s.index;
    m_group->byte = s.byte;
}

// Line k of the last group, whose distance from the group's first does not fit: the group's
// starts are kept whole from here on.
void LineStarts::putWide(Run& run, int k, Start s) {
    Group& g = *m_group;
    const int32_t group = run.size >> kGroupShift;
    if (g.index != kWideGroup) {
        WideGroup& wide = run.wide.emplace_back();
        wide.group = group;
        for (int j = 0; j < k; ++j) wide.starts[j] = startIn(run, (group << kGroupShift) + j);
        g.index = kWideGroup;
    }
    run.wide.back().starts[k] = s;
}

LineStarts::Start LineStarts::startIn(const Run& run, int32_t i) {
    const size_t group = size_t(i) >> kGroupShift;
    const Group& g = run.blocks[group >> kBlockShift][group & kBlockMask];
    const int k = int(i & kGroupMask);
    if (g.index == kWideGroup) [[unlikely]] {
        const auto it = std::lower_bound(run.wide.begin(), run.wide.end(), int32_t(group),
                                         [](const WideGroup& w, int32_t n) { return w.group < n; });
        return it->starts[k];
    }
    if (k == 0) return Start{g.index, g.byte};
    return Start{g.index + g.di[k - 1], g.byte + g.db[k - 1]};
}

const LineStarts::Run& LineStarts::runOf(int32_t line) const {
    // A book has a few dozen runs at most; most lookups land in the first.
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), line,
                                     [](int32_t l, const Run& r) { return l < r.first; });
    return *(it - 1);
}

LineStarts::Start LineStarts::operator[](int32_t line) const {
    const Run& run = runOf(line);
    const Start s = startIn(run, line - run.first);
    return Start{s.index + run.indexShift, s.byte + run.byteShift};
}

int32_t LineStarts::lastAtOrBefore(int32_t byte) const {
    if (m_size == 0) return 0;
    // Byte offsets rise with the line: the last run that starts at or before `byte`, then its
    // first start past it, less one.
    const auto first = [](const Run& r) { return startIn(r, 0).byte + r.byteShift; };
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), byte,
                                     [&](int32_t b, const Run& r) { return b < first(r); });
    if (it == m_runs.begin()) return 0;
    const Run& run = *(it - 1);
    const int32_t relative = byte - run.byteShift;
    int32_t lo = 0, hi = run.size;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (startIn(run, mid).byte <= relative)
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
    // More starts go after the last run's, in its last group while that has room.
    m_group = nullptr;
    if (m_runs.empty()) return;
    const Run& last = m_runs.back();
    if (last.size & kGroupMask) {
        const size_t group = size_t(last.size) >> kGroupShift;
        m_group = &last.blocks.back()[group & kBlockMask];
    }
}

}  // namespace textbox

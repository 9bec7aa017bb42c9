#include "pages/JumpHistory.h"

void JumpHistory::push(int64_t place) {
    add(m_back, place);
    m_forward.clear();
}

std::optional<int64_t> JumpHistory::back(int64_t current) {
    const std::optional<int64_t> place = take(m_back);
    if (place) add(m_forward, current);
    return place;
}

std::optional<int64_t> JumpHistory::forward(int64_t current) {
    const std::optional<int64_t> place = take(m_forward);
    if (place) add(m_back, current);
    return place;
}

void JumpHistory::clear() {
    m_back.clear();
    m_forward.clear();
}

void JumpHistory::add(std::deque<int64_t>& list, int64_t place) const {
    if (m_capacity == 0) return;
    if (!list.empty() && list.back() == place) return;
    list.push_back(place);
    while (list.size() > m_capacity) list.pop_front();
}

std::optional<int64_t> JumpHistory::take(std::deque<int64_t>& from) {
    if (from.empty()) return std::nullopt;
    const int64_t place = from.back();
    from.pop_back();
    return place;
}

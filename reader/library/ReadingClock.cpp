#include "library/ReadingClock.h"

#include <algorithm>

namespace library {

void ReadingClock::turned(int64_t nowMs, int pages) {
    if (m_last >= 0 && nowMs > m_last)
        m_countedMs += std::min(nowMs - m_last, kMaxPerPageMs * std::clamp(pages, 1, 2));
    m_last = nowMs;
}

int64_t ReadingClock::take() {
    const int64_t seconds = m_countedMs / 1000;
    m_countedMs -= seconds * 1000;
    return seconds;
}

}  // namespace library

#include "pages/OncePerPress.h"

void OncePerPress::pressed(int key, bool autoRepeat, uint64_t timestamp) {
    if (autoRepeat) return;
    if (timestamp != 0 && key == m_key && timestamp == m_releaseTime) return;
    m_key = key;
    m_acted = false;
}

bool OncePerPress::released(int key, bool autoRepeat, uint64_t timestamp) {
    if (autoRepeat) return false;
    const bool already = key == m_key && m_acted;
    m_key = key;
    m_acted = true;
    m_releaseTime = timestamp;
    return !already;
}

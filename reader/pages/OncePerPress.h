#pragma once
// One page turn per press of a page key, acted on when the key comes up.
//
// The platform repeats a held key as release-and-press pairs. Most are marked as repeats, but
// a release read before its partner press had arrived looks genuine; the press that follows it
// then carries the release's own time stamp, which no new press by a person does. Such a press
// continues the press that already turned the page. Time stamp 0 means unknown (synthetic
// events): every unmarked press then counts as new.

#include <cstdint>

class OncePerPress {
public:
    void pressed(int key, bool autoRepeat, uint64_t timestamp);
    // True when this release is the one that turns the page.
    bool released(int key, bool autoRepeat, uint64_t timestamp);

private:
    int m_key = 0;
    bool m_acted = false;
    uint64_t m_releaseTime = 0;
};

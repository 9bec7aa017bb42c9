#pragma once
// The time spent reading a book: only time between turns counts, and no more than a page's
// worth for each page turned past, so a book left open on the desk adds nothing.

#include <cstdint>

namespace library {

class ReadingClock {
public:
    // The most one page may add, in milliseconds.
    static constexpr int64_t kMaxPerPageMs = 3 * 60 * 1000;

    // The reader moved on by pages (a turn of a spread is 2) at nowMs, a steady clock's time.
    void turned(int64_t nowMs, int pages);
    // Starts over: the next turn counts from itself (another book, or back from elsewhere).
    void restart() { m_last = -1; }
    // The whole seconds counted since the last take; the rest of a second stays for the next.
    int64_t take();

private:
    int64_t m_last = -1;
    int64_t m_countedMs = 0;
};

}  // namespace library

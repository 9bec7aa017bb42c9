#pragma once
// The places a reader jumped from, to go back to and forward again as a browser does: a jump
// (a chapter, a find, the bookmark, the first or last spread, the page bar moved far) leaves a
// place on the back list and clears the forward list; going back takes the last place left and
// keeps the place on screen for going forward. Places are text positions, so they hold across
// a relayout. Each list keeps the newest `capacity` places, the oldest dropped.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

class JumpHistory {
public:
    static constexpr std::size_t kCapacity = 20;
    explicit JumpHistory(std::size_t capacity = kCapacity) : m_capacity(capacity) {}

    // A jump left `place`.
    void push(int64_t place);
    // The place to go back (forward) to from `current`, which is kept for the other way; none,
    // and nothing changed, when there is no such place.
    std::optional<int64_t> back(int64_t current);
    std::optional<int64_t> forward(int64_t current);
    // Another book: nothing to go back or forward to.
    void clear();

    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }
    // Newest last.
    const std::deque<int64_t>& backPlaces() const { return m_back; }
    const std::deque<int64_t>& forwardPlaces() const { return m_forward; }

private:
    // Adds place to list unless it is the newest there already, dropping the oldest beyond
    // the capacity.
    void add(std::deque<int64_t>& list, int64_t place) const;
    static std::optional<int64_t> take(std::deque<int64_t>& from);

    std::size_t m_capacity;
    std::deque<int64_t> m_back, m_forward;
};

// The time spent reading counts the time between turns, a page's worth at most per page.

#include <gtest/gtest.h>

#include "library/ReadingClock.h"

namespace {

using library::ReadingClock;

TEST(ReadingClock, CountsTimeBetweenTurnsCappedPerPage) {
    constexpr int64_t cap = ReadingClock::kMaxPerPageMs;
    struct Step {
        int64_t at;
        int pages;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        int64_t seconds;
    } cases[] = {
        {"the first turn only starts the clock", {{5000, 2}}, 0},
        {"turns 30 s apart", {{0, 2}, {30000, 2}, {60000, 2}}, 60},
        {"a spread left for an hour counts two pages' worth", {{0, 2}, {3600000, 2}},
         2 * cap / 1000},
        {"one page on counts one page's worth", {{0, 1}, {3600000, 1}}, cap / 1000},
        {"a clock that went back adds nothing", {{50000, 2}, {20000, 2}}, 0},
    };
    for (const auto& c : cases) {
        ReadingClock clock;
        for (const Step& s : c.steps) clock.turned(s.at, s.pages);
        EXPECT_EQ(clock.take(), c.seconds) << c.what;
        EXPECT_EQ(clock.take(), 0) << c.what;
    }
    // Parts of a second carry over to the next take; a restart counts from the next turn.
    ReadingClock clock;
    clock.turned(0, 2);
    clock.turned(1500, 2);
    EXPECT_EQ(clock.take(), 1);
    clock.turned(3000, 2);
    EXPECT_EQ(clock.take(), 2);
    clock.restart();
    clock.turned(100000, 2);
    EXPECT_EQ(clock.take(), 0);
}

}  // namespace

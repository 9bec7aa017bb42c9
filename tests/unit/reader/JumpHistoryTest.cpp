// The places to go back and forward to: browser order, the forward list cleared by a new jump,
// twenty places kept, nothing changed by a step with nowhere to go.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "pages/JumpHistory.h"

namespace {

// One step of a script: a jump from `place`, a way back or forward from `place` (the place on
// screen) with the place it should give, or clear.
struct Step {
    enum Kind { Push, Back, Forward, Clear } kind;
    int64_t place = 0;
    std::optional<int64_t> gives = std::nullopt;
};

struct Script {
    const char* name;
    std::vector<Step> steps;
    std::deque<int64_t> back, forward;  // the lists at the end, newest last
};

Step push(int64_t place) {
    return {Step::Push, place};
}
Step back(int64_t current, std::optional<int64_t> gives) {
    return {Step::Back, current, gives};
}
Step forward(int64_t current, std::optional<int64_t> gives) {
    return {Step::Forward, current, gives};
}
Step clear() {
    return {Step::Clear};
}

TEST(JumpHistory, BrowserOrder) {
    const Script scripts[] = {
        {"nothing to go back or forward to",
         {back(5, std::nullopt), forward(5, std::nullopt)},
         {},
         {}},
        {"back to the place left, forward to the jump's",
         {push(100), back(900, 100), forward(100, 900)},
         {100},
         {}},
        {"back twice, in order",
         {push(100), push(500), back(900, 500), back(500, 100)},
         {},
         {900, 500}},
        {"forward with nothing ahead changes nothing",
         {push(100), forward(900, std::nullopt)},
         {100},
         {}},
        {"a new jump clears the forward list",
         {push(100), push(500), back(900, 500), push(500)},
         {100, 500},
         {}},
        {"back, then a jump elsewhere: the forward place is gone",
         {push(100), back(900, 100), push(100), forward(300, std::nullopt)},
         {100},
         {}},
        {"back and forth and back",
         {push(100), back(900, 100), forward(100, 900), back(900, 100)},
         {},
         {900}},
        {"the same place twice in a row is kept once",
         {push(100), push(100), back(900, 100), back(100, std::nullopt)},
         {},
         {900}},
        {"clear forgets both ways", {push(100), push(200), back(300, 200), clear()}, {}, {}},
        {"after a clear the history starts again",
         {push(100), clear(), back(7, std::nullopt), push(40), back(60, 40)},
         {},
         {60}},
        {"place 0, the book's start, is a place", {push(0), back(800, 0)}, {}, {800}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        JumpHistory history;
        for (size_t i = 0; i < script.steps.size(); ++i) {
            const Step& s = script.steps[i];
            SCOPED_TRACE("step " + std::to_string(i));
            switch (s.kind) {
                case Step::Push:
                    history.push(s.place);
                    break;
                case Step::Back:
                    EXPECT_EQ(history.back(s.place), s.gives);
                    break;
                case Step::Forward:
                    EXPECT_EQ(history.forward(s.place), s.gives);
                    break;
                case Step::Clear:
                    history.clear();
                    break;
            }
        }
        EXPECT_EQ(history.backPlaces(), script.back);
        EXPECT_EQ(history.forwardPlaces(), script.forward);
        EXPECT_EQ(history.canGoBack(), !script.back.empty());
        EXPECT_EQ(history.canGoForward(), !script.forward.empty());
    }
}

TEST(JumpHistory, KeepsTheNewestTwentyPlaces) {
    const struct {
        int jumps;
        size_t kept;
        int64_t oldest;
    } cases[] = {
        {1, 1, 1}, {19, 19, 1}, {20, 20, 1}, {21, 20, 2}, {45, 20, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jumps);
        JumpHistory history;
        for (int i = 1; i <= c.jumps; ++i) history.push(i);
        ASSERT_EQ(history.backPlaces().size(), c.kept);
        EXPECT_EQ(history.backPlaces().front(), c.oldest);
        EXPECT_EQ(history.backPlaces().back(), c.jumps);
        // Every place kept comes back, newest first; then nothing.
        int64_t here = 1000;
        for (size_t k = 0; k < c.kept; ++k) {
            const std::optional<int64_t> place = history.back(here);
            ASSERT_TRUE(place);
            EXPECT_EQ(*place, c.jumps - int64_t(k));
            here = *place;
        }
        EXPECT_EQ(history.back(here), std::nullopt);
        // Forward leads back to where the first way back started.
        EXPECT_EQ(history.forwardPlaces().size(), c.kept);
        EXPECT_EQ(history.forwardPlaces().front(), 1000);
    }
}

TEST(JumpHistory, ACapacityOfItsOwn) {
    JumpHistory history(3);
    for (int64_t p : {10, 20, 30, 40}) history.push(p);
    EXPECT_EQ(history.backPlaces(), (std::deque<int64_t>{20, 30, 40}));
    JumpHistory none(0);
    none.push(10);
    EXPECT_EQ(none.back(20), std::nullopt);
}

}  // namespace

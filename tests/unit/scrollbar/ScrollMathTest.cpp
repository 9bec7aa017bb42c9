// The bar's arithmetic in tables: track, tick length, tick place, drag, steps, pixels.

#include <gtest/gtest.h>

#include <limits>

#include "ScrollMath.h"

using namespace Qm_ImgScrollBar::math;
using controls::Status;

namespace {
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
}  // namespace

TEST(ScrollMath, TrackLength) {
    struct Case {
        double bar, arrows;
        bool enabled;
        int32_t expected;
    };
    const Case cases[] = {
        {3000, 480, true, 2520},   // two built-in arrows of 240
        {3000, 480, false, 2970},  // disabled: the arrows do not count, 30 does
        {3000, 0, true, 3000},     {400, 480, true, 15},       // never below 15
        {40, 0, false, 15},        {3000.5, 480, true, 2520},  // 2520.5 rounds to even
        {3001.5, 480, true, 2522},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trackLength(c.bar, c.arrows, c.enabled), c.expected)
            << c.bar << " " << c.arrows << " " << c.enabled;
}

TEST(ScrollMath, TickLength) {
    struct Case {
        int32_t min, max, largeChange, track;
        Status status;
        int32_t expected;
    };
    const Case cases[] = {
        {0, 9, 1, 2520, Status::Ok, 252},
        {0, kMax32, 1, 2520, Status::Ok, 180},  // falls to the minimum
        {1, 10, 1, 2520, Status::Ok, 252},
        {1, 1, 1, 2520, Status::Ok, 2520},  // Min = Max: the whole track
        {0, 9, 3, 2520, Status::Ok, 630},   // divided by 9 / 3 + 1 = 4
        {0, 2, 4, 2520, Status::Ok, 1680},  // the division is not truncated
        {0, 9, 1, 2525, Status::Ok, 252},   // 252.5 to even
        {0, 9, 1, 2535, Status::Ok, 254},   // 253.5 to even
        {0, 9, 100, 100, Status::Ok, 180},  // not limited to the track, but at least 180
        {0, 9, 0, 2520, Status::Ok, 252},   // LargeChange 0 from a bag: no division by zero
        {0, 9, -3, 2520, Status::Ok, 252},
        {10, 0, 1, 2520, Status::Ok, 2520},  // Max below Min from a bag: an empty range
        {10, 9, 1000000000, 2520, Status::Ok, 2520},
        {-1, kMax32, 1, 2520, Status::Overflow, 0},
        {kMin32, 0, 1, 2520, Status::Overflow, 0},
    };
    for (const Case& c : cases) {
        int32_t out = 0;
        EXPECT_EQ(tickLength(c.track, c.min, c.max, c.largeChange, out), c.status)
            << c.min << ".." << c.max << " / " << c.largeChange;
        if (c.status == Status::Ok) {
            EXPECT_EQ(out, c.expected) << c.min << ".." << c.max;
        }
    }
}

TEST(ScrollMath, TickPosition) {
    const Travel bar{15, 2733};
    struct Case {
        int32_t value, min, max;
        Status status;
        std::optional<float> expected;
    };
    const Case cases[] = {
        {1, 1, 10, Status::Ok, 15.0f},
        {10, 1, 10, Status::Ok, 2733.0f},
        {4, 1, 10, Status::Ok, 921.0f},
        {7, 1, 10, Status::Ok, float(6.0 / 9.0 * 2718 + 15)},  // single precision
        {10, 1, 3, Status::Ok, 15.0f + 4.5f * 2718},           // Value above a lowered Max
        {1, 1, 1, Status::Ok, std::nullopt},                   // Min = Max: stays
        {0, -1, kMax32, Status::Overflow, std::nullopt},
        {kMin32, 1, 10, Status::Overflow, std::nullopt},  // Value - Min
        {kMax32, kMax32 - 10, kMax32, Status::Ok, 2733.0f},
    };
    for (const Case& c : cases) {
        std::optional<float> p = 99.0f;
        EXPECT_EQ(tickPosition(c.value, c.min, c.max, bar, p), c.status) << c.value;
        EXPECT_EQ(p, c.expected) << c.value << " in " << c.min << ".." << c.max;
    }
}

TEST(ScrollMath, DragClampAndValue) {
    const Travel bar{15, 2733};
    struct Case {
        double wanted;
        double position;
        int32_t min, max, value;
    };
    const Case cases[] = {
        {15, 15, 1, 10, 1},
        {921, 921, 1, 10, 4},
        {1374, 1374, 1, 10, 6},  // exactly 5.5: halves to even
        {1072, 1072, 1, 10, 4},  // exactly 4.5
        {2733, 2733, 1, 10, 10},
        {5000, 2733, 1, 10, 10},
        {-40, 15, 1, 10, 1},
        {1374, 1374, kMin32, kMax32, 0},  // a range beyond 32 bits: -0.5 to even
        {9000, 2733, kMin32, kMax32, kMax32},
    };
    for (const Case& c : cases) {
        const double p = clampDrag(c.wanted, bar);
        EXPECT_DOUBLE_EQ(p, c.position) << c.wanted;
        EXPECT_EQ(dragValue(p, bar, c.min, c.max), c.value) << c.wanted;
    }
    // A bar too short for its tick: the tick ends at the start.
    EXPECT_DOUBLE_EQ(clampDrag(100, {15, 10}), 15);
    EXPECT_DOUBLE_EQ(clampDrag(-5, {15, 10}), 15);
}

TEST(ScrollMath, TwipsToPixels) {
    struct Case {
        double twips, tpp;
        int expected;
    };
    const Case cases[] = {
        {15, 15, 1},     {22.5, 15, 2},        {37.5, 15, 2},  // halves to even
        {252, 15, 17},   {2733, 15, 182},      {921, 15, 61},
        {-22.5, 15, -2}, {3e12, 15, 16777215},  // a tick far past a lowered Max stays placeable
        {300, 0, 300},                          // no screen metrics: never divides by zero
    };
    for (const Case& c : cases) EXPECT_EQ(toPixels(c.twips, c.tpp), c.expected) << c.twips;
}

// The clock every timeline shares, the continuous timeline, and the random
// lengths drawn from a PercentPair.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "render/Timelines.h"
#include "tests/render/TimingTestSupport.h"

using namespace timing_test;

namespace {

struct ClockCase {
    const char* what;
    std::vector<float> times;
    float expectedClock;
    float expectedLastTime;
};

class TimelineClock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(TimelineClock, AdvancesByTheClampedStep)
{
    const ClockCase& c = GetParam();
    KXI_ContinuesTimeLine timeline;
    for (float t : c.times)
        EXPECT_FLOAT_EQ(timeline.Advance(t), t) << "the continuous timeline returns the time it was given";
    EXPECT_FLOAT_EQ(timeline.LocalClock(), c.expectedClock);
    EXPECT_FLOAT_EQ(timeline.LastTime(), c.expectedLastTime);
    EXPECT_EQ(timeline.GetState(), kTimingOn);
    EXPECT_FLOAT_EQ(timeline.GetValue(), 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TimelineClock,
    ::testing::Values(ClockCase{"small steps add up", {0.05f, 0.1f, 0.15f}, 0.15f, 0.15f},
                      ClockCase{"time going back restarts from there", {1.0f, 0.5f}, 0.2f, 0.5f},
                      ClockCase{"back, then forward from the new time", {1.0f, 0.5f, 0.6f}, 0.3f, 0.6f},
                      ClockCase{"a 3 s gap counts 0.2 s", {0.1f, 3.1f}, 0.3f, 3.1f},
                      ClockCase{"a gap of exactly 0.2 passes", {0.2f}, 0.2f, 0.2f},
                      ClockCase{"the same time twice is no step", {0.1f, 0.1f}, 0.1f, 0.1f}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(TimelineClock, SpeedMultipliesTheStep)
{
    KXI_ContinuesTimeLine timeline;
    timeline.speed.QuietSet(3);
    timeline.Advance(0.1f);
    EXPECT_FLOAT_EQ(timeline.LastStep(), 0.3f);
    timeline.Advance(5.0f); // clamped to 0.2 before the speed applies
    EXPECT_FLOAT_EQ(timeline.LastStep(), 0.6f);
    EXPECT_FLOAT_EQ(timeline.LocalClock(), 0.9f);
}

TEST(TimelineClock, ResetStartsTheClockOver)
{
    KXI_ContinuesTimeLine timeline;
    timeline.Advance(0.1f);
    timeline.Advance(0.2f);
    timeline.Reset();
    EXPECT_EQ(timeline.LocalClock(), 0.0f);
    EXPECT_EQ(timeline.LastTime(), 0.0f);
    timeline.Advance(0.15f);
    EXPECT_FLOAT_EQ(timeline.LocalClock(), 0.15f);
}

TEST(PickRandomPercent, DrawsInHundredthsWithinTheRange)
{
    SeededRandom seed;
    PercentPair pair(100, 300);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const float seconds = PickRandomPercent(pair);
        ASSERT_GE(seconds, 1.0f);
        ASSERT_LE(seconds, 3.0f);
        const float hundredths = seconds * 100.0f;
        ASSERT_NEAR(hundredths, std::round(hundredths), 1e-3f) << "lengths come in steps of 0.01 s";
        seen.insert(static_cast<int>(std::lround(hundredths)));
    }
    EXPECT_TRUE(seen.count(100) && seen.count(300)) << "both ends of the range are drawn";
}

TEST(PickRandomPercent, FollowsTheSceneRandomSequence)
{
    // rand() after srand(1) starts 41, 18467: 100 + 41 % 201 and 100 + 18467 % 201.
    SeededRandom seed(1);
    PercentPair pair(100, 300);
    EXPECT_FLOAT_EQ(PickRandomPercent(pair), 1.41f);
    EXPECT_FLOAT_EQ(PickRandomPercent(pair), (100 + 18467 % 201) * 0.01f);
}

struct RangeCase {
    std::uint32_t min;
    std::uint32_t max;
    float lowest;
    float highest;
};

class PickRandomPercentRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PickRandomPercentRange, StaysWithinItsBounds)
{
    const RangeCase& c = GetParam();
    SeededRandom seed(7);
    PercentPair pair(c.min, c.max);
    for (int i = 0; i < 200; ++i) {
        const float seconds = PickRandomPercent(pair);
        ASSERT_GE(seconds, c.lowest);
        ASSERT_LE(seconds, c.highest);
    }
}

constexpr std::uint32_t kMaxU = std::numeric_limits<std::uint32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Ranges, PickRandomPercentRange,
    ::testing::Values(RangeCase{50, 50, 0.5f, 0.5f},             // an empty range gives min
                      RangeCase{300, 100, 3.0f, 3.0f},           // min above max always uses min
                      RangeCase{0, kMaxU, 0.0f, 327.67f},        // the full range: no zero divisor
                      RangeCase{0x80000000u, kMaxU, 0x80000000u * 0.01f, 0x80000000u * 0.01f + 327.67f},
                      RangeCase{kMaxU, kMaxU, kMaxU * 0.01f, kMaxU * 0.01f}));

TEST(SecondsToHundredths, TruncatesAndStaysInRange)
{
    EXPECT_EQ(SecondsToHundredths(0.5f), 50u);
    EXPECT_EQ(SecondsToHundredths(1.0f), 100u);
    EXPECT_EQ(SecondsToHundredths(0.019f), 1u);
    EXPECT_EQ(SecondsToHundredths(-2.0f), 0u);
    EXPECT_EQ(SecondsToHundredths(std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(SecondsToHundredths(std::numeric_limits<float>::infinity()), kMaxU);
    EXPECT_EQ(SecondsToHundredths(1e30f), kMaxU);
}

} // namespace

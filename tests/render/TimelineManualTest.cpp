// The manual timeline: a repeating period with authored on-intervals, and
// the ordered set that holds the intervals.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Timelines.h"
#include "tests/render/TimingTestSupport.h"

using namespace timing_test;

namespace {

constexpr float kFrame = 0.125f;

// Advances in exact 1/8 s frames until the timeline's clock reaches `clock`.
void RunUntilClock(KXI_ManualTimeLine& timeline, float& time, float clock)
{
    while (timeline.LocalClock() < clock) {
        time += kFrame;
        timeline.Advance(time);
    }
}

struct ManualCase {
    float cycleTime;
    int state;
    float level;
    float length;
};

TEST(ManualTimeline, FollowsItsIntervalOverTheCycle)
{
    KXI_ManualTimeLine timeline;
    timeline.intervals.Insert({2.0f, 6.0f, 3.0f, 5.0f});
    const ManualCase cases[] = {
        {1.0f, kTimingOff, 0.0f, 4.0f},     // found (starts within 3 s) but not yet begun
        {2.0f, kTimingRising, 0.0f, 4.0f},  // the start itself belongs to the interval
        {2.5f, kTimingRising, 0.5f, 4.0f},  {3.0f, kTimingOn, 1.0f, 4.0f},
        {4.0f, kTimingOn, 1.0f, 4.0f},      {5.5f, kTimingFalling, 0.5f, 4.0f},
        {6.0f, kTimingFalling, 0.0f, 4.0f}, // the end itself still belongs to it
        {7.0f, kTimingOff, 0.0f, 0.0f},     // no interval ends at or after 7
    };
    float time = 0.0f;
    for (const ManualCase& c : cases) {
        RunUntilClock(timeline, time, c.cycleTime);
        ASSERT_FLOAT_EQ(timeline.CycleTime(), c.cycleTime);
        EXPECT_EQ(timeline.GetState(), c.state) << "u=" << c.cycleTime;
        EXPECT_FLOAT_EQ(timeline.GetValue(), c.level) << "u=" << c.cycleTime;
        EXPECT_FLOAT_EQ(timeline.GetLength(), c.length) << "u=" << c.cycleTime;
        EXPECT_EQ(timeline.GetPhaseProgress(), 0.0f);
    }
}

TEST(ManualTimeline, StartsOffAndResetsOff)
{
    KXI_ManualTimeLine timeline;
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    EXPECT_EQ(timeline.GetValue(), 0.0f);
    EXPECT_FLOAT_EQ(timeline.period.Scaled(), 10.0f);

    timeline.intervals.Insert({0.0f, 5.0f, 0.0f, 5.0f});
    float time = 0.0f;
    RunUntilClock(timeline, time, 1.0f);
    ASSERT_EQ(timeline.GetState(), kTimingOn);
    timeline.Reset();
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    EXPECT_EQ(timeline.GetValue(), 0.0f);
    EXPECT_EQ(timeline.GetLength(), 0.0f);
    EXPECT_EQ(timeline.CycleTime(), 0.0f);
    EXPECT_EQ(timeline.LocalClock(), 0.0f);
}

TEST(ManualTimeline, AnIntervalMoreThanThreeSecondsAheadIsNotReported)
{
    KXI_ManualTimeLine timeline;
    timeline.intervals.Insert({5.0f, 6.0f, 5.0f, 6.0f});
    float time = 0.0f;
    RunUntilClock(timeline, time, 1.875f);
    EXPECT_EQ(timeline.GetLength(), 0.0f) << "starts 3.125 s ahead";
    RunUntilClock(timeline, time, 2.0f);
    EXPECT_EQ(timeline.GetLength(), 1.0f) << "starts exactly 3 s ahead";
    EXPECT_EQ(timeline.GetState(), kTimingOff);
}

TEST(ManualTimeline, TheCycleRepeatsWithThePeriod)
{
    KXI_ManualTimeLine timeline;
    timeline.period.SetChangedValue(400, nullptr); // 4 s
    timeline.intervals.Insert({0.5f, 1.5f, 0.75f, 1.25f});
    float time = 0.0f;
    RunUntilClock(timeline, time, 3.875f);
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    time += kFrame;
    EXPECT_FLOAT_EQ(timeline.Advance(time), 0.0f) << "returns the cycle time, wrapped";
    RunUntilClock(timeline, time, 5.0f);
    EXPECT_FLOAT_EQ(timeline.CycleTime(), 1.0f);
    EXPECT_EQ(timeline.GetState(), kTimingOn);
}

TEST(ManualTimeline, TimeGoingBackHoldsTheCycle)
{
    KXI_ManualTimeLine timeline;
    timeline.Advance(0.125f);
    timeline.Advance(0.25f);
    timeline.Advance(0.125f);
    EXPECT_FLOAT_EQ(timeline.CycleTime(), 0.25f);
    timeline.Advance(0.25f);
    EXPECT_FLOAT_EQ(timeline.CycleTime(), 0.375f);
}

TEST(ManualTimeline, APeriodOfZeroIsOffAndStaysFinite)
{
    KXI_ManualTimeLine timeline;
    timeline.intervals.Insert({0.0f, 1.0f, 0.0f, 1.0f});
    timeline.period.SetChangedValue(0, nullptr);
    float time = 0.0f;
    for (int i = 0; i < 8; ++i) {
        time += kFrame;
        const float cycle = timeline.Advance(time);
        ASSERT_TRUE(std::isfinite(cycle));
        EXPECT_EQ(timeline.GetState(), kTimingOff);
        EXPECT_EQ(timeline.GetValue(), 0.0f);
        EXPECT_EQ(timeline.GetLength(), 0.0f);
    }
}

TEST(ManualTimeline, AFadeOutOfNoLengthEndsAtLevelZero)
{
    KXI_ManualTimeLine timeline;
    timeline.intervals.Insert({0.0f, 1.0f, 0.0f, 1.0f});
    float time = 0.0f;
    RunUntilClock(timeline, time, 1.0f);
    EXPECT_EQ(timeline.GetState(), kTimingFalling);
    EXPECT_EQ(timeline.GetValue(), 0.0f) << "no 0 / 0";
}

TEST(ManualTimeline, SetIntParamGivesANewPeriod)
{
    KXI_ManualTimeLine timeline;
    CountingControl watch(timeline.period);
    timeline.SetIntParam(2500);
    EXPECT_EQ(timeline.period.value, 2500u);
    EXPECT_FLOAT_EQ(timeline.period.Scaled(), 25.0f);
    EXPECT_EQ(watch.count, 1);
    timeline.SetIntParam(2500);
    EXPECT_EQ(watch.count, 1) << "the same period is not announced again";

    KXI_ContinuesTimeLine continuous;
    continuous.SetIntParam(2500); // other kinds ignore it
    EXPECT_EQ(continuous.GetState(), kTimingOn);
}

TEST(ManualTimeline, ReadsItsRecord)
{
    DocumentWriter w;
    w.Dword(500);
    Intervals(w, {{0.0f, 2.0f, 0.5f, 1.5f}, {2.0f, 4.0f, 2.5f, 3.5f}, {2.5f, 4.0f, 3.0f, 3.5f}});
    TimingSection(w);
    KXI_ManualTimeLine timeline;
    CountingControl watch(timeline.period);
    MemoryArchive archive(w.Bytes());
    timeline.ReadBody(archive.Reader(), 1);
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(timeline.period.value, 500u);
    EXPECT_EQ(watch.count, 2) << "set, then announced once more";
    ASSERT_EQ(timeline.intervals.Size(), 2u) << "the touching second interval is dropped";
    EXPECT_EQ(timeline.intervals.begin()[1].start, 2.5f);
}

struct BadCountCase {
    const char* what;
    std::int32_t count;
};

class ManualTimelineBadCount : public ::testing::TestWithParam<BadCountCase> {};

TEST_P(ManualTimelineBadCount, IsRefused)
{
    DocumentWriter w;
    w.Dword(1000).Int(GetParam().count).Float(0.0f).Float(1.0f).Float(0.0f).Float(1.0f);
    TimingSection(w);
    KXI_ManualTimeLine timeline;
    MemoryArchive archive(w.Bytes());
    EXPECT_THROW(timeline.ReadBody(archive.Reader(), 1), DS_Error) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Counts, ManualTimelineBadCount,
                         ::testing::Values(BadCountCase{"negative", -1}, BadCountCase{"more than the bytes hold", 5},
                                           BadCountCase{"huge", std::numeric_limits<std::int32_t>::max()}));

// ---- the interval set -----------------------------------------------------

struct InsertCase {
    const char* what;
    std::vector<TimeInterval> inserted;
    std::vector<float> startsKept;
};

class TimeIntervalSetInsert : public ::testing::TestWithParam<InsertCase> {};

TEST_P(TimeIntervalSetInsert, KeepsDisjointIntervalsInTimeOrder)
{
    const InsertCase& c = GetParam();
    TimeIntervalSet set;
    for (const TimeInterval& i : c.inserted)
        set.Insert(i);
    std::vector<float> starts;
    for (const TimeInterval& i : set)
        starts.push_back(i.start);
    EXPECT_EQ(starts, c.startsKept) << c.what;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeIntervalSetInsert,
    ::testing::Values(InsertCase{"touching: the first stays", {{0, 2, 0, 2}, {2, 4, 2, 4}}, {0}},
                      InsertCase{"apart: both, in order", {{0, 2, 0, 2}, {2.5f, 4, 2.5f, 4}}, {0, 2.5f}},
                      InsertCase{"inserted late but earlier in time", {{2.5f, 4, 3, 4}, {0, 2, 0, 2}}, {0, 2.5f}},
                      InsertCase{"contained", {{0, 10, 1, 9}, {2, 3, 2, 3}}, {0}},
                      InsertCase{"containing", {{2, 3, 2, 3}, {0, 10, 1, 9}}, {2}},
                      InsertCase{"bridging two", {{0, 1, 0, 1}, {3, 4, 3, 4}, {0.5f, 3.5f, 1, 3}}, {0, 3}},
                      InsertCase{"between two", {{0, 1, 0, 1}, {3, 4, 3, 4}, {1.5f, 2.5f, 2, 2}}, {0, 1.5f, 3}},
                      InsertCase{"an instant", {{2, 2, 2, 2}, {3, 3, 3, 3}}, {2, 3}},
                      InsertCase{"end before start", {{5, 3, 4, 4}, {0, 1, 0, 1}}, {0}},
                      InsertCase{"not a number", {{kNaN, 1, 0, 1}, {0, 1, kNaN, 1}, {2, 3, 2, 3}}, {2}},
                      InsertCase{"infinite", {{0, kInf, 0, 1}, {2, 3, 2, 3}}, {2}}));

TEST(TimeIntervalSet, FindsTheFirstIntervalEndingAtOrAfterATime)
{
    TimeIntervalSet set;
    set.Insert({1, 2, 1, 2});
    set.Insert({4, 5, 4, 5});
    EXPECT_EQ(set.FirstEndingAtOrAfter(0.0f)->start, 1.0f);
    EXPECT_EQ(set.FirstEndingAtOrAfter(2.0f)->start, 1.0f);
    EXPECT_EQ(set.FirstEndingAtOrAfter(2.5f)->start, 4.0f);
    EXPECT_EQ(set.FirstEndingAtOrAfter(5.5f), nullptr);
}

} // namespace

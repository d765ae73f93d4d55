// The random timeline: off, fade-in, on, fade-out with random lengths.

#include <gtest/gtest.h>

#include <set>

#include "render/Timelines.h"
#include "tests/render/TimingTestSupport.h"

using namespace timing_test;

namespace {

// Steps of 1/8 s keep every clock value exact.
constexpr float kFrame = 0.125f;

struct Expected {
    float time;
    int state;
    float level;
};

// Off 0 s, on 0.5 s, fades 0.5 s: the cycle of the player's own scene.
void MakeShortCycle(KXI_RandomTimeLine& timeline)
{
    timeline.offLength.min.QuietSet(0);
    timeline.offLength.max.QuietSet(0);
    timeline.onLength.min.QuietSet(50);
    timeline.onLength.max.QuietSet(50);
    timeline.Reset();
}

TEST(RandomTimeline, CyclesThroughItsPhasesOverTime)
{
    KXI_RandomTimeLine timeline;
    MakeShortCycle(timeline);
    const Expected expected[] = {
        {0.125f, kTimingRising, 0.0f}, // the first step past phase end 0 starts the fade-in
        {0.25f, kTimingRising, 0.25f},  {0.5f, kTimingRising, 0.75f},
        {0.625f, kTimingRising, 1.0f},  // at the phase end itself the fade still holds
        {0.75f, kTimingOn, 1.0f},       // on for 0.5 s from here
        {1.25f, kTimingOn, 1.0f},       {1.375f, kTimingFalling, 1.0f},
        {1.5f, kTimingFalling, 0.75f},  {1.875f, kTimingFalling, 0.0f},
        {2.0f, kTimingOff, 0.0f},       // off for one frame (off length 0)
        {2.125f, kTimingRising, 0.0f},
    };
    float t = 0.0f;
    for (const Expected& e : expected) {
        while (t < e.time) {
            t += kFrame;
            const float returned = timeline.Advance(t);
            EXPECT_FLOAT_EQ(returned, timeline.LocalClock()) << "returns the local clock";
        }
        EXPECT_EQ(timeline.GetState(), e.state) << "t=" << t;
        EXPECT_FLOAT_EQ(timeline.GetValue(), e.level) << "t=" << t;
    }
}

TEST(RandomTimeline, NewOrResetIsOffWithLevelZeroUntilTheClockMoves)
{
    KXI_RandomTimeLine timeline;
    MakeShortCycle(timeline);
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    EXPECT_EQ(timeline.GetValue(), 0.0f) << "a new timeline does not show its object at full level";

    timeline.Advance(0.0f); // a first time of 0 is no step
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    EXPECT_EQ(timeline.GetValue(), 0.0f);

    for (float t = kFrame; t <= 1.0f; t += kFrame)
        timeline.Advance(t);
    ASSERT_EQ(timeline.GetState(), kTimingOn);
    timeline.Reset();
    EXPECT_EQ(timeline.GetState(), kTimingOff);
    EXPECT_EQ(timeline.GetValue(), 0.0f) << "a reset timeline is off and shows nothing";
    EXPECT_EQ(timeline.LocalClock(), 0.0f);
    EXPECT_EQ(timeline.PhaseEnd(), 0.0f);

    timeline.Advance(0.0f); // time back to the start: still no step
    EXPECT_EQ(timeline.GetState(), kTimingOff);
}

TEST(RandomTimeline, ANewPhaseIsMeasuredFromTheCurrentClock)
{
    KXI_RandomTimeLine timeline;
    MakeShortCycle(timeline);
    timeline.Advance(0.125f); // rising until 0.625
    timeline.Advance(0.325f);
    timeline.Advance(0.525f);
    timeline.Advance(0.725f); // 0.1 s past the fade's end
    EXPECT_EQ(timeline.GetState(), kTimingOn);
    EXPECT_FLOAT_EQ(timeline.PhaseEnd(), 0.725f + 0.5f) << "the overshoot is not carried into the on phase";
}

TEST(RandomTimeline, OneTransitionPerAdvanceEvenWithZeroLengths)
{
    KXI_RandomTimeLine timeline;
    for (MediaParamT<std::uint32_t>* p :
         {&timeline.offLength.min, &timeline.offLength.max, &timeline.onLength.min, &timeline.onLength.max})
        p->QuietSet(0);
    timeline.fadeIn.QuietSet(0);
    timeline.fadeOut.QuietSet(0);
    timeline.Reset();
    const int expectedStates[] = {kTimingRising, kTimingOn, kTimingFalling, kTimingOff, kTimingRising};
    float t = 0.0f;
    for (int state : expectedStates) {
        t += kFrame;
        timeline.Advance(t);
        EXPECT_EQ(timeline.GetState(), state) << "t=" << t;
        EXPECT_TRUE(timeline.GetValue() == 0.0f || timeline.GetValue() == 1.0f);
    }
}

TEST(RandomTimeline, DrawsANewOnLengthAfterEachOffPhase)
{
    SeededRandom seed(3);
    KXI_RandomTimeLine timeline;
    timeline.offLength.min.QuietSet(0);
    timeline.offLength.max.QuietSet(0);
    timeline.onLength.min.QuietSet(100);
    timeline.onLength.max.QuietSet(300);
    timeline.fadeIn.QuietSet(0);
    timeline.fadeOut.QuietSet(0);
    timeline.Reset();
    std::set<float> lengths;
    for (float t = kFrame; t < 200.0f; t += kFrame) {
        timeline.Advance(t);
        const float on = timeline.CurrentOnLength();
        ASSERT_GE(on, 1.0f);
        ASSERT_LE(on, 3.0f);
        lengths.insert(on);
    }
    EXPECT_GT(lengths.size(), 10u);
}

TEST(RandomTimeline, PhaseProgressAndLength)
{
    KXI_RandomTimeLine timeline;
    MakeShortCycle(timeline);
    EXPECT_FLOAT_EQ(timeline.GetLength(), 1.5f) << "fade-out + fade-in + on length";
    EXPECT_EQ(timeline.GetPhaseProgress(), 0.0f);
    timeline.Advance(0.125f);
    timeline.Advance(0.25f);
    EXPECT_EQ(timeline.GetPhaseProgress(), 0.0f) << "only the on phase has a progress";
    for (float t = 0.375f; t <= 0.75f; t += kFrame)
        timeline.Advance(t);
    ASSERT_EQ(timeline.GetState(), kTimingOn); // on from 0.75 to 1.25
    EXPECT_FLOAT_EQ(timeline.GetPhaseProgress(), 0.0f);
    timeline.Advance(0.875f);
    timeline.Advance(1.0f);
    EXPECT_FLOAT_EQ(timeline.GetPhaseProgress(), 0.5f);
}

TEST(RandomTimeline, AnOnPhaseOfNoLengthReportsItselfComplete)
{
    KXI_RandomTimeLine timeline;
    timeline.onLength.min.QuietSet(0);
    timeline.onLength.max.QuietSet(0);
    timeline.fadeIn.QuietSet(0);
    timeline.Reset();
    timeline.Advance(0.125f); // rising
    timeline.Advance(0.25f);  // on, ending at once
    ASSERT_EQ(timeline.GetState(), kTimingOn);
    EXPECT_EQ(timeline.GetPhaseProgress(), 1.0f);
}

TEST(RandomTimeline, LoadParamsTakesTheOwnersDefaults)
{
    KXI_SmartTiming owner;
    owner.defaultFadeIn = 0.25f;
    owner.defaultOnLength = 2.0f;
    owner.defaultFadeOut = 0.75f;
    KXI_RandomTimeLine timeline;
    CountingControl fadeInWatch(timeline.fadeIn);
    CountingControl onMaxWatch(timeline.onLength.max);

    timeline.LoadParams(owner);
    EXPECT_EQ(timeline.fadeIn.value, 25u);
    EXPECT_FLOAT_EQ(timeline.fadeIn.Scaled(), 0.25f);
    EXPECT_EQ(timeline.fadeOut.value, 75u);
    EXPECT_EQ(timeline.onLength.min.value, 200u);
    EXPECT_EQ(timeline.onLength.max.value, 200u);
    EXPECT_EQ(timeline.onLength.max.undo.Current(), 200u) << "the undo copy takes the quiet set";
    EXPECT_EQ(fadeInWatch.count, 1) << "the fades are announced";
    EXPECT_EQ(onMaxWatch.count, 0) << "the on lengths are not";
    EXPECT_EQ(timeline.offLength.min.value, 100u) << "the off length keeps its values";

    timeline.LoadParams(owner);
    EXPECT_EQ(fadeInWatch.count, 1) << "an unchanged fade is not announced again";
}

TEST(RandomTimeline, ReadsItsRecordAnnouncingTheFades)
{
    DocumentWriter w;
    RandomLengths lengths;
    lengths.offMin = 10;
    lengths.offMax = 20;
    lengths.onMin = 30;
    lengths.onMax = 40;
    lengths.fadeIn = 50; // unchanged from the default
    lengths.fadeOut = 80;
    // The body of a record: the polymorphic header is read by the registry.
    const std::size_t headerBytes = DocumentWriter().Section(u"KXI_RandomTimeLine", 1).Size();
    RandomRecord(w, lengths);
    std::vector<std::uint8_t> body(w.Bytes().begin() + static_cast<std::ptrdiff_t>(headerBytes), w.Bytes().end());
    body.push_back(0xEE); // the byte after the record stays unread

    KXI_RandomTimeLine timeline;
    CountingControl fadeInWatch(timeline.fadeIn);
    CountingControl fadeOutWatch(timeline.fadeOut);
    CountingControl offMinWatch(timeline.offLength.min);
    MemoryArchive archive(body);
    timeline.ReadBody(archive.Reader(), 1);

    EXPECT_EQ(archive.Remaining(), 1u);
    EXPECT_EQ(timeline.offLength.min.value, 10u);
    EXPECT_EQ(timeline.offLength.max.value, 20u);
    EXPECT_EQ(timeline.onLength.min.value, 30u);
    EXPECT_EQ(timeline.onLength.max.value, 40u);
    EXPECT_EQ(offMinWatch.count, 0) << "lengths are stored directly";
    EXPECT_EQ(fadeInWatch.count, 1) << "an unchanged fade is still announced once";
    EXPECT_EQ(fadeOutWatch.count, 2) << "a changed fade is set, then announced once more";
    EXPECT_FLOAT_EQ(timeline.fadeOut.Scaled(), 0.8f);
}

} // namespace

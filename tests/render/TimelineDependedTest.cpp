// The depended timeline: following another object's timeline through the
// render-object registry, and its own delayed window.

#include <gtest/gtest.h>

#include <memory>

#include "render/TimelineDepended.h"
#include "render/Timelines.h"
#include "tests/render/TimingTestSupport.h"

using namespace timing_test;

namespace {

constexpr float kFrame = 0.125f;

// A linked object whose manual timeline is on from 1 s to 5 s of a 10 s
// period, fading in until 1.5 s and out from 4.5 s.
struct LinkedObject {
    explicit LinkedObject(const crt::Guid& guid) : registered(guid, timing)
    {
        auto manual = std::make_unique<KXI_ManualTimeLine>();
        manual->intervals.Insert({1.0f, 5.0f, 1.5f, 4.5f});
        timing.SetValue(KXI_SmartTiming::kManual, nullptr);
        timing.SetTimeline(std::move(manual));
    }
    KXI_Timing& Timeline() { return *timing.CurrentTimeline(); }

    KXI_SmartTiming timing;
    RegisteredObject registered;
};

void Link(KXI_DependedTimeLine& depended, const crt::Guid& guid, int mode)
{
    depended.mode.SetValue(mode, nullptr);
    depended.link.SetValue(guid, nullptr); // the link observer resolves it
}

TEST(DependedTimeline, MirrorsTheLinkedTimeline)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kMirror);
    ASSERT_TRUE(depended.IsLinked());
    for (float t = kFrame; t < 6.0f; t += kFrame) {
        linked.Timeline().Advance(t);
        EXPECT_EQ(depended.Advance(t), t);
        EXPECT_EQ(depended.GetValue(), linked.Timeline().GetValue()) << "t=" << t;
        EXPECT_EQ(depended.GetState(), linked.Timeline().GetState()) << "t=" << t;
    }
    EXPECT_EQ(depended.LocalClock(), 0.0f) << "the depended clock never runs";
}

TEST(DependedTimeline, AnUnknownLinkIsOffAndInert)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(2), KXI_DependedTimeLine::kDelayedWindow);
    EXPECT_FALSE(depended.IsLinked());
    for (float t = kFrame; t < 3.0f; t += kFrame) {
        linked.Timeline().Advance(t);
        depended.Advance(t);
    }
    EXPECT_EQ(depended.GetValue(), 0.0f);
    EXPECT_EQ(depended.GetState(), kTimingOff);
    EXPECT_FALSE(depended.WindowOpen());
}

TEST(DependedTimeline, AStoredLinkWaitsForResolution)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    depended.link.StoreValue(TestGuid(1)); // as the reader stores it: nobody is told
    EXPECT_FALSE(depended.IsLinked());
    depended.ResolveLinks();
    EXPECT_TRUE(depended.IsLinked());
}

TEST(DependedTimeline, OpensItsDelayedWindowWhenTheLinkedTimelineLeavesOff)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kDelayedWindow); // delay 0, on 1 s, fades 0.5 s

    struct Expected {
        float time;
        int state;
        float level;
    };
    // The linked timeline leaves off at 1.0, the start of its interval.
    const Expected expected[] = {
        {0.875f, kTimingOff, 0.0f},
        {1.0f, kTimingOff, 0.0f},      // opened at t itself: strict tests keep it off
        {1.125f, kTimingRising, 0.25f}, {1.5f, kTimingRising, 1.0f},
        {1.625f, kTimingOn, 1.0f},      {2.5f, kTimingOn, 1.0f}, // on start + 1 s
        {2.75f, kTimingFalling, 0.5f},  {3.0f, kTimingFalling, 0.0f},
        {3.125f, kTimingOff, 0.0f},
        {4.875f, kTimingOff, 0.0f}, // the linked timeline is still on: no second window
    };
    float t = 0.0f;
    for (const Expected& e : expected) {
        while (t < e.time) {
            t += kFrame;
            linked.Timeline().Advance(t);
            depended.Advance(t);
        }
        EXPECT_EQ(depended.GetState(), e.state) << "t=" << t;
        EXPECT_FLOAT_EQ(depended.GetValue(), e.level) << "t=" << t;
    }
    EXPECT_FLOAT_EQ(depended.CurrentWindow().fadeInStart, 1.0f);
    EXPECT_FLOAT_EQ(depended.CurrentWindow().end, 3.0f);
    EXPECT_FALSE(depended.WindowOpen()) << "closed by the first advance after its end";
}

TEST(DependedTimeline, EachOffToOnChangeOpensANewWindowAfterItsDelay)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    depended.delay.min.QuietSet(100);
    depended.delay.max.QuietSet(100);
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kDelayedWindow);
    float t = 0.0f;
    while (t < 11.0f) { // the linked cycle restarts at 10 s and is on again at 11
        t += kFrame;
        linked.Timeline().Advance(t);
        depended.Advance(t);
    }
    EXPECT_TRUE(depended.WindowOpen());
    EXPECT_FLOAT_EQ(depended.CurrentWindow().fadeInStart, 12.0f) << "opened at 11 with a 1 s delay";
    EXPECT_EQ(depended.GetState(), kTimingOff);
}

TEST(DependedTimeline, ALinkedTimelineAlreadyOnOpensAWindowAtTheFirstAdvance)
{
    LinkedObject linked(TestGuid(1));
    float t = 0.0f;
    while (t < 2.0f) {
        t += kFrame;
        linked.Timeline().Advance(t);
    }
    ASSERT_EQ(linked.Timeline().GetState(), kTimingOn);
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kDelayedWindow);
    depended.Advance(t);
    EXPECT_TRUE(depended.WindowOpen());
    EXPECT_FLOAT_EQ(depended.CurrentWindow().fadeInStart, t);
}

TEST(DependedTimeline, ModesOtherThanMirrorAndWindowAreOff)
{
    LinkedObject linked(TestGuid(1));
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), 2);
    for (float t = kFrame; t < 3.0f; t += kFrame) {
        linked.Timeline().Advance(t);
        depended.Advance(t);
        EXPECT_EQ(depended.GetState(), kTimingOff);
        EXPECT_EQ(depended.GetValue(), 0.0f);
    }
}

TEST(DependedTimeline, BecomesUnlinkedWhenTheLinkedObjectGoesAway)
{
    auto linked = std::make_unique<LinkedObject>(TestGuid(1));
    float t = 0.0f;
    while (t < 2.0f) {
        t += kFrame;
        linked->Timeline().Advance(t);
    }
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kMirror);
    ASSERT_EQ(depended.GetState(), kTimingOn);

    linked.reset(); // unregisters and destroys the linked timing
    EXPECT_FALSE(depended.IsLinked());
    EXPECT_EQ(depended.GetValue(), 0.0f);
    EXPECT_EQ(depended.GetState(), kTimingOff);
    depended.mode.SetValue(KXI_DependedTimeLine::kDelayedWindow, nullptr);
    EXPECT_EQ(depended.Advance(t + kFrame), t + kFrame);
}

TEST(DependedTimeline, FollowsTheObjectThatTakesOverItsGuid)
{
    LinkedObject first(TestGuid(1));
    KXI_DependedTimeLine depended;
    Link(depended, TestGuid(1), KXI_DependedTimeLine::kMirror);
    {
        KXI_SmartTiming continuous; // always on
        RegisteredObject second(TestGuid(1), continuous);
        EXPECT_EQ(depended.GetState(), kTimingOn) << "the newer registration holds the key";
    }
    EXPECT_FALSE(depended.IsLinked()) << "the entry went with the object that held it";
}

TEST(DependedTimeline, MirrorLoopsAnswerAsUnlinked)
{
    KXI_SmartTiming a;
    KXI_SmartTiming b;
    a.SetValue(KXI_SmartTiming::kDepended, nullptr);
    b.SetValue(KXI_SmartTiming::kDepended, nullptr);
    RegisteredObject objectA(TestGuid(10), a);
    RegisteredObject objectB(TestGuid(11), b);
    auto& timelineA = static_cast<KXI_DependedTimeLine&>(*a.CurrentTimeline());
    auto& timelineB = static_cast<KXI_DependedTimeLine&>(*b.CurrentTimeline());
    Link(timelineA, TestGuid(11), KXI_DependedTimeLine::kMirror);
    Link(timelineB, TestGuid(10), KXI_DependedTimeLine::kMirror);
    EXPECT_EQ(timelineA.GetValue(), 0.0f);
    EXPECT_EQ(timelineA.GetState(), kTimingOff);
    EXPECT_EQ(timelineB.GetValue(), 0.0f);

    Link(timelineA, TestGuid(10), KXI_DependedTimeLine::kMirror); // itself
    EXPECT_EQ(timelineA.GetValue(), 0.0f);
    EXPECT_EQ(timelineA.GetState(), kTimingOff);

    // A window following a mirror of itself asks once and stops.
    Link(timelineA, TestGuid(11), KXI_DependedTimeLine::kDelayedWindow);
    timelineA.Advance(1.0f);
    EXPECT_EQ(timelineB.GetState(), kTimingOff);
}

struct DependedRecordCase {
    std::int32_t version;
    int mode;
    std::uint32_t delayMax;
    std::uint32_t fadeIn;
    int fadeInAnnouncements;
};

class DependedTimelineRecord : public ::testing::TestWithParam<DependedRecordCase> {};

TEST_P(DependedTimelineRecord, ReadsTheFieldsOfItsVersion)
{
    const DependedRecordCase& c = GetParam();
    WindowSettings stored;
    stored.mode = 1;
    stored.delayMin = 20;
    stored.delayMax = 30;
    stored.onMin = 40;
    stored.onMax = 60;
    stored.fadeIn = 70;
    stored.fadeOut = 80;
    DocumentWriter w;
    DependedRecord(w, c.version, TestGuid(42), stored);
    MemoryArchive archive(w.Bytes());
    const SectionHeader header = archive.Reader().ReadSectionHeader();

    KXI_DependedTimeLine timeline;
    CountingControl fadeInWatch(timeline.fadeIn);
    timeline.ReadBody(archive.Reader(), header.version);
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(timeline.link.value, TestGuid(42));
    EXPECT_FALSE(timeline.IsLinked()) << "the link is stored directly";
    EXPECT_EQ(timeline.mode.value, c.mode);
    EXPECT_EQ(timeline.delay.max.value, c.delayMax);
    EXPECT_EQ(timeline.fadeIn.value, c.fadeIn);
    EXPECT_EQ(fadeInWatch.count, c.fadeInAnnouncements);
}

INSTANTIATE_TEST_SUITE_P(Versions, DependedTimelineRecord,
                         ::testing::Values(DependedRecordCase{0, 0, 0, 50, 0}, DependedRecordCase{1, 0, 0, 50, 0},
                                           DependedRecordCase{2, 1, 30, 70, 2},
                                           DependedRecordCase{3, 1, 30, 70, 2}));

} // namespace

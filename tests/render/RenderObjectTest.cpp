// Render objects: registration under the description's GUID, the per-frame
// clock, render-target hand-over, restart, timing links between objects,
// and what DS_ABObj answers from its description.

#include <gtest/gtest.h>

#include <string>

#include "render/RenderObjectRegistry.h"
#include "render/TimelineDepended.h"
#include "render/Timelines.h"
#include "tests/render/RenderObjectTestSupport.h"

namespace {

using namespace render_object_test;

// A timeline with a fixed level that counts its resets.
class FixedLevelTimeline : public KXI_Timing {
public:
    explicit FixedLevelTimeline(float level) { m_level = level; }
    void Reset() override
    {
        KXI_Timing::Reset();
        ++resets;
    }
    int resets = 0;
};

std::unique_ptr<TestRenderObject> MakeObject(TestDescription& description)
{
    std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
    return std::unique_ptr<TestRenderObject>(static_cast<TestRenderObject*>(object.release()));
}

TEST(RenderObjectRegistration, EntersUnderItsGuidUntilDestroyed)
{
    TestDescription description;
    description.guid = TestGuid(100);
    {
        auto object = MakeObject(description);
        EXPECT_EQ(object->Description()->guid, TestGuid(100));
        EXPECT_EQ(FindRenderObject(TestGuid(100)), object.get());
        EXPECT_EQ(FindRegisteredTiming(TestGuid(100)), object->GetTiming());
        EXPECT_NE(object->GetTiming(), &description.timing); // the clone's own
    }
    EXPECT_EQ(FindRenderObject(TestGuid(100)), nullptr);
}

TEST(RenderObjectRegistration, ZeroGuidIsDrawnIntoTheClone)
{
    TestDescription description; // as read from a version 3 document
    auto object = MakeObject(description);
    const crt::Guid drawn = object->Description()->guid;
    EXPECT_FALSE(drawn.IsNull());
    EXPECT_TRUE(description.guid.IsNull());
    EXPECT_EQ(FindRenderObject(drawn), object.get());

    auto second = MakeObject(description);
    EXPECT_NE(second->Description()->guid, drawn);
}

TEST(RenderObjectRegistration, KeepIdZeroAlwaysDrawsANewGuid)
{
    TestDescription description;
    description.guid = TestGuid(101);
    description.keepId = 0;
    auto object = MakeObject(description);
    EXPECT_NE(object->Description()->guid, TestGuid(101));
    EXPECT_EQ(FindRenderObject(TestGuid(101)), nullptr);
}

TEST(RenderObjectRegistration, OlderObjectLeavingKeepsTheNewerEntry)
{
    TestDescription description;
    description.guid = TestGuid(102);
    auto first = MakeObject(description);
    auto second = MakeObject(description);
    EXPECT_EQ(FindRenderObject(TestGuid(102)), second.get());

    // The newer object took the key over; the older one going away must
    // not take the newer one's entry with it.
    first.reset();
    EXPECT_EQ(FindRenderObject(TestGuid(102)), second.get());
    EXPECT_EQ(FindRegisteredTiming(TestGuid(102)), second->GetTiming());

    second.reset();
    EXPECT_EQ(FindRenderObject(TestGuid(102)), nullptr);
}

TEST(RenderObjectRegistration, ObjectWithoutDescriptionStaysOut)
{
    TestDescription description;
    description.guid = TestGuid(103);
    auto registered = MakeObject(description);
    const std::size_t before = g_RenderObjectRegistry->Size();
    {
        TestRenderObject bare(nullptr);
        EXPECT_EQ(g_RenderObjectRegistry->Size(), before);
        EXPECT_EQ(bare.GetTiming(), nullptr);
        bare.Update(1.0f); // nothing to advance
        bare.Restart();
        EXPECT_TRUE(bare.animatedTimes.empty());
    }
    EXPECT_EQ(FindRenderObject(TestGuid(103)), registered.get());
}

TEST(RenderObjectUpdate, ObjectClockTakesRawStepsTimelineClampsItsOwn)
{
    TestDescription description;
    auto object = MakeObject(description);
    KXI_SmartTiming& timing = *object->GetTiming();

    object->Update(5.0f);
    object->Update(4.0f); // time went back
    object->Update(4.05f);
    ASSERT_EQ(object->animatedTimes.size(), 3u);
    EXPECT_FLOAT_EQ(object->animatedTimes[0], 5.0f);
    EXPECT_FLOAT_EQ(object->animatedTimes[1], 4.0f);
    EXPECT_NEAR(object->animatedTimes[2], 4.05f, 1e-6f);
    EXPECT_FLOAT_EQ(timing.lastGlobalTime, 4.05f);
    // The timeline: 0.2 for the long first step, 0 for the jump back, then
    // the short step.
    EXPECT_NEAR(timing.CurrentTimeline()->LocalClock(), 0.25f, 1e-6f);
}

TEST(RenderObjectUpdate, TimelineSpeedScalesOnlyTheTimeline)
{
    TestDescription description;
    auto object = MakeObject(description);
    KXI_Timing* timeline = object->GetTiming()->CurrentTimeline();
    timeline->speed.QuietSet(3);
    object->Update(0.1f);
    EXPECT_NEAR(timeline->LocalClock(), 0.3f, 1e-6f);
    EXPECT_FLOAT_EQ(object->GetTiming()->objectClock, 0.1f);
}

struct ClockModeCase {
    const char* label;
    std::int32_t clockMode;
    std::int32_t flags;
    float expectedClock;
};

class RenderObjectClockModeTest : public testing::TestWithParam<ClockModeCase> {};

TEST_P(RenderObjectClockModeTest, LevelScalesTheStepInModeTwo)
{
    const ClockModeCase& c = GetParam();
    TestDescription description;
    description.timing.clockMode.QuietSet(c.clockMode);
    description.timing.flags = c.flags;
    description.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(0.25f));
    auto object = MakeObject(description);

    object->Update(1.0f);
    object->Update(3.0f);
    EXPECT_FLOAT_EQ(object->GetTiming()->objectClock, c.expectedClock);
    EXPECT_FLOAT_EQ(object->animatedTimes.back(), c.expectedClock);
}

INSTANTIATE_TEST_SUITE_P(Modes, RenderObjectClockModeTest,
                         testing::Values(ClockModeCase{"Plain", 0, 0, 3.0f},
                                         ClockModeCase{"ScaledByLevel", 2, 0, 0.75f},
                                         ClockModeCase{"UnscaledFlag", 2, 0x20, 3.0f},
                                         ClockModeCase{"OtherFlagsScale", 2, 0x01, 0.75f},
                                         ClockModeCase{"ModeOne", 1, 0, 3.0f}),
                         [](const testing::TestParamInfo<ClockModeCase>& info) { return std::string(info.param.label); });

TEST(RenderObjectRender, RenderTargetIsSwitchedOnlyForReaders)
{
    struct Case {
        int renderTargets;
        int expectedSwitches;
        int expectedCounter;
    };
    for (const Case c : {Case{0, 0, 2}, Case{1, 1, 1}}) {
        TestDescription description;
        TestRenderObject object(std::make_unique<TestDescription>(description), c.renderTargets);
        RecordingRenderer renderer;
        int counter = 2;
        object.RenderTo(renderer, counter);
        EXPECT_EQ(renderer.switches, c.expectedSwitches);
        EXPECT_EQ(counter, c.expectedCounter);
        EXPECT_EQ(object.renders, 1);
    }
}

TEST(RenderObjectRestart, ResetsTimelineThenDescription)
{
    TestDescription description;
    description.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(1.0f));
    auto object = MakeObject(description);
    auto* timeline = static_cast<FixedLevelTimeline*>(object->GetTiming()->CurrentTimeline());
    auto* clone = static_cast<TestDescription*>(object->Description());
    object->Update(0.1f);
    clone->StepClocks(0.1f);

    object->Restart();
    EXPECT_EQ(timeline->resets, 1);
    EXPECT_FLOAT_EQ(timeline->LocalClock(), 0.0f);
    EXPECT_EQ(clone->restarts, 1);
    EXPECT_FLOAT_EQ(clone->animationClock, 0.0f);
    EXPECT_EQ(description.restarts, 0);
}

TEST(RenderObjectLinks, DependedTimelineFollowsTheLinkedObject)
{
    TestDescription leader;
    leader.guid = TestGuid(200);
    leader.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(0.25f));
    auto leaderObject = MakeObject(leader);

    TestDescription follower;
    follower.guid = TestGuid(201);
    follower.timing.SetValue(KXI_SmartTiming::kDepended, nullptr);
    auto* depended = dynamic_cast<KXI_DependedTimeLine*>(follower.timing.CurrentTimeline());
    ASSERT_NE(depended, nullptr);
    depended->link.StoreValue(TestGuid(200));
    auto followerObject = MakeObject(follower);

    EXPECT_FLOAT_EQ(depended->GetValue(), 0.0f); // not resolved yet
    followerObject->ResolveTimingLinks();
    EXPECT_FLOAT_EQ(depended->GetValue(), 0.25f);

    // The leader goes: the follower is unlinked, never reading a dead object.
    leaderObject.reset();
    EXPECT_FLOAT_EQ(depended->GetValue(), 0.0f);
    EXPECT_EQ(depended->GetState(), kTimingOff);
}

TEST(RenderObjectQueries, AnswersFromItsDescription)
{
    TestDescription description;
    description.spriteImage.StorePathAndId(u"common_res.dll", 12);
    auto object = MakeObject(description);

    EXPECT_EQ(object->GetKind(), 3);
    EXPECT_EQ(object->QueryExtra(), 0);
    EXPECT_FALSE(object->HitTest(5, 5));
    BoundingRectList rects;
    EXPECT_FALSE(object->AddBoundingRect(rects));
    EXPECT_EQ(rects.size(), 1u);
    FileLinkList links;
    object->CollectFileLinks(links);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].link->Id(), 12);
    EXPECT_EQ(object->OwnedDescription(), object->Description());

    EXPECT_TRUE(object->IsEnabled());
    object->SetEnabled(0);
    EXPECT_FALSE(object->IsEnabled());
    EXPECT_EQ(object->NeedsRenderTarget(), 0);
}

} // namespace

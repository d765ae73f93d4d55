// The strip builder, and the growing and sliding lines that choose the
// visible part of their path from the timeline, on the headless scene.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/particles/systems/LineTestSupport.h"

namespace {

using namespace line_test;
using namespace line_writer;

constexpr float kY = 8.0f;
constexpr float kStep = 0.1f;

StaticLineFields StraightLine(float length, int points = 2)
{
    StaticLineFields f;
    f.width = 4;
    f.line.points = Straight(0.0f, length, kY, points);
    f.line.layer = Ribbon();
    f.line.controller = HeadController();
    return f;
}

std::unique_ptr<KXI_GrovingLine> Growing(StaticLineFields base, std::int32_t retract = 0)
{
    GrowingFields f;
    f.retract = retract;
    f.base = std::move(base);
    DocumentWriter w;
    WriteGrowingLine(w, f);
    return ReadLine<KXI_GrovingLine>(w);
}

std::unique_ptr<KXI_SlidingLine> Sliding(std::uint32_t piece, std::int32_t directionMode, float length)
{
    SlidingFields f;
    f.pieceLength = piece;
    f.directionMode = directionMode;
    f.base = StraightLine(length);
    DocumentWriter w;
    WriteSlidingLine(w, f);
    return ReadLine<KXI_SlidingLine>(w);
}

// The centre of the current point of quad q (vertices 0 and 2), and of its
// previous point (vertices 1 and 3).
math::Vec3 CurrentCentre(const std::vector<QuadBatchVertex>& quads, std::size_t q)
{
    const QuadBatchVertex& a = quads[4 * q];
    const QuadBatchVertex& b = quads[4 * q + 2];
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, 0.0f};
}
math::Vec3 PreviousCentre(const std::vector<QuadBatchVertex>& quads, std::size_t q)
{
    const QuadBatchVertex& a = quads[4 * q + 1];
    const QuadBatchVertex& b = quads[4 * q + 3];
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, 0.0f};
}

using PathLineTest = LineSceneTest;

TEST_F(PathLineTest, StripCoversTheVisiblePartAndPlacesTheHead)
{
    StaticLineFields fields = StraightLine(100.0f);
    fields.line.headSideOffset = 3.0f;
    fields.line.headForwardOffset = 2.0f;
    auto description = Growing(fields);
    ASSERT_NE(description, nullptr);
    HoldTimeline(*description, kTimingOn, 1.0f, 0.0f, 5.0f);
    RunningLine running = Run(*description);
    auto& line = running.Line<KXI_GrovingLine>();
    ASSERT_EQ(running.Mech().BatchCount(), 2u);
    ParticleHandle head = line.GetHead();
    ASSERT_TRUE(head);
    EXPECT_FLOAT_EQ(head->position.x, 500.0f);

    // from = to: no quads, the head stays where it was.
    line.BuildStrip(40.0f, 40.0f);
    EXPECT_EQ(running.Mech().QuadCount(0), 0);
    EXPECT_FLOAT_EQ(head->position.x, 500.0f);

    // A part running past the end: every sample, the last one once more as a
    // quad of no length, and the head beyond it by its offsets.
    line.BuildStrip(50.0f, 150.0f);
    const auto quads = running.Quads(0);
    const std::size_t n = quads.size() / 4;
    ASSERT_EQ(static_cast<std::int32_t>(n), running.Mech().QuadCount(0));
    // 50 samples ahead, and the last once more (one more when the start
    // falls just past a sample).
    EXPECT_GE(n, 51u);
    EXPECT_LE(n, 52u);
    EXPECT_NEAR(PreviousCentre(quads, 0).x, 50.0f, 1e-3f);
    EXPECT_NEAR(CurrentCentre(quads, n - 2).x, 100.0f, 1e-3f);
    EXPECT_NEAR(CurrentCentre(quads, n - 1).x, 100.0f, 1e-3f);
    EXPECT_NEAR(PreviousCentre(quads, n - 1).x, 100.0f, 1e-3f);
    // Full width everywhere, the ribbon's v from the distance to the head
    // (a 4 x 4 texture: one tile per 4 pixels).
    for (std::size_t q = 0; q < n; ++q)
        EXPECT_NEAR(quads[4 * q].y - quads[4 * q + 2].y, 4.0f, 1e-3f) << q;
    EXPECT_NEAR(quads[1].v, 25.0f, 1e-3f);
    // The repeated last sample is a copy of the point before: 50 pixels of
    // the part lay beyond the end.
    EXPECT_NEAR(quads[4 * (n - 1)].v, 12.5f, 1e-2f);
    EXPECT_NEAR(head->position.x, 102.0f, 1e-3f);
    EXPECT_NEAR(head->position.y, kY + 3.0f, 1e-3f);
    EXPECT_FLOAT_EQ(head->velocity.x, 1.0f);
}

TEST_F(PathLineTest, LongPathStopsAtOneBatch)
{
    auto description = Growing(StraightLine(1990.0f, 200));
    ASSERT_NE(description, nullptr);
    HoldTimeline(*description, kTimingOn, 1.0f, 0.0f, 5.0f);
    RunningLine running = Run(*description);
    running.Mech().Animate(kStep);
    const auto quads = running.Quads(0);
    ASSERT_EQ(running.Mech().QuadCount(0), kMaxLineQuads);
    const math::Vec3 last = CurrentCentre(quads, quads.size() / 4 - 1);
    EXPECT_LT(last.x, 1990.0f);
    ParticleHandle head = running.Line<KXI_GrovingLine>().GetHead();
    EXPECT_NEAR(head->position.x, last.x, 1e-3f);
}

TEST_F(PathLineTest, GrowingLineFollowsItsLevel)
{
    struct Case {
        const char* what;
        int state;
        float level;
        std::int32_t retract;
        float from;
        float to;
    };
    const Case cases[] = {
        {"level 1: the whole path", kTimingOn, 1.0f, 0, 0.0f, 100.0f},
        {"rising halfway", kTimingRising, 0.5f, 1, 0.0f, 50.0f},
        {"falling with retract: the last quarter", kTimingFalling, 0.25f, 1, 75.0f, 100.0f},
        {"falling without retract: the first quarter", kTimingFalling, 0.25f, 0, 0.0f, 25.0f},
    };
    for (const Case& c : cases) {
        auto description = Growing(StraightLine(100.0f), c.retract);
        ASSERT_NE(description, nullptr);
        HoldTimeline(*description, c.state, c.level, 0.0f, 5.0f);
        RunningLine running = Run(*description);
        running.Mech().Animate(kStep);
        const auto quads = running.Quads(0);
        ASSERT_FALSE(quads.empty()) << c.what;
        EXPECT_NEAR(PreviousCentre(quads, 0).x, c.from, 0.05f) << c.what;
        EXPECT_NEAR(CurrentCentre(quads, quads.size() / 4 - 1).x, c.to, 0.05f) << c.what;
        EXPECT_NEAR(running.Line<KXI_GrovingLine>().GetHead()->position.x, c.to, 0.05f) << c.what;
    }
    auto description = Growing(StraightLine(100.0f));
    HoldTimeline(*description, kTimingOff, 0.0f);
    RunningLine off = Run(*description);
    off.Mech().Animate(kStep);
    EXPECT_EQ(off.Mech().QuadCount(0), 0);
}

TEST_F(PathLineTest, GrowingHeadRestartsOnLeavingOffAndEveryFrameWithoutALength)
{
    auto description = Growing(StraightLine(100.0f));
    HeldTimeline& timeline = HoldTimeline(*description, kTimingOff, 1.0f, 0.0f, 4.0f);
    RunningLine running = Run(*description);
    auto& line = running.Line<KXI_GrovingLine>();
    running.Mech().Animate(kStep);
    EXPECT_FALSE(line.GetHead()->MainRoutine()); // never restarted while off
    timeline.Hold(kTimingRising, 1.0f, 0.0f, 4.0f);
    running.Mech().Animate(2 * kStep);
    const auto* routine = dynamic_cast<const IPR_HeadAge*>(line.GetHead()->MainRoutine().get());
    ASSERT_NE(routine, nullptr);
    EXPECT_FLOAT_EQ(routine->GetLifetime(), 4.0f);
    EXPECT_NEAR(line.GetHead()->Age(), kStep, 1e-5f);
    running.Mech().Animate(3 * kStep);
    EXPECT_NEAR(line.GetHead()->Age(), 2 * kStep, 1e-5f); // runs on

    // A timeline of no length that is on restarts the head every frame.
    timeline.Hold(kTimingOn, 1.0f, 0.0f, 0.0f);
    for (int frame = 4; frame < 7; ++frame) {
        running.Mech().Animate(static_cast<float>(frame) * kStep);
        EXPECT_NEAR(line.GetHead()->Age(), kStep, 1e-5f) << frame;
    }
}

TEST_F(PathLineTest, SlidingPieceRunsOncePerOnPhase)
{
    // Length 0: nothing drawn, the head stays.
    {
        auto description = Sliding(0, 0, 100.0f);
        HoldTimeline(*description, kTimingOn, 1.0f, 0.5f, 4.0f);
        RunningLine running = Run(*description);
        running.Mech().Animate(kStep);
        EXPECT_EQ(running.Mech().QuadCount(0), 0);
        EXPECT_FLOAT_EQ(running.Line<KXI_SlidingLine>().GetHead()->position.x, 500.0f);
    }
    // Near the end: the strip runs to the end, the head's second random
    // factor is 0.
    {
        auto description = Sliding(20, 0, 100.0f);
        HeldTimeline& timeline = HoldTimeline(*description, kTimingOff, 0.0f, 0.0f, 4.0f);
        RunningLine running = Run(*description);
        auto& line = running.Line<KXI_SlidingLine>();
        running.Mech().Animate(kStep);
        timeline.Hold(kTimingOn, 1.0f, 110.0f / 120.0f, 4.0f);
        running.Mech().Animate(2 * kStep);
        const auto quads = running.Quads(0);
        ASSERT_FALSE(quads.empty());
        EXPECT_NEAR(PreviousCentre(quads, 0).x, 90.0f, 0.05f);
        EXPECT_NEAR(CurrentCentre(quads, quads.size() / 4 - 1).x, 100.0f, 0.05f);
        EXPECT_FLOAT_EQ(line.GetHead()->values[InnerParticle::kOpacityValue], 0.0f);
        const auto* routine = dynamic_cast<const IPR_HeadAge*>(line.GetHead()->MainRoutine().get());
        ASSERT_NE(routine, nullptr);
        EXPECT_FLOAT_EQ(routine->GetLifetime(), 4.0f * 100.0f / 120.0f);
    }
}

TEST_F(PathLineTest, SlidingDirectionModeOneAlternatesRunByRun)
{
    for (const std::int32_t mode : {0, 1}) {
        auto description = Sliding(10, mode, 100.0f);
        HeldTimeline& timeline = HoldTimeline(*description, kTimingOff, 0.0f, 0.0f, 4.0f);
        RunningLine running = Run(*description);
        float t = 0.0f;
        std::vector<float> headXs;
        for (int run = 0; run < 3; ++run) {
            timeline.Hold(kTimingOff, 0.0f, 0.0f, 4.0f);
            running.Mech().Animate(t += kStep);
            timeline.Hold(kTimingOn, 1.0f, 0.25f, 4.0f); // head at 27.5 along the run
            running.Mech().Animate(t += kStep);
            headXs.push_back(running.Line<KXI_SlidingLine>().GetHead()->position.x);
        }
        for (std::size_t run = 0; run < headXs.size(); ++run) {
            const bool backwards = mode == 1 && run % 2 == 0;
            EXPECT_NEAR(headXs[run], backwards ? 72.5f : 27.5f, 0.05f) << "mode " << mode << " run " << run;
        }
    }
}

TEST_F(PathLineTest, SlidingNeverStartsUnderATimelineOnFromItsFirstFrame)
{
    auto description = Sliding(10, 1, 100.0f);
    HoldTimeline(*description, kTimingOn, 1.0f, 0.5f, 0.0f);
    RunningLine running = Run(*description);
    auto& line = running.Line<KXI_SlidingLine>();
    for (int frame = 1; frame <= 5; ++frame)
        running.Mech().Animate(static_cast<float>(frame) * kStep);
    EXPECT_FALSE(line.GetHead()->MainRoutine());
    EXPECT_EQ(line.reverse, 0);
    EXPECT_FALSE(line.armed);
}

} // namespace

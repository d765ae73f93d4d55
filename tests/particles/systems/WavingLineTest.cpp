// The waving line: its wave, the ribbon cut at the straight length, the head
// at the tip, and the head kept across a restart.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/particles/systems/LineTestSupport.h"

namespace {

using namespace line_test;
using namespace line_writer;

constexpr float kStep = 0.1f;
constexpr float kTwoPi = 6.2831855f;

WavingFields Wave(Vec3Fields start, Vec3Fields end, std::uint32_t amplitude, std::uint32_t secondWave)
{
    WavingFields f;
    f.width = 2;
    f.layer = Ribbon();
    f.amplitude = amplitude;
    f.secondWave = secondWave;
    f.start = start;
    f.end = end;
    f.controller = HeadController();
    return f;
}

std::unique_ptr<KXI_WavingLine> ReadWave(const WavingFields& f)
{
    DocumentWriter w;
    WriteWavingLine(w, f);
    auto line = ReadLine<KXI_WavingLine>(w);
    if (line)
        line->ComputeAxis();
    return line;
}

using WavingLineTest = LineSceneTest;

TEST_F(WavingLineTest, WithoutAmplitudeTheRibbonIsStraightWithTheHeadAtTheEnd)
{
    WavingFields f = Wave({4, 8, 0}, {28, 8, 0}, 0, 50);
    f.headSideOffset = 1.0f;
    f.headForwardOffset = 2.0f;
    auto description = ReadWave(f);
    ASSERT_NE(description, nullptr);
    RunningLine running = Run(*description);
    running.Mech().Animate(kStep);
    const auto quads = running.Quads(0);
    ASSERT_EQ(quads.size() / 4, 100u);
    for (std::size_t q = 0; q < 100; ++q) {
        EXPECT_NEAR(quads[4 * q].x - quads[4 * q + 1].x, 0.24f, 1e-3f) << q;
        EXPECT_NEAR(quads[4 * q].y - quads[4 * q + 2].y, 2.0f, 1e-3f) << q;
    }
    EXPECT_NEAR(quads[1].x, 4.0f, 1e-4f);
    EXPECT_NEAR(quads[4 * 99].x, 28.0f, 1e-3f);
    const auto& line = running.Line<KXI_WavingLine>();
    ASSERT_EQ(line.particles.Size(), 1u);
    const math::Vec3 head = line.particles.Particles().front()->position;
    EXPECT_NEAR(head.x, 30.0f, 1e-3f);
    EXPECT_NEAR(head.y, 9.0f, 1e-3f);
    EXPECT_EQ(running.Mech().QuadCount(1), 1);
}

TEST_F(WavingLineTest, StartOnTheEndGivesQuadsOfNoLengthWithoutNaN)
{
    auto description = ReadWave(Wave({10, 6, 0}, {10, 6, 0}, 5, 50));
    RunningLine running = Run(*description);
    running.Mech().Animate(kStep);
    running.Mech().Animate(2 * kStep);
    const auto quads = running.Quads(0);
    ASSERT_EQ(quads.size() / 4, 100u);
    for (const QuadBatchVertex& v : quads) {
        EXPECT_FALSE(std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.u) || std::isnan(v.v));
        EXPECT_NEAR(v.x, 10.0f, 1e-4f);
        EXPECT_NEAR(v.y, 6.0f, 1e-4f);
    }
}

// The sideways offset of wave point i at time t from the straight axis.
float Offset(const KXI_WavingLine& line, int i, float t)
{
    return math::Vec3Dot(line.WavePoint(i, t) - line.start.value, line.normal);
}

TEST_F(WavingLineTest, TwoTermsAndTheirPeriods)
{
    const float pi = 3.1415927f;
    // Second wave 0: only the first term, sin(g pi / 2) A sin(t).
    auto first = ReadWave(Wave({0, 0, 0}, {100, 0, 0}, 10, 0));
    for (const float t : {0.3f, 1.0f, 2.5f}) {
        for (const int i : {0, 25, 50, 100}) {
            const float g = static_cast<float>(i) / 100.0f;
            EXPECT_NEAR(Offset(*first, i, t), std::sin(g * pi / 2) * 10.0f * std::sin(t), 1e-3f) << i << " " << t;
            EXPECT_NEAR(first->WavePoint(i, t).x, 100.0f * g, 1e-3f);
        }
    }
    // The first term repeats every 2 pi, the second every 2 pi / 1.7.
    auto both = ReadWave(Wave({0, 0, 0}, {100, 0, 0}, 10, 60));
    for (const int i : {30, 70}) {
        const float t = 0.7f;
        EXPECT_NEAR(Offset(*first, i, t + kTwoPi), Offset(*first, i, t), 1e-3f);
        const float secondNow = Offset(*both, i, t) - Offset(*first, i, t);
        const float secondLater = Offset(*both, i, t + kTwoPi / 1.7f) - Offset(*first, i, t + kTwoPi / 1.7f);
        EXPECT_GT(std::abs(secondNow), 0.1f);
        EXPECT_NEAR(secondLater, secondNow, 1e-3f);
    }
    // The anchor never moves.
    EXPECT_NEAR(Offset(*both, 0, 1.3f), 0.0f, 1e-6f);
}

TEST_F(WavingLineTest, SwingingRibbonIsCutAtTheStraightLength)
{
    auto description = ReadWave(Wave({0, 8, 0}, {30, 8, 0}, 6, 0));
    RunningLine running = Run(*description);
    running.Mech().Animate(0.2f);
    running.Mech().Animate(0.4f);
    running.Mech().Animate(0.6f);
    running.Mech().Animate(0.8f);
    running.Mech().Animate(1.0f);
    running.Mech().Animate(1.2f);
    running.Mech().Animate(1.4f); // T = 1.4: swinging
    const auto quads = running.Quads(0);
    const std::size_t n = quads.size() / 4;
    ASSERT_GT(n, 0u);
    EXPECT_LT(n, 100u);
    float arc = 0.0f;
    for (std::size_t q = 0; q < n; ++q) {
        const float dx = (quads[4 * q].x + quads[4 * q + 2].x - quads[4 * q + 1].x - quads[4 * q + 3].x) / 2.0f;
        const float dy = (quads[4 * q].y + quads[4 * q + 2].y - quads[4 * q + 1].y - quads[4 * q + 3].y) / 2.0f;
        arc += std::sqrt(dx * dx + dy * dy);
    }
    EXPECT_NEAR(arc, 30.0f, 0.05f);
}

TEST_F(WavingLineTest, RestartUnderARandomTimelineKeepsTheHead)
{
    auto description = ReadWave(Wave({4, 8, 0}, {28, 8, 0}, 3, 20));
    description->timing.value = 1;
    HoldTimeline(*description, kTimingOn, 1.0f);
    RunningLine running = Run(*description);
    auto& line = running.Line<KXI_WavingLine>();
    ASSERT_EQ(line.particles.Size(), 1u);
    line.Restart();
    ASSERT_EQ(line.particles.Size(), 1u);
    running.Mech().Animate(kStep);
    const math::Vec3 tip = line.particles.Particles().front()->position;
    EXPECT_NEAR(tip.x, 28.0f, 1.0f);
    EXPECT_EQ(running.Mech().QuadCount(1), 1);
}

} // namespace

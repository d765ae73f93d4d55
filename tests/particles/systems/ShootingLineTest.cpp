// The shooting line and its twin KXI_Tears on the headless scene: shots born
// by the emitter, their ribbons from tail to head along the wave, the
// pre-run, and the bounds that keep odd stored values from hanging.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/crt/Random.h"
#include "tests/particles/systems/LineTestSupport.h"

namespace {

using namespace line_test;
using namespace line_writer;

constexpr float kY = 8.0f;
constexpr float kStep = 0.1f;

ShootingFields Shots(float length, std::uint32_t speed, std::uint32_t tailDelay)
{
    ShootingFields f;
    f.points = Straight(0.0f, length, kY);
    f.layer = Ribbon();
    f.minimumInterval = 0.0f;
    f.maximumInterval = 0.0f;
    f.speed = speed;
    f.tailDelay = tailDelay;
    f.width = 4;
    f.controller = HeadController();
    return f;
}

template <class T = KXI_ShootingLine>
std::unique_ptr<T> ReadShots(const ShootingFields& f, bool onlyOnWhenStarted = true)
{
    DocumentWriter w;
    if constexpr (std::is_same_v<T, KXI_Tears>)
        WriteTears(w, f);
    else
        WriteShootingLine(w, f);
    auto line = ReadLine<T>(w);
    // A timeline other than the continuous one: no pre-run.
    if (line && onlyOnWhenStarted) {
        line->timing.value = 1;
        HoldTimeline(*line, kTimingOn, 1.0f);
    }
    return line;
}

void Frames(RunningLine& running, int from, int to)
{
    for (int frame = from; frame <= to; ++frame)
        running.Mech().Animate(static_cast<float>(frame) * kStep);
}

using ShootingLineTest = LineSceneTest;

TEST_F(ShootingLineTest, OneControlPointFiresNoShots)
{
    ShootingFields f = Shots(100.0f, 50, 10);
    f.points.resize(1);
    auto description = ReadShots(f);
    RunningLine running = Run(*description);
    Frames(running, 1, 5);
    const auto& line = running.Line<KXI_ShootingLine>();
    EXPECT_TRUE(line.pairs.empty());
    EXPECT_TRUE(line.particles.Empty());
    EXPECT_EQ(running.Mech().QuadCount(1), 0);
}

TEST_F(ShootingLineTest, IntervalsOfZeroOrBelowGiveOneShotPerFrame)
{
    for (const float interval : {0.0f, -1.0f, -1e30f}) {
        ShootingFields f = Shots(1000.0f, 10, 10);
        f.minimumInterval = interval;
        f.maximumInterval = interval;
        auto description = ReadShots(f);
        RunningLine running = Run(*description);
        Frames(running, 1, 6);
        const auto& line = running.Line<KXI_ShootingLine>();
        EXPECT_EQ(line.pairs.size(), 6u) << interval;
        EXPECT_EQ(line.particles.Size(), 6u) << interval;
    }
}

TEST_F(ShootingLineTest, TailDelayZeroDrawsOneFullQuadOfNoLengthPerShot)
{
    auto description = ReadShots(Shots(100.0f, 50, 0));
    RunningLine running = Run(*description);
    Frames(running, 1, 3);
    const auto quads = running.Quads(1);
    ASSERT_EQ(quads.size() / 4, 3u);
    for (std::size_t q = 0; q < 3; ++q) {
        const QuadBatchVertex* v = &quads[4 * q];
        EXPECT_NEAR(v[0].x, v[1].x, 1e-4f) << q;
        EXPECT_NEAR(v[0].y, v[1].y, 1e-4f) << q;
        EXPECT_NEAR(std::abs(v[0].y - v[2].y), 4.0f, 1e-3f) << q; // full width
        EXPECT_EQ(v[0].colour >> 24, 255u) << q;                   // full opacity
    }
}

TEST_F(ShootingLineTest, SpeedZeroSkipsThePreRunAndKeepsShotsAtTheStart)
{
    // Under the continuous timeline the pre-run fills the path...
    {
        auto description = ReadShots(Shots(100.0f, 50, 10), false);
        RunningLine running = Run(*description);
        EXPECT_FALSE(running.Line<KXI_ShootingLine>().pairs.empty());
    }
    // ...but with a speed of 0 it has no end and runs not at all.
    auto description = ReadShots(Shots(100.0f, 0, 10), false);
    RunningLine running = Run(*description);
    const auto& line = running.Line<KXI_ShootingLine>();
    EXPECT_TRUE(line.pairs.empty());
    EXPECT_TRUE(std::isinf(line.GetPreRunDuration()));
    Frames(running, 1, 4);
    ASSERT_EQ(line.particles.Size(), 4u);
    for (const ParticleHandle& shot : line.particles.Particles())
        EXPECT_NEAR(shot->position.x, 0.0f, 1e-3f);
}

TEST_F(ShootingLineTest, RibbonEndsAtThePathEndUntilTheTailPassesIt)
{
    ShootingFields f = Shots(100.0f, 100, 50);
    f.minimumInterval = 1000.0f; // one shot, then none for a long time
    f.maximumInterval = 1000.0f;
    auto description = ReadShots(f);
    RunningLine running = Run(*description);
    const auto& line = running.Line<KXI_ShootingLine>();
    Frames(running, 1, 12); // head at 120, tail at 70
    ASSERT_EQ(line.pairs.size(), 1u);
    const auto quads = running.Quads(1);
    ASSERT_FALSE(quads.empty());
    EXPECT_NEAR(quads[1].x + quads[3].x, 2.0f * 70.0f, 0.1f);               // from the tail
    EXPECT_NEAR(quads[quads.size() - 4].x + quads[quads.size() - 2].x, 200.0f, 0.1f); // to the end
    Frames(running, 13, 14); // tail at 90: still there
    EXPECT_EQ(line.pairs.size(), 1u);
    Frames(running, 15, 17); // tail past the end
    EXPECT_TRUE(line.pairs.empty());
    EXPECT_EQ(running.Mech().QuadCount(1), 0);
}

TEST_F(ShootingLineTest, RibbonInteriorLiesOnTheWaveOfHeadAndTail)
{
    ShootingFields f = Shots(400.0f, 100, 80);
    f.minimumInterval = 1000.0f;
    f.maximumInterval = 1000.0f;
    f.amplitude = 10;
    f.waveFrequency = 250; // 0.05 radians per pixel
    auto description = ReadShots(f);
    RunningLine running = Run(*description);
    Frames(running, 1, 15); // head at 150, tail at 70
    const auto& line = running.Line<KXI_ShootingLine>();
    ASSERT_EQ(line.pairs.size(), 1u);
    const ParticleHandlePair& pair = line.pairs.front();
    const float sideways = pair.tail->values[InnerParticle::kSidewaysFactor];
    const auto quads = running.Quads(1);
    ASSERT_GT(quads.size() / 4, 10u);
    // The lateral offset runs along (dy, -dx) = (0, -1) of the path.
    for (std::size_t q = 0; q < quads.size() / 4; ++q) {
        const float x = (quads[4 * q].x + quads[4 * q + 2].x) / 2.0f;
        const float y = (quads[4 * q].y + quads[4 * q + 2].y) / 2.0f;
        const float expected = kY - std::cos(x * 0.05f + pair.phase) * sideways * 10.0f;
        EXPECT_NEAR(y, expected, 0.05f) << "quad " << q << " at x " << x;
    }
}

TEST_F(ShootingLineTest, TearsDrawLikeAShootingLineWithTheSameValues)
{
    ShootingFields f = Shots(200.0f, 80, 40);
    f.minimumInterval = 0.1f;
    f.maximumInterval = 0.4f;
    f.amplitude = 5;
    f.waveFrequency = 100;
    f.showParticles = 1;
    auto shots = ReadShots(f);
    auto tears = ReadShots<KXI_Tears>(f);
    ASSERT_NE(tears, nullptr);
    crt::srand(7);
    RunningLine a = Run(*shots);
    Frames(a, 1, 20);
    crt::srand(7);
    RunningLine b = Run(*tears);
    Frames(b, 1, 20);
    EXPECT_TRUE(dynamic_cast<KXI_Tears*>(&b.Mech().Controller()));
    for (const std::int32_t batch : {0, 1}) {
        const auto qa = a.Quads(batch);
        const auto qb = b.Quads(batch);
        ASSERT_EQ(qa.size(), qb.size()) << batch;
        ASSERT_FALSE(qa.empty()) << batch;
        for (std::size_t i = 0; i < qa.size(); ++i) {
            EXPECT_EQ(qa[i].x, qb[i].x);
            EXPECT_EQ(qa[i].y, qb[i].y);
            EXPECT_EQ(qa[i].colour, qb[i].colour);
            EXPECT_EQ(qa[i].v, qb[i].v);
        }
    }
}

} // namespace

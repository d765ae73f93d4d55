// Rain on glass without a device: the landing slide-in, merging drops,
// friction, the pane's edge, the rate and the order of the drops.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/systems/RainOnGlass.h"
#include "platform/crt/Random.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"

namespace {

using namespace ready_made_test;
using namespace rain_flags;
using particle_writer::RainFields;

RainFields RainOf(std::uint32_t rate, std::uint32_t slideForce)
{
    RainFields f;
    f.rate = rate;
    f.pane = particle_writer::CornersOfBox(0.0f, 0.0f, 400.0f, 300.0f);
    f.slideForce = slideForce;
    f.angle = 270; // down the screen
    f.controller.block.particleSize = 20;
    return f;
}

// A rain read from its record with its edge routine made, as at attach.
std::unique_ptr<DS_RainOnGlass> Rain(const RainFields& f)
{
    auto rain = Running<DS_RainOnGlass>(particle_writer::WriteRain, f);
    if (rain)
        rain->AttachRenderObject(nullptr);
    return rain;
}

// A still drop of `size` at (x, y), done landing.
InnerParticle& PlaceDrop(DS_RainOnGlass& rain, float x, float y, float size)
{
    InnerParticle& drop = *rain.particles.Create({x, y, 0.0f});
    drop.values[InnerParticle::kSizeValue] = size;
    drop.values[InnerParticle::kOpacityValue] = 1.0f;
    return drop;
}

TEST(RainTest, LandingEndsOnTheBirthPointWithFullOpacity)
{
    for (const float dt : {0.05f, 0.04f, 0.2f}) {
        InnerParticle drop({0.0f, -10.0f, 0.0f});
        drop.flags = kLanding;
        drop.values[InnerParticle::kOpacityValue] = 0.0f;
        IPR_RainFall fall({0.0f, 0.0f, 0.0f});
        int steps = 0;
        while (drop.flags & kLanding) {
            EXPECT_TRUE(fall.Step(dt, drop));
            ASSERT_LT(++steps, 10);
        }
        EXPECT_EQ(drop.position.y, 0.0f) << dt;
        EXPECT_EQ(drop.values[InnerParticle::kOpacityValue], 1.0f) << dt;
    }
}

TEST(RainTest, OverlappingDropsMergeIntoOneOfTheirVolume)
{
    struct Case {
        float upper, lower, merged;
    };
    for (const Case& c : {Case{0.6f, 0.7f, std::cbrt(0.216f + 0.343f)}, Case{1.2f, 1.2f, 1.3f}}) {
        auto rain = Rain(RainOf(0, 0));
        ASSERT_NE(rain, nullptr);
        InnerParticle& upper = PlaceDrop(*rain, 100.0f, 100.0f, c.upper);
        PlaceDrop(*rain, 102.0f, 105.0f, c.lower);
        rain->AdvanceParticles(0.05f);
        EXPECT_TRUE(upper.flags & kMerging);
        // The upper drop fades into the lower one over 0.1 s, then is gone.
        for (int frame = 0; frame < 3 && rain->particles.Size() > 1; ++frame)
            rain->AdvanceParticles(0.05f);
        ASSERT_EQ(rain->particles.Size(), 1u) << c.upper;
        const InnerParticle& merged = *rain->particles.Particles().front();
        EXPECT_NEAR(merged.values[InnerParticle::kSizeValue], c.merged, 1e-5f);
        EXPECT_TRUE(merged.flags & kRunning);
        EXPECT_EQ(merged.cell, (std::array<float, 4>{0.5f, 0.5f, 0.0f, 0.0f}));
    }
}

TEST(RainTest, SmallDropsFeelFrictionAndStopAgainstTheForce)
{
    struct Case {
        const char* name;
        float size;
        math::Vec3 velocity;
        math::Vec3 acceleration;
        math::Vec3 velocityAfter;
    };
    const math::Vec3 force{0.0f, 50.0f, 0.0f};
    const Case cases[] = {
        {"large drop: full force", 1.2f, {0.0f, 10.0f, 0.0f}, force, {0.0f, 10.0f, 0.0f}},
        {"against the force: stops", 1.0f, {0.0f, -10.0f, 0.0f}, {}, {}},
        {"still: the force alone", 1.0f, {}, force, {}},
    };
    for (const Case& c : cases) {
        InnerParticle drop;
        drop.flags = kRunning;
        drop.values[InnerParticle::kSizeValue] = c.size;
        drop.velocity = c.velocity;
        IPR_RainDynamic dynamic(force);
        EXPECT_TRUE(dynamic.Step(0.0f, drop));
        EXPECT_EQ(drop.acceleration, c.acceleration) << c.name;
        EXPECT_EQ(drop.velocity, c.velocityAfter) << c.name;
    }
    // Moving with the force at size 1, friction mu / s^3 holds it back.
    InnerParticle drop;
    drop.flags = kRunning;
    drop.values[InnerParticle::kSizeValue] = 1.0f;
    drop.velocity = {0.0f, 10.0f, 0.0f};
    IPR_RainDynamic dynamic(force);
    dynamic.Step(0.0f, drop);
    EXPECT_NEAR(drop.acceleration.y, 50.0f - 10.0f * dynamic.mu, 1e-3f);
    EXPECT_GE(dynamic.mu, 1.0f);
    EXPECT_LE(dynamic.mu, 20.0f);
}

TEST(RainTest, OnlyLandedDropsLeavingThePaneAreRemoved)
{
    auto rain = Rain(RainOf(0, 0));
    ASSERT_NE(rain, nullptr);
    InnerParticle outside({-50.0f, 100.0f, 0.0f});
    outside.flags = kLanding;
    EXPECT_TRUE(rain->interaction->Step(0.1f, outside));
    outside.flags = 0;
    EXPECT_FALSE(rain->interaction->Step(0.1f, outside));
    InnerParticle inside({50.0f, 100.0f, 0.0f});
    EXPECT_TRUE(rain->interaction->Step(0.1f, inside));
}

TEST(RainTest, WithoutSlideForceNoDropMoves)
{
    auto rain = Rain(RainOf(300, 0));
    ASSERT_NE(rain, nullptr);
    crt::srand(8);
    for (int frame = 0; frame < 30; ++frame)
        rain->AdvanceParticles(0.1f);
    ASSERT_GT(rain->particles.Size(), 0u);
    for (InnerParticle* drop : ParticlesOf(rain->particles)) {
        if (drop->flags & (kLanding | kMerging))
            continue;
        EXPECT_EQ(drop->velocity, math::Vec3{}) << drop->position.x;
    }
}

TEST(RainTest, TheTimelineLevelDoesNotChangeTheRate)
{
    std::vector<std::size_t> made;
    for (const float level : {1.0f, 0.2f, 0.0f}) {
        RainFields f = RainOf(100, 0);
        f.controller.block.particleSize = 0; // points: no drop merges
        auto rain = Rain(f);
        ASSERT_NE(rain, nullptr);
        crt::srand(1);
        sprite_test::HoldTimeline(*rain, 2, level);
        for (int frame = 0; frame < 10; ++frame)
            rain->Emit(0.1f);
        made.push_back(rain->particles.Size());
    }
    // 20 a second (the float sum of ten 0.1 s steps may leave the last one).
    EXPECT_GE(made[0], 19u);
    EXPECT_EQ(made, std::vector<std::size_t>(3, made[0]));
}

TEST(RainTest, DropsAreSortedByTheirUpperEdgeAfterThePairPass)
{
    auto rain = Rain(RainOf(0, 0));
    ASSERT_NE(rain, nullptr);
    // Far apart in x, so none merges; a large drop's upper edge lies higher.
    PlaceDrop(*rain, 10.0f, 100.0f, 1.0f);
    PlaceDrop(*rain, 60.0f, 50.0f, 0.5f);
    PlaceDrop(*rain, 110.0f, 104.0f, 1.3f);
    rain->Emit(0.0f);
    std::vector<float> xs;
    for (InnerParticle* drop : ParticlesOf(rain->particles))
        xs.push_back(drop->position.x);
    EXPECT_EQ(xs, (std::vector<float>{60.0f, 10.0f, 110.0f}));
}

TEST(RainTest, NewDropsLandFromAboveInTheBlocksColour)
{
    for (const bool empty : {false, true}) {
        RainFields f = RainOf(1000, 10);
        f.controller.block.colours = empty ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{0x00123456};
        f.controller.block.startAngleSpread = 0xFFFFFFFFu; // the jitter is computed in 64 bits
        auto rain = Rain(f);
        ASSERT_NE(rain, nullptr);
        rain->Emit(0.1f);
        ASSERT_EQ(rain->particles.Size(), 20u);
        for (InnerParticle* drop : ParticlesOf(rain->particles)) {
            EXPECT_EQ(drop->colour, empty ? 0x00FFFFFFu : 0x00123456u);
            EXPECT_TRUE(drop->flags & kLanding);
            EXPECT_EQ(drop->values[InnerParticle::kOpacityValue], 0.0f);
            const auto* fall = dynamic_cast<const IPR_RainFall*>(drop->Routines().front().get());
            ASSERT_NE(fall, nullptr);
            // Ten drop sizes (at size factor 1) above the landing point.
            EXPECT_NEAR(fall->target.y - drop->position.y, 10.0f * 20.0f, 1e-3f);
            EXPECT_TRUE(std::isfinite(drop->matrix.m[0][0]));
        }
    }
}

} // namespace

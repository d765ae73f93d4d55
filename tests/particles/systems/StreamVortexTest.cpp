// The stream, the rising smoke and the vortex without a device: aiming
// across the quad, speed jitter, the single step of new stream particles,
// the arms of the vortex and the swirl routine.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "particles/systems/StreamPtclSys.h"
#include "particles/systems/VortexPtclSys.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"

namespace {

using namespace ready_made_test;
using particle_writer::StreamFields;
using particle_writer::VortexFields;

// Births on the top edge y = 0 (x 0..200), aims at the bottom edge y = 100.
StreamFields StreamOf(std::uint32_t targetSpread, std::uint32_t jitter)
{
    StreamFields f;
    f.rate = 1000; // 200 a second
    f.quad = particle_writer::CornersOfBox(0.0f, 0.0f, 200.0f, 100.0f);
    f.life = 100000;
    f.speed = 50; // 100 px/s
    f.jitter = jitter;
    f.targetSpread = targetSpread;
    return f;
}

std::unique_ptr<DS_StreamPtclSys> Stream(const StreamFields& f)
{
    return Running<DS_StreamPtclSys>(particle_writer::WriteStream, f);
}

TEST(StreamTest, AimsAcrossTheQuadWithinTheTargetSpread)
{
    for (const auto& [spread, reach] : {std::pair{0u, 0.0f}, std::pair{500u, 200.0f}}) {
        auto stream = Stream(StreamOf(spread, 0));
        ASSERT_NE(stream, nullptr);
        crt::srand(2);
        EXPECT_TRUE(stream->Emit(1.0f).empty());
        float widest = 0.0f;
        for (InnerParticle* p : ParticlesOf(stream->particles)) {
            // Back to the birth point on the top edge, then on to the bottom.
            const float t = p->Age();
            const math::Vec3 birth = p->position - p->velocity * t;
            EXPECT_NEAR(birth.y, 0.0f, 1e-2f);
            const float aimX = birth.x + p->velocity.x / p->velocity.y * 100.0f;
            const float shift = aimX - birth.x;
            EXPECT_LE(std::fabs(shift), reach + 1e-2f) << spread;
            widest = std::max(widest, std::fabs(shift));
        }
        if (spread == 0) {
            EXPECT_NEAR(widest, 0.0f, 1e-2f);
        } else {
            EXPECT_GT(widest, 150.0f);
        }
    }
}

TEST(StreamTest, SpeedJitterAndTheStoredSecondPair)
{
    struct Case {
        std::uint32_t jitter;
        float lowest, highest;
    };
    for (const Case& c : {Case{0, 100.0f, 100.0f}, Case{100, 0.0f, 100.0f}}) {
        StreamFields f = StreamOf(0, c.jitter);
        f.firstSpeed = 7; // overwritten by the second pair
        f.firstJitter = 50;
        auto stream = Stream(f);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->launchSpeed.value, 50u);
        stream->Emit(1.0f);
        float lowest = 1e9f, highest = 0.0f;
        for (InnerParticle* p : ParticlesOf(stream->particles)) {
            lowest = std::min(lowest, Length(p->velocity));
            highest = std::max(highest, Length(p->velocity));
        }
        EXPECT_GE(lowest, c.lowest - 1e-3f);
        EXPECT_LE(highest, c.highest + 1e-3f);
        if (c.jitter == 100) {
            EXPECT_LT(lowest, 10.0f);
        } else {
            EXPECT_NEAR(lowest, 100.0f, 1e-3f);
        }
    }
}

TEST(StreamTest, NewParticlesAreSteppedOnce)
{
    auto stream = Stream(StreamOf(0, 0));
    ASSERT_NE(stream, nullptr);
    stream->AdvanceParticles(0.1f);
    const std::vector<InnerParticle*> made = ParticlesOf(stream->particles);
    ASSERT_EQ(made.size(), 20u);
    // The i-th of 20 is stepped by i x 0.1 / 20, once.
    for (std::size_t i = 0; i < made.size(); ++i)
        EXPECT_NEAR(made[i]->Age(), static_cast<float>(i) * 0.1f / 20.0f, 1e-6f) << i;
}

TEST(StreamTest, RisingSmokePlacedFreshIsBornOnTheLowerEdge)
{
    auto smoke = Running<DS_PtclSmoke2>(
        [](DocumentWriter& w, const StreamFields& fields) {
            particle_writer::WriteSmoke2(w, particle_writer::Smoke2Preset(), fields);
        },
        StreamOf(0, 0));
    ASSERT_NE(smoke, nullptr);
    EXPECT_EQ(smoke->storedInt, -73);
    RenderContext context;
    context.pictureWidth = 200.0f;
    context.pictureHeight = 100.0f;
    CurrentRenderContextScope scope(&context);
    smoke->keepId = 0;
    smoke->AttachRenderObject(nullptr);
    EXPECT_EQ(smoke->keepId, 1);
    smoke->Emit(1.0f);
    for (InnerParticle* p : ParticlesOf(smoke->particles)) {
        const math::Vec3 birth = p->position - p->velocity * p->Age();
        EXPECT_NEAR(birth.y, 90.0f, 1e-2f); // the lower edge of the middle 80 %
        EXPECT_LT(p->velocity.y, 0.0f);
    }
}

// ---- vortex -----------------------------------------------------------------------

VortexFields VortexOf(std::uint32_t arms, std::uint32_t armSpin)
{
    VortexFields f;
    f.rate = 1000;
    f.centre = {100.0f, 100.0f, 0.0f};
    f.speed = 10; // 20 px/s
    f.swirl = 50;
    f.angle = 30;
    f.spread = 0;
    f.armCount = arms;
    f.armSpin = armSpin;
    f.range = 100;
    return f;
}

TEST(VortexTest, ArmsLaunchAlongEvenlySpreadDirections)
{
    auto vortex = Running<KXI_VortexPtclSys>(particle_writer::WriteVortex, VortexOf(4, 0));
    ASSERT_NE(vortex, nullptr);
    crt::srand(4);
    const InnerParticleList::Handles fresh = vortex->Emit(1.0f);
    ASSERT_EQ(fresh.size(), 200u);
    std::set<int> directions;
    for (const ParticleHandle& p : fresh) {
        EXPECT_NEAR(Length(p->velocity), 20.0f, 1e-3f);
        directions.insert(static_cast<int>(std::lround(ScreenAngle(p->velocity))) % 360);
        EXPECT_FLOAT_EQ(MainRoutineLifetime(*p), 5.0f);
    }
    EXPECT_EQ(directions, (std::set<int>{30, 120, 210, 300}));
}

TEST(VortexTest, NoArmsCountAsOne)
{
    auto vortex = Running<KXI_VortexPtclSys>(particle_writer::WriteVortex, VortexOf(0, 0));
    ASSERT_NE(vortex, nullptr);
    for (const ParticleHandle& p : vortex->Emit(0.5f))
        EXPECT_NEAR(ScreenAngle(p->velocity), 30.0f, 1e-3f);
}

TEST(VortexTest, ArmPhaseStaysWithinOneTurn)
{
    auto vortex = Running<KXI_VortexPtclSys>(particle_writer::WriteVortex, VortexOf(1, 50)); // 100 degrees/s
    ASSERT_NE(vortex, nullptr);
    vortex->counter.rate.SetValue(0, nullptr);
    for (int i = 0; i < 100000; ++i)
        vortex->Emit(0.2f);
    EXPECT_GE(vortex->armPhase, 0.0f);
    EXPECT_LT(vortex->armPhase, 360.0f);
    // 2,000,000 degrees: a whole number of turns plus 200 (float steps drift a little).
    EXPECT_NEAR(vortex->armPhase, 200.0f, 5.0f);
    vortex->counter.rate.SetValue(1000, nullptr);
    for (const ParticleHandle& p : vortex->Emit(0.01f))
        EXPECT_NEAR(std::fmod(ScreenAngle(p->velocity) + vortex->armPhase, 360.0f), 30.0f, 1e-2f);
}

TEST(VortexTest, SwirlTurnsAboutTheCentre)
{
    auto vortex = Running<KXI_VortexPtclSys>(particle_writer::WriteVortex, VortexOf(1, 0));
    ASSERT_NE(vortex, nullptr);
    struct Case {
        math::Vec3 at;
        std::int32_t reversed;
        math::Vec3 velocity;
    };
    const Case cases[] = {
        // 100 px right of the centre, swirl 0.5 rad/s: 50 px/s down the
        // screen, clockwise; plus 20 px/s outwards.
        {{200.0f, 100.0f, 0.0f}, 0, {20.0f, 50.0f, 0.0f}},
        {{200.0f, 100.0f, 0.0f}, 1, {20.0f, -50.0f, 0.0f}},
        {{100.0f, 0.0f, 0.0f}, 0, {50.0f, -20.0f, 0.0f}},
        // On the centre: the velocity stays.
        {{100.0f, 100.0f, 0.0f}, 0, {3.0f, 4.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        vortex->swirlReversed.value = c.reversed;
        IPR_VortexVel swirl(*vortex);
        InnerParticle p(c.at);
        p.velocity = {3.0f, 4.0f, 0.0f};
        EXPECT_TRUE(swirl.Step(0.1f, p));
        EXPECT_NEAR(p.velocity.x, c.velocity.x, 1e-3f);
        EXPECT_NEAR(p.velocity.y, c.velocity.y, 1e-3f);
    }
}

} // namespace

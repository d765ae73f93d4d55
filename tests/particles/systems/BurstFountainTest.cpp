// The burst and the fountain family without a device: how many particles
// each frame brings under the timeline, the launch geometry, and what fire,
// smoke and the plain presets make of the fountain's particles.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "particles/systems/FountainPtclSys.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"

namespace {

using namespace ready_made_test;
using particle_writer::BurstFields;
using particle_writer::FountainFields;
using sprite_test::HoldTimeline;

constexpr int kOn = 0, kOff = 1, kFalling = 3;

BurstFields LaunchFields(std::uint32_t angle, std::uint32_t spread)
{
    BurstFields f;
    f.position = {100.0f, 200.0f, 0.0f};
    f.burstCount = 40;
    f.speed = 25; // 100 px/s
    f.range = 300;
    f.angle = angle;
    f.spread = spread;
    return f;
}

std::unique_ptr<KXI_BurstPtclSys> Burst(const BurstFields& f)
{
    return Running<KXI_BurstPtclSys>(particle_writer::WriteBurst, f);
}

// ---- burst emission ---------------------------------------------------------------

TEST(BurstEmissionTest, ContinuousTimelineBurstsOnceUntilRestarted)
{
    BurstFields f = LaunchFields(0, 360);
    f.burstCount = 50;
    auto burst = Burst(f);
    ASSERT_NE(burst, nullptr);
    EXPECT_EQ(burst->Emit(0.1f).size(), 50u);
    EXPECT_EQ(burst->Emit(0.1f).size(), 0u);
    EXPECT_EQ(burst->particles.Size(), 50u);
    burst->Restart();
    EXPECT_EQ(burst->particles.Size(), 0u);
    EXPECT_EQ(burst->Emit(0.1f).size(), 50u);
}

TEST(BurstEmissionTest, DueFollowsTheTimelineLevelAndState)
{
    struct Case {
        const char* name;
        std::uint32_t burstCount;
        int state;
        float level;
        std::int32_t emittedBefore;
        std::size_t expectNew;
        std::int32_t expectEmitted;
    };
    const Case cases[] = {
        {"half level", 10, kOn, 0.5f, 3, 2, 5},
        {"falling level", 10, kFalling, 0.2f, 5, 0, 5},
        {"off resets", 10, kOff, 0.0f, 7, 0, 0},
        {"huge count", 4000000000u, kOn, 1.0f, 0, 16383, std::numeric_limits<std::int32_t>::max()},
    };
    for (const Case& c : cases) {
        BurstFields f = LaunchFields(0, 360);
        f.burstCount = c.burstCount;
        auto burst = Burst(f);
        ASSERT_NE(burst, nullptr);
        HoldTimeline(*burst, c.state, c.level);
        burst->emittedCount = c.emittedBefore;
        EXPECT_EQ(burst->Emit(0.1f).size(), c.expectNew) << c.name;
        EXPECT_EQ(burst->emittedCount, c.expectEmitted) << c.name;
    }
}

TEST(BurstEmissionTest, HugeCountStaysWithinTheListFrameAfterFrame)
{
    BurstFields f = LaunchFields(0, 360);
    f.burstCount = 4000000000u;
    f.range = 100000;
    auto burst = Burst(f);
    ASSERT_NE(burst, nullptr);
    for (int frame = 0; frame < 3; ++frame)
        burst->AdvanceParticles(0.1f);
    EXPECT_EQ(burst->particles.Size(), 16383u);
    EXPECT_EQ(burst->emittedCount, std::numeric_limits<std::int32_t>::max());
}

// ---- burst launch -----------------------------------------------------------------

struct Launch {
    const char* name;
    std::uint32_t angle;
    std::uint32_t spread;
    std::int32_t focused;
    std::uint32_t startRadius;
};

std::vector<InnerParticle*> Launched(std::unique_ptr<KXI_BurstPtclSys>& burst)
{
    crt::srand(3);
    burst->Emit(0.1f);
    return ParticlesOf(burst->particles);
}

TEST(BurstLaunchTest, ParallelLaunchesFollowTheCentreAngle)
{
    const Launch cases[] = {
        {"sector, spread 0", 30, 0, 0, 0},
        {"sector, spread 0, start radius", 30, 0, 0, 10},
        {"upwards", 90, 0, 0, 0},
        {"focused, spread 0", 45, 0, 1, 10},
        {"focused, start radius 0", 45, 90, 1, 0},
    };
    for (const Launch& c : cases) {
        BurstFields f = LaunchFields(c.angle, c.spread);
        f.focused = c.focused;
        f.startRadius = c.startRadius;
        auto burst = Burst(f);
        ASSERT_NE(burst, nullptr);
        const float a = static_cast<float>(c.angle) * 3.1415927f / 180.0f;
        for (InnerParticle* p : Launched(burst)) {
            EXPECT_NEAR(p->velocity.x, 100.0f * std::cos(a), 1e-3f) << c.name;
            EXPECT_NEAR(p->velocity.y, -100.0f * std::sin(a), 1e-3f) << c.name;
            EXPECT_LE(Length(p->position - math::Vec3{100.0f, 200.0f, 0.0f}), c.startRadius + 1e-3f) << c.name;
            // This family draws no random opacity.
            EXPECT_EQ(p->values[InnerParticle::kOpacityValue], 0.0f) << c.name;
        }
    }
}

TEST(BurstLaunchTest, FullSpreadCoversThePlane)
{
    auto burst = Burst(LaunchFields(0, 360));
    ASSERT_NE(burst, nullptr);
    int quadrants[4] = {};
    for (InnerParticle* p : Launched(burst)) {
        EXPECT_NEAR(Length(p->velocity), 100.0f, 1e-3f);
        EXPECT_EQ(p->velocity.z, 0.0f);
        ++quadrants[static_cast<int>(ScreenAngle(p->velocity) / 90.0f) % 4];
    }
    for (int q : quadrants)
        EXPECT_GT(q, 0);
}

TEST(BurstLaunchTest, FocusedHalfCircleAimsAtTheFocalPoint)
{
    BurstFields f = LaunchFields(90, 180);
    f.focused = 1;
    f.startRadius = 10;
    auto burst = Burst(f);
    ASSERT_NE(burst, nullptr);
    // sin(90 degrees) = 1: the focus lies one start radius up from the emitter.
    const math::Vec3 focus{100.0f, 190.0f, 0.0f};
    for (InnerParticle* p : Launched(burst)) {
        const math::Vec3 toFocus = focus - p->position;
        const float along = (toFocus.x * p->velocity.x + toFocus.y * p->velocity.y) / 100.0f;
        EXPECT_NEAR(along, Length(toFocus), 1e-3f);
        EXPECT_NEAR(Length(p->velocity), 100.0f, 1e-3f);
    }
}

TEST(BurstLaunchTest, LifetimeIsTheRangeOverTheSpeed)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        std::uint32_t speed, range;
        float lifetime;
    };
    for (const Case& c : {Case{25, 300, 3.0f}, Case{0, 300, inf}, Case{0, 0, 0.0f}}) {
        BurstFields f = LaunchFields(45, 90);
        f.speed = c.speed;
        f.range = c.range;
        f.focused = 0;
        auto burst = Burst(f);
        ASSERT_NE(burst, nullptr);
        for (InnerParticle* p : Launched(burst)) {
            EXPECT_EQ(MainRoutineLifetime(*p), c.lifetime) << c.speed << " " << c.range;
            EXPECT_FALSE(std::isnan(p->velocity.x) || std::isnan(p->velocity.y)) << c.speed;
        }
        // A still particle keeps living, without NaN, when stepped.
        burst->AdvanceParticles(0.1f);
        for (InnerParticle* p : ParticlesOf(burst->particles))
            EXPECT_FALSE(std::isnan(p->position.x) || std::isnan(p->position.y)) << c.speed;
    }
}

// ---- fountain family --------------------------------------------------------------

FountainFields FountainOf(std::uint32_t rate)
{
    FountainFields f;
    f.rate = rate;
    f.burst = LaunchFields(90, 30);
    return f;
}

// Particles created by `frames` emissions of 0.1 s.
std::size_t EmittedOver(KXI_FontainPtclSys& fountain, int frames)
{
    std::size_t n = 0;
    for (int i = 0; i < frames; ++i)
        n += fountain.Emit(0.1f).size();
    return n;
}

TEST(FountainTest, RateFollowsTheTimelineLevel)
{
    struct Case {
        const char* name;
        std::uint32_t rate;
        int state;
        float level;
        int frames;
        std::size_t expect;
    };
    const Case cases[] = {
        {"default rate", 100, kOn, 1.0f, 1, 2},
        {"half level", 100, 2, 0.5f, 10, 10},
        {"off", 100, kOff, 0.0f, 10, 0},
        {"rate 0", 0, kOn, 1.0f, 50, 0},
    };
    for (const Case& c : cases) {
        auto fountain = Running<KXI_FontainPtclSys>(particle_writer::WriteFountain, FountainOf(c.rate));
        ASSERT_NE(fountain, nullptr);
        HoldTimeline(*fountain, c.state, c.level);
        EXPECT_EQ(EmittedOver(*fountain, c.frames), c.expect) << c.name;
        if (c.level == 0.0f) {
            EXPECT_EQ(fountain->counter.accumulator, 0.0f) << c.name;
        }
    }
}

TEST(FountainTest, PreRunsOnTopOfItsParticlesUnderTheContinuousTimeline)
{
    FountainFields f = FountainOf(100);
    f.burst.range = 100000; // nothing dies during the test
    auto fountain = Running<KXI_FontainPtclSys>(particle_writer::WriteFountain, f);
    ASSERT_NE(fountain, nullptr);
    fountain->Restart();
    const std::size_t once = fountain->particles.Size();
    // 51 steps of 0.1 s, 2 particles each.
    EXPECT_NEAR(static_cast<double>(once), 102.0, 2.0);
    fountain->Restart();
    EXPECT_NEAR(static_cast<double>(fountain->particles.Size()), 2.0 * static_cast<double>(once), 2.0);
}

TEST(FountainTest, FireAcceleratesAlongItsLaunchDirection)
{
    FountainFields f = FountainOf(100);
    f.burst.controller.block.flags = ParticleSystemParams::kFlagPhysics;
    f.burst.controller.block.gravityDirection = 1; // towards +y
    f.burst.controller.block.gravity = 10;         // 50 px/s^2
    auto fire = Running<DS_PtclFire>(
        [](DocumentWriter& w, const FountainFields& fields) {
            particle_writer::WriteFountainPreset(w, particle_writer::FirePreset(), fields);
        },
        f);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->storedInt.value, 7);
    for (const ParticleHandle& p : fire->Emit(1.0f)) {
        EXPECT_NEAR(p->acceleration.x, 0.0f, 1e-4f);
        EXPECT_FLOAT_EQ(p->acceleration.y, -50.0f);
    }
}

TEST(FountainTest, SmokeDriftsWithTheWindAndDropsGravity)
{
    for (const auto& [stored, wind] : {std::pair{50u, 0.0f}, std::pair{0u, -500.0f}}) {
        FountainFields f = FountainOf(100);
        f.burst.controller.block.flags = ParticleSystemParams::kFlagPhysics;
        f.burst.controller.block.gravityDirection = 1;
        f.burst.controller.block.gravity = 10;
        f.burst.controller.block.airResistance = 50;
        const std::uint32_t windValue = stored;
        auto smoke = Running<DS_PtclSmoke>(
            [windValue](DocumentWriter& w, const FountainFields& fields) {
                particle_writer::WriteFountainPreset(w, particle_writer::SmokePreset(windValue), fields);
            },
            f);
        ASSERT_NE(smoke, nullptr);
        EXPECT_FLOAT_EQ(smoke->windSpeed.Scaled(), wind);
        const InnerParticleList::Handles fresh = smoke->Emit(1.0f);
        ASSERT_FALSE(fresh.empty());
        EXPECT_EQ(smoke->params.flags & ParticleSystemParams::kFlagPhysics, 0u);
        for (const ParticleHandle& p : fresh) {
            const auto& routines = p->Routines();
            const auto* windRoutine = dynamic_cast<const IPR_Wind*>(routines.front().get());
            ASSERT_NE(windRoutine, nullptr);
            EXPECT_FLOAT_EQ(windRoutine->wind.x, wind);
            EXPECT_FLOAT_EQ(windRoutine->strength, 0.5f);
            EXPECT_EQ(p->acceleration.y, 0.0f);
            EXPECT_TRUE(std::none_of(routines.begin(), routines.end(), [](const ParticleRoutineHandle& r) {
                return dynamic_cast<const IPR_AirResist*>(r.get()) != nullptr;
            }));
        }
    }
}

// Positions and velocities of the particles of three frames from seed 9.
template <class T>
std::vector<float> ParticlesFromSeed(const particle_writer::PresetFields* preset)
{
    FountainFields f = FountainOf(300);
    auto write = [preset](DocumentWriter& w, const FountainFields& fields) {
        if (preset)
            particle_writer::WriteFountainPreset(w, *preset, fields);
        else
            particle_writer::WriteFountain(w, fields);
    };
    auto system = Running<T>(write, f);
    EXPECT_NE(system, nullptr);
    std::vector<float> out;
    if (!system)
        return out;
    crt::srand(9);
    for (int frame = 0; frame < 3; ++frame)
        system->AdvanceParticles(0.1f);
    for (InnerParticle* p : ParticlesOf(system->particles))
        out.insert(out.end(), {p->position.x, p->position.y, p->velocity.x, p->velocity.y});
    return out;
}

TEST(FountainTest, WaterJetAndLightBeamsBehaveAsTheFountain)
{
    const std::vector<float> fountain = ParticlesFromSeed<KXI_FontainPtclSys>(nullptr);
    ASSERT_FALSE(fountain.empty());
    const particle_writer::PresetFields jet = particle_writer::WaterJetPreset();
    const particle_writer::PresetFields beams = particle_writer::LightBeamsPreset();
    EXPECT_EQ(ParticlesFromSeed<DS_WaterJet>(&jet), fountain);
    EXPECT_EQ(ParticlesFromSeed<DS_LightBeams>(&beams), fountain);
}

} // namespace

namespace {

TEST(BurstPlacementTest, OnlyAFreshBurstIsCentredOnThePicture)
{
    RenderContext context;
    context.pictureWidth = 200.0f;
    context.pictureHeight = 100.0f;
    CurrentRenderContextScope scope(&context);
    for (const std::uint8_t keepId : {std::uint8_t{0}, std::uint8_t{1}}) {
        auto burst = Burst(LaunchFields(0, 0));
        ASSERT_NE(burst, nullptr);
        burst->keepId = keepId;
        burst->AttachRenderObject(nullptr);
        const math::Vec3 expected = keepId == 0 ? math::Vec3{100.0f, 50.0f, 0.0f} : math::Vec3{100.0f, 200.0f, 0.0f};
        EXPECT_EQ(burst->emitter.position.value, expected) << int(keepId);
        EXPECT_EQ(burst->keepId, 1);
        EXPECT_TRUE(burst->params.flags & ParticleSystemParams::kFlagVibrations);
    }
}

} // namespace

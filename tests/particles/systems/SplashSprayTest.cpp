// The splash and spray family without a device: where particles are born,
// where they fly, how many a spray and the fog make, and the legacy fade of
// old sections.

#include <gtest/gtest.h>

#include "particles/systems/SplashPtclSys.h"
#include "platform/crt/Random.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"

namespace {

using namespace ready_made_test;
using particle_writer::SplashFields;
using particle_writer::SprayFields;

SplashFields SplashOf(std::int32_t useSector)
{
    SplashFields f;
    f.quad = particle_writer::CornersOfBox(10.0f, 20.0f, 110.0f, 70.0f);
    f.sectorPosition = {50.0f, 60.0f, 0.0f};
    f.useSector = useSector;
    f.burstCount = 200;
    f.life = 300;
    f.angle = 90;
    f.spread = 10;
    f.speed = 40;
    return f;
}

TEST(SplashTest, BirthsFallInsideTheBoxOfCornersZeroAndThree)
{
    SplashFields f = SplashOf(0);
    // A skewed quad: corners 1 and 2 lie far outside the box.
    f.quad[1] = {-500.0f, 900.0f, 0.0f};
    f.quad[2] = {700.0f, -300.0f, 0.0f};
    auto splash = Running<KXI_SplashPtclSys>(particle_writer::WriteSplash, f);
    ASSERT_NE(splash, nullptr);
    crt::srand(5);
    EXPECT_EQ(splash->Emit(0.1f).size(), 200u);
    for (InnerParticle* p : ParticlesOf(splash->particles)) {
        EXPECT_GE(p->position.x, 10.0f);
        EXPECT_LE(p->position.x, 110.0f);
        EXPECT_GE(p->position.y, 20.0f);
        EXPECT_LE(p->position.y, 70.0f);
        EXPECT_EQ(p->position.z, 0.0f);
    }
    EXPECT_EQ(splash->Emit(0.1f).size(), 0u);
}

TEST(SplashTest, SectorOfRadiusZeroBirthsOnItsPosition)
{
    auto splash = Running<KXI_SplashPtclSys>(particle_writer::WriteSplash, SplashOf(1));
    ASSERT_NE(splash, nullptr);
    splash->Emit(0.1f);
    ASSERT_EQ(splash->particles.Size(), 200u);
    for (InnerParticle* p : ParticlesOf(splash->particles)) {
        EXPECT_FLOAT_EQ(p->position.x, 50.0f);
        EXPECT_FLOAT_EQ(p->position.y, 60.0f);
    }
}

TEST(SplashTest, LaunchesWithinTheSpreadAroundTheAngle)
{
    auto splash = Running<KXI_SplashPtclSys>(particle_writer::WriteSplash, SplashOf(0));
    ASSERT_NE(splash, nullptr);
    crt::srand(11);
    splash->Emit(0.1f);
    float lowest = 360.0f, highest = 0.0f;
    for (InnerParticle* p : ParticlesOf(splash->particles)) {
        const float a = ScreenAngle(p->velocity);
        lowest = std::min(lowest, a);
        highest = std::max(highest, a);
        EXPECT_NEAR(Length(p->velocity), 40.0f, 1e-3f);
        EXPECT_FLOAT_EQ(MainRoutineLifetime(*p), 3.0f);
    }
    EXPECT_GE(lowest, 80.0f - 1e-3f);
    EXPECT_LE(highest, 100.0f + 1e-3f);
    EXPECT_LT(lowest, 82.0f);
    EXPECT_GT(highest, 98.0f);
}

TEST(SplashTest, HugeBurstCountStaysWithinTheList)
{
    SplashFields f = SplashOf(0);
    f.burstCount = 4000000000u;
    auto splash = Running<KXI_SplashPtclSys>(particle_writer::WriteSplash, f);
    ASSERT_NE(splash, nullptr);
    for (int frame = 0; frame < 3; ++frame)
        splash->AdvanceParticles(0.1f);
    EXPECT_EQ(splash->particles.Size(), 16383u);
}

TEST(SprayTest, RatesOfTheSprayAndTheFog)
{
    SprayFields spray;
    spray.rate = 50;
    spray.splash = SplashOf(0);
    auto plain = Running<KXI_SprayPtclSys>(particle_writer::WriteSpray, spray);
    ASSERT_NE(plain, nullptr);
    std::size_t made = 0;
    for (int i = 0; i < 10; ++i)
        made += plain->Emit(0.1f).size();
    EXPECT_EQ(made, 10u);

    spray.rate = 100;
    spray.splash.speed = 100;
    auto fog = Running<DS_PtclFog>(
        [](DocumentWriter& w, const SprayFields& fields) {
            particle_writer::WriteSprayPreset(w, particle_writer::FogPreset(), fields);
        },
        spray);
    ASSERT_NE(fog, nullptr);
    made = 0;
    for (int i = 0; i < 50; ++i)
        made += fog->Emit(0.1f).size();
    EXPECT_NEAR(static_cast<double>(made), 5.0, 1.0);
    EXPECT_FLOAT_EQ(fog->launchSpeed.Scaled(), 1.0f);
    EXPECT_FLOAT_EQ(fog->params.textureClock.Scale(), 0.0005f);
    EXPECT_FLOAT_EQ(fog->GetPreRunDuration(), 8.0f);
}

TEST(SprayTest, FogPreRunsEightyOneSteps)
{
    SprayFields spray;
    spray.rate = 1000; // ten a second: one per step
    spray.splash = SplashOf(0);
    spray.splash.life = 100000;
    auto fog = Running<DS_PtclFog>(
        [](DocumentWriter& w, const SprayFields& fields) {
            particle_writer::WriteSprayPreset(w, particle_writer::FogPreset(), fields);
        },
        spray);
    ASSERT_NE(fog, nullptr);
    fog->Restart();
    EXPECT_NEAR(static_cast<double>(fog->particles.Size()), 81.0, 1.0);
}

TEST(SplashRecordTest, LegacyFadeBecomesLifeAndEnvelopes)
{
    struct Case {
        const char* name;
        std::uint32_t fadeIn, hold, fadeOut;
        std::int32_t onSize;
        std::uint32_t life;
        std::uint32_t opacityIn, opacityOut, sizeIn, sizeOut;
    };
    const Case cases[] = {
        {"on opacity", 100, 200, 100, 0, 400, 25, 75, 0, 100},
        {"on size", 100, 200, 100, 1, 400, 0, 100, 25, 75},
        {"no times", 0, 0, 0, 0, 0, 0, 100, 0, 100},
        {"huge times", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 33, 66, 0, 100},
    };
    for (const Case& c : cases) {
        for (const bool spray : {false, true}) {
            SplashFields f = SplashOf(0);
            f.version = 1;
            f.legacy = {30, 5, c.fadeIn, c.hold, c.fadeOut, c.onSize};
            f.controller.version = 4;
            DocumentWriter w;
            if (spray)
                particle_writer::WriteSpray(w, {1, 70, f});
            else
                particle_writer::WriteSplash(w, f);
            const auto splash = ReadRecord<KXI_SplashPtclSys>(w);
            ASSERT_NE(splash, nullptr) << c.name;
            EXPECT_EQ(splash->life.value, c.life) << c.name;
            const ParticleSystemParams& block = splash->params;
            EXPECT_EQ(block.opacityEnvelope.percents[0].value, c.opacityIn) << c.name;
            EXPECT_EQ(block.opacityEnvelope.percents[1].value, c.opacityOut) << c.name;
            EXPECT_EQ(block.sizeEnvelope.percents[0].value, c.sizeIn) << c.name;
            EXPECT_EQ(block.sizeEnvelope.percents[1].value, c.sizeOut) << c.name;
            EXPECT_EQ(block.sizeJitter.value, 30u) << c.name;
            EXPECT_EQ(splash->direction.spread.value, 360u) << c.name;
            EXPECT_EQ(splash->launchSpeed.value, 0u) << c.name;
        }
    }
}

} // namespace

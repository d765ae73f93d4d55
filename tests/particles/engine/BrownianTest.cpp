// Wandering particles: the routine's steering home and its changes of
// velocity, the count the animation keeps (capped, cut from the newest,
// refilled after a restart), their colour, the stored record, and the
// squares they are drawn as (headless read-back).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/BrownAnimation.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "platform/math/MathFunctions.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/WanderWriter.h"

namespace {

// A box from (0, 0) to (100, 100) with drift scale 1 (value 25), turn time
// 1 s (value 49) and a change every 5 to 15 s (value 0).
struct BoxFixture {
    BoxFixture()
    {
        area.SetRectangle(100.0f, 100.0f, {50.0f, 50.0f, 0.0f});
        driftScale.SetValue(25, nullptr);
        turnTime.SetValue(49, nullptr);
    }

    IPR_Brownian Routine() { return IPR_Brownian(&area, &driftScale, &changeRate, &turnTime); }

    MediaQuad area;
    UINTSclaleTo<float> driftScale{0.04f, 0.0f};
    UINTSclaleTo<float> changeRate{0.02f, 0.1f};
    UINTSclaleTo<float> turnTime{0.02f, 0.02f};
};

void ExpectVec(const math::Vec3& actual, const math::Vec3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(BrownianTest, NewRoutineDraws)
{
    BoxFixture box;
    for (int i = 0; i < 50; ++i) {
        const IPR_Brownian routine = box.Routine();
        const float speed = math::Vec3Length(routine.ownVelocity);
        EXPECT_GE(speed, 75.0f - 1e-3f);
        EXPECT_LE(speed, 100.0f + 1e-3f);
        EXPECT_EQ(routine.ownVelocity.z, 0.0f);
        EXPECT_GE(routine.changeTimer, 5.0f - 1e-4f); // 0.5 / F .. 1.5 / F with F = 0.1
        EXPECT_LE(routine.changeTimer, 15.0f + 1e-4f);
        EXPECT_EQ(routine.inside, 1);
    }
}

TEST(BrownianTest, InsideTheBoxItDriftsByTheScale)
{
    BoxFixture box;
    IPR_Brownian routine = box.Routine();
    const math::Vec3 velocity = routine.ownVelocity;
    InnerParticle particle({50.0f, 50.0f, 0.0f});
    EXPECT_TRUE(routine.Step(0.1f, particle));
    ExpectVec(particle.position, math::Vec3{50.0f, 50.0f, 0.0f} + velocity * 0.1f);
    EXPECT_EQ(routine.acceleration.x, 0.0f);
    // The particle's own velocity is not the routine's business.
    EXPECT_EQ(particle.velocity.x, 0.0f);

    box.driftScale.SetValue(0, nullptr); // the default: nothing moves
    const math::Vec3 before = particle.position;
    routine.Step(0.1f, particle);
    ExpectVec(particle.position, before, 0.0f);

    // A particle on an edge is inside.
    InnerParticle edge({100.0f, 0.0f, 0.0f});
    routine.Step(0.1f, edge);
    EXPECT_EQ(routine.inside, 1);
    EXPECT_EQ(routine.acceleration.x, 0.0f);
}

TEST(BrownianTest, LeavingTheBoxSteersHomeOnce)
{
    BoxFixture box;
    IPR_Brownian routine = box.Routine();
    routine.ownVelocity = {80.0f, 0.0f, 0.0f};
    InnerParticle particle({120.0f, 50.0f, 0.0f});

    routine.Step(0.01f, particle);
    EXPECT_EQ(routine.inside, 0);
    // (100 x toward the centre - own velocity) / A, A = 1 s.
    ExpectVec(routine.acceleration, {-180.0f, 0.0f, 0.0f});
    EXPECT_NEAR(routine.turnTimer, 0.99f, 1e-6f);
    EXPECT_NEAR(routine.ownVelocity.x, 80.0f - 1.8f, 1e-4f);

    // Still outside and turning: not steered again (the acceleration would
    // otherwise be recomputed from the changed own velocity).
    const math::Vec3 turning = routine.acceleration;
    for (int i = 0; i < 10; ++i)
        routine.Step(0.01f, particle);
    ExpectVec(routine.acceleration, turning, 0.0f);
    EXPECT_GT(particle.position.x, 100.0f);

    // The turn ends outside: steered home afresh from the new velocity.
    routine.turnTimer = 0.005f;
    routine.Step(0.01f, particle);
    EXPECT_EQ(routine.acceleration.x, 0.0f);
    const float velocity = routine.ownVelocity.x;
    routine.Step(0.01f, particle);
    EXPECT_NEAR(routine.acceleration.x, -100.0f - velocity, 1e-3f);
}

TEST(BrownianTest, OutsideTheChangeTimerRunsButPicksNoVelocity)
{
    BoxFixture box;
    IPR_Brownian routine = box.Routine();
    routine.ownVelocity = {0.0f, 90.0f, 0.0f};
    InnerParticle outside({50.0f, 130.0f, 0.0f});
    routine.Step(0.01f, outside);
    const math::Vec3 home = routine.acceleration;
    ExpectVec(home, {0.0f, -190.0f, 0.0f});

    routine.changeTimer = 0.005f;
    routine.Step(0.01f, outside);
    EXPECT_GE(routine.changeTimer, 5.0f - 1e-4f); // drawn anew
    ExpectVec(routine.acceleration, home, 0.0f);  // but no new wander velocity

    // Inside, the same expiry turns the particle to a new velocity over A.
    IPR_Brownian wandering = box.Routine();
    InnerParticle inside({50.0f, 50.0f, 0.0f});
    wandering.changeTimer = 0.005f;
    wandering.Step(0.01f, inside);
    EXPECT_NEAR(wandering.turnTimer, 0.99f, 1e-6f);
    EXPECT_GT(math::Vec3Length(wandering.acceleration), 0.0f);
}

// ---- the animation ----------------------------------------------------------------

std::vector<InnerParticle*> Held(const KXI_BrownAnimation& brown)
{
    std::vector<InnerParticle*> held;
    for (const ParticleHandle& p : brown.particles.Particles())
        held.push_back(p.get());
    return held;
}

TEST(BrownAnimationTest, FillKeepsTheOldestAndColoursTheNew)
{
    KXI_BrownAnimation brown;
    brown.area.area.SetRectangle(40.0f, 20.0f, {100.0f, 100.0f, 0.0f});
    brown.params.colours.colors.SetValue({0x0000FF00, 0x00FF0000}, nullptr);
    brown.count.SetValue(5, nullptr);
    brown.FillBrownParticles();
    const std::vector<InnerParticle*> first = Held(brown);
    ASSERT_EQ(first.size(), 5u);
    for (InnerParticle* p : first) {
        EXPECT_GE(p->position.x, 80.0f);
        EXPECT_LE(p->position.x, 120.0f);
        EXPECT_GE(p->position.y, 90.0f);
        EXPECT_LE(p->position.y, 110.0f);
        EXPECT_EQ(p->colour, 0x0000FF00u);
        EXPECT_FALSE(p->MainRoutine()); // never ages, never dies
        ASSERT_EQ(p->Routines().size(), 1u);
        EXPECT_NE(dynamic_cast<IPR_Brownian*>(p->Routines().front().get()), nullptr);
    }

    brown.count.SetValue(3, nullptr);
    brown.FillBrownParticles();
    EXPECT_EQ(Held(brown), std::vector<InnerParticle*>(first.begin(), first.begin() + 3));

    brown.count.SetValue(4, nullptr);
    brown.params.colours.colors.SetValue({}, nullptr);
    brown.FillBrownParticles();
    const std::vector<InnerParticle*> grown = Held(brown);
    ASSERT_EQ(grown.size(), 4u);
    EXPECT_EQ(grown[2], first[2]);
    EXPECT_EQ(grown[3]->colour, 0x00FFFFFFu); // an empty list draws white
}

TEST(BrownAnimationTest, CountIsCappedAtOneList)
{
    KXI_BrownAnimation brown;
    brown.count.SetValue(4000000000u, nullptr);
    brown.FillBrownParticles();
    EXPECT_EQ(brown.particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
}

TEST(BrownAnimationTest, RestartKeepsTheCountOnEveryTimeline)
{
    for (const int timeline : {KXI_SmartTiming::kContinuous, KXI_SmartTiming::kRandom}) {
        SCOPED_TRACE(timeline);
        KXI_BrownAnimation brown;
        brown.timing.SetValue(timeline, nullptr);
        brown.area.area.SetRectangle(100.0f, 100.0f, {50.0f, 50.0f, 0.0f});
        brown.driftScale.SetValue(25, nullptr);
        brown.count.SetValue(7, nullptr);
        brown.AttachRenderObject(nullptr);
        ASSERT_EQ(brown.particles.Size(), 7u);
        const math::Vec3 before = brown.particles.Particles().front()->position;
        brown.Restart();
        EXPECT_EQ(brown.particles.Size(), 7u);
        if (timeline == KXI_SmartTiming::kContinuous) {
            // The same particles, wandered for 5 s.
            const math::Vec3 after = brown.particles.Particles().front()->position;
            EXPECT_NE(after.x, before.x);
        }
        brown.Restart();
        EXPECT_EQ(brown.particles.Size(), 7u);
    }
}

TEST(BrownAnimationTest, OwnClockAndSpeed)
{
    KXI_BrownAnimation brown;
    brown.area.area.SetRectangle(1000.0f, 1000.0f, {0.0f, 0.0f, 0.0f});
    brown.driftScale.SetValue(25, nullptr);
    brown.count.SetValue(1, nullptr);
    brown.speed.SetValue(0, nullptr); // the base's speed is not used
    brown.FillBrownParticles();
    InnerParticle& p = *brown.particles.Particles().front();
    const auto& routine = dynamic_cast<const IPR_Brownian&>(*p.Routines().front());
    const math::Vec3 velocity = routine.ownVelocity;
    const math::Vec3 start = p.position;
    brown.Update(0.0f);
    brown.Update(5.0f); // a gap counts as 0.2 s
    EXPECT_FLOAT_EQ(brown.wanderSpeed.Step(), 0.2f);
    ExpectVec(p.position, start + velocity * 0.2f);
    brown.Update(4.0f); // back in time: no step
    ExpectVec(p.position, start + velocity * 0.2f);
}

// ---- stored form ------------------------------------------------------------------

wander_writer::BrownFields SampleBrown()
{
    wander_writer::BrownFields fields;
    fields.count = 12;
    fields.driftScale = 30;
    fields.changeRate = 45;
    fields.turnTime = 15;
    fields.area = wander_writer::BoxCorners(10.0f, 20.0f, 300.0f, 200.0f);
    fields.controller.block.particleSize = 50;
    fields.controller.base.name = u"Wanderers";
    return fields;
}

TEST(BrownAnimationTest, ReadsAndWritesItsRecord)
{
    RegisterParticleEngineClasses();
    DocumentWriter w;
    wander_writer::WriteBrownAnimation(w, SampleBrown());
    MemoryArchive archive(w.Bytes());
    const std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    const auto* brown = dynamic_cast<const KXI_BrownAnimation*>(item.get());
    ASSERT_NE(brown, nullptr);
    EXPECT_EQ(brown->count.value, 12u);
    EXPECT_FLOAT_EQ(brown->driftScale.Scaled(), 1.2f);
    EXPECT_FLOAT_EQ(brown->changeRate.Scaled(), 1.0f);
    EXPECT_FLOAT_EQ(brown->turnTime.Scaled(), 0.32f);
    EXPECT_EQ(brown->area.area.corners[3].value.x, 300.0f);
    EXPECT_EQ(brown->area.area.corners[0].value.y, 20.0f);
    EXPECT_EQ(brown->name, u"Wanderers");
    EXPECT_FLOAT_EQ(brown->wanderSpeed.Scaled(), 1.0f);

    RecordingArchive saved;
    brown->Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), w.Bytes());

    const std::vector<std::uint8_t>& bytes = w.Bytes();
    for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{60}}) {
        MemoryArchive truncated(std::span(bytes.data(), keep));
        EXPECT_THROW(ReadSceneObject(truncated.Reader()), DS_Error) << keep;
    }
}

// ---- drawing ----------------------------------------------------------------------

class BrownAnimationRenderTest : public picture_scene_test::PictureSceneTest {};

TEST_F(BrownAnimationRenderTest, DrawsSquaresOfThePictureInTheFirstColour)
{
    using namespace picture_scene_test;
    const LinkKey dot{u"pictures\\dot.bmp", 3};
    DocResManagerRecord record;
    record.frames[dot] = {StoredFrame{docres_test::SolidBmp(4, 4, 0xFFFFFF), 0.0f}};
    DocumentWriter resources;
    resources.DocResManager(record);
    MemoryArchive stored(resources.Bytes());
    ReadDocResManagerRecord(stored.Reader(), *manager);
    auto light = MakeStripesLight(PicturePosition::kStretch);

    // One particle standing at canvas (16, 8): a box of one point, no drift.
    wander_writer::BrownFields fields;
    fields.count = 1;
    fields.area = wander_writer::BoxCorners(16.0f, 8.0f, 16.0f, 8.0f);
    particle_writer::BlockFields& block = fields.controller.block;
    block.pictures = {{dot.path, dot.id}};
    block.particleSize = 200; // twice the picture's 4 units
    block.colours = {0x00FF0000, 0x000000FF};
    block.flags = 0x2;
    RegisterParticleEngineClasses();
    DocumentWriter w;
    wander_writer::WriteBrownAnimation(w, fields);
    MemoryArchive archive(w.Bytes());
    const std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    auto* description = dynamic_cast<KXI_BrownAnimation*>(item.get());
    ASSERT_NE(description, nullptr);
    std::unique_ptr<KXI_RenderObj> object = description->CreateRenderObject();
    object->Animate(0.0f);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(object.release())};
    light->RenderFrame(objects, false);

    // The square spans canvas 12..20 x 4..12; a canvas unit is 2 x 4 pixels.
    const auto pixels = BackBufferPixels();
    struct Probe {
        std::uint32_t x, y, rgb;
    };
    for (const Probe& p : {Probe{32, 32, kBlueRgb}, Probe{26, 20, kBlueRgb}, Probe{38, 44, kBlueRgb},
                           Probe{44, 40, kGrey}, Probe{20, 40, kGrey}})
        EXPECT_TRUE(ShowsRgb(At(pixels, p.x, p.y), p.rgb)) << p.x << ", " << p.y << ": " << Hex(At(pixels, p.x, p.y));
}

} // namespace

// The through-space flight: stored forms of versions 1 to 3, the flight in
// depth stepped twice per frame, emission under the timeline's level, the
// turn of the field, and the perspective quads it writes (headless device).

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ThroughSpace.h"
#include "render/Timing.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/PathSystemWriter.h"
#include "tests/support/RecordingArchive.h"

namespace {

using particle_writer::ThroughSpaceFields;

class LevelTimeline : public KXI_Timing {
public:
    explicit LevelTimeline(float level) { m_level = level; }
    float Advance(float time) override { return time; }
};

std::unique_ptr<KXI_ThroughSpaceCtrl> ReadFlight(const ThroughSpaceFields& fields)
{
    RegisterParticleEngineClasses();
    DocumentWriter w;
    particle_writer::WriteThroughSpace(w, fields);
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* flight = dynamic_cast<KXI_ThroughSpaceCtrl*>(item.get());
    if (!flight)
        return nullptr;
    // The running copy, as the render object holds it.
    return std::make_unique<KXI_ThroughSpaceCtrl>(*flight);
}

// Real-time flight from the rectangle (0, 0) - (100, 50) around (50, 25).
ThroughSpaceFields Flight(std::uint8_t receding = 0)
{
    ThroughSpaceFields fields;
    fields.area = {{{0.0f, 0.0f, 0.0f}, {0.0f, 50.0f, 0.0f}, {100.0f, 0.0f, 0.0f}, {100.0f, 50.0f, 0.0f}}};
    fields.centre = {50.0f, 25.0f, 0.0f};
    fields.receding = receding;
    fields.speed = 100;
    fields.rotationSpeed = 100; // 40 degrees per second
    fields.controller.block.particleSize = 10;
    return fields;
}

// Runs frames of 0.1 s from t = 0.
void RunFrames(KXI_ParticleSystemCtrl& system, int frames, float& t)
{
    for (int i = 0; i < frames; ++i) {
        system.Update(t);
        t += 0.1f;
    }
}

// ---- stored forms -----------------------------------------------------------------

TEST(ThroughSpaceRecordTest, EveryVersion)
{
    struct Case {
        std::int32_t version;
        std::uint8_t receding;
        std::uint32_t speed;                         // what the flight runs at
        std::array<std::uint32_t, 2> opacityEnvelope; // fade-in end, fade-out start
    };
    const Case cases[] = {
        {3, 1, 100, {30, 60}},
        {2, 1, 100, {0, 90}},
        {2, 0, 100, {10, 100}},
        // Version 1: the speed from the texture clock, which returns to 100.
        {1, 0, 250, {10, 100}},
    };
    for (const Case& c : cases) {
        ThroughSpaceFields fields = Flight(c.receding);
        fields.version = c.version;
        fields.rate = 150;
        fields.rotationDirection = 1;
        fields.controller.block.textureClock = 250;
        fields.controller.block.sizeEnvelope = {25, 75, 0, 0};
        fields.controller.block.opacityEnvelope = {30, 60, 0, 0};
        const auto flight = ReadFlight(fields);
        ASSERT_NE(flight, nullptr);
        SCOPED_TRACE(c.version);
        EXPECT_FLOAT_EQ(flight->emitter.counter.rate.Scaled(), 30.0f);
        EXPECT_FLOAT_EQ(flight->emitter.geometry.area.corners[3].value.x, 100.0f);
        EXPECT_FLOAT_EQ(flight->rotationClock.Scaled(), 40.0f);
        EXPECT_EQ(flight->rotationDirection.value, 1);
        EXPECT_EQ(flight->centre.value, (math::Vec3{50.0f, 25.0f, 0.0f}));
        EXPECT_EQ(flight->receding, c.receding != 0);
        EXPECT_EQ(flight->speedClock.value, c.speed);
        EXPECT_FLOAT_EQ(flight->speedClock.Scaled(), static_cast<float>(c.speed) / 100.0f);
        EXPECT_EQ(flight->params.textureClock.value, c.version == 1 ? 100u : 250u);
        const PercentParamQuad& opacity = flight->params.opacityEnvelope;
        EXPECT_EQ(opacity.percents[0].value, c.opacityEnvelope[0]);
        EXPECT_EQ(opacity.percents[1].value, c.opacityEnvelope[1]);
        EXPECT_EQ(flight->params.sizeEnvelope.percents[1].value, c.version >= 3 ? 75u : 100u);
        if (c.version == 3) {
            DocumentWriter expected;
            particle_writer::WriteThroughSpace(expected, fields);
            RecordingArchive saved;
            flight->Save(saved.Writer());
            EXPECT_EQ(saved.writer.Bytes(), expected.Bytes());
        }
    }
}

TEST(ThroughSpaceRecordTest, VersionTwoRecedingParticlesFadeOutFromNinetyPercent)
{
    ThroughSpaceFields fields = Flight(1);
    fields.version = 2;
    const auto flight = ReadFlight(fields);
    ASSERT_NE(flight, nullptr);
    InnerParticle particle;
    particle.SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(KXI_ThroughSpaceCtrl::kLifetime)));
    for (const float age : {0.0f, 2.5f, 4.5f}) {
        particle.values[InnerParticle::kAge] = age;
        EXPECT_FLOAT_EQ(flight->params.OpacityFactor(particle), 1.0f) << age;
    }
    particle.values[InnerParticle::kAge] = 4.75f;
    EXPECT_NEAR(flight->params.OpacityFactor(particle), 0.5f, 1e-4f);
}

// ---- flight -----------------------------------------------------------------------

TEST(ThroughSpaceTest, ApproachingParticlesReachTheViewerInTwoAndAHalfSeconds)
{
    auto flight = ReadFlight(Flight());
    ASSERT_NE(flight, nullptr);
    float t = 0.0f;
    RunFrames(*flight, 2, t); // the first frame has no step; the second emits
    ASSERT_FALSE(flight->particles.Empty());
    const ParticleHandle first = flight->particles.Particles().back();
    EXPECT_FLOAT_EQ(first->position.z, 1.0f);
    RunFrames(*flight, 10, t);
    // Two steps of 0.1 s per frame at 0.2 per second.
    EXPECT_NEAR(first->position.z, 0.6f, 1e-4f);
    EXPECT_NEAR(first->Age(), 2.0f, 1e-4f);
    EXPECT_EQ(first->velocity, (math::Vec3{0.0f, 0.0f, -0.2f}));
    RunFrames(*flight, 15, t);
    EXPECT_NEAR(first->position.z, 0.0f, 1e-4f);
    RunFrames(*flight, 1, t);
    for (const ParticleHandle& p : flight->particles.Particles())
        EXPECT_NE(p.get(), first.get()) << "still alive after 5 s of life";
}

TEST(ThroughSpaceTest, ListRunsFromFarToNear)
{
    for (const std::uint8_t receding : {0, 1}) {
        auto flight = ReadFlight(Flight(receding));
        ASSERT_NE(flight, nullptr);
        float t = 0.0f;
        RunFrames(*flight, 20, t);
        ASSERT_GT(flight->particles.Size(), 10u);
        float previous = 2.0f;
        for (const ParticleHandle& p : flight->particles.Particles()) {
            EXPECT_LE(p->position.z, previous + 1e-6f) << int(receding);
            previous = p->position.z;
        }
    }
}

TEST(ThroughSpaceTest, EmissionFollowsTheTimelineLevel)
{
    struct Case {
        float level;
        double perSecond;
    };
    for (const Case c : {Case{1.0f, 20.0}, Case{0.5f, 10.0}, Case{0.0f, 0.0}}) {
        auto flight = ReadFlight(Flight());
        ASSERT_NE(flight, nullptr);
        flight->timing.SetTimeline(std::make_unique<LevelTimeline>(c.level));
        float t = 0.0f;
        RunFrames(*flight, 21, t); // 2 s of steps; nobody dies yet
        EXPECT_NEAR(static_cast<double>(flight->particles.Size()), 2.0 * c.perSecond, 1.0) << c.level;
    }
}

TEST(ThroughSpaceTest, RotationDirectionTurnsTheOtherWay)
{
    for (const std::int32_t direction : {0, 1}) {
        ThroughSpaceFields fields = Flight();
        fields.rotationDirection = direction;
        auto flight = ReadFlight(fields);
        ASSERT_NE(flight, nullptr);
        float t = 0.0f;
        RunFrames(*flight, 11, t); // 1 s of steps
        EXPECT_NEAR(flight->angle, direction == 0 ? 40.0f : -40.0f, 1e-3f);
    }
}

// ---- quads ------------------------------------------------------------------------

class ThroughSpaceQuadTest : public picture_scene_test::PictureSceneTest {
public:
    // The flight's render object after `frames` frames of 0.1 s from t = 0.
    std::unique_ptr<KXI_ParticleSystemMech> Run(const ThroughSpaceFields& fields, int frames)
    {
        auto description = ReadFlight(fields);
        EXPECT_NE(description, nullptr);
        // Not the continuous kind: no pre-run, the flight starts empty.
        description->timing.StoreValue(KXI_SmartTiming::kRandom);
        description->timing.SetTimeline(std::make_unique<KXI_Timing>());
        std::unique_ptr<KXI_RenderObj> object = description->CreateRenderObject();
        auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(object.get());
        if (!mech)
            return nullptr;
        object.release();
        for (int frame = 0; frame < frames; ++frame)
            mech->Animate(0.1f * static_cast<float>(frame));
        return std::unique_ptr<KXI_ParticleSystemMech>(mech);
    }

    struct Quad {
        math::Vec3 corners[4];
        std::uint32_t alpha[4];
    };

    std::vector<Quad> Quads(KXI_ParticleSystemMech& mech)
    {
        std::vector<Quad> quads;
        QuadBatchBuffer* batch = mech.Batch(0);
        if (!batch)
            return quads;
        const QuadBatchVertex* v = batch->LockQuads();
        if (!v)
            return quads;
        for (std::int32_t q = 0; q < mech.QuadCount(0); ++q) {
            Quad quad;
            for (int k = 0; k < 4; ++k) {
                const QuadBatchVertex& vertex = v[4 * q + k];
                quad.corners[k] = {vertex.x, vertex.y, vertex.z};
                quad.alpha[k] = vertex.colour >> 24;
            }
            quads.push_back(quad);
        }
        batch->UnlockQuads();
        return quads;
    }
};

// Every quad against its particle: below the nearest depth all corners at
// the centre with alpha 0; else the particle's place and size scaled by 1/z
// about the centre, visible. No vertex holds an infinity.
void ExpectPerspectiveQuads(const KXI_ThroughSpaceCtrl& flight, const std::vector<ThroughSpaceQuadTest::Quad>& quads)
{
    ASSERT_EQ(quads.size(), flight.particles.Size());
    const math::Vec3 centre = flight.centre.value;
    std::size_t i = 0;
    for (const ParticleHandle& p : flight.particles.Particles()) {
        const ThroughSpaceQuadTest::Quad& quad = quads[i++];
        for (const math::Vec3& corner : quad.corners)
            ASSERT_TRUE(std::isfinite(corner.x) && std::isfinite(corner.y) && std::isfinite(corner.z));
        const float z = p->position.z;
        if (z < KXI_ThroughSpaceCtrl::kNearestDepth) {
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(quad.corners[k], centre) << z;
                EXPECT_EQ(quad.alpha[k], 0u) << z;
            }
            continue;
        }
        const float cx = (quad.corners[0].x + quad.corners[3].x) / 2.0f;
        const float cy = (quad.corners[0].y + quad.corners[3].y) / 2.0f;
        EXPECT_NEAR(cx, centre.x + (p->position.x - centre.x) / z, 1e-2f / z);
        EXPECT_NEAR(cy, centre.y + (p->position.y - centre.y) / z, 1e-2f / z);
        EXPECT_NEAR(quad.corners[2].x - quad.corners[0].x, 10.0f / z, 1e-3f / z);
        EXPECT_NEAR(quad.corners[0].y - quad.corners[1].y, 10.0f / z, 1e-3f / z);
        EXPECT_GT(quad.alpha[0], 0u);
    }
}

TEST_F(ThroughSpaceQuadTest, RecedingParticleAtBirthIsDrawnNowhere)
{
    auto mech = Run(Flight(1), 6);
    ASSERT_NE(mech, nullptr);
    auto& flight = dynamic_cast<KXI_ThroughSpaceCtrl&>(mech->Controller());
    const std::vector<Quad> quads = Quads(*mech);
    ASSERT_GT(quads.size(), 4u);
    // The newest, at the end of the list, were born this frame at z = 0.
    EXPECT_EQ(flight.particles.Particles().back()->position.z, 0.0f);
    EXPECT_EQ(quads.back().corners[0], (math::Vec3{50.0f, 25.0f, 0.0f}));
    ExpectPerspectiveQuads(flight, quads);
}

TEST_F(ThroughSpaceQuadTest, ApproachingParticlesScaleAboutTheCentreAndTheFieldTurns)
{
    // Long enough for the first particles to reach the viewer.
    auto mech = Run(Flight(0), 27);
    ASSERT_NE(mech, nullptr);
    auto& flight = dynamic_cast<KXI_ThroughSpaceCtrl&>(mech->Controller());
    ASSERT_LT(flight.particles.Particles().back()->position.z, KXI_ThroughSpaceCtrl::kNearestDepth);
    ExpectPerspectiveQuads(flight, Quads(*mech));
    // 2.6 s of turning at 40 degrees per second, about the centre.
    const math::Matrix& turn = mech->Batch(0)->header.world;
    math::Matrix expected;
    MakeRotationAboutAxisThroughPoint(expected, {50.0f, 25.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 104.0f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(turn.m[r][c], expected.m[r][c], 1e-3f);
}

} // namespace

// The particle tracer: emission around each source, the drift of trail
// particles, the trail's cap, and its member record in every version.

#include <gtest/gtest.h>

#include <cmath>

#include "objectmodel/DocumentError.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ParticleTracer.h"
#include "platform/math/MathFunctions.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/WanderWriter.h"

namespace {

using wander_writer::TracerFields;

// Sources standing at the given places, as wandering particles are made.
InnerParticleList Sources(std::initializer_list<math::Vec3> places)
{
    InnerParticleList list;
    for (const math::Vec3& place : places)
        list.Create(place);
    return list;
}

// A tracer of 20 particles per second per source, living `seconds`.
KXI_ParticleTracer Tracer(std::uint32_t lifetimeHundredths, std::uint32_t velocityFactor, std::uint32_t spread = 0)
{
    KXI_ParticleTracer tracer;
    tracer.lifetime.SetValue(lifetimeHundredths, nullptr);
    tracer.velocityFactor.SetValue(velocityFactor, nullptr);
    tracer.spread.SetValue(spread, nullptr);
    return tracer;
}

float Distance(const math::Vec3& a, const math::Vec3& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(TracerTest, LifetimeZeroEmitsNothingButStepsTheTrail)
{
    KXI_ParticleTracer tracer = Tracer(0, 50);
    ParticleHandle& old = tracer.particles.Create({1.0f, 1.0f, 0.0f});
    old->SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(0.15f)));
    const InnerParticleList sources = Sources({{0.0f, 0.0f, 0.0f}});

    tracer.Step(sources, 10.0f, 0.1f);
    ASSERT_EQ(tracer.particles.Size(), 1u);
    EXPECT_FLOAT_EQ(tracer.particles.Particles().front()->Age(), 0.1f);
    tracer.Step(sources, 10.0f, 0.1f);
    EXPECT_TRUE(tracer.particles.Empty());
}

TEST(TracerTest, TwoSourcesGetTwoParticlesEachPerTenthOfASecond)
{
    KXI_ParticleTracer tracer = Tracer(100, 50);
    const math::Vec3 a{10.0f, 20.0f, 0.0f};
    const math::Vec3 b{200.0f, 50.0f, 0.0f};
    const InnerParticleList sources = Sources({a, b});

    tracer.Step(sources, 10.0f, 0.1f);
    ASSERT_EQ(tracer.particles.Size(), 4u);
    int atA = 0, atB = 0;
    for (const ParticleHandle& p : tracer.particles.Particles()) {
        atA += Distance(p->position, a) == 0.0f ? 1 : 0;
        atB += Distance(p->position, b) == 0.0f ? 1 : 0;
        EXPECT_FLOAT_EQ(p->Age(), 0.1f); // stepped once after birth
    }
    EXPECT_EQ(atA, 2);
    EXPECT_EQ(atB, 2);
    // The emitter was left on the last source.
    EXPECT_EQ(tracer.emitter.geometry.position.value.x, b.x);
}

TEST(TracerTest, NewTrailParticlesAreSetUpByTheBlock)
{
    KXI_ParticleTracer tracer = Tracer(250, 50);
    tracer.params.colours.colors.SetValue({0x00336699, 0x00000000}, nullptr);
    tracer.params.opacityJitter.SetValue(100, nullptr);
    ParticleHandle particle(new InnerParticle({3.0f, 4.0f, 0.0f}));
    tracer.InitParticle(particle, {3.0f, 4.0f, 0.0f}, 8.0f);

    EXPECT_FLOAT_EQ(MainRoutineLifetime(*particle), 2.5f);
    ASSERT_FALSE(particle->Routines().empty());
    EXPECT_NE(dynamic_cast<IPR_Kinematic*>(particle->Routines().front().get()), nullptr);
    EXPECT_EQ(particle->colour, 0x00336699u);
    // No opacity jitter for trail particles, whatever the block says.
    EXPECT_EQ(particle->values[InnerParticle::kOpacityValue], 0.0f);
    EXPECT_FLOAT_EQ(tracer.params.OpacityFactor(*particle), 1.0f);

    // Without a lifetime a particle set up by hand keeps still.
    KXI_ParticleTracer lifeless = Tracer(0, 100);
    ParticleHandle still(new InnerParticle({3.0f, 4.0f, 0.0f}));
    lifeless.InitParticle(still, {0.0f, 0.0f, 0.0f}, 8.0f);
    EXPECT_EQ(still->velocity.x, 0.0f);
    EXPECT_EQ(still->velocity.y, 0.0f);
}

// Trail particles born on a circle of diameter spread x size x size value
// around the source, followed for half their life of 1 s.
TEST(TracerTest, VelocityFactorSetsTheDrift)
{
    struct Case {
        std::uint32_t value; // k = value x 0.02 - 1
        const char* what;
    };
    for (const Case& c : {Case{0, "k = -1: drawn in"}, Case{50, "k = 0: still"}, Case{100, "k = 1: out"}}) {
        SCOPED_TRACE(c.what);
        KXI_ParticleTracer tracer = Tracer(100, c.value, 100);
        const math::Vec3 centre{50.0f, 50.0f, 0.0f};
        const InnerParticleList sources = Sources({centre});
        tracer.Step(sources, 20.0f, 0.1f);
        ASSERT_EQ(tracer.particles.Size(), 2u);
        const ParticleHandle first = tracer.particles.Particles().front();
        const math::Vec3 born = first->position - first->velocity * 0.1f; // before its one step
        EXPECT_LE(Distance(born, centre), 10.0f + 1e-3f);
        // Nine more steps, now without the source: half of the life.
        const InnerParticleList none;
        for (int i = 0; i < 4; ++i)
            tracer.Step(none, 20.0f, 0.1f);
        const math::Vec3 half = first->position;
        if (c.value == 50) {
            EXPECT_EQ(half.x, born.x);
            EXPECT_EQ(half.y, born.y);
        } else if (c.value == 0) {
            EXPECT_NEAR(Distance(half, centre), Distance(born, centre) / 2.0f, 1e-3f);
        } else {
            // Outward at up to size / lifetime: 20 units per second.
            EXPECT_LE(Distance(half, born), 10.0f + 1e-3f);
            EXPECT_GT(math::Vec3Length(first->velocity), 0.0f);
        }
    }
}

TEST(TracerTest, TrailStaysWithinTheCap)
{
    KXI_ParticleTracer tracer = Tracer(100000, 50);
    tracer.emitter.counter.rate.SetValue(4000000000u, nullptr);
    const InnerParticleList sources = Sources({{0.0f, 0.0f, 0.0f}, {5.0f, 5.0f, 0.0f}});
    tracer.Step(sources, 1.0f, 0.2f);
    EXPECT_EQ(tracer.particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
    tracer.Step(sources, 1.0f, 0.2f);
    EXPECT_EQ(tracer.particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
}

// ---- stored form ------------------------------------------------------------------

KXI_ParticleTracer ReadTracer(const TracerFields& fields)
{
    DocumentWriter w;
    wander_writer::WriteTracer(w, fields);
    MemoryArchive archive(w.Bytes());
    KXI_ParticleTracer tracer;
    tracer.Read(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return tracer;
}

TEST(TracerTest, EveryRecordVersion)
{
    for (std::int32_t version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        TracerFields fields;
        fields.version = version;
        fields.block.particleSize = 12;
        fields.block.textureName = u"Trail";
        fields.block.sizeEnvelope = {30, 70, 0, 0};
        fields.block.opacityEnvelope = {40, 60, 0, 0};
        fields.block.flags = 0x2;
        fields.rate = 150;
        fields.lifetime = 80;
        fields.particleSize = 7;
        fields.spread = 120;
        fields.velocityFactor = 75;
        fields.unused = 12345;
        const KXI_ParticleTracer t = ReadTracer(fields);

        EXPECT_FLOAT_EQ(t.emitter.counter.rate.Scaled(), 30.0f);
        EXPECT_FLOAT_EQ(t.lifetime.Scaled(), 0.8f);
        EXPECT_FLOAT_EQ(t.spread.Scaled(), 1.2f);
        EXPECT_FLOAT_EQ(t.velocityFactor.Scaled(), 0.5f);
        EXPECT_EQ(t.params.particleSize.value, version == 1 ? 7u : 12u);
        EXPECT_EQ(t.params.textureName.value, version == 1 ? u"" : u"Trail");
        // Up to version 3 the trail always has physics.
        const std::uint32_t storedFlags = version == 1 ? 0u : 0x2u;
        EXPECT_EQ(t.params.flags, storedFlags | (version <= 3 ? ParticleSystemParams::kFlagPhysics : 0u));
        // Up to version 2 the envelopes are fixed: shrink all life, fade in
        // over the first tenth.
        const bool fixed = version <= 2;
        EXPECT_EQ(t.params.sizeEnvelope.percents[0].value, fixed ? 0u : 30u);
        EXPECT_EQ(t.params.sizeEnvelope.percents[1].value, fixed ? 0u : 70u);
        EXPECT_EQ(t.params.opacityEnvelope.percents[0].value, fixed ? 10u : 40u);
        EXPECT_EQ(t.params.opacityEnvelope.percents[1].value, fixed ? 0u : 60u);
        EXPECT_FLOAT_EQ(t.params.sizeEnvelope.percents[1].Scaled(), fixed ? 0.0f : 0.7f);
    }
}

TEST(TracerTest, WritesWhatTheWriterWrites)
{
    TracerFields fields;
    fields.block.particleSize = 9;
    fields.block.pictures = {{u"common_res.dll", 5}};
    fields.lifetime = 40;
    fields.spread = 60;
    fields.velocityFactor = 10;
    const KXI_ParticleTracer tracer = ReadTracer(fields);
    RecordingArchive saved;
    tracer.Write(saved.Writer());
    DocumentWriter expected;
    wander_writer::WriteTracer(expected, fields);
    EXPECT_EQ(saved.writer.Bytes(), expected.Bytes());
}

TEST(TracerTest, TruncatedRecordsAreRefused)
{
    TracerFields fields;
    fields.version = 3;
    DocumentWriter whole;
    wander_writer::WriteTracer(whole, fields);
    const std::vector<std::uint8_t>& bytes = whole.Bytes();
    for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{2}}) {
        MemoryArchive truncated(std::span(bytes.data(), keep));
        KXI_ParticleTracer tracer;
        EXPECT_THROW(tracer.Read(truncated.Reader()), DS_Error) << keep;
    }
}

} // namespace

// The path stream and the trace without a device: stored forms, the rate
// under the timeline's level, the band envelope, the wave across the band,
// the pre-run, and the trace point's drops, reset and bound.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/PathParticleSystems.h"
#include "platform/crt/Random.h"
#include "render/Timing.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/PathSystemWriter.h"
#include "tests/support/RecordingArchive.h"

namespace {

using particle_writer::PathStreamFields;
using particle_writer::TraceFields;

// A timeline held at a state, a level and a phase length the test sets.
class HeldTimeline : public KXI_Timing {
public:
    void Hold(int state, float level, float length)
    {
        m_state = state;
        m_level = level;
        m_length = length;
    }
    float Advance(float time) override { return time; }
    float GetLength() const override { return m_length; }

private:
    float m_length = 0.0f;
};

HeldTimeline& HoldTimeline(KXI_RenderObjData& object, int state, float level, float length = 0.0f)
{
    auto timeline = std::make_unique<HeldTimeline>();
    HeldTimeline& held = *timeline;
    held.Hold(state, level, length);
    object.timing.SetTimeline(std::move(timeline));
    return held;
}

template <class T>
std::unique_ptr<T> ReadWritten(const DocumentWriter& w)
{
    RegisterParticleEngineClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* typed = dynamic_cast<T*>(item.get());
    if (typed)
        item.release();
    return std::unique_ptr<T>(typed);
}

// The running copy of a description, as its render object holds it: values
// read straight into a parameter reach its float through the copy.
template <class T>
std::unique_ptr<T> Running(const std::unique_ptr<T>& description)
{
    return description ? std::make_unique<T>(*description) : nullptr;
}

// A stream along the straight line (0, 100) - (length, 100), curve sampled.
std::unique_ptr<KXI_ParticlePath> Stream(PathStreamFields fields, float length = 400.0f)
{
    fields.points = particle_writer::StraightSplinePoints({0.0f, 100.0f, 0.0f}, {length, 100.0f, 0.0f}, 2);
    DocumentWriter w;
    particle_writer::WritePathStream(w, fields);
    auto stream = Running(ReadWritten<KXI_ParticlePath>(w));
    if (stream)
        stream->path.RebuildCurve();
    return stream;
}

// A trace along (0, 0) - (400, 0) that stays where it drops its particles,
// with its cursor at the start, on a timeline that is on with a 4 s phase.
std::unique_ptr<KXI_ParticleTrace> Trace(std::uint32_t count)
{
    TraceFields fields;
    fields.points = particle_writer::StraightSplinePoints({0.0f, 0.0f, 0.0f}, {400.0f, 0.0f, 0.0f}, 2);
    fields.count = count;
    fields.lifetime = 100000;
    DocumentWriter w;
    particle_writer::WriteTrace(w, fields);
    auto trace = Running(ReadWritten<KXI_ParticleTrace>(w));
    if (trace) {
        trace->path.RebuildCurve();
        trace->cursor = NewPathCursor(trace->path);
    }
    return trace;
}

std::vector<float> XsOf(const InnerParticleList& list)
{
    std::vector<float> xs;
    for (const ParticleHandle& p : list.Particles())
        xs.push_back(p->position.x);
    return xs;
}

// ---- stored forms -----------------------------------------------------------------

void ExpectSavedAsWritten(const DS_IOF_Item& item, const DocumentWriter& written)
{
    RecordingArchive saved;
    item.Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), written.Bytes());
}

TEST(PathSystemRecordTest, ReadAndSavedBackByteForByte)
{
    PathStreamFields stream;
    stream.points = particle_writer::StraightSplinePoints({1.0f, 2.0f, 0.0f}, {50.0f, 20.0f, 0.0f}, 3);
    stream.rate = 70;
    stream.speed = 33;
    stream.speedJitter = 25;
    stream.width = 12;
    stream.wanderMode = 2;
    stream.waveFrequency = 900;
    stream.startWidth = 10;
    stream.endWidth = 20;
    stream.wideningEnd = 30;
    stream.narrowingStart = 60;
    stream.controller.speed = 150;
    DocumentWriter streamBytes;
    particle_writer::WritePathStream(streamBytes, stream);
    const auto path = ReadWritten<KXI_ParticlePath>(streamBytes);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->path.GetPointCount(), 3);
    EXPECT_FLOAT_EQ(path->rate.rate.Scaled(), 14.0f);
    EXPECT_EQ(path->pathSpeed.value, 33u);
    EXPECT_FLOAT_EQ(path->speedJitter.Scaled(), 0.75f);
    EXPECT_EQ(path->width.value, 12u);
    EXPECT_EQ(path->wanderMode.value, 2);
    EXPECT_FLOAT_EQ(path->waveFrequency.Scaled(), 0.36f);
    EXPECT_FLOAT_EQ(path->narrowingStart.Scaled(), 0.6f);
    // The clone takes the speed read straight into the value.
    EXPECT_FLOAT_EQ(dynamic_cast<KXI_ParticlePath&>(*path->Clone()).pathSpeed.Scaled(), 33.0f);
    ExpectSavedAsWritten(*path, streamBytes);

    TraceFields trace;
    trace.points = particle_writer::StraightSplinePoints({0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f}, 2);
    trace.count = 9;
    trace.lifetime = 250;
    trace.scatterRadius = 7;
    trace.speed = 40;
    DocumentWriter traceBytes;
    particle_writer::WriteTrace(traceBytes, trace);
    const auto read = ReadWritten<KXI_ParticleTrace>(traceBytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->count.value, 9u);
    EXPECT_FLOAT_EQ(read->lifetime.Scaled(), 2.5f);
    EXPECT_EQ(read->scatterRadius.value, 7u);
    EXPECT_FLOAT_EQ(read->launchSpeed.Scaled(), 40.0f);
    ExpectSavedAsWritten(*read, traceBytes);
}

TEST(PathSystemRecordTest, DamagedRecordsAreRefused)
{
    RegisterParticleEngineClasses();
    PathStreamFields stream;
    stream.points = particle_writer::StraightSplinePoints({0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f}, 4);
    DocumentWriter whole;
    particle_writer::WritePathStream(whole, stream);
    const std::vector<std::uint8_t>& bytes = whole.Bytes();
    for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{60}}) {
        MemoryArchive truncated(std::span(bytes.data(), keep));
        EXPECT_THROW(ReadSceneObject(truncated.Reader()), DS_Error) << keep;
    }
    for (const std::u16string_view name : {KXI_ParticlePath::kClassName, KXI_ParticleTrace::kClassName}) {
        DocumentWriter huge;
        huge.Section(name, 1).Int(0x7FFFFFFF).Int(1).Float(0.0f);
        MemoryArchive archive(huge.Bytes());
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

// ---- path stream ------------------------------------------------------------------

TEST(PathStreamTest, RateFollowsTheTimelineLevel)
{
    struct Case {
        float level;
        std::size_t perSecond;
    };
    for (const Case c : {Case{1.0f, 20}, Case{0.5f, 10}, Case{0.0f, 0}}) {
        PathStreamFields fields;
        fields.speed = 1000; // far from the end within the test
        auto stream = Stream(fields, 100000.0f);
        ASSERT_NE(stream, nullptr);
        HoldTimeline(*stream, kTimingOn, c.level);
        for (int frame = 0; frame < 40; ++frame)
            stream->AdvanceParticles(0.05f);
        EXPECT_NEAR(static_cast<double>(stream->particles.Size()), 2.0 * static_cast<double>(c.perSecond), 1.0)
            << c.level;
        // Every particle left the first point and runs along the path.
        for (const ParticleHandle& p : stream->particles.Particles())
            EXPECT_GE(p->position.x, 0.0f);
    }
}

TEST(PathStreamTest, NoStreamOverAPathOfOnePoint)
{
    PathStreamFields fields;
    fields.points = particle_writer::StraightSplinePoints({0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f}, 2);
    fields.points.pop_back();
    DocumentWriter w;
    particle_writer::WritePathStream(w, fields);
    auto stream = ReadWritten<KXI_ParticlePath>(w);
    ASSERT_NE(stream, nullptr);
    stream->path.RebuildCurve();
    for (int frame = 0; frame < 10; ++frame)
        stream->AdvanceParticles(0.1f);
    EXPECT_TRUE(stream->particles.Empty());
}

// The band's width factor at distance s: the product of the two ramps.
float BandFactor(const InnerParticle& particle, float s)
{
    InnerParticle probe;
    probe.values[InnerParticle::kAge] = s;
    probe.multipliers[InnerParticle::kSidewaysMultiplier] = 1.0f;
    for (const ParticleRoutineHandle& routine : particle.Routines())
        if (auto* ramp = dynamic_cast<IPR_IncrementM*>(routine.get()))
            ramp->Step(0.0f, probe);
    return probe.multipliers[InnerParticle::kSidewaysMultiplier];
}

TEST(PathStreamTest, BandEnvelopeAlongThePath)
{
    struct Case {
        std::uint32_t start, end, widening, narrowing;
        // Factors at 0, 10, 50, 90 and 100 % of the path.
        std::array<float, 5> factors;
    };
    const Case cases[] = {
        // Grows from a point over the first fifth, shrinks back over the last.
        {0, 0, 20, 80, {0.0f, 0.5f, 1.0f, 0.5f, 0.0f}},
        // The narrowing starts before the widening ends: both ramps run
        // from and to zero and overlap.
        {50, 50, 80, 20, {0.0f, 0.125f, 0.390625f, 0.125f, 0.0f}},
        // Start and end widths count when the narrowing starts later.
        {50, 30, 20, 80, {0.5f, 0.75f, 1.0f, 0.65f, 0.3f}},
    };
    for (const Case& c : cases) {
        PathStreamFields fields;
        fields.startWidth = c.start;
        fields.endWidth = c.end;
        fields.wideningEnd = c.widening;
        fields.narrowingStart = c.narrowing;
        auto stream = Stream(fields);
        ASSERT_NE(stream, nullptr);
        InnerParticle particle;
        stream->SetUpPathParticle(particle);
        const float at[5] = {0.0f, 40.0f, 200.0f, 360.0f, 400.0f};
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(BandFactor(particle, at[i]), c.factors[static_cast<std::size_t>(i)], 1e-3f)
                << c.widening << "/" << c.narrowing << " at " << at[i];
    }
}

TEST(PathStreamTest, WaveOfFrequencyZeroKeepsEachPlaceAcrossTheBand)
{
    PathStreamFields fields;
    fields.speed = 40;
    fields.width = 50;
    fields.wanderMode = 0;
    fields.waveFrequency = 0;
    // A band of constant full width.
    fields.startWidth = 100;
    fields.endWidth = 100;
    fields.wideningEnd = 0;
    fields.narrowingStart = 100;
    auto stream = Stream(fields);
    ASSERT_NE(stream, nullptr);
    crt::srand(7);
    stream->AdvanceParticles(0.5f);
    stream->AdvanceParticles(0.1f);
    ASSERT_GE(stream->particles.Size(), 5u);
    std::vector<float> places;
    for (const ParticleHandle& p : stream->particles.Particles()) {
        places.push_back(p->position.y);
        EXPECT_LE(std::fabs(p->position.y - 100.0f), 25.0f); // inside the band
    }
    for (int frame = 0; frame < 20; ++frame)
        stream->particles.Update(0.1f);
    std::size_t i = 0;
    for (const ParticleHandle& p : stream->particles.Particles())
        EXPECT_NEAR(p->position.y, places[i++], 1e-3f);
    // The places differ from particle to particle.
    EXPECT_GT(*std::max_element(places.begin(), places.end()) - *std::min_element(places.begin(), places.end()),
              1.0f);
}

TEST(PathStreamTest, PreRunFillsThePathWithinTheCap)
{
    struct Case {
        float length;
        std::uint32_t speed;
        float duration;       // what the stream asks for
        std::size_t expected; // particles after the pre-run at 20 per second
        float farthest;       // the leading particle's distance
    };
    const Case cases[] = {
        {400.0f, 20, 20.0f, 400, 400.0f},
        // 2,000 s at speed 1: the pre-run stops after 600 steps (60 s).
        {2000.0f, 1, 2000.0f, 1200, 60.0f},
        // Speed 0: nothing to pre-run.
        {400.0f, 0, 0.0f, 0, 0.0f},
    };
    for (const Case& c : cases) {
        PathStreamFields fields;
        fields.speed = c.speed;
        auto stream = Stream(fields, c.length);
        ASSERT_NE(stream, nullptr);
        EXPECT_NEAR(stream->GetPreRunDuration(), c.duration, 1e-2f) << c.length;
        stream->Restart();
        EXPECT_NEAR(static_cast<double>(stream->particles.Size()), static_cast<double>(c.expected), 2.0) << c.length;
        const std::vector<float> xs = XsOf(stream->particles);
        if (!xs.empty()) {
            EXPECT_NEAR(*std::max_element(xs.begin(), xs.end()), c.farthest, 1.0f) << c.length;
        }
    }
}

TEST(PathStreamTest, SpeedZeroStillPlaysAtTheFirstPointWithinTheCap)
{
    PathStreamFields fields;
    fields.speed = 0;
    fields.rate = 500000; // 100,000 per second
    auto stream = Stream(fields);
    ASSERT_NE(stream, nullptr);
    for (int frame = 0; frame < 3; ++frame)
        stream->AdvanceParticles(0.1f);
    EXPECT_EQ(stream->particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
    for (const ParticleHandle& p : stream->particles.Particles())
        ASSERT_FLOAT_EQ(p->position.x, 0.0f);
}

// ---- trace ------------------------------------------------------------------------

TEST(TraceTest, DropsCountParticlesEvenlyOverOnePass)
{
    auto trace = Trace(5);
    ASSERT_NE(trace, nullptr);
    HoldTimeline(*trace, kTimingOn, 1.0f, 4.0f);
    for (int frame = 0; frame < 42; ++frame)
        trace->Emit(0.1f);
    const std::vector<float> xs = XsOf(trace->particles);
    ASSERT_EQ(xs.size(), 5u);
    for (std::size_t i = 0; i < xs.size(); ++i)
        EXPECT_NEAR(xs[i], 100.0f * static_cast<float>(i), 0.05f) << i;
    // Past the end the point stays on the last point, at the same spacing in time.
    for (int frame = 0; frame < 10; ++frame)
        trace->Emit(0.1f);
    ASSERT_EQ(trace->particles.Size(), 6u);
    EXPECT_NEAR(XsOf(trace->particles).back(), 400.0f, 0.05f);
}

TEST(TraceTest, DroppedParticlesFlyOffAtRightAnglesToThePath)
{
    auto trace = Trace(3);
    ASSERT_NE(trace, nullptr);
    trace->launchSpeed.SetValue(10, nullptr);
    HoldTimeline(*trace, kTimingOn, 1.0f, 1.0f);
    for (int frame = 0; frame < 10; ++frame)
        trace->Emit(0.1f);
    ASSERT_GE(trace->particles.Size(), 2u);
    for (const ParticleHandle& p : trace->particles.Particles()) {
        EXPECT_NEAR(p->velocity.x, 0.0f, 1e-4f);
        EXPECT_NEAR(std::hypot(p->velocity.y, p->velocity.z), 10.0f, 1e-3f);
    }
}

TEST(TraceTest, NothingWithoutAnOnTimelineOfSomeLength)
{
    auto trace = Trace(5);
    ASSERT_NE(trace, nullptr);
    // The continuous timeline has no length.
    for (int frame = 0; frame < 50; ++frame)
        trace->Emit(0.1f);
    EXPECT_TRUE(trace->particles.Empty());

    HeldTimeline& timeline = HoldTimeline(*trace, kTimingOn, 1.0f, 4.0f);
    for (int frame = 0; frame < 15; ++frame)
        trace->Emit(0.1f);
    ASSERT_EQ(XsOf(trace->particles), (std::vector<float>{0.0f, 100.0f}));
    // Falling: the point goes back to the start and drops nothing.
    timeline.Hold(kTimingFalling, 0.5f, 4.0f);
    trace->Emit(0.1f);
    EXPECT_EQ(trace->particles.Size(), 2u);
    EXPECT_EQ(trace->cursor->segment, 0);
    EXPECT_EQ(trace->travelled, 0.0f);
    timeline.Hold(kTimingOn, 1.0f, 4.0f);
    trace->Emit(0.1f);
    ASSERT_EQ(trace->particles.Size(), 3u);
    EXPECT_FLOAT_EQ(XsOf(trace->particles).back(), 0.0f);
}

TEST(TraceTest, HugeCountStaysWithinTheCapAndWalksOn)
{
    auto trace = Trace(4000000000u);
    ASSERT_NE(trace, nullptr);
    HoldTimeline(*trace, kTimingOn, 1.0f, 1.0f);
    const float spacing = 400.0f / 3999999999.0f;
    trace->Emit(0.2f); // 80 units: 800 million spacings
    EXPECT_EQ(trace->particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
    EXPECT_LE(trace->travelled, spacing);
    math::Vec3 at, direction;
    PathCursor probe = *trace->cursor;
    probe.AdvanceWithOffset(0.0f, 0.0f, at, direction);
    EXPECT_NEAR(at.x, 80.0f, 0.5f);
    // A full list: the point walks on without dropping.
    trace->Emit(0.2f);
    EXPECT_EQ(trace->particles.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
    probe = *trace->cursor;
    probe.AdvanceWithOffset(0.0f, 0.0f, at, direction);
    EXPECT_NEAR(at.x, 160.0f, 0.5f);
}

} // namespace

// Geometries of tree nodes: how many particles an emitter owes a parent at
// a step, where swarm, point and trace particles are born and what they
// carry, the frame cells, and the stored sections read back through the
// item registry.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "particles/engine/ParticleGeometry.h"
#include "platform/crt/Random.h"
#include "tests/particles/engine/ItemRoundTrip.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::size_t kRoom = KXI_PtclSys_Geometry::kMaxParticles;

struct DueCase {
    std::string name;
    KXI_PSGeometry_Emitter::Timing timing; // period, pause, delay, count
    float dt;
    float age; // the parent's age at the step
    std::size_t room;
    std::size_t due;
};

class DueCountTable : public testing::TestWithParam<DueCase> {};

TEST_P(DueCountTable, Count)
{
    const DueCase& c = GetParam();
    EXPECT_EQ(KXI_PSGeometry_Emitter::DueCount(c.timing, c.dt, c.age, c.room), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Emitter, DueCountTable,
    testing::Values(
        // Ticks at 0.2, 0.4, ... in every period of 1 s.
        DueCase{"CountZero", {1.0f, 0.0f, 0.0f, 0}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"PeriodZero", {0.0f, 0.0f, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"OneTick", {1.0f, 0.0f, 0.0f, 5}, 0.1f, 0.15f, kRoom, 1},
        DueCase{"BetweenTicks", {1.0f, 0.0f, 0.0f, 5}, 0.02f, 0.25f, kRoom, 0},
        DueCase{"YoungerThanTheDelay", {1.0f, 0.0f, 2.0f, 5}, 0.5f, 1.5f, kRoom, 0},
        DueCase{"AfterTheDelay", {1.0f, 0.0f, 2.0f, 5}, 0.1f, 2.15f, kRoom, 1},
        DueCase{"PauseZeroIsContinuous", {1.0f, 0.0f, 0.0f, 5}, 0.1f, 1.15f, kRoom, 1},
        DueCase{"InThePause", {1.0f, 1.0f, 0.0f, 5}, 0.1f, 1.5f, kRoom, 0},
        DueCase{"AfterThePause", {1.0f, 1.0f, 0.0f, 5}, 0.1f, 2.15f, kRoom, 1},
        DueCase{"SeveralTicksInOneStep", {1.0f, 0.0f, 0.0f, 5}, 0.45f, 0.1f, kRoom, 2},
        DueCase{"StepCrossingTheEndOfThePeriod", {1.0f, 1.0f, 0.0f, 5}, 0.9f, 0.5f, kRoom, 3},
        DueCase{"NegativePeriod", {-1.0f, 0.0f, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"NegativePause", {1.0f, -0.5f, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"NegativeDelay", {1.0f, 0.0f, -1.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"NaNPeriod", {kNaN, 0.0f, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"NaNPause", {1.0f, kNaN, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"NaNDelay", {1.0f, 0.0f, kNaN, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"InfinitePause", {1.0f, kInf, 0.0f, 5}, 0.5f, 0.1f, kRoom, 0},
        DueCase{"HugeCountAgainstTheCap", {1.0f, 0.0f, 0.0f, 4000000000u}, 0.9f, 0.0f, kRoom, kRoom},
        DueCase{"NoRoomLeft", {1.0f, 0.0f, 0.0f, 5}, 0.5f, 0.1f, 0, 0}),
    [](const testing::TestParamInfo<DueCase>& info) { return info.param.name; });

TEST(ParticleGeometryTest, SwarmWithAnEmptyBoxSitsOnTheOffset)
{
    KXI_PSGeometry_Swarm swarm;
    swarm.count.value = 4;
    swarm.offset.value = {12.0f, -7.0f, 0.0f};
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->Position() = {100.0f, 100.0f, 0.0f};
    TreeParticleList out;
    swarm.SpawnParticles(out, parent);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(swarm.particles.size(), 4u);
    for (const TreeParticleHandle& p : out) {
        EXPECT_EQ(p->Position(), (math::Vec3{12.0f, -7.0f, 0.0f}));
        EXPECT_EQ(p->Parent(), parent.get());
        EXPECT_EQ(p->WorldPosition(), (math::Vec3{112.0f, 93.0f, 0.0f}));
    }
}

TEST(ParticleGeometryTest, SwarmCountIsClampedToTheRoomLeft)
{
    KXI_PSGeometry_Swarm swarm;
    swarm.count.value = 0xFFFFFFFFu;
    TreeParticleList out;
    swarm.SpawnParticles(out, MakeSafePtr<TreeParticle>());
    EXPECT_EQ(out.size(), KXI_PtclSys_Geometry::kMaxParticles);
    swarm.SpawnParticles(out, MakeSafePtr<TreeParticle>());
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(swarm.particles.size(), KXI_PtclSys_Geometry::kMaxParticles);
}

TEST(ParticleGeometryTest, PointParticleFollowsItsParentAndDiesWithIt)
{
    KXI_PSGeometry_Point point;
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->values[TreeParticle::kLifeFraction] = 0.3f;
    parent->Direction() = {0.0f, -1.0f, 0.0f};
    TreeParticleList out;
    point.SpawnParticles(out, parent);
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(point.particles.size(), 1u);

    point.UpdateParticles(0.1f);
    ASSERT_EQ(point.particles.size(), 1u);
    const TreeParticle& child = *point.particles[0];
    EXPECT_FLOAT_EQ(child.values[TreeParticle::kLifeFraction], 0.3f);
    EXPECT_EQ(child.vectors[TreeParticle::kDirection], (math::Vec3{0.0f, -1.0f, 0.0f}));

    // No lifetime of its own: it lives on until the parent dies.
    for (int i = 0; i < 100; ++i)
        point.UpdateParticles(1.0f);
    EXPECT_EQ(point.particles.size(), 1u);
    parent->flags |= TreeParticle::kDeadFlag;
    point.UpdateParticles(0.1f);
    EXPECT_TRUE(point.particles.empty());
}

TEST(ParticleGeometryTest, TraceFedByTwoParentsKeepsOneTrail)
{
    KXI_PSGeometry_Trace trace;
    TreeParticleHandle a = MakeSafePtr<TreeParticle>();
    TreeParticleHandle b = MakeSafePtr<TreeParticle>();
    a->Position() = {0.0f, 0.0f, 0.0f};
    a->Velocity() = {3.0f, 4.0f, 0.0f};
    b->Position() = {4.0f, 0.0f, 0.0f};
    TreeParticleList out;

    trace.EmitParticles(out, 0.1f, a); // first point
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->Direction(), (math::Vec3{0.6f, 0.8f, 0.0f}));
    EXPECT_FALSE(out[0]->Parent());
    trace.EmitParticles(out, 0.1f, b); // second point (fewer than two before)
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->spriteCell.x, 0.0f);

    // a is 0 px from the second newest point: the newest moves onto a.
    trace.EmitParticles(out, 0.1f, a);
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(trace.particles.size(), 2u);
    EXPECT_EQ(trace.particles[1]->Position(), (math::Vec3{}));

    // 12 px from the second newest: a new point carrying that distance.
    b->Position() = {12.0f, 0.0f, 0.0f};
    trace.EmitParticles(out, 0.1f, b);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(trace.particles.size(), 3u);
    EXPECT_FLOAT_EQ(out[0]->spriteCell.x, 12.0f);

    // Trace points live 2 s.
    trace.UpdateParticles(1.0f);
    trace.UpdateParticles(1.0f);
    EXPECT_EQ(trace.particles.size(), 3u);
    trace.UpdateParticles(0.01f);
    EXPECT_TRUE(trace.particles.empty());
}

TEST(ParticleGeometryTest, FrameCells)
{
    KXI_PSGeometry_Swarm swarm;
    swarm.count.value = 20;
    TreeParticleList out;
    swarm.SpawnParticles(out, MakeSafePtr<TreeParticle>());
    for (const TreeParticleHandle& p : swarm.particles)
        EXPECT_EQ(p->spriteCell, (math::Vec4{1.0f, 1.0f, 0.0f, 0.0f}));

    crt::srand(11);
    swarm.SetFrameLayout(4, 2);
    bool secondRow = false;
    bool lastColumn = false;
    for (const TreeParticleHandle& p : swarm.particles) {
        EXPECT_EQ(p->spriteCell.x, 0.25f);
        EXPECT_EQ(p->spriteCell.y, 0.5f);
        EXPECT_EQ(std::fmod(p->spriteCell.z, 0.25f), 0.0f);
        secondRow |= p->spriteCell.w == 0.5f;
        lastColumn |= p->spriteCell.z == 0.75f;
    }
    EXPECT_TRUE(secondRow && lastColumn) << "every cell is drawn anew";

    // A grid below 1 x 1 counts as 1 x 1.
    swarm.SetFrameLayout(0, -3);
    EXPECT_EQ(swarm.particles[0]->spriteCell, (math::Vec4{1.0f, 1.0f, 0.0f, 0.0f}));
}

TEST(ParticleGeometryTest, EmitCommonPlacesLinkedAndFreeParticles)
{
    struct Emitter : KXI_PSGeometry_Emitter {};
    Emitter emitter;
    emitter.count.value = 5;
    emitter.lifetime.value = 0.5f;
    emitter.offset.value = {1.0f, 2.0f, 0.0f};
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->Position() = {50.0f, 60.0f, 0.0f};
    parent->values[TreeParticle::kAge] = 0.15f;
    TreeParticleList out;

    emitter.EmitCommon(out, 0.1f, parent);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FALSE(out[0]->Parent());
    EXPECT_EQ(out[0]->Position(), (math::Vec3{51.0f, 62.0f, 0.0f}));
    EXPECT_TRUE(emitter.particles.empty()) << "the shape adds them";
    // The lifetime ends it after 0.5 s.
    EXPECT_TRUE(out[0]->Step(0.5f));
    EXPECT_FALSE(out[0]->Step(0.01f));

    emitter.attached.value = 1;
    emitter.EmitCommon(out, 0.1f, parent);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->Parent(), parent.get());
    EXPECT_EQ(out[0]->Position(), (math::Vec3{1.0f, 2.0f, 0.0f}));
}

TEST(ParticleGeometryTest, BirthFactorFreezesTheEnvelope)
{
    PercentParamGroup envelope;
    envelope.percents[1].QuietSet(20);  // rise end
    envelope.percents[2].QuietSet(100); // fall start at the very end
    envelope.percents[4].QuietSet(0);
    envelope.percents[5].QuietSet(0);
    envelope.percents[6].QuietSet(100);
    EXPECT_FLOAT_EQ(KXI_PSGeometry_Emitter::BirthFactor(envelope, 0.1f), 0.5f);
    EXPECT_FLOAT_EQ(KXI_PSGeometry_Emitter::BirthFactor(envelope, 0.6f), 1.0f);
    EXPECT_FLOAT_EQ(KXI_PSGeometry_Emitter::BirthFactor(envelope, 1.5f), 1.0f);
}

TEST(ParticleGeometryTest, StoredGeometriesRoundTrip)
{
    KXI_PSGeometry_Swarm swarm;
    swarm.name = u"dots";
    swarm.count.value = 9;
    swarm.wanderSpeed.QuietSet(30);
    swarm.changeRate.QuietSet(40);
    swarm.changeTime.QuietSet(20);
    swarm.width.value = 300;
    swarm.height.value = 200;
    swarm.offset.value = {1.5f, -2.0f, 3.0f};
    swarm.sizeOscillation.kind.value = OscillationParams::kNoise;
    swarm.opacityJitter.QuietSet(25);
    swarm.opacityJitter.jitter.QuietSet(60);
    swarm.opacityEnvelope.percents[6].QuietSet(150);
    swarm.vibrationAcross.amplitude.QuietSet(7);
    swarm.spin.rotationMode.value = SpinParams::kSpinning;
    swarm.spin.spinSpeed.QuietSet(20);

    std::unique_ptr<KXI_PSGeometry_Swarm> read = ItemRoundTrip<KXI_PSGeometry_Swarm>(swarm);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, u"dots");
    EXPECT_EQ(read->count.value, 9u);
    const SwarmMotion motion = read->Motion();
    EXPECT_FLOAT_EQ(motion.speedScale, 1.2f);
    EXPECT_FLOAT_EQ(motion.changeFrequency, 0.9f);
    EXPECT_FLOAT_EQ(motion.accelerationTime, 0.42f);
    EXPECT_EQ(motion.width, 300.0f);
    EXPECT_EQ(motion.centre, (math::Vec3{1.5f, -2.0f, 3.0f}));
    EXPECT_EQ(read->sizeOscillation.kind.value, OscillationParams::kNoise);
    EXPECT_FLOAT_EQ(read->opacityJitter.Scaled(), 0.75f);
    EXPECT_FLOAT_EQ(read->opacityJitter.jitter.Scaled(), 0.4f);
    EXPECT_FLOAT_EQ(read->opacityEnvelope.percents[6].Scaled(), 1.5f);
    EXPECT_FLOAT_EQ(read->vibrationAcross.amplitude.Scaled(), 7.0f);
    EXPECT_EQ(read->spin.rotationMode.value, SpinParams::kSpinning);
    EXPECT_FLOAT_EQ(read->spin.spinSpeed.Scaled(), 1.0f); // scale 0.05

    // Point and trace read back as their own classes.
    EXPECT_TRUE(ItemRoundTrip<KXI_PSGeometry_Point>(KXI_PSGeometry_Point()));
    EXPECT_TRUE(ItemRoundTrip<KXI_PSGeometry_Trace>(KXI_PSGeometry_Trace()));
}

} // namespace

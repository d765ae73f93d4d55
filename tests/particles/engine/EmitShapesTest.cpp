// Emit shapes: where each places the particles a parent emits, where it
// launches them, what a spinning parent turns, the launch-speed jitter, and
// the stored sections read back through the item registry.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "particles/engine/EmitShapes.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "tests/particles/engine/ItemRoundTrip.h"

namespace {

constexpr int kEmitted = 4; // per emission of the fixtures below

// Sets the emitter to emit kEmitted particles in one step of 1 s from a
// parent of age 0, at full speed `speed`.
void EmitFour(KXI_PSGeometry_Emitter& emitter, std::uint32_t speed = 100)
{
    emitter.count.value = kEmitted;
    emitter.period.value = 1.0f;
    emitter.speed.QuietSet(speed);
}

TreeParticleList EmitFrom(KXI_PSGeometry_Emitter& emitter, const TreeParticleHandle& parent)
{
    TreeParticleList out;
    emitter.EmitParticles(out, 1.0f, parent);
    EXPECT_EQ(out.size(), static_cast<std::size_t>(kEmitted));
    EXPECT_EQ(emitter.particles.size(), out.size());
    return out;
}

void ExpectNear(const math::Vec3& a, const math::Vec3& b)
{
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

math::Matrix RotationZ(float angle)
{
    math::Matrix m;
    math::MatrixRotationZ(&m, angle);
    return m;
}

math::Vec3 Turned(const math::Vec3& v, const math::Matrix& m)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, v, m);
    return out;
}

TEST(EmitShapesTest, SpreadZeroLaunchesAtTheCentreFromTheBirthPoint)
{
    // Angles turn clockwise on screen: 90 degrees points up (-y).
    const math::Vec3 up{0.0f, -1.0f, 0.0f};
    const math::Vec3 birth{10.0f, 20.0f, 0.0f};
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->Position() = birth;

    KXI_PSGeomEmit_Point point;
    EmitFour(point);
    point.launch.QuietSet(90);
    for (const TreeParticleHandle& p : EmitFrom(point, parent)) {
        ExpectNear(p->Direction(), up);
        ExpectNear(p->Velocity(), up * 100.0f);
        EXPECT_EQ(p->Position(), birth); // distance 0
    }

    KXI_PSGeomEmit_Sector sector;
    EmitFour(sector);
    sector.launch.QuietSet(90);
    sector.placement.spread.value = 360;
    for (const TreeParticleHandle& p : EmitFrom(sector, parent)) {
        ExpectNear(p->Direction(), up);
        ExpectNear(p->Position(), birth); // radius 0
    }
}

TEST(EmitShapesTest, ASpinningParentTurnsLaunchesButNotPlacements)
{
    const math::Matrix spin = RotationZ(0.7f);
    TreeParticleHandle still = MakeSafePtr<TreeParticle>();
    TreeParticleHandle spinning = MakeSafePtr<TreeParticle>();
    spinning->orientation = spin;

    // The same draws for both parents: the only difference is the turn.
    auto emitBoth = [&](KXI_PSGeometry_Emitter& shape, std::function<void(const TreeParticle&, const TreeParticle&)> check) {
        crt::srand(5);
        const TreeParticleList a = EmitFrom(shape, still);
        shape.particles.clear();
        crt::srand(5);
        const TreeParticleList b = EmitFrom(shape, spinning);
        for (int i = 0; i < kEmitted; ++i)
            check(*a[i], *b[i]);
    };

    KXI_PSGeomEmit_Point point;
    EmitFour(point);
    point.launch.spread.value = 60;
    point.distance.value = 50;
    emitBoth(point, [&](const TreeParticle& a, const TreeParticle& b) {
        ExpectNear(b.vectors[TreeParticle::kDirection], Turned(a.vectors[TreeParticle::kDirection], spin));
        ExpectNear(b.vectors[TreeParticle::kPosition], Turned(a.vectors[TreeParticle::kPosition], spin));
    });

    KXI_PSGeomEmit_Sector sector;
    EmitFour(sector);
    sector.launch.spread.value = 60;
    sector.radius.value = 50;
    sector.placement.spread.value = 90;
    emitBoth(sector, [&](const TreeParticle& a, const TreeParticle& b) {
        ExpectNear(b.vectors[TreeParticle::kDirection], Turned(a.vectors[TreeParticle::kDirection], spin));
        ExpectNear(b.vectors[TreeParticle::kPosition], a.vectors[TreeParticle::kPosition]);
    });

    KXI_PSGeomEmit_Rect rect;
    EmitFour(rect);
    rect.width.value = 80;
    rect.height.value = 40;
    emitBoth(rect, [&](const TreeParticle& a, const TreeParticle& b) {
        ExpectNear(b.vectors[TreeParticle::kDirection], Turned(a.vectors[TreeParticle::kDirection], spin));
        ExpectNear(b.vectors[TreeParticle::kPosition], a.vectors[TreeParticle::kPosition]);
        EXPECT_LE(std::fabs(a.vectors[TreeParticle::kPosition].x), 40.0f);
        EXPECT_LE(std::fabs(a.vectors[TreeParticle::kPosition].y), 20.0f);
    });

    KXI_PSGeomEmit_Stream stream;
    EmitFour(stream);
    stream.end.value = {100.0f, 0.0f, 0.0f};
    stream.endDirection.QuietSet(90);
    emitBoth(stream, [&](const TreeParticle& a, const TreeParticle& b) {
        ExpectNear(b.vectors[TreeParticle::kDirection], a.vectors[TreeParticle::kDirection]);
        ExpectNear(b.vectors[TreeParticle::kPosition], a.vectors[TreeParticle::kPosition]);
    });
}

TEST(EmitShapesTest, LaunchSpeedJitter)
{
    KXI_PSGeomEmit_Point full;
    EmitFour(full, 200);
    full.speed.jitter.QuietSet(0); // the lowest fraction is 1
    for (const TreeParticleHandle& p : EmitFrom(full, MakeSafePtr<TreeParticle>()))
        EXPECT_NEAR(math::Vec3Length(p->Velocity()), 200.0f, 1e-3f);

    KXI_PSGeomEmit_Point spread;
    spread.count.value = 200;
    spread.period.value = 1.0f;
    spread.speed.QuietSet(200);
    spread.speed.jitter.QuietSet(100); // from 0 to the full speed
    TreeParticleList out;
    spread.EmitParticles(out, 1.0f, MakeSafePtr<TreeParticle>());
    ASSERT_EQ(out.size(), 200u);
    float lowest = 1e9f;
    float highest = 0.0f;
    for (const TreeParticleHandle& p : out) {
        const float s = math::Vec3Length(p->Velocity());
        lowest = std::min(lowest, s);
        highest = std::max(highest, s);
    }
    EXPECT_GE(lowest, 0.0f);
    EXPECT_LT(lowest, 20.0f);
    EXPECT_GT(highest, 180.0f);
    EXPECT_LE(highest, 200.0f + 1e-3f);
}

TEST(EmitShapesTest, StreamWithCoincidentEndsStillBlendsItsHeading)
{
    KXI_PSGeomEmit_Stream stream;
    EmitFour(stream);
    stream.start.value = stream.end.value = {5.0f, 6.0f, 0.0f};
    stream.startDirection.QuietSet(0);   // (1, 0) on screen
    stream.endDirection.QuietSet(90);    // (0, -1) on screen
    crt::srand(9);
    const TreeParticleList out = EmitFrom(stream, MakeSafePtr<TreeParticle>());
    for (const TreeParticleHandle& p : out) {
        EXPECT_EQ(p->Position(), (math::Vec3{5.0f, 6.0f, 0.0f}));
        const math::Vec3& d = p->Direction();
        // a + (b - a) t with a = (1, 0), b = (0, -1): x + (-y) = 1.
        EXPECT_NEAR(d.x - d.y, 1.0f, 1e-5f);
        EXPECT_GE(d.x, 0.0f);
        EXPECT_LE(d.x, 1.0f);
    }
    EXPECT_NE(out[0]->Direction(), out[1]->Direction());

    // The flow sets the velocity from the heading at the first step.
    ASSERT_TRUE(out[0]->Step(0.1f));
    const math::Vec3 v = out[0]->Velocity();
    EXPECT_NEAR(v.x - v.y, 100.0f, 1e-3f);
}

TEST(EmitShapesTest, BirthFactorsScaleChildrenOfOldParents)
{
    KXI_PSGeomEmit_Rect rect;
    EmitFour(rect);
    rect.sizeEnvelope.percents[2].QuietSet(50); // fall from the middle of the life
    rect.sizeEnvelope.percents[5].QuietSet(0);
    rect.sizeEnvelope.percents[6].QuietSet(100);
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->values[TreeParticle::kLifeFraction] = 0.75f; // halfway down: 0.5
    for (const TreeParticleHandle& p : EmitFrom(rect, parent)) {
        ASSERT_TRUE(p->Step(0.01f));
        EXPECT_FLOAT_EQ(p->multipliers[TreeParticle::kSize], 0.5f);
    }
}

TEST(EmitShapesTest, StoredShapesRoundTrip)
{
    KXI_PSGeomEmit_Point point;
    point.launch.QuietSet(270);
    point.launch.spread.value = 30;
    point.distance.value = 12;
    point.cone.value = 1;
    point.forces.gravityMode.value = 2;
    point.forces.gravity.QuietSet(20);
    point.lifetime.value = 3.5f;
    point.count.value = 40;
    point.period.value = 0.5f;
    point.pause.value = 0.25f;
    point.delay.value = 1.0f;
    point.speed.QuietSet(150);
    point.speed.jitter.QuietSet(30);
    point.attached.value = 1;
    point.name = u"sparks";
    std::unique_ptr<KXI_PSGeomEmit_Point> p = ItemRoundTrip<KXI_PSGeomEmit_Point>(point);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->launch.value, 270u);
    EXPECT_NEAR(p->launch.Direction().y, -1.0f, 1e-5f) << "the direction follows the read angle";
    EXPECT_EQ(p->launch.spread.value, 30u);
    EXPECT_EQ(p->distance.value, 12u);
    EXPECT_EQ(p->cone.value, 1);
    EXPECT_FLOAT_EQ(p->forces.gravity.Scaled(), 100.0f);
    EXPECT_EQ(p->lifetime.value, 3.5f);
    EXPECT_EQ(p->count.value, 40u);
    EXPECT_EQ(p->period.value, 0.5f);
    EXPECT_EQ(p->pause.value, 0.25f);
    EXPECT_EQ(p->delay.value, 1.0f);
    EXPECT_FLOAT_EQ(p->speed.Scaled(), 150.0f);
    EXPECT_FLOAT_EQ(p->speed.jitter.Scaled(), 0.7f);
    EXPECT_EQ(p->attached.value, 1);
    EXPECT_EQ(p->name, u"sparks");

    KXI_PSGeomEmit_Sector sector;
    sector.placement.QuietSet(45);
    sector.placement.spread.value = 10;
    sector.radius.value = 33;
    sector.launch.QuietSet(135);
    sector.launch.spread.value = 20;
    std::unique_ptr<KXI_PSGeomEmit_Sector> s = ItemRoundTrip<KXI_PSGeomEmit_Sector>(sector);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->placement.value, 45u);
    EXPECT_EQ(s->placement.spread.value, 10u);
    EXPECT_EQ(s->radius.value, 33u);
    EXPECT_EQ(s->launch.value, 135u);
    EXPECT_EQ(s->launch.spread.value, 20u);

    KXI_PSGeomEmit_Rect rect;
    rect.width.value = 640;
    rect.height.value = 48;
    rect.launch.spread.value = 5;
    rect.forces.airResistance.QuietSet(3);
    std::unique_ptr<KXI_PSGeomEmit_Rect> r = ItemRoundTrip<KXI_PSGeomEmit_Rect>(rect);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->width.value, 640u);
    EXPECT_EQ(r->height.value, 48u);
    EXPECT_EQ(r->launch.spread.value, 5u);
    EXPECT_EQ(r->forces.airResistance.value, 3u);

    KXI_PSGeomEmit_Stream stream;
    stream.start.value = {1.0f, 2.0f, 3.0f};
    stream.end.value = {-4.0f, 5.0f, 0.5f};
    stream.startDirection.QuietSet(10);
    stream.endDirection.QuietSet(350);
    stream.perspective.value = 1;
    std::unique_ptr<KXI_PSGeomEmit_Stream> t = ItemRoundTrip<KXI_PSGeomEmit_Stream>(stream);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->start.value, (math::Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(t->end.value, (math::Vec3{-4.0f, 5.0f, 0.5f}));
    EXPECT_EQ(t->startDirection.value, 10u);
    EXPECT_EQ(t->endDirection.Direction(), stream.endDirection.Direction());
    EXPECT_EQ(t->perspective.value, 1);
}

} // namespace

// The particle core's guards without a device: what every new particle
// starts with, emitter sets and the field asked only for the room a list
// has left, the placement of the round and box emitters and of the screen
// centre, the interaction pass with no pair action, and the block's flags
// that decide physics and the own size and opacity of a particle.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "particles/engine/Emitters.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ParticleSystemParams.h"
#include "particles/engine/RoutineConditions.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"

namespace {

// ---- new particles ----------------------------------------------------------------

ParticleHandle FirstOf(InnerParticleList::Handles handles)
{
    return handles.empty() ? ParticleHandle() : std::move(handles.front());
}

TEST(NewParticleTest, EveryMakerStartsWithFreeValuesSidewaysFactorAndColourAtZero)
{
    crt::srand(3);
    InnerParticleList list;
    KXI_PointImitter point;
    KXI_CircleImitter circle;
    circle.diameter = 40.0f;
    KXI_SectorImitter sector;
    sector.distance.value = 30;
    KXI_RectImitter rect;
    rect.area.corners[3].value = {10.0f, 10.0f, 0.0f};
    KXI_PosArrImitter positions;
    positions.AddPosition(1.0f, 2.0f, 3.0f);

    struct Maker {
        const char* name;
        std::function<ParticleHandle()> make;
    };
    const Maker makers[] = {
        {"constructor", [] { return ParticleHandle(new InnerParticle({1.0f, 2.0f, 3.0f})); }},
        {"list", [&] { return list.Create({1.0f, 2.0f, 3.0f}); }},
        {"point", [&] { return FirstOf(point.Emit(1)); }},
        {"circle", [&] { return FirstOf(circle.Emit(1)); }},
        {"sector", [&] { return FirstOf(sector.Emit(1)); }},
        {"rect", [&] { return FirstOf(rect.Emit(1)); }},
        {"position array", [&] { return FirstOf(positions.Emit(1)); }},
        {"reset of a used particle",
         [] {
             ParticleHandle used(new InnerParticle);
             used->values.fill(7.0f);
             used->multipliers.fill(7.0f);
             used->colour = 0x00ABCDEF;
             used->cell = {0.5f, 0.5f, 0.5f, 0.5f};
             used->ResetFields({1.0f, 2.0f, 3.0f});
             return used;
         }},
    };
    for (const Maker& maker : makers) {
        SCOPED_TRACE(maker.name);
        const ParticleHandle p = maker.make();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->values[InnerParticle::kFreeValue0], 0.0f);
        EXPECT_EQ(p->values[InnerParticle::kFreeValue1], 0.0f);
        EXPECT_EQ(p->values[InnerParticle::kSidewaysFactor], 0.0f);
        EXPECT_EQ(p->colour, 0u);
        // What the routines start from: age 0, own size and opacity 1, every
        // multiplier 1 and the whole picture as the cell.
        EXPECT_EQ(p->Age(), 0.0f);
        EXPECT_EQ(p->values[InnerParticle::kSizeValue], 1.0f);
        EXPECT_EQ(p->values[InnerParticle::kOpacityValue], 1.0f);
        for (const float m : p->multipliers)
            EXPECT_EQ(m, 1.0f);
        EXPECT_EQ(p->cell[0], 1.0f);
        EXPECT_EQ(p->cell[2], 0.0f);
    }
}

// ---- room in the list -------------------------------------------------------------

template <class Set>
void ExpectSetTakesOnlyTheRoomLeft(Set& set)
{
    // The default rate makes 20 particles a second.
    struct Case {
        float dt;
        std::int32_t room;
        std::size_t made;
    };
    const Case cases[] = {{1.0f, 100, 20}, {1.0f, 20, 20}, {1.0f, 5, 5},  {1.0f, 0, 0},
                          {1.0f, -4, 0},   {0.0f, 100, 0}, {1.0e6f, 50, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "dt " << c.dt << ", room " << c.room);
        set.counter.accumulator = 0.0f;
        EXPECT_EQ(set.Emit(c.dt, c.room).size(), c.made);
        // What was due and found no room is not made later.
        EXPECT_TRUE(set.Emit(0.0f, 100).empty());
    }
}

TEST(EmitterSetTest, RectangleSetMakesAtMostTheRoomLeftInsideItsBox)
{
    crt::srand(21);
    RectEmitterSet set;
    set.geometry.area.corners[0].value = {-5.0f, 10.0f, 0.0f};
    set.geometry.area.corners[3].value = {15.0f, 30.0f, 0.0f};
    ExpectSetTakesOnlyTheRoomLeft(set);
    for (const ParticleHandle& p : set.Emit(50.0f, InnerParticleList::kMaxParticles)) {
        EXPECT_GE(p->position.x, -5.0f);
        EXPECT_LE(p->position.x, 15.0f);
        EXPECT_GE(p->position.y, 10.0f);
        EXPECT_LE(p->position.y, 30.0f);
    }
}

TEST(EmitterSetTest, CircleSetMakesAtMostTheRoomLeftDenserNearItsCentre)
{
    crt::srand(22);
    CircleEmitterSet set;
    set.geometry.position.value = {100.0f, 50.0f, 4.0f};
    set.geometry.diameter = 40.0f;
    ExpectSetTakesOnlyTheRoomLeft(set);
    const InnerParticleList::Handles made = set.Emit(100.0f, 4000);
    ASSERT_EQ(made.size(), 2000u);
    std::size_t inner = 0;
    for (const ParticleHandle& p : made) {
        const float r = std::hypot(p->position.x - 100.0f, p->position.y - 50.0f);
        EXPECT_LE(r, 20.0f + 1e-3f);
        EXPECT_EQ(p->position.z, 4.0f);
        inner += r < 10.0f ? 1 : 0;
    }
    // A length drawn uniformly puts half within half the radius (a uniform
    // spread over the disc would put a quarter there).
    EXPECT_GT(inner, 900u);
    EXPECT_LT(inner, 1100u);
}

TEST(EmitterSetTest, ListOnlyTakesWhatItHasRoomFor)
{
    InnerParticleList list;
    for (std::int32_t i = 0; i < InnerParticleList::kMaxParticles - 3; ++i)
        list.Create({});
    RectEmitterSet set;
    InnerParticleList::Handles fresh = set.Emit(1.0f, list.Room());
    EXPECT_EQ(fresh.size(), 3u);
    list.Append(std::move(fresh));
    EXPECT_EQ(list.Size(), std::size_t(InnerParticleList::kMaxParticles));
    EXPECT_EQ(list.Room(), 0);
    EXPECT_TRUE(set.Emit(1.0f, list.Room()).empty());
}

TEST(FieldCapTest, ALargeFieldKeepsAtMostOneBatchOfParticles)
{
    const std::int32_t cap = InnerParticleList::kMaxParticles;
    for (const std::uint32_t density : {100u, 300u}) {
        SCOPED_TRACE(density);
        KXI_FieldPtclSys field;
        for (std::int32_t i = 0; i < cap + 17; ++i)
            field.positions.AddPosition(static_cast<float>(i), 0.0f, 0.0f);
        field.density.SetValue(density, nullptr);
        field.lifetime.SetValue(100000, nullptr);
        field.Restart();
        EXPECT_EQ(field.particles.Size(), std::size_t(cap));
        EXPECT_EQ(field.positions.FreeCount(), 17u);
        field.Update(0.05f);
        field.Update(0.10f);
        EXPECT_EQ(field.particles.Size(), std::size_t(cap));
        EXPECT_EQ(field.positions.FreeCount(), 17u) << "positions taken without a particle";
    }
}

// ---- the screen centre ------------------------------------------------------------

struct ChangeCounter : MediaControl {
    void OnParamChanged(MediaControl*) override { ++changes; }
    int changes = 0;
};

TEST(EmitterPlacementTest, CentreOnScreenTakesThePictureCentreWithNotice)
{
    KXI_PointImitter point;
    point.position.value = {3.0f, 4.0f, 5.0f};
    ChangeCounter watcher;
    point.position.AddControl(&watcher);

    point.CentreOnScreen(); // no render context: stays
    EXPECT_EQ(point.position.value.x, 3.0f);
    EXPECT_EQ(watcher.changes, 0);

    RenderContext context;
    context.pictureWidth = 640.0f;
    context.pictureHeight = 481.0f;
    {
        const CurrentRenderContextScope scope(&context);
        point.CentreOnScreen();
    }
    EXPECT_EQ(point.position.value.x, 320.0f);
    EXPECT_EQ(point.position.value.y, 240.5f);
    EXPECT_EQ(point.position.value.z, 0.0f);
    EXPECT_EQ(watcher.changes, 1);
    for (const ParticleHandle& p : point.Emit(3))
        EXPECT_EQ(p->position.x, 320.0f);
    point.position.RemoveControl(&watcher);
}

// ---- interaction ------------------------------------------------------------------

struct PairCounter : RoutineAction {
    bool Apply(InnerParticle&, ParticleHandle&) override
    {
        ++calls;
        return true;
    }
    int calls = 0;
};

TEST(InteractionTest, NoPairActionLeavesTheListAsItWas)
{
    PairCounter uninstalled;
    g_PairInteraction = &uninstalled;
    g_PairInteraction = nullptr;
    InnerParticleList list;
    // Overlapping particles out of the sweep's order.
    for (const float y : {5.0f, 1.0f, 3.0f, 2.0f})
        list.Create({0.0f, y, 0.0f});
    list.Particles().emplace_back(); // an empty handle stays where it is
    list.Interact(4.0f);
    EXPECT_EQ(uninstalled.calls, 0);
    std::vector<float> ys;
    for (const ParticleHandle& p : list.Particles())
        ys.push_back(p ? p->position.y : -1.0f);
    EXPECT_EQ(ys, (std::vector<float>{5.0f, 1.0f, 3.0f, 2.0f, -1.0f}));
    list.Update(0.1f); // and is dropped by the next step as always
    EXPECT_EQ(list.Size(), 4u);

    g_PairInteraction = &uninstalled; // the same list with an action installed
    list.Interact(4.0f);
    g_PairInteraction = nullptr;
    EXPECT_EQ(uninstalled.calls, 6);
}

// ---- flags of the block -----------------------------------------------------------

TEST(ParticleFlagsTest, PhysicsOnlyUnderItsFlag)
{
    struct Case {
        const char* name;
        std::uint32_t flags;
        std::int32_t gravityDirection;
        std::uint32_t airResistance; // percent
        float accelerationY;
        float forceX; // after one step at velocity (10, 0, 0)
    };
    const std::uint32_t physics = ParticleSystemParams::kFlagPhysics;
    const Case cases[] = {
        {"no flag", ParticleSystemParams::kFlagOwnSize | ParticleSystemParams::kFlagOwnOpacity, 1, 50, 0.0f, 0.0f},
        {"down with air", physics, 1, 50, 10.0f, -5.0f},
        {"up with air", physics, 2, 50, -10.0f, -5.0f},
        {"no gravity", physics, 0, 50, 0.0f, -5.0f},
        {"unknown direction", physics, 3, 0, 0.0f, 0.0f},
        {"still air", physics, 1, 0, 10.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParticleSystemParams block;
        block.flags = c.flags;
        block.gravityDirection.value = c.gravityDirection;
        block.gravity.SetValue(2, nullptr);
        block.airResistance.SetValue(c.airResistance, nullptr);
        InnerParticle p;
        block.SetupParticle(p, nullptr);
        EXPECT_EQ(p.acceleration.x, 0.0f);
        EXPECT_FLOAT_EQ(p.acceleration.y, c.accelerationY);
        p.velocity = {10.0f, 0.0f, 0.0f};
        ASSERT_TRUE(p.Step(1.0f));
        EXPECT_FLOAT_EQ(p.force.x, c.forceX);
        EXPECT_EQ(p.force.y, 0.0f);
    }
}

TEST(ParticleFlagsTest, OwnSizeAndOpacityReplaceJitterAndEnvelope)
{
    // Life 2 s at age 0.2: a tenth of the life, half-way up a grow-in that
    // ends at a fifth. Full jitter leaves 1 - own value before the envelope.
    struct Case {
        std::uint32_t flags;
        float size;
        float opacity;
    };
    const std::uint32_t ownSize = ParticleSystemParams::kFlagOwnSize;
    const std::uint32_t ownOpacity = ParticleSystemParams::kFlagOwnOpacity;
    const Case cases[] = {
        {0, 0.35f, 0.2f},
        {ParticleSystemParams::kFlagPhysics | ParticleSystemParams::kFlagVibrations, 0.35f, 0.2f},
        {ownSize, 0.3f, 0.2f},
        {ownOpacity, 0.35f, 0.6f},
        {ownSize | ownOpacity, 0.3f, 0.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        ParticleSystemParams block;
        block.flags = c.flags;
        block.sizeJitter.SetValue(100, nullptr);
        block.opacityJitter.SetValue(100, nullptr);
        block.sizeEnvelope.percents[0].SetValue(20, nullptr);
        block.opacityEnvelope.percents[0].SetValue(20, nullptr);
        InnerParticle p;
        p.SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(2.0f)));
        p.values[InnerParticle::kAge] = 0.2f;
        p.values[InnerParticle::kSizeValue] = 0.3f;
        p.values[InnerParticle::kOpacityValue] = 0.6f;
        EXPECT_FLOAT_EQ(block.SizeFactor(p), c.size);
        EXPECT_FLOAT_EQ(block.OpacityFactor(p), c.opacity);
    }
}

} // namespace

// Emitter geometries and emission counters.

#include <gtest/gtest.h>

#include <set>

#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"

namespace {

std::int32_t CountOverSteps(KXI_ImetterCaunter& counter, float step, int steps)
{
    std::int32_t total = 0;
    for (int i = 0; i < steps; ++i)
        total += counter.CountDue(step);
    return total;
}

TEST(EmissionCounterTest, EvenCounterCarriesItsFraction)
{
    KXI_EvenImitter even;
    EXPECT_EQ(CountOverSteps(even, 0.1f, 10), 20);
    KXI_EvenImitter slow;
    EXPECT_EQ(CountOverSteps(slow, 0.03f, 100), 59); // 20 per second over 3 s, the last one still due
    KXI_EvenImitter stopped;
    stopped.rate.SetValue(0, nullptr);
    EXPECT_EQ(CountOverSteps(stopped, 0.1f, 10), 0);
    // A huge step is clamped to the list's cap; the accumulator still loses
    // the whole count, so no burst follows.
    KXI_EvenImitter burst;
    EXPECT_EQ(burst.CountDue(1.0e6f), InnerParticleList::kMaxParticles);
    EXPECT_LE(burst.CountDue(0.0f), 1);
}

TEST(EmissionCounterTest, RandomCounterCountsEachPassedInterval)
{
    crt::srand(11);
    for (int trial = 0; trial < 50; ++trial) {
        KXI_RndImitter fresh;
        const std::int32_t count = fresh.CountDue(2.0f);
        EXPECT_GE(count, 2);
        EXPECT_LE(count, 4);
    }
    KXI_RndImitter zero;
    zero.minimum.value = 0.0f;
    zero.maximum.value = 0.0f;
    EXPECT_EQ(zero.CountDue(1.0f), 1);
    EXPECT_EQ(zero.CountDue(0.0f), 1);
    // Negative and reversed intervals end the call instead of looping.
    for (const auto& [low, high] : {std::pair{-1.0f, -0.5f}, std::pair{1.5f, -3.0f}}) {
        KXI_RndImitter odd;
        odd.minimum.value = low;
        odd.maximum.value = high;
        for (int i = 0; i < 100; ++i) {
            const std::int32_t count = odd.CountDue(1.0f);
            EXPECT_GE(count, 0);
            EXPECT_LE(count, InnerParticleList::kMaxParticles);
        }
    }
    // A backlog too long for one call is dropped.
    KXI_RndImitter tiny;
    tiny.minimum.value = 1e-6f;
    tiny.maximum.value = 1e-6f;
    EXPECT_EQ(tiny.CountDue(1000.0f), InnerParticleList::kMaxParticles);
    EXPECT_EQ(tiny.CountDue(0.0f), 0);
}

TEST(EmitterGeometryTest, RectangleDrawsYBeforeXFromCornersZeroAndThree)
{
    KXI_RectImitter rect;
    rect.area.corners[0].value = {10.0f, 100.0f, 5.0f};
    rect.area.corners[3].value = {20.0f, 300.0f, 5.0f};
    rect.area.corners[1].value = {-1000.0f, -1000.0f, 0.0f};
    rect.area.corners[2].value = {1000.0f, 1000.0f, 0.0f};
    crt::srand(5);
    const float first = static_cast<float>(crt::rand()) / 32767.0f;
    const float second = static_cast<float>(crt::rand()) / 32767.0f;
    crt::srand(5);
    const InnerParticleList::Handles one = rect.Emit(1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FLOAT_EQ(one.front()->position.y, first * 200.0f + 100.0f);
    EXPECT_FLOAT_EQ(one.front()->position.x, second * 10.0f + 10.0f);
    EXPECT_EQ(one.front()->position.z, 0.0f);
    for (const ParticleHandle& p : rect.Emit(200)) {
        EXPECT_GE(p->position.x, 10.0f);
        EXPECT_LE(p->position.x, 20.0f);
    }
    EXPECT_TRUE(rect.Emit(-3).empty());
}

TEST(EmitterGeometryTest, SectorWithoutSpreadPlacesAlongOneLine)
{
    KXI_SectorImitter sector;
    sector.position.value = {100.0f, 100.0f, 0.0f};
    sector.direction.QuietSet(90);
    sector.distance.value = 50;
    for (const ParticleHandle& p : sector.Emit(20)) {
        EXPECT_NEAR(p->position.x, 100.0f, 1e-3f);
        EXPECT_LE(p->position.y, 100.0f); // turned clockwise on screen: up
        EXPECT_GE(p->position.y, 50.0f);
    }
}

TEST(PositionArrayTest, GivesWhatIsFreeAndTakesPositionsBack)
{
    KXI_PosArrImitter field;
    for (int i = 0; i < 4; ++i)
        field.AddPosition(float(i), 0.0f, 0.0f);
    InnerParticleList::Handles taken = field.Emit(10);
    EXPECT_EQ(taken.size(), 4u);
    EXPECT_EQ(field.FreeCount(), 0u);
    EXPECT_TRUE(field.Emit(1).empty());
    std::set<float> xs;
    for (const ParticleHandle& p : taken)
        xs.insert(p->position.x);
    EXPECT_EQ(xs.size(), 4u);
    taken.pop_front();
    EXPECT_EQ(field.FreeCount(), 1u);
    EXPECT_EQ(field.Emit(5).size(), 1u);
}

TEST(PositionArrayTest, ParticlesReleasedAfterTheEmitterTouchNothing)
{
    InnerParticleList::Handles survivors;
    {
        KXI_PosArrImitter field;
        field.AddPosition(1.0f, 2.0f, 3.0f);
        field.AddPosition(4.0f, 5.0f, 6.0f);
        survivors = field.Emit(2);
    }
    survivors.clear(); // ASan reports any use of the freed store here
    SUCCEED();
}

} // namespace

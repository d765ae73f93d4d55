// The generator base: emission along moving emitters (even spread, the
// per-step quantisation, the switch, the list's cap) and the processes a
// new particle gets.

#include <gtest/gtest.h>

#include <limits>

#include "particles/generators/ParticleGenerator.h"
#include "particles/generators/ParticlesObj.h"
#include "platform/math/MathFunctions.h"

namespace {

class EmittingGenerator : public DS_ParticleGenerator {
public:
    EmittingGenerator()
    {
        emissionSwitch.StoreValue(1);
        lifetime.SetValue(100, nullptr);
    }
    void Render(DS_ABRender&, DS_ParticlesObj&) override {}
    void BuildGeometry(DS_ParticlesObj&) override {}
    std::unique_ptr<DS_ParticleGenerator> Clone() const override { return std::make_unique<EmittingGenerator>(*this); }

    GenParticle& AddEmitter(math::Vec3 previous, math::Vec3 position)
    {
        GenParticle& emitter = emitters.emplace_back();
        emitter.previous = previous;
        emitter.position = position;
        return emitter;
    }
};

TEST(ParticleGeneratorTest, ParticlesSpreadEvenlyBetweenThePreviousAndThePresentPosition)
{
    EmittingGenerator generator;
    generator.emissionRate.SetValue(30, nullptr);
    generator.AddEmitter({0, 0, 0}, {8, 4, 0});
    generator.EmitAlongEmitters(0.1f); // 3 particles
    ASSERT_EQ(generator.particles.size(), 3u);
    float x = 2.0f;
    for (const GenParticle& particle : generator.particles) {
        EXPECT_FLOAT_EQ(particle.position.x, x);
        EXPECT_FLOAT_EQ(particle.position.y, x / 2.0f);
        x += 2.0f;
    }
    EXPECT_EQ(generator.emitters.front().previous, (math::Vec3{8, 4, 0}));
    EXPECT_FLOAT_EQ(generator.emissionRate.lastEmission, 0.1f);
}

TEST(ParticleGeneratorTest, TheFractionOfEachStepIsDropped)
{
    // 25 per second stepped at 60 frames per second: one particle every
    // third frame, 20 in a second.
    EmittingGenerator generator;
    generator.emissionRate.SetValue(25, nullptr);
    generator.AddEmitter({}, {});
    DS_ParticlesObj target(nullptr);
    for (int frame = 1; frame <= 60; ++frame) {
        generator.Step(float(frame) / 60.0f, target);
        generator.EmitAlongEmitters(generator.Total());
    }
    EXPECT_EQ(generator.particles.size(), 20u);
}

TEST(ParticleGeneratorTest, SwitchZeroAdvancesTheEmissionTimeButNotTheEmitters)
{
    EmittingGenerator generator;
    generator.emissionSwitch.StoreValue(0);
    generator.emissionRate.SetValue(30, nullptr);
    generator.AddEmitter({0, 0, 0}, {9, 0, 0});
    generator.EmitAlongEmitters(1.0f);
    EXPECT_TRUE(generator.particles.empty());
    EXPECT_FLOAT_EQ(generator.emissionRate.lastEmission, 1.0f);
    EXPECT_EQ(generator.emitters.front().previous, (math::Vec3{0, 0, 0}));
}

TEST(ParticleGeneratorTest, AHugeRateFillsTheListToItsCapAndStops)
{
    EmittingGenerator generator;
    generator.emissionRate.SetValue(std::numeric_limits<std::uint32_t>::max(), nullptr);
    generator.AddEmitter({}, {1, 1, 0});
    generator.AddEmitter({}, {2, 2, 0});
    generator.EmitAlongEmitters(1000.0f);
    EXPECT_EQ(generator.particles.size(), kMaxGenParticles);
    generator.EmitAlongEmitters(2000.0f);
    EXPECT_EQ(generator.particles.size(), kMaxGenParticles);
}

TEST(ParticleGeneratorTest, ANewParticleAgesFadesAndMovesInThatOrder)
{
    EmittingGenerator generator;
    generator.lifetime.SetValue(2, nullptr);
    generator.particleSpeed.SetValue(50, nullptr);
    GenParticle source;
    source.channels[GenParticle::kOpacity] = 0.6f;
    GenParticle particle;
    generator.InitParticle(particle, source);
    ASSERT_EQ(particle.processes.size(), 3u);
    EXPECT_NE(dynamic_cast<PAgeConst*>(particle.processes[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<PFade*>(particle.processes[1].get()), nullptr);
    const auto* kinetic = dynamic_cast<PKinetic*>(particle.processes[2].get());
    ASSERT_NE(kinetic, nullptr);
    EXPECT_LE(math::Vec3Length(kinetic->velocity), 50.0f + 1e-3f);
    EXPECT_FLOAT_EQ(particle.channels[GenParticle::kOpacity], 0.6f);
    // The fade takes the inherited opacity down by 1 over the lifetime.
    GenParticleList list{particle};
    UpdateGenParticles(1.0f, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NEAR(list.front().channels[GenParticle::kOpacity], 0.1f, 1e-6f);
    UpdateGenParticles(1.0f, list);
    EXPECT_TRUE(list.empty());
}

} // namespace

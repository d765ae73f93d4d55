// Generator particles and their processes: the rules of each process kind,
// the list step (every process runs; failed particles leave), and copies
// that own clones of their processes.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "particles/generators/GenParticle.h"
#include "platform/crt/Random.h"

namespace {

GenParticle ParticleWith(std::unique_ptr<PProcess> first, std::unique_ptr<PProcess> second = nullptr)
{
    GenParticle particle;
    particle.AddProcess(std::move(first));
    if (second)
        particle.AddProcess(std::move(second));
    return particle;
}

// Counts its calls in a counter the test keeps; answers as told.
class CountingProcess : public PProcess {
public:
    CountingProcess(int* calls, bool answer) : m_calls(calls), m_answer(answer) {}
    bool Update(float, GenParticle&) override
    {
        ++*m_calls;
        return m_answer;
    }
    std::unique_ptr<PProcess> Clone() const override { return std::make_unique<CountingProcess>(*this); }

private:
    int* m_calls;
    bool m_answer;
};

TEST(GenParticleTest, StartsWithTheChannelDefaults)
{
    GenParticle particle;
    particle.Init(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(particle.previous, (math::Vec3{1.0f, 2.0f, 3.0f}));
    const float expected[GenParticle::kChannelCount] = {0, 1, 1, 0, 0, 1, 1, 1, 1, 1};
    for (std::size_t i = 0; i < GenParticle::kChannelCount; ++i)
        EXPECT_EQ(particle.channels[i], expected[i]) << "channel " << i;
}

// The fade adds exactly its amount over its interval whatever the steps:
// opacity 1 - age / 2 from age 0 to 2, then 0.
TEST(GenParticleTest, FadeIsLinearInAgeForEveryStepSize)
{
    for (const float dt : {0.05f, 0.3f, 1.0f}) {
        SCOPED_TRACE(dt);
        GenParticle particle = ParticleWith(std::make_unique<PAgeConst>(100.0f),
                                            std::make_unique<PFade>(GenParticle::kOpacity, 0.0f, 2.0f, -1.0f));
        for (int step = 0; step < int(3.0f / dt); ++step) {
            ASSERT_TRUE(particle.RunProcesses(dt));
            const float age = particle.channels[GenParticle::kAge];
            const float expected = age >= 2.0f ? 0.0f : 1.0f - age / 2.0f;
            EXPECT_NEAR(particle.channels[GenParticle::kOpacity], expected, 1e-5f) << "age " << age;
        }
    }
}

TEST(GenParticleTest, ProcessesThatEndParticles)
{
    struct Case {
        const char* name;
        std::unique_ptr<PProcess> (*make)();
        float dt;
        int aliveSteps; // steps the particle survives before the ending one
    };
    const Case cases[] = {
        {"age limit 0 ends at the first step", [] { return std::unique_ptr<PProcess>(new PAgeConst(0.0f)); }, 0.016f,
         0},
        {"age limit 1 s", [] { return std::unique_ptr<PProcess>(new PAgeConst(1.0f)); }, 0.25f, 3},
        {"life rate 0.5 ends after 2 s", [] { return std::unique_ptr<PProcess>(new PLifeConst(0.5f)); }, 0.25f, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GenParticleList list;
        list.push_back(ParticleWith(c.make()));
        for (int step = 0; step < c.aliveSteps; ++step) {
            UpdateGenParticles(c.dt, list);
            ASSERT_EQ(list.size(), 1u) << "ended early at step " << step;
        }
        UpdateGenParticles(c.dt, list);
        EXPECT_TRUE(list.empty());
    }
}

TEST(GenParticleTest, SteadyActsOnlyStrictlyInsideItsRange)
{
    for (const auto& [life, changes] : {std::pair{0.2f, false}, {0.5f, true}, {0.8f, false}, {0.1f, false}}) {
        GenParticle particle = ParticleWith(std::make_unique<PSteady>(5, 0.2f, 0.8f, 2.0f));
        particle.channels[GenParticle::kLife] = life;
        particle.RunProcesses(0.5f);
        EXPECT_EQ(particle.channels[5], changes ? 2.0f : 1.0f) << "life " << life;
    }
}

TEST(GenParticleTest, TwinkleFlashesBetweenOnceAndOneAndAHalfTimesItsBase)
{
    crt::srand(7);
    GenParticle particle = ParticleWith(std::make_unique<PTwinkle>(GenParticle::kOpacity, 0.0f, 0.8f, 0.0f));
    int flashes = 0;
    for (int step = 0; step < 2000; ++step) {
        particle.RunProcesses(0.05f);
        const float value = particle.channels[GenParticle::kOpacity];
        ASSERT_GE(value, 0.8f);
        ASSERT_LE(value, 0.8f * 1.5f);
        flashes += value > 0.8f ? 1 : 0;
    }
    EXPECT_GT(flashes, 0);
}

TEST(GenParticleTest, KineticAndSpinIntegrate)
{
    GenParticle particle = ParticleWith(std::make_unique<PKinetic>(math::Vec3{10, 0, 0}, math::Vec3{0, 4, 0}),
                                        std::make_unique<PSpin>(2.0f));
    particle.RunProcesses(0.5f);
    EXPECT_FLOAT_EQ(particle.position.x, 5.0f);
    EXPECT_FLOAT_EQ(particle.position.y, 0.5f); // 4 x 0.25 / 2
    EXPECT_FLOAT_EQ(particle.channels[GenParticle::kAngle], 1.0f);
}

TEST(GenParticleTest, EveryProcessRunsAfterOneAnsweredFalse)
{
    int calls = 0;
    GenParticleList list;
    list.push_back(ParticleWith(std::make_unique<CountingProcess>(&calls, false),
                                std::make_unique<CountingProcess>(&calls, true)));
    list.push_back(ParticleWith(std::make_unique<CountingProcess>(&calls, true)));
    UpdateGenParticles(0.1f, list);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(list.size(), 1u);
}

TEST(GenParticleTest, ACopyOwnsClonesOfTheProcesses)
{
    GenParticle original = ParticleWith(std::make_unique<PAgeConst>(100.0f),
                                        std::make_unique<PFade>(GenParticle::kOpacity, 0.0f, 2.0f, -1.0f));
    original.RunProcesses(1.0f);
    GenParticle copy = original;
    ASSERT_EQ(copy.processes.size(), 2u);
    EXPECT_NE(copy.processes[1].get(), original.processes[1].get());
    // The copy's fade goes on from the state it was copied in; the original
    // is not touched by it.
    copy.RunProcesses(1.0f);
    EXPECT_NEAR(copy.channels[GenParticle::kOpacity], 0.0f, 1e-6f);
    EXPECT_NEAR(original.channels[GenParticle::kOpacity], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(static_cast<PFade&>(*original.processes[1]).amount, -0.5f);
}

// ---- wandering inside a rectangle ------------------------------------------------

class BrownianTest : public ::testing::Test {
protected:
    BrownianRect rect{0.0f, 0.0f, 100.0f, 100.0f};
    float speedFactor = 1.0f;
    float repickPeriod = 1000.0f; // no re-pick during a test
    float steeringTime = 1.0f;
    PBrownianOwner owner{&rect, &speedFactor, &repickPeriod, &steeringTime};
};

TEST_F(BrownianTest, ALeavingParticleSteersToTheCentreAt100PixelsPerSecond)
{
    crt::srand(3);
    GenParticle particle = ParticleWith(std::make_unique<PBrownian>(&owner));
    particle.position = {250.0f, 50.0f, 0.0f};
    for (int step = 0; step < 8; ++step) // one second of steering, in exact steps
        particle.RunProcesses(0.125f);
    const auto& brownian = static_cast<PBrownian&>(*particle.processes[0]);
    EXPECT_NEAR(brownian.velocity.x, -100.0f, 1e-2f);
    EXPECT_NEAR(brownian.velocity.y, 0.0f, 1e-2f);
    EXPECT_EQ(brownian.inside, 0);
}

TEST_F(BrownianTest, NoSteeringTimeSetsTheVelocityAtOnce)
{
    steeringTime = 0.0f;
    crt::srand(3);
    GenParticle particle = ParticleWith(std::make_unique<PBrownian>(&owner));
    particle.position = {50.0f, 300.0f, 0.0f};
    particle.RunProcesses(0.1f);
    const auto& brownian = static_cast<PBrownian&>(*particle.processes[0]);
    EXPECT_FLOAT_EQ(brownian.velocity.y, -100.0f);
    EXPECT_EQ(brownian.acceleration, (math::Vec3{}));
    EXPECT_TRUE(std::isfinite(particle.position.x) && std::isfinite(particle.position.y));
    EXPECT_FLOAT_EQ(particle.position.y, 290.0f);
}

} // namespace

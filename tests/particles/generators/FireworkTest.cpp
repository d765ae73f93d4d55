// The origin's launches and the fireworks: the launch rate and the timeline
// level, time that is not saved up while nothing can launch, copies with live
// records, bursts on each switch-on, the continuous rocket rhythm, sparks
// that fade and grow, and the picture each class asks for.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/Lightning.h"
#include "particles/generators/Smoke.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::ScriptedTimeline;

// An origin that only launches.
class TestOrigin : public DS_ParticleOriginGenerator {
public:
    void Render(DS_ABRender&, DS_ParticlesObj&) override {}
    std::unique_ptr<DS_ParticleGenerator> Clone() const override { return std::make_unique<TestOrigin>(*this); }
};

// Launches over `seconds` in 0.05 s steps.
std::size_t LaunchesOver(DS_ParticleOriginGenerator& origin, float seconds)
{
    const std::size_t before = origin.launches.size();
    for (int i = 0; i < int(seconds / 0.05f + 0.5f); ++i)
        origin.AdvanceLaunches(0.05f);
    return origin.launches.size() - before;
}

TEST(OriginGeneratorTest, TheRateFollowsTheTimelineLevel)
{
    struct Case {
        float level;
        std::size_t perTenSeconds;
    };
    for (const Case c : {Case{1.0f, 20}, Case{0.5f, 10}, Case{0.0f, 0}}) {
        SCOPED_TRACE(c.level);
        TestOrigin origin;
        origin.launchRate.StoreValue(2);
        origin.launchLifetime.QuietSet(10000);
        light_test::Script(origin, KXI_SmartTiming::kRandom).level = c.level;
        const std::size_t launched = LaunchesOver(origin, 10.0f);
        EXPECT_GE(launched + 1, c.perTenSeconds);
        EXPECT_LE(launched, c.perTenSeconds);
    }
}

TEST(OriginGeneratorTest, TimeWithNothingToLaunchIsNotSavedUp)
{
    TestOrigin origin;
    origin.launchRate.StoreValue(2);
    origin.launchLifetime.QuietSet(10000);
    ScriptedTimeline& timeline = light_test::Script(origin, KXI_SmartTiming::kRandom);
    timeline.level = 0.0f;
    EXPECT_EQ(LaunchesOver(origin, 60.0f), 0u);
    timeline.level = 1.0f;
    EXPECT_EQ(LaunchesOver(origin, 0.05f), 0u);
    EXPECT_EQ(LaunchesOver(origin, 1.0f), 2u);
}

TEST(OriginGeneratorTest, RecordsAgeRunTheirStepsAndEnd)
{
    TestOrigin origin;
    origin.launchLifetime.QuietSet(25); // 1 s
    origin.position.StoreValue({10.0f, 20.0f, 0.0f});
    LaunchRecord record = origin.MakeLaunch();
    EXPECT_FLOAT_EQ(record.life, 1.0f);
    EXPECT_EQ(record.position, (math::Vec3{10.0f, 20.0f, 0.0f}));
    EXPECT_NEAR(std::hypot(record.velocity.x, record.velocity.y), 100.0f, 1e-3f);
    record.velocity = {10.0f, 0.0f, 0.0f};
    record.acceleration = {0.0f, 4.0f, 0.0f};
    record.edge1 = {1.0f, 0.0f, 0.0f};
    record.AddStep(&LaunchRecord::Move);
    record.AddStep(&LaunchRecord::Grow, {2.0f});
    record.AddStep(&LaunchRecord::Turn, {90.0f});
    origin.launches.push_back(record);
    origin.AdvanceLaunches(0.5f);
    ASSERT_EQ(origin.launches.size(), 1u);
    const LaunchRecord& moved = origin.launches.front();
    EXPECT_FLOAT_EQ(moved.life, 0.5f);
    EXPECT_FLOAT_EQ(moved.position.x, 15.0f);
    EXPECT_FLOAT_EQ(moved.position.y, 20.5f);
    EXPECT_FLOAT_EQ(moved.velocity.y, 2.0f);
    EXPECT_FLOAT_EQ(moved.sizeFactor, 101.0f);
    EXPECT_NEAR(moved.edge1.x, std::cos(3.1415927f / 4.0f), 1e-5f);
    EXPECT_NEAR(moved.edge1.y, std::sin(3.1415927f / 4.0f), 1e-5f);
    origin.AdvanceLaunches(0.6f);
    EXPECT_TRUE(origin.launches.empty());
}

TEST(OriginGeneratorTest, ACopyOwnsItsRecords)
{
    auto smoke = std::make_unique<DS_Smoke>();
    smoke->launchRate.StoreValue(20);
    smoke->launchLifetime.QuietSet(250);
    smoke->launchSize.StoreValue(10);
    LaunchesOver(*smoke, 2.0f);
    ASSERT_GT(smoke->launches.size(), 10u);
    std::unique_ptr<DS_ParticleGenerator> copy = smoke->Clone();
    smoke.reset();
    auto& copied = static_cast<DS_Smoke&>(*copy);
    const float opacity = copied.launches.front().opacity;
    LaunchesOver(copied, 1.0f);
    EXPECT_NE(copied.launches.front().opacity, opacity);
}

// ---- fireworks -----------------------------------------------------------------------

class FireworkTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        firework.originSpeed.QuietSet(50); // origin time runs as the local clock
        firework.rocketSpeed.QuietSet(25);
        firework.quadSize.StoreValue(8);
        firework.glowFactor.QuietSet(50); // 3 x
        firework.position.StoreValue({16.0f, 8.0f, 0.0f});
    }

    std::unique_ptr<DS_ParticlesObj> MakeObject() { return std::make_unique<DS_ParticlesObj>(firework.Clone()); }
    static DS_FireworkSimple& Clone(DS_ParticlesObj& object)
    {
        return static_cast<DS_FireworkSimple&>(*object.Generator());
    }

    DS_FireworkSimple firework;
};

TEST_F(FireworkTest, OneBurstFiresEachTimeTheTimelineSwitchesOn)
{
    for (const int selector : {int(KXI_SmartTiming::kRandom), int(KXI_SmartTiming::kManual)}) {
        SCOPED_TRACE(selector);
        firework.rocketCount.StoreValue(3);
        ScriptedTimeline& timeline = light_test::Script(firework, selector);
        timeline.length = 2.0f;
        timeline.Set(kTimingOff, 0.0f);
        auto object = MakeObject();
        DS_FireworkSimple& clone = Clone(*object);
        float t = 0.0f;
        auto run = [&](float seconds) {
            for (int i = 0; i < int(seconds / 0.05f + 0.5f); ++i)
                object->Animate(t += 0.05f);
        };
        run(0.5f);
        EXPECT_TRUE(clone.emitters.empty());
        timeline.Set(kTimingRising, 0.3f);
        run(0.05f);
        EXPECT_EQ(clone.emitters.size(), 3u);
        timeline.Set(kTimingOn, 1.0f);
        run(1.5f);
        EXPECT_EQ(clone.emitters.size(), 3u) << "no second burst while it stays on";
        run(0.6f);
        EXPECT_TRUE(clone.emitters.empty()) << "rockets live the timeline's length";
        timeline.Set(kTimingOff, 0.0f);
        run(0.1f);
        timeline.Set(kTimingOn, 1.0f);
        run(0.05f);
        EXPECT_EQ(clone.emitters.size(), 3u);
    }
}

TEST_F(FireworkTest, AContinuousTimelineStartsRocketsInRhythm)
{
    firework.rocketCount.StoreValue(4);
    auto object = MakeObject();
    DS_FireworkSimple& clone = Clone(*object);
    std::vector<float> starts;
    float next = clone.nextLaunchTime;
    for (int frame = 1; frame <= 80; ++frame) {
        object->Animate(0.01f * float(frame));
        if (clone.nextLaunchTime != next) {
            starts.push_back(clone.OriginTotal());
            next = clone.nextLaunchTime;
        }
    }
    ASSERT_GE(starts.size(), 5u);
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_NEAR(starts[i] - starts[i - 1], 0.125f, 0.011f);
}

TEST_F(FireworkTest, ARocketCountOfZeroLaunchesNothing)
{
    firework.rocketCount.StoreValue(0);
    for (const int selector : {int(KXI_SmartTiming::kContinuous), int(KXI_SmartTiming::kRandom)}) {
        SCOPED_TRACE(selector);
        if (selector != KXI_SmartTiming::kContinuous)
            light_test::Script(firework, selector).Set(kTimingOn, 1.0f);
        auto object = MakeObject();
        for (int frame = 1; frame <= 40; ++frame)
            object->Animate(0.05f * float(frame));
        EXPECT_TRUE(Clone(*object).emitters.empty());
        EXPECT_EQ(object->QuadCount(0), 0);
    }
}

TEST_F(FireworkTest, ASparkFadesFromTheLevelAndGrows)
{
    firework.lifetime.QuietSet(100);    // 1 s
    firework.particleSize.QuietSet(20); // grows by 2
    light_test::Script(firework, KXI_SmartTiming::kRandom).Set(kTimingRising, 0.5f);
    auto object = MakeObject();
    DS_FireworkSimple& clone = Clone(*object);
    GenParticle rocket;
    rocket.Init(16.0f, 8.0f, 0.0f);
    GenParticle& spark = clone.particles.emplace_back();
    spark.Init(16.0f, 8.0f, 0.0f);
    clone.InitParticle(spark, rocket);
    EXPECT_FLOAT_EQ(spark.channels[GenParticle::kOpacity], 0.5f);
    clone.FillLayers(*object);
    const auto cores = light_test::LayerVertices(*object, 0);
    const auto glows = light_test::LayerVertices(*object, 1);
    EXPECT_EQ(light_test::Alpha(cores[0].colour), 128u);
    EXPECT_NEAR(light_test::QuadWidth(glows, 0), 3.0f * light_test::QuadWidth(cores, 0), 1e-4f);
    float minOpacity = 1.0f;
    for (int i = 0; i < 19; ++i) {
        ASSERT_TRUE(spark.RunProcesses(0.05f));
        minOpacity = std::min(minOpacity, spark.channels[GenParticle::kOpacity]);
    }
    EXPECT_NEAR(spark.channels[GenParticle::kOpacity], 0.025f, 0.01f);
    EXPECT_GT(minOpacity, 0.0f) << "it reaches 0 only at the end of its life";
    EXPECT_NEAR(spark.channels[GenParticle::kScale], 2.9f, 0.05f);
    EXPECT_FALSE(spark.RunProcesses(0.05f)) << "the spark ends with its lifetime";
}

TEST_F(FireworkTest, ZeroLengthsEndRecordsAtTheirFirstStep)
{
    firework.lifetime.QuietSet(0);
    auto object = MakeObject();
    DS_FireworkSimple& clone = Clone(*object);
    GenParticle rocket;
    rocket.Init(0.0f, 0.0f, 0.0f);
    clone.InitRocket(rocket, 0.0f);
    GenParticle spark;
    spark.Init(0.0f, 0.0f, 0.0f);
    clone.InitParticle(spark, rocket);
    for (GenParticle* particle : {&rocket, &spark}) {
        EXPECT_FALSE(particle->RunProcesses(0.05f));
        EXPECT_TRUE(std::isfinite(particle->channels[GenParticle::kOpacity]));
        EXPECT_TRUE(std::isfinite(particle->channels[GenParticle::kScale]));
    }
}

TEST_F(FireworkTest, TheLayersHoldRocketsThenSparks)
{
    firework.rocketCount.StoreValue(2);
    firework.emissionSwitch.StoreValue(1);
    firework.emissionRate.QuietSet(20); // 41 sparks per second per rocket
    firework.lifetime.QuietSet(500);
    light_test::Script(firework, KXI_SmartTiming::kRandom).length = 5.0f;
    auto object = MakeObject();
    DS_FireworkSimple& clone = Clone(*object);
    for (int frame = 1; frame <= 10; ++frame)
        object->Animate(0.05f * float(frame));
    const auto n = static_cast<std::int32_t>(clone.emitters.size() + clone.particles.size());
    EXPECT_EQ(clone.emitters.size(), 2u);
    EXPECT_GT(clone.particles.size(), 10u);
    EXPECT_EQ(object->QuadCount(0), n);
    EXPECT_EQ(object->QuadCount(1), n);
    const auto cores = light_test::LayerVertices(*object, 0);
    // Quad 0 is the first rocket.
    const math::Vec3 rocket = clone.emitters.front().position;
    EXPECT_NEAR((cores[0].x + cores[3].x) / 2.0f, rocket.x, 1e-3f);
    EXPECT_NEAR((cores[0].y + cores[3].y) / 2.0f, rocket.y, 1e-3f);
}

// Every class that lights the picture drawn so far asks for it in every
// blend mode; the smoke, which never reads it, in none.
TEST_F(FireworkTest, TheGlowGeneratorsAskForThePictureAndTheSmokeNever)
{
    struct Case {
        const char* name;
        std::function<std::unique_ptr<DS_ParticleGenerator>(std::int32_t)> make;
        int expected;
    };
    auto with = [](auto generator, std::int32_t mode) {
        generator->blendMode.StoreValue(mode);
        return std::unique_ptr<DS_ParticleGenerator>(std::move(generator));
    };
    const Case cases[] = {
        {"falling stars", [&](std::int32_t m) { return with(std::make_unique<DS_FallingStars>(), m); }, 1},
        {"fireworks", [&](std::int32_t m) { return with(std::make_unique<DS_FireworkSimple>(), m); }, 1},
        {"lightning", [&](std::int32_t m) { return with(std::make_unique<DS_LightningGN>(), m); }, 1},
        {"smoke", [&](std::int32_t m) { return with(std::make_unique<DS_Smoke>(), m); }, 0},
    };
    for (const Case& c : cases)
        for (std::int32_t mode = 0; mode <= 3; ++mode) {
            SCOPED_TRACE(std::string(c.name) + " mode " + std::to_string(mode));
            DS_ParticlesObj object(c.make(mode));
            EXPECT_EQ(object.NeedsRenderTarget(), c.expected);
        }
}

} // namespace

// Sparkles and twinkling stars: the sparkle's endless grow-and-shrink cycle,
// its size floor, its spin from its own start angle, times of 0, the random
// start inside the cycle, the two layers and their colours; the stars'
// twinkle speed, flashes and brush entry.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/Bling.h"
#include "platform/crt/Random.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::Alpha;
using light_test::LayerVertices;
using light_test::QuadWidth;

class BlingTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        bling.brushSize.StoreValue(10);
        bling.lifeSpeed.QuietSet(50); // 1.0
        bling.growTime.QuietSet(50);  // 0.5 s
        bling.shrinkTime.QuietSet(150);
        bling.spinSpeed.QuietSet(0);
    }

    // A render object whose clone holds one sparkle at the start of its
    // cycle (no random ageing), with size factor 2 and start angle `angle`.
    std::unique_ptr<DS_ParticlesObj> MakeObject(std::initializer_list<float> angles = {0.0f})
    {
        auto object = std::make_unique<DS_ParticlesObj>(bling.Clone());
        DS_Bling& clone = Clone(*object);
        float x = 20.0f;
        for (const float angle : angles) {
            GenParticle dab;
            dab.Init(x, 30.0f, 0.0f);
            x += 40.0f;
            clone.StartSparkle(dab);
            dab.channels[DS_Bling::kSizeFactorChannel] = 2.0f;
            dab.channels[DS_Bling::kStartAngleChannel] = angle;
            clone.dabs.push_back(std::move(dab));
        }
        return object;
    }
    static DS_Bling& Clone(DS_ParticlesObj& object) { return static_cast<DS_Bling&>(*object.Generator()); }

    // Steps the clone from `from` to `to` seconds in 0.01 s steps.
    static void Run(DS_ParticlesObj& object, float from, float to)
    {
        for (float t = from + 0.01f; t <= to + 1e-4f; t += 0.01f)
            Clone(object).Step(t, object);
    }

    // The side of sparkle `i`'s quad in layer `layer`.
    static float Side(DS_ParticlesObj& object, std::size_t layer, std::size_t i)
    {
        const auto v = LayerVertices(object, layer);
        return std::hypot(v[i * 4 + 2].x - v[i * 4].x, v[i * 4 + 2].y - v[i * 4].y);
    }
    static float Turn(DS_ParticlesObj& object, std::size_t i)
    {
        const auto v = LayerVertices(object, 0);
        return std::atan2(v[i * 4 + 2].y - v[i * 4].y, v[i * 4 + 2].x - v[i * 4].x);
    }

    DS_Bling bling;
};

TEST_F(BlingTest, ASparkleGrowsShrinksAndStartsAgain)
{
    auto object = MakeObject();
    Clone(*object).Step(0.0f, *object);
    const float full = 10.0f * 2.0f; // brush size x size factor
    Run(*object, 0.0f, 0.25f);
    EXPECT_NEAR(Side(*object, 0, 0), full / 2, full * 0.03f);
    Run(*object, 0.25f, 0.5f);
    EXPECT_NEAR(Side(*object, 0, 0), full, full * 0.03f);
    Run(*object, 0.5f, 1.25f);
    EXPECT_NEAR(Side(*object, 0, 0), full / 2, full * 0.03f);
    Run(*object, 1.25f, 1.99f);
    EXPECT_LT(Side(*object, 0, 0), full * 0.03f);
    Run(*object, 1.99f, 2.26f);
    EXPECT_NEAR(Side(*object, 0, 0), full / 2, full * 0.06f) << "growing again";
    EXPECT_EQ(Clone(*object).dabs.size(), 1u);
}

TEST_F(BlingTest, TheSizeFloorKeepsPartOfTheSizeThroughTheCycle)
{
    bling.sizeFloor.QuietSet(30);
    auto object = MakeObject();
    Clone(*object).Step(0.0f, *object);
    float smallest = 1e9f, largest = 0.0f;
    for (float t = 0.01f; t < 4.0f; t += 0.01f) {
        Clone(*object).Step(t, *object);
        smallest = std::min(smallest, Side(*object, 1, 0));
        largest = std::max(largest, Side(*object, 1, 0));
    }
    EXPECT_NEAR(smallest, 0.3f * 20.0f, 0.05f);
    EXPECT_NEAR(largest, 20.0f, 0.6f);
}

TEST_F(BlingTest, EverySparkleSpinsFromItsOwnStartAngle)
{
    bling.spinSpeed.QuietSet(50); // 1 rad/s
    auto object = MakeObject({0.0f, 1.0f});
    Clone(*object).Step(0.0f, *object);
    Run(*object, 0.0f, 0.5f);
    EXPECT_NEAR(Turn(*object, 0), 0.5f, 1e-3f);
    EXPECT_NEAR(Turn(*object, 1), 1.5f, 1e-3f);
}

TEST_F(BlingTest, TimesOfZeroStillCycleWithFiniteSizes)
{
    bling.growTime.QuietSet(0);
    bling.shrinkTime.QuietSet(0);
    auto object = MakeObject();
    Clone(*object).Step(0.0f, *object);
    float largest = 0.0f;
    for (float t = 0.001f; t < 0.2f; t += 0.001f) {
        Clone(*object).Step(t, *object);
        const float side = Side(*object, 0, 0);
        ASSERT_TRUE(std::isfinite(side)) << t;
        ASSERT_LE(side, 20.0f * 1.001f) << t;
        largest = std::max(largest, side);
    }
    EXPECT_GT(largest, 10.0f) << "sparkles with times of 0 still light up";
}

TEST_F(BlingTest, RandomAgeingStartsEverySparkleInsideItsCycle)
{
    crt::srand(3);
    for (int i = 0; i < 40; ++i) {
        GenParticle dab;
        dab.Init(float(i), 0.0f, 0.0f);
        bling.dabs.push_back(dab);
    }
    DS_ParticlesObj object(bling.Clone());
    ASSERT_EQ(object.LayerCount(), 2u);
    float lowest = 1.0f, highest = 0.0f;
    for (const GenParticle& dab : Clone(object).dabs) {
        const float life = dab.channels[GenParticle::kLife];
        EXPECT_GE(life, 0.0f);
        EXPECT_LT(life, 1.0f);
        lowest = std::min(lowest, life);
        highest = std::max(highest, life);
    }
    EXPECT_GT(highest - lowest, 0.5f) << "the sparkles start spread over their cycle";
    // The ageing steps are large; the sizes stay inside the cycle all the same.
    // (A negative size would turn the quad over: measured along the
    // sparkle's own axis.)
    Clone(object).Step(0.0f, object);
    const auto v = LayerVertices(object, 0);
    std::size_t i = 0;
    for (const GenParticle& dab : Clone(object).dabs) {
        const float angle = dab.channels[DS_Bling::kStartAngleChannel];
        const float side = (v[i * 4 + 2].x - v[i * 4].x) * std::cos(angle) + (v[i * 4 + 2].y - v[i * 4].y) * std::sin(angle);
        EXPECT_GE(side, -1e-4f) << i;
        EXPECT_LE(side, 10.0f + 1e-4f) << i;
        ++i;
    }

    // The brush entry ages its sparkle the same way.
    Clone(object).AddParticleAt({1, 2, 0}, {3.0f, 0.25f});
    const GenParticle& added = Clone(object).dabs.back();
    EXPECT_FLOAT_EQ(added.channels[DS_Bling::kSizeFactorChannel], 3.0f);
    EXPECT_FLOAT_EQ(added.channels[DS_Bling::kStartAngleChannel], 6.2831855f / 4);
    EXPECT_LT(added.channels[GenParticle::kLife], 1.0f);
}

TEST_F(BlingTest, LayerZeroCarriesTheSecondColourAndLayerOneTheFirst)
{
    bling.colour.colour.StoreValue(0x000000FF);  // red
    bling.colour.opacity.QuietSet(0);            // 255
    bling.colour2.colour.StoreValue(0x00FF0000); // blue
    bling.colour2.opacity.QuietSet(50);          // 127
    light_test::Script(bling, 1).Set(kTimingRising, 0.5f);
    auto object = MakeObject();
    Clone(*object).dabs.front().channels[GenParticle::kOpacity] = 0.5f;
    Clone(*object).Step(0.1f, *object);
    const std::uint32_t layer0 = LayerVertices(*object, 0)[0].colour;
    const std::uint32_t layer1 = LayerVertices(*object, 1)[0].colour;
    EXPECT_EQ(layer0 & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(Alpha(layer0), 32u); // 127.5 x 0.5 x 0.5, +0.5 truncated
    EXPECT_EQ(layer1 & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(Alpha(layer1), 64u);
    EXPECT_EQ(LayerVertices(*object, 0)[0].x, LayerVertices(*object, 1)[0].x);
}

class TwinklingStarsTest : public quad_test::DeviceFixture {};

TEST_F(TwinklingStarsTest, StarsTwinkleBetweenTheirBaseAndHalfAgainAtTheirSpeed)
{
    DS_TwinklingStars stars;
    stars.twinkleSpeed.QuietSet(0);
    EXPECT_FLOAT_EQ(stars.twinkleSpeed.Scaled(), 1.0f) << "speed value 0 runs at 1.0, not 0";
    stars.brushSize.StoreValue(8);
    for (const float scale : {1.0f, 2.0f}) {
        GenParticle dab;
        dab.Init(10.0f * scale, 5.0f, 0.0f);
        dab.channels[GenParticle::kScale] = scale;
        stars.dabs.push_back(dab);
    }
    crt::srand(11);
    DS_ParticlesObj object(stars.Clone());
    auto& clone = static_cast<DS_TwinklingStars&>(*object.Generator());
    bool flashed = false;
    for (float t = 0.05f; t < 20.0f; t += 0.05f) {
        clone.Step(t, object);
        for (std::size_t i = 0; i < 2; ++i) {
            const float base = 8.0f * float(i + 1);
            const float side = QuadWidth(LayerVertices(object, 0), i);
            ASSERT_GE(side, base - 1e-3f);
            ASSERT_LE(side, 1.5f * base + 1e-3f);
            flashed = flashed || side > base + 0.1f;
        }
    }
    EXPECT_TRUE(flashed);
    EXPECT_NEAR(clone.twinkleSpeed.Total(), 0.05f * 399, 0.05f) << "the clock runs at 1.0";
}

TEST_F(TwinklingStarsTest, TheBrushGivesARandomOpacityAndTheQuadFollowsAtTheNextStep)
{
    DS_TwinklingStars stars;
    DS_ParticlesObj object(stars.Clone());
    auto& clone = static_cast<DS_TwinklingStars&>(*object.Generator());
    crt::srand(1);
    for (int i = 0; i < 50; ++i)
        clone.AddParticleAt({float(i), 0.0f, 0.0f}, {1.5f, 0.0f});
    EXPECT_EQ(object.QuadCount(0), 0);
    for (const GenParticle& dab : clone.dabs) {
        EXPECT_GE(dab.channels[GenParticle::kOpacity], 0.5f);
        EXPECT_LE(dab.channels[GenParticle::kOpacity], 1.0f);
        EXPECT_FLOAT_EQ(dab.channels[GenParticle::kScale], 1.5f);
        EXPECT_EQ(dab.processes.size(), 1u);
    }
    clone.Step(0.1f, object);
    EXPECT_EQ(object.QuadCount(0), 50);
}

} // namespace

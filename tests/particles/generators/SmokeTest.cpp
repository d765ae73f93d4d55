// Smoke puffs: growth, drift, the fade in and out and the timeline level,
// the smoke already in the air when the render object is made, and the quads
// of layer 0.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/Smoke.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::ScriptedTimeline;

class SmokeTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        smoke.launchLifetime.QuietSet(50); // 2 s
        smoke.launchRate.StoreValue(4);
        smoke.launchSize.StoreValue(10);
        smoke.originSpeed.QuietSet(50);
        smoke.position.StoreValue({16.0f, 12.0f, 0.0f});
        smoke.colour.colour.StoreValue(0x00336699); // COLORREF: red 0x99
    }

    // A puff's life run step by step as the origin runs it.
    static void Age(LaunchRecord& puff, float seconds)
    {
        for (int i = 0; i < int(seconds / 0.05f + 0.5f); ++i) {
            puff.life -= 0.05f;
            puff.RunSteps(0.05f);
        }
    }

    DS_Smoke smoke;
};

TEST_F(SmokeTest, APuffGrowsFadesAndDrifts)
{
    LaunchRecord puff = smoke.MakeLaunch();
    EXPECT_FLOAT_EQ(puff.sizeFactor, 0.5f);
    EXPECT_FLOAT_EQ(puff.opacity, 0.0f);
    EXPECT_FLOAT_EQ(puff.acceleration.x, -100.0f) << "the default drift pushes left";
    EXPECT_NEAR(std::hypot(puff.edge1.x, puff.edge1.y), 1.0f, 1e-5f);
    EXPECT_NEAR(puff.edge1.x * puff.edge2.x + puff.edge1.y * puff.edge2.y, 0.0f, 1e-5f);
    Age(puff, 0.4f);
    EXPECT_NEAR(puff.opacity, 1.6f, 1e-3f) << "4 per second for the first fifth";
    Age(puff, 1.0f);
    EXPECT_NEAR(puff.opacity, 0.6f, 1e-3f) << "then 1 per second";
    Age(puff, 0.6f);
    EXPECT_NEAR(puff.opacity, 0.0f, 1e-3f);
    EXPECT_NEAR(puff.sizeFactor, 1.5f, 1e-4f);

    smoke.drift.QuietSet(50);
    EXPECT_FLOAT_EQ(smoke.MakeLaunch().acceleration.x, 0.0f);
}

TEST_F(SmokeTest, ZeroLifePuffsDoNotGrow)
{
    smoke.launchLifetime.QuietSet(0);
    LaunchRecord puff = smoke.MakeLaunch();
    puff.RunSteps(0.05f);
    EXPECT_FLOAT_EQ(puff.sizeFactor, 0.5f);
    EXPECT_TRUE(std::isfinite(puff.opacity));
}

TEST_F(SmokeTest, TheSceneStartsWithSmokeInTheAir)
{
    smoke.launchLifetime.QuietSet(250); // 10 s
    smoke.launchRate.StoreValue(2);
    DS_ParticlesObj object(smoke.Clone());
    const auto& clone = static_cast<DS_Smoke&>(*object.Generator());
    EXPECT_GE(clone.launches.size(), 9u);
    EXPECT_LE(clone.launches.size(), 10u);
    EXPECT_NEAR(clone.launches.front().life, 5.0f, 0.6f) << "the oldest is about 5 s old";
    EXPECT_EQ(object.QuadCount(0), 0) << "no quads before the first step";
    object.Animate(0.05f);
    EXPECT_EQ(object.QuadCount(0), std::int32_t(clone.launches.size()));
}

TEST_F(SmokeTest, WithTheTimelineOffThePuffsFadeOutAndNothingIsDrawn)
{
    ScriptedTimeline& timeline = light_test::Script(smoke, KXI_SmartTiming::kRandom);
    DS_ParticlesObj object(smoke.Clone());
    const auto& clone = static_cast<DS_Smoke&>(*object.Generator());
    ASSERT_FALSE(clone.launches.empty());
    timeline.Set(kTimingOff, 0.0f);
    float t = 0.0f;
    std::size_t previous = clone.launches.size();
    for (int i = 0; i < 50; ++i) {
        object.Animate(t += 0.05f);
        EXPECT_LE(clone.launches.size(), previous) << "no puff is born";
        previous = clone.launches.size();
    }
    EXPECT_TRUE(clone.launches.empty());
    EXPECT_EQ(object.QuadCount(0), 0);
}

TEST_F(SmokeTest, AQuadPerPuffInTheColourAndOpacity)
{
    DS_ParticlesObj object(smoke.Clone());
    auto& clone = static_cast<DS_Smoke&>(*object.Generator());
    clone.launches.clear();
    LaunchRecord puff;
    puff.position = {16.0f, 12.0f, 0.0f};
    puff.edge1 = {1.0f, 0.0f, 0.0f};
    puff.edge2 = {0.0f, 1.0f, 0.0f};
    puff.sizeFactor = 0.8f;
    puff.opacity = 0.5f;
    puff.life = 1.0f;
    clone.launches.push_back(puff);
    puff.opacity = 3.0f; // past 1: clamped
    clone.launches.push_back(puff);
    clone.FillLayer(object);
    const auto vertices = light_test::LayerVertices(object, 0);
    ASSERT_EQ(vertices.size(), 8u);
    EXPECT_NEAR(light_test::QuadWidth(vertices, 0), 8.0f, 1e-4f);
    EXPECT_EQ(vertices[0].colour, 0x80996633u);
    EXPECT_EQ(vertices[4].colour, 0xFF996633u);
}

} // namespace

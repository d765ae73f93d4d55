// The lightning bolt: its main path, the seeded shape and the shared random
// sequence, branches, the brightness per timeline state, the quads of every
// layer, the largest bolt the caps allow, and degenerate bolts.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/engine/PerlinNoise.h"
#include "particles/generators/Lightning.h"
#include "platform/crt/Random.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::ScriptedTimeline;

std::vector<math::Vec3> Positions(const BoltPath& path)
{
    std::vector<math::Vec3> out;
    for (const BoltNode& node : path)
        out.push_back(node.position);
    return out;
}

std::size_t CountNodes(const BoltPath& path)
{
    std::size_t n = path.size();
    for (const BoltNode& node : path)
        n += CountNodes(node.branches);
    return n;
}

class LightningTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        bolt.startPoint.StoreValue({0.0f, 0.0f, 0.0f});
        bolt.endPoint.StoreValue({30.0f, 90.0f, 0.0f});
        bolt.coreWidth.StoreValue(4);
        bolt.glowWidth.StoreValue(12);
        bolt.jaggedness.QuietSet(50);
        bolt.endWidth.QuietSet(50);
    }

    DS_LightningGN bolt;
};

TEST_F(LightningTest, TheMainPathIsCutAtItsCorners)
{
    bolt.passes.StoreValue(0);
    bolt.Regenerate();
    const std::vector<math::Vec3> straight = Positions(bolt.bolt);
    ASSERT_EQ(straight.size(), 2u);
    EXPECT_EQ(straight[0], (math::Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_NEAR(straight[1].x, 0.67f * 30.0f, 1e-4f);
    EXPECT_NEAR(straight[1].y, 0.67f * 90.0f, 1e-4f);
    EXPECT_FLOAT_EQ(bolt.bolt.front().phase, 1.0f);
    EXPECT_FLOAT_EQ(bolt.bolt.back().phase, 0.0f);

    bolt.passes.StoreValue(2);
    bolt.Regenerate();
    EXPECT_EQ(bolt.bolt.size(), 8u);
    // Widths taper from the start (1) towards the end (end width 0.5).
    EXPECT_FLOAT_EQ(bolt.bolt.back().width, 0.5f);
    EXPECT_GT(bolt.bolt.front().width, bolt.bolt.back().width);
    EXPECT_LE(bolt.bolt.front().width, 1.0f);
}

TEST_F(LightningTest, ASeededBoltRepeatsAndLeavesTheSharedSequenceGoing)
{
    bolt.passes.StoreValue(4);
    bolt.branches.StoreValue(3);
    bolt.subBranches.StoreValue(2);
    bolt.twigs.StoreValue(3);
    bolt.branchLength.QuietSet(50);
    bolt.branchAngle.QuietSet(20);
    bolt.seed.StoreValue(9);
    crt::srand(5);
    const int r0 = crt::rand();
    crt::srand(unsigned(r0));
    const int expected = crt::rand();
    crt::srand(5);
    bolt.Regenerate();
    EXPECT_EQ(crt::rand(), expected);
    const BoltPath first = bolt.bolt;
    EXPECT_GT(CountNodes(first), first.size()) << "the bolt branches";
    crt::rand();
    bolt.Regenerate();
    EXPECT_EQ(Positions(bolt.bolt), Positions(first));

    bolt.randomFlag.StoreValue(1);
    bolt.Regenerate();
    EXPECT_NE(Positions(bolt.bolt), Positions(first));
}

TEST_F(LightningTest, TheLevelFollowsTheTimelineState)
{
    bolt.flicker.QuietSet(40);
    ScriptedTimeline& timeline = light_test::Script(bolt, KXI_SmartTiming::kRandom);
    struct Case {
        int state;
        float v;
        float phase;
        float level;
    };
    const Case cases[] = {
        {kTimingRising, 0.5f, 0.6f, 1.0f},
        {kTimingRising, 0.5f, 0.9f, 1.0f},
        {kTimingRising, 0.5f, 0.2f, (0.5f + 0.2f - 0.666f) * 3.0f},
        {kTimingFalling, 0.5f, 0.3f, 0.25f},
        {kTimingFalling, 0.2f, 1.0f, 0.04f},
        {kTimingOff, 0.0f, 0.5f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.state) + " " + std::to_string(c.v) + " " + std::to_string(c.phase));
        timeline.Set(c.state, c.v);
        EXPECT_NEAR(bolt.Level(c.phase), c.level, 1e-5f);
    }
    // On: 1 - (noise + 1) x flicker / 2 with four octaves of noise in
    // [-1.875, 1.875]; the colour rule clamps what leaves 0..1.
    timeline.Set(kTimingOn, 1.0f);
    bool flickers = false;
    float previous = bolt.Level(0.5f);
    for (int i = 0; i < 100; ++i) {
        bolt.lastTime = 0.013f * float(i);
        const float level = bolt.Level(0.5f);
        const double noise = SumPerlinOctaves(4, double(bolt.lastTime) * 1000.0, 75.0, 0.5);
        EXPECT_NEAR(level, 1.0f - float(noise + 1.0) * 0.4f * 0.5f, 1e-5f);
        EXPECT_GE(level, 1.0f - 1.4375f * 0.4f - 1e-5f);
        EXPECT_LE(level, 1.0f + 0.4375f * 0.4f + 1e-5f);
        flickers = flickers || std::abs(level - previous) > 1e-3f;
        previous = level;
    }
    EXPECT_TRUE(flickers);
}

TEST_F(LightningTest, TheLayersHoldExactlyTheBoltsQuads)
{
    bolt.passes.StoreValue(3);
    bolt.branches.StoreValue(2);
    bolt.subBranches.StoreValue(1);
    bolt.twigs.StoreValue(1);
    bolt.branchLength.QuietSet(60);
    bolt.seed.StoreValue(4);
    DS_ParticlesObj object(bolt.Clone());
    auto& clone = static_cast<DS_LightningGN&>(*object.Generator());
    object.Animate(0.1f);
    const auto caps = static_cast<std::int32_t>(DS_LightningGN::CountCaps(clone.bolt));
    const auto segments = static_cast<std::int32_t>(DS_LightningGN::CountSegments(clone.bolt));
    EXPECT_GT(caps, 2);
    EXPECT_EQ(object.QuadCount(0), segments + caps);
    EXPECT_EQ(object.QuadCount(1), segments);
    EXPECT_EQ(object.QuadCount(2), caps);
    // Every quad of every layer is written (no untouched zero quad).
    for (std::size_t layer = 0; layer < 3; ++layer) {
        SCOPED_TRACE(layer);
        const auto vertices = light_test::LayerVertices(object, layer);
        ASSERT_EQ(vertices.size(), std::size_t(object.QuadCount(layer)) * 4);
        for (std::size_t q = 0; q < vertices.size() / 4; ++q) {
            bool written = false;
            for (std::size_t i = 0; i < 4; ++i)
                written = written || vertices[q * 4 + i].colour != 0 || vertices[q * 4 + i].u != 0.0f;
            EXPECT_TRUE(written) << "quad " << q;
        }
    }
    // Neighbouring segment quads of the main path meet: the first quad of
    // layer 1 belongs to the first branch or the main path, and within one
    // path each quad starts where the previous one ended.
    const auto glows = light_test::LayerVertices(object, 1);
    std::size_t joined = 0;
    for (std::size_t q = 1; q < glows.size() / 4; ++q)
        if (glows[q * 4].x == glows[q * 4 - 2].x && glows[q * 4].y == glows[q * 4 - 2].y)
            ++joined;
    EXPECT_GT(joined, glows.size() / 8);
}

TEST_F(LightningTest, TheLargestBoltFitsItsLayers)
{
    bolt.passes.StoreValue(0xFFFFFFFFu); // taken as a signed number: -1, no passes
    bolt.Regenerate();
    EXPECT_EQ(bolt.bolt.size(), 2u);

    bolt.passes.StoreValue(1000);
    bolt.branches.StoreValue(1000);
    bolt.subBranches.StoreValue(1000);
    bolt.twigs.StoreValue(1000);
    bolt.branchLength.QuietSet(100);
    bolt.seed.StoreValue(2);
    DS_ParticlesObj object(bolt.Clone());
    auto& clone = static_cast<DS_LightningGN&>(*object.Generator());
    object.Animate(0.1f);
    EXPECT_EQ(clone.bolt.size(), 512u);
    const std::size_t layer0 = DS_LightningGN::CountSegments(clone.bolt) + DS_LightningGN::CountCaps(clone.bolt);
    EXPECT_LE(CountNodes(clone.bolt), 14900u);
    EXPECT_LE(layer0, std::size_t(DS_ParticlesObj::kMaxLayerQuads));
    EXPECT_EQ(object.QuadCount(0), std::int32_t(layer0));
    EXPECT_EQ(clone.passes.value, 1000u) << "the stored value stays";
}

TEST_F(LightningTest, DegenerateBoltsGiveFiniteQuads)
{
    struct Case {
        const char* name;
        math::Vec3 end;
        std::uint32_t coreWidth;
    };
    const Case cases[] = {
        {"start equal to end", {0.0f, 0.0f, 0.0f}, 4},
        {"core width 0", {30.0f, 90.0f, 0.0f}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bolt.endPoint.StoreValue(c.end);
        bolt.coreWidth.StoreValue(c.coreWidth);
        bolt.passes.StoreValue(3);
        bolt.branches.StoreValue(2);
        bolt.branchLength.QuietSet(50);
        DS_ParticlesObj object(bolt.Clone());
        object.Animate(0.1f);
        for (std::size_t layer = 0; layer < 3; ++layer)
            for (const QuadBatchVertex& v : light_test::LayerVertices(object, layer)) {
                ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << "layer " << layer;
                ASSERT_TRUE(std::isfinite(v.u) && std::isfinite(v.v)) << "layer " << layer;
            }
    }
}

TEST_F(LightningTest, ANewBoltComesEachTimeTheTimelineSwitchesOn)
{
    bolt.passes.StoreValue(3);
    bolt.randomFlag.StoreValue(1);
    ScriptedTimeline& timeline = light_test::Script(bolt, KXI_SmartTiming::kRandom);
    timeline.Set(kTimingOn, 1.0f);
    DS_ParticlesObj object(bolt.Clone());
    auto& clone = static_cast<DS_LightningGN&>(*object.Generator());
    object.Animate(0.1f);
    const std::vector<math::Vec3> first = Positions(clone.bolt);
    object.Animate(0.2f);
    EXPECT_EQ(Positions(clone.bolt), first) << "no new bolt while it stays on";
    timeline.Set(kTimingOff, 0.0f);
    object.Animate(0.3f);
    timeline.Set(kTimingRising, 0.1f);
    object.Animate(0.4f);
    EXPECT_NE(Positions(clone.bolt), first);
    EXPECT_FLOAT_EQ(clone.lastTime, 0.4f);
    clone.Restart();
    EXPECT_EQ(clone.lastTime, 0.0f);
    EXPECT_EQ(clone.generated, 1);
}

} // namespace

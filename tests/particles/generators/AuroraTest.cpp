// The aurora curtain: a still row without waves, the sideways sway, the
// brightness clamped at both ends, wave lengths of 0, and the clocks.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/Aurora.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::Alpha;
using light_test::LayerVertices;

struct Curtain {
    float centreX, centreY, width, height;
    std::uint32_t alpha;
};

class AuroraTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        aurora.brushSize.StoreValue(8);
        aurora.bandHeight.StoreValue(40);
        aurora.colour.opacity.QuietSet(0); // 255
        for (int i = 0; i < 12; ++i) {
            GenParticle dab;
            dab.Init(10.0f * float(i), 50.0f, 0.0f);
            dab.channels[GenParticle::kLife] = 0.5f * float(i); // place along the band
            aurora.dabs.push_back(dab);
        }
    }

    std::vector<Curtain> Quads(DS_ParticlesObj& object)
    {
        const auto v = LayerVertices(object, 0);
        std::vector<Curtain> out;
        for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
            const float left = std::min({v[i].x, v[i + 1].x, v[i + 2].x, v[i + 3].x});
            const float right = std::max({v[i].x, v[i + 1].x, v[i + 2].x, v[i + 3].x});
            const float top = std::min({v[i].y, v[i + 1].y, v[i + 2].y, v[i + 3].y});
            const float bottom = std::max({v[i].y, v[i + 1].y, v[i + 2].y, v[i + 3].y});
            out.push_back({(left + right) / 2, (top + bottom) / 2, right - left, bottom - top, Alpha(v[i].colour)});
        }
        return out;
    }

    DS_Aurora aurora;
};

TEST_F(AuroraTest, WithoutWavesTheCurtainIsAStillRow)
{
    DS_ParticlesObj object(aurora.Clone());
    EXPECT_EQ(object.QuadCount(0), 0) << "the quads follow at the first step";
    auto& clone = static_cast<DS_Aurora&>(*object.Generator());
    for (const float t : {0.0f, 0.5f, 1.0f}) {
        clone.Step(t, object);
        const auto quads = Quads(object);
        ASSERT_EQ(quads.size(), 12u);
        for (std::size_t i = 0; i < quads.size(); ++i) {
            EXPECT_NEAR(quads[i].centreX, 10.0f * float(i), 1e-4f);
            EXPECT_NEAR(quads[i].centreY, 50.0f, 1e-4f);
            EXPECT_NEAR(quads[i].width, 8.0f, 1e-4f);
            EXPECT_NEAR(quads[i].height, 40.0f, 1e-4f);
            EXPECT_EQ(quads[i].alpha, 255u);
        }
    }
}

TEST_F(AuroraTest, TheSwayWaveMovesDabsAlongItsDirectionWithinItsAmplitude)
{
    aurora.waves[DS_Aurora::kSwayWave].amplitude.QuietSet(20);
    aurora.waves[DS_Aurora::kSwayWave].speed.QuietSet(50);
    aurora.swayDirection.StoreValue(90);
    DS_ParticlesObj object(aurora.Clone());
    auto& clone = static_cast<DS_Aurora&>(*object.Generator());
    float reach = 0.0f;
    for (float t = 0.0f; t < 6.0f; t += 0.1f) {
        clone.Step(t, object);
        for (const Curtain& quad : Quads(object)) {
            ASSERT_LE(std::abs(quad.centreY - 50.0f), 20.0f + 1e-3f);
            reach = std::max(reach, std::abs(quad.centreY - 50.0f));
        }
    }
    EXPECT_GT(reach, 19.5f);
    const auto quads = Quads(object);
    for (std::size_t i = 0; i < quads.size(); ++i)
        EXPECT_NEAR(quads[i].centreX, 10.0f * float(i), 1e-3f) << "up and down only";
    EXPECT_EQ(clone.dabs.front().position, (math::Vec3{0, 50, 0})) << "the dabs themselves stay";
}

TEST_F(AuroraTest, TheBrightnessClampsTheAlphaAtBothEnds)
{
    aurora.colour.opacity.QuietSet(50); // 127
    aurora.waves[DS_Aurora::kBrightnessWave].amplitude.QuietSet(150);
    aurora.waves[DS_Aurora::kBrightnessWave].speed.QuietSet(50);
    DS_ParticlesObj object(aurora.Clone());
    auto& clone = static_cast<DS_Aurora&>(*object.Generator());
    std::uint32_t lowest = 255, highest = 0;
    for (float t = 0.0f; t < 4.0f; t += 0.1f) {
        clone.Step(t, object);
        for (const Curtain& quad : Quads(object)) {
            lowest = std::min(lowest, quad.alpha);
            highest = std::max(highest, quad.alpha);
        }
    }
    EXPECT_EQ(lowest, 0u);
    EXPECT_EQ(highest, 255u);
}

TEST_F(AuroraTest, AStoredLengthOfZeroIsALengthOfOne)
{
    aurora.dabs.clear();
    for (const float u : {0.0f, 1.5707964f, 4.712389f}) {
        GenParticle dab;
        dab.Init(0.0f, 0.0f, 0.0f);
        dab.channels[GenParticle::kLife] = u;
        aurora.dabs.push_back(dab);
    }
    aurora.waves[DS_Aurora::kHeightWave].amplitude.QuietSet(50);
    aurora.waves[DS_Aurora::kHeightWave].length.QuietSet(0);
    DS_ParticlesObj object(aurora.Clone());
    static_cast<DS_Aurora&>(*object.Generator()).Step(0.0f, object);
    const auto quads = Quads(object);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_NEAR(quads[0].height, 40.0f, 1e-3f);
    EXPECT_NEAR(quads[1].height, 60.0f, 1e-3f);
    EXPECT_NEAR(quads[2].height, 20.0f, 1e-3f);
}

} // namespace

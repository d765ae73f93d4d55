// The single-rect generator and the plant: the quad over its rect (mirrors,
// a trapezoid, the colour), the sway clock and colour, what the plant draws
// without its effect or texture, and the sway effect read back from a real
// frame of a picture scene.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/SingleRect.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"
#include "tests/particles/generators/FlatPictureSceneTest.h"

namespace {

using generator_test::RecordingRenderer;
using light_test::LayerVertices;

void SetCorners(MediaQuad& rect, std::array<math::Vec3, 4> corners)
{
    for (std::size_t i = 0; i < 4; ++i)
        rect.corners[i].StoreValue(corners[i]);
}

class PlantTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        // Top left, bottom left, top right, bottom right.
        SetCorners(plant.rect, {math::Vec3{10, 20, 0}, {10, 60, 0}, {30, 20, 0}, {30, 60, 0}});
        plant.keepId = 1;
    }

    std::unique_ptr<DS_ParticlesObj> MakeObject() { return std::make_unique<DS_ParticlesObj>(plant.Clone()); }

    DS_Plant plant;
};

TEST_F(PlantTest, TheQuadStretchesThePictureCornerToCornerAndMirrors)
{
    struct Case {
        int mirrorV, mirrorH;
        // u, v at the bottom-left, top-left, bottom-right and top-right corners.
        float uv[4][2];
    };
    const Case cases[] = {
        {0, 0, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}},
        {0, 1, {{1, 1}, {1, 0}, {0, 1}, {0, 0}}},
        {1, 0, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        {1, 1, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}}, // turned by 180 degrees
    };
    // A trapezoid: the top edge narrower than the bottom.
    SetCorners(plant.rect, {math::Vec3{14, 20, 1}, {10, 60, 1}, {26, 20, 1}, {30, 60, 1}});
    for (const Case& c : cases) {
        SCOPED_TRACE("mirrors " + std::to_string(c.mirrorV) + std::to_string(c.mirrorH));
        plant.mirrorV.StoreValue(c.mirrorV);
        plant.mirrorH.StoreValue(c.mirrorH);
        auto object = MakeObject();
        ASSERT_EQ(object->LayerCount(), 1u);
        const auto vertices = LayerVertices(*object, 0);
        ASSERT_EQ(vertices.size(), 4u);
        const math::Vec3 positions[4] = {{10, 60, 1}, {14, 20, 1}, {30, 60, 1}, {26, 20, 1}};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ((math::Vec3{vertices[i].x, vertices[i].y, vertices[i].z}), positions[i]) << "vertex " << i;
            EXPECT_EQ(vertices[i].u, c.uv[i][0]) << "vertex " << i;
            EXPECT_EQ(vertices[i].v, c.uv[i][1]) << "vertex " << i;
        }
    }
}

TEST_F(PlantTest, TheColourIsWrittenWhenTheGeometryIsBuilt)
{
    plant.colour.colour.StoreValue(0x00336699); // COLORREF: red 0x99
    plant.colour.opacity.QuietSet(50);          // transparency percent: alpha 127
    auto object = MakeObject();
    EXPECT_EQ(LayerVertices(*object, 0)[0].colour, 0x7F996633u);
    // A later change shows only when the geometry is built again.
    auto& clone = static_cast<DS_Plant&>(*object->Generator());
    clone.colour.colour.StoreValue(0x000000FF);
    clone.Step(0.1f, *object);
    EXPECT_EQ(LayerVertices(*object, 0)[0].colour, 0x7F996633u);
    clone.BuildRect();
    EXPECT_EQ(LayerVertices(*object, 0)[0].colour, 0x7FFF0000u);
}

TEST_F(PlantTest, TheSwayColourCarriesTheLevelOnlyInClockMode1)
{
    light_test::ScriptedTimeline& timeline = light_test::Script(plant, 1);
    timeline.Set(kTimingRising, 0.25f);
    const struct {
        int clockMode;
        float alpha;
    } cases[] = {{0, 1.0f}, {1, 0.25f}, {2, 1.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clockMode);
        plant.timing.clockMode.StoreValue(c.clockMode);
        EXPECT_EQ(plant.SwayColour(), (math::Vec4{1, 1, 1, c.alpha}));
    }
}

TEST_F(PlantTest, TheSwayClockRunsAtItsSpeedAndNeverBackwards)
{
    plant.swaySpeed.QuietSet(100); // 2.0
    auto object = MakeObject();
    auto& clone = static_cast<DS_Plant&>(*object->Generator());
    for (const float t : {0.1f, 0.2f, 0.15f, 0.25f, 5.0f})
        clone.Step(t, *object);
    // 0.1 + 0.1 + 0 (back) + 0.1 + 0.2 (clamped) seconds at 2.0.
    EXPECT_NEAR(clone.swaySpeed.Total(), 1.0f, 1e-5f);
    EXPECT_FALSE(clone.NeedsBackground());
    clone.blendMode.StoreValue(DS_TexParticleGenerator::kBlendScreen);
    EXPECT_FALSE(clone.NeedsBackground()) << "the plant never reads the picture";
}

TEST_F(PlantTest, APlantWithoutItsEffectOrTextureDrawsNothing)
{
    const auto texture = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    auto object = MakeObject();
    auto& clone = static_cast<DS_Plant&>(*object->Generator());
    TextureSetEntry entry;
    entry.textures = {texture};
    for (const bool withEffect : {false, true})
        for (const bool withTexture : {false, true}) {
            SCOPED_TRACE(std::to_string(withEffect) + std::to_string(withTexture));
            clone.effect = withEffect ? manager->GetBuiltinEffect(DS_Plant::kBuiltinEffect) : gfx::Ref<gfx::Effect>();
            clone.loadedTextures.clear();
            if (withTexture)
                clone.loadedTextures = {&entry};
            RecordingRenderer renderer(*device);
            clone.Render(renderer, *object);
            if (withEffect && withTexture)
                EXPECT_EQ(renderer.Whats(), std::vector<std::string>{"layer Main"});
            else
                EXPECT_TRUE(renderer.events.empty());
        }
}

} // namespace

namespace picture_scene_test {
namespace {

constexpr std::uint32_t kLeftHalf = 0xE02020, kRightHalf = 0x2020E0;

class PlantSwayTest : public FlatPictureSceneTest {
protected:
    void SetUp() override
    {
        FlatPictureSceneTest::SetUp();
        // Left half red, right half blue.
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                pixels.push_back(0xFF000000u | (x < 4 ? kLeftHalf : kRightHalf));
        halves = quad_test::MakeTexture(*device, 8, 4, pixels);
        entry.textures = {halves};
    }

    // One frame of the plant over canvas [8, 24) x [0, 16), target
    // [16, 48) x [0, 64), its sway clock at `time` seconds.
    std::vector<std::uint32_t> RenderPlant(std::uint32_t wMagnitude, float time)
    {
        DS_Plant plant;
        plant.keepId = 1;
        plant.swaySpeed.QuietSet(50);
        plant.frequency.QuietSet(10);
        plant.wMagnitude.QuietSet(wMagnitude);
        const float l = 8, t = 0, r = 24, b = 16;
        for (std::size_t i = 0; i < 4; ++i) {
            const math::Vec3 corners[4] = {{l, t, 0}, {l, b, 0}, {r, t, 0}, {r, b, 0}};
            plant.rect.corners[i].StoreValue(corners[i]);
        }
        auto* object = new DS_ParticlesObj(plant.Clone());
        auto& clone = static_cast<DS_Plant&>(*object->Generator());
        clone.effect = manager->GetBuiltinEffect(DS_Plant::kBuiltinEffect);
        clone.loadedTextures = {&entry};
        clone.Step(0.0f, *object);
        clone.Step(time, *object);
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
        return RenderObjects(objects);
    }

    gfx::Ref<gfx::Texture> halves;
    TextureSetEntry entry;
};

TEST_F(PlantSwayTest, WithoutMagnitudesThePictureLiesOverItsRect)
{
    const auto pixels = RenderPlant(0, 0.1f);
    for (const std::uint32_t y : {2u, 32u, 61u}) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(ShowsRgb(At(pixels, 18, y), kLeftHalf, 3)) << Hex(At(pixels, 18, y));
        EXPECT_TRUE(ShowsRgb(At(pixels, 26, y), kLeftHalf, 3)) << Hex(At(pixels, 26, y));
        EXPECT_TRUE(ShowsRgb(At(pixels, 38, y), kRightHalf, 3)) << Hex(At(pixels, 38, y));
        EXPECT_TRUE(ShowsRgb(At(pixels, 46, y), kRightHalf, 3)) << Hex(At(pixels, 46, y));
        EXPECT_TRUE(ShowsRgb(At(pixels, 10, y), kPicture, 3)) << Hex(At(pixels, 10, y));
        EXPECT_TRUE(ShowsRgb(At(pixels, 54, y), kPicture, 3)) << Hex(At(pixels, 54, y));
    }
}

TEST_F(PlantSwayTest, TheSwayMovesTheTopRowsAndKeepsTheBottomRow)
{
    // A quarter period at 1 Hz: the top is shifted right by a quarter of
    // the quad's width (8 target pixels), the bottom row not at all.
    const auto pixels = RenderPlant(125, 0.25f);
    const std::uint32_t top = 1, bottom = 63;
    EXPECT_TRUE(ShowsRgb(At(pixels, 36, top), kLeftHalf, 3)) << Hex(At(pixels, 36, top));
    EXPECT_TRUE(ShowsRgb(At(pixels, 36, bottom), kRightHalf, 3)) << Hex(At(pixels, 36, bottom));
    // What moves out of the picture's left edge is transparent.
    EXPECT_TRUE(ShowsRgb(At(pixels, 18, top), kPicture, 3)) << Hex(At(pixels, 18, top));
    EXPECT_TRUE(ShowsRgb(At(pixels, 18, bottom), kLeftHalf, 3)) << Hex(At(pixels, 18, bottom));
    // Halfway up the shift is half as large: u 0.55 samples 0.42.
    EXPECT_TRUE(ShowsRgb(At(pixels, 33, 32), kLeftHalf, 3)) << Hex(At(pixels, 33, 32));
}

} // namespace
} // namespace picture_scene_test

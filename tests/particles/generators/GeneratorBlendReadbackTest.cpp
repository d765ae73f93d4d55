// The generator blend effect read back from a real frame of a picture scene:
// the masked and the joined mask in every blend mode over a flat picture,
// soft edges against the fixed-function draw, and a generator off the
// picture plane under an active camera.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "particles/generators/ParticlesObj.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/FlatPictureSceneTest.h"

namespace picture_scene_test {
namespace {

using generator_test::PlacedQuad;
using generator_test::TestTexGenerator;

// The layer's quad covers canvas [4, 12) x [2, 10): target [8, 24) x [8, 40).
constexpr PlacedQuad kQuad{4, 2, 12, 10, 0xFF3080C0u};
constexpr std::uint32_t kInsideX = 16, kInsideY = 24, kOutsideX = 48, kOutsideY = 24;

float Unit(std::uint32_t rgb, int shift)
{
    return float((rgb >> shift) & 0xFFu) / 255.0f;
}

// What a blend mode writes for picture p and opaque layer colour c.
std::uint32_t Expected(std::int32_t mode, std::uint32_t p, std::uint32_t c)
{
    std::uint32_t out = 0;
    for (const int shift : {0, 8, 16}) {
        const float pv = Unit(p, shift), cv = Unit(c, shift);
        float v = cv;
        if (mode == 1)
            v = 1.0f - (1.0f - pv) * (1.0f - cv);
        else if (mode == 2)
            v = cv >= 1.0f ? 1.0f : std::min(1.0f, pv / (1.0f - cv));
        else if (mode == 3)
            v = std::min(1.0f, pv + cv);
        out |= std::uint32_t(std::lround(v * 255.0f)) << shift;
    }
    return out;
}

class GeneratorBlendTest : public FlatPictureSceneTest {
protected:
    void SetUp() override
    {
        FlatPictureSceneTest::SetUp();
        // The player writes colour only into its frames; the mask passes
        // need their alpha all the same.
        device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0x7);
    }

    // Renders one frame of the picture with the generator and reads it back.
    std::vector<std::uint32_t> RenderGenerator(TestTexGenerator& generator, gfx::Texture* texture, bool withEffect)
    {
        auto* object = new DS_ParticlesObj(generator.Clone());
        auto& clone = static_cast<TestTexGenerator&>(*object->Generator());
        if (withEffect)
            clone.effect = manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect);
        entry.textures = {gfx::Ref<gfx::Texture>(texture)};
        clone.loadedTextures = {&entry, &entry};
        clone.drawTexture = texture;
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
        return RenderObjects(objects);
    }

    // An 8 x 8 white texture whose alpha falls off from its middle.
    gfx::Ref<gfx::Texture> SoftTexture()
    {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const float d = std::hypot(x - 3.5f, y - 3.5f) / 5.0f;
                const auto alpha = std::uint32_t(std::clamp(1.0f - d, 0.0f, 1.0f) * 255.0f);
                pixels.push_back((alpha << 24) | 0xFFFFFFu);
            }
        return quad_test::MakeTexture(*device, 8, 8, pixels);
    }

    TextureSetEntry entry;
};

TEST_F(GeneratorBlendTest, EveryModeBlendsCoveredPixelsAndKeepsTheRestOfThePicture)
{
    const auto opaque = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    for (const bool joined : {false, true}) {
        for (std::int32_t mode = 0; mode <= 3; ++mode) {
            SCOPED_TRACE(std::string(joined ? "joined" : "masked") + " mode " + std::to_string(mode));
            TestTexGenerator generator;
            generator.blendMode.StoreValue(mode);
            generator.layers = {{kQuad}, {kQuad}};
            generator.joinedLast = joined ? 0 : -1;
            const auto pixels = RenderGenerator(generator, opaque.Get(), true);
            const std::uint32_t outside = At(pixels, kOutsideX, kOutsideY, kTargetSize);
            EXPECT_EQ(outside & 0xFFFFFFu, kPicture) << Hex(outside);
            const std::uint32_t inside = At(pixels, kInsideX, kInsideY, kTargetSize);
            const std::uint32_t expected = Expected(mode, kPicture, kQuad.argb & 0xFFFFFFu);
            EXPECT_TRUE(ShowsRgb(inside, expected, 3)) << Hex(inside) << " expected " << Hex(expected);
        }
    }
}

TEST_F(GeneratorBlendTest, SoftEdgesMatchTheStraightDrawAndNeverDarkenTheirSurroundings)
{
    const auto soft = SoftTexture();
    for (const std::uint32_t colour : {0xFFFFFFFFu, 0xFF202020u, 0xFFFF4000u}) {
        SCOPED_TRACE(Hex(colour));
        TestTexGenerator generator;
        generator.layers = {{PlacedQuad{2, 1, 14, 13, colour}}};
        const auto blended = RenderGenerator(generator, soft.Get(), true);
        const auto straight = RenderGenerator(generator, soft.Get(), false);
        for (std::size_t i = 0; i < blended.size(); ++i) {
            for (const int shift : {0, 8, 16}) {
                const int b = quad_test::Channel(blended[i], shift);
                ASSERT_LE(std::abs(b - quad_test::Channel(straight[i], shift)), 4)
                    << "pixel " << i << ": " << Hex(blended[i]) << " against " << Hex(straight[i]);
                const int floor = std::min(int((kPicture >> shift) & 0xFF), int((colour >> shift) & 0xFF));
                ASSERT_GE(b, floor - 1) << "pixel " << i << " darker than both: " << Hex(blended[i]);
            }
        }
    }
}

// Two half-transparent quads overlapping in the middle, in one layer: the
// mask must lay them source-over, as the straight draw lays them on the
// picture, in the black-cleared masked mask and the white-cleared joined one.
TEST_F(GeneratorBlendTest, OverlappingSoftQuadsCompositeAsTheirStraightSourceOverDraw)
{
    const auto opaque = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    const auto soft = SoftTexture();
    for (const bool joined : {false, true})
        for (gfx::Texture* texture : {opaque.Get(), soft.Get()})
            for (const std::uint32_t colour : {0x80808080u, 0x80000000u, 0xC0FF4000u}) {
                SCOPED_TRACE(std::string(joined ? "joined " : "masked ") + (texture == soft.Get() ? "soft " : "flat ") +
                             Hex(colour));
                TestTexGenerator generator;
                generator.layers = {{PlacedQuad{2, 1, 10, 9, colour}, PlacedQuad{6, 4, 14, 12, colour}}};
                generator.joinedLast = joined ? 0 : -1;
                const auto blended = RenderGenerator(generator, texture, true);
                const auto straight = RenderGenerator(generator, texture, false);
                for (std::size_t i = 0; i < blended.size(); ++i)
                    ASSERT_TRUE(ShowsRgb(blended[i], straight[i] & 0xFFFFFFu, 4))
                        << "pixel " << i << ": " << Hex(blended[i]) << " against " << Hex(straight[i]);
            }
}

// The mask's weight where the two quads (colour 0.5, alpha 0.5) overlap is
// their source-over colour 0.25 + 0.25 x 0.5 = 0.375, added to the picture.
TEST_F(GeneratorBlendTest, OverlappingHalfTransparentQuadsAddTheirSourceOverWeight)
{
    const auto opaque = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    for (const bool joined : {false, true}) {
        SCOPED_TRACE(joined ? "joined" : "masked");
        TestTexGenerator generator;
        generator.blendMode.StoreValue(3);
        generator.layers = {{PlacedQuad{2, 1, 10, 9, 0x80808080u}, PlacedQuad{6, 4, 14, 12, 0x80808080u}}};
        generator.joinedLast = joined ? 0 : -1;
        const auto pixels = RenderGenerator(generator, opaque.Get(), true);
        // Canvas (8, 6) lies under both quads: target (16, 24).
        const std::uint32_t overlap = At(pixels, 16, 24, kTargetSize);
        const auto level = std::uint32_t(std::lround(0x60 + 0.375f * 255.0f));
        const std::uint32_t expected = level * 0x010101u;
        EXPECT_TRUE(ShowsRgb(overlap, expected, 3)) << Hex(overlap) << " expected " << Hex(expected);
    }
}

TEST_F(GeneratorBlendTest, AnObjectOffThePicturePlaneLandsWhereItsStraightDrawLands)
{
    renderContext->SetCameraView(kPictureWidth, kPictureHeight, math::Vec3{12, 8, 0}, 1.0f, true);
    const auto opaque = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    TestTexGenerator generator;
    generator.depth.StoreValue(50);
    generator.layers = {{kQuad}};
    const auto blended = RenderGenerator(generator, opaque.Get(), true);
    const auto straight = RenderGenerator(generator, opaque.Get(), false);
    int covered = 0;
    for (std::size_t i = 0; i < blended.size(); ++i) {
        ASSERT_TRUE(ShowsRgb(blended[i], straight[i] & 0xFFFFFFu, 4))
            << "pixel " << i << ": " << Hex(blended[i]) << " against " << Hex(straight[i]);
        covered += ShowsRgb(straight[i], kQuad.argb & 0xFFFFFFu, 4) ? 1 : 0;
    }
    EXPECT_GT(covered, 0);
}

} // namespace
} // namespace picture_scene_test

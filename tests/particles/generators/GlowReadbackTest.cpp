// The glow composite and the smoke's draw read back from real frames of a
// picture scene: with empty masks "Main" gives the striped picture exactly,
// an opaque core shows its colour and its glow only brightens, a composite
// that cannot run gives the picture back, and smoke looks the same through
// the stage-0 textured-quad effect as through the fixed-function path.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/Smoke.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {
namespace {

class GlowReadbackTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        light = MakeStripesLight(PicturePosition::kStretch);
        entry.textures = {white};
        // The player's frames write colour only.
        device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0x7);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame({}, false);
        picture = BackBufferPixels();
    }
    void TearDown() override
    {
        light.reset();
        PictureSceneTest::TearDown();
    }

    // One frame with `object` and the pixels read back.
    std::vector<std::uint32_t> Frame(DS_ParticlesObj* object)
    {
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // A firework render object with one rocket in the middle of the canvas
    // and the given effect and textures.
    DS_ParticlesObj* Firework(std::string_view effect, bool texture, std::int32_t colour)
    {
        DS_FireworkSimple description;
        description.quadSize.StoreValue(6);
        description.colour.colour.StoreValue(COLORREF(colour));
        description.colour2.colour.StoreValue(0x404040);
        description.glowFactor.QuietSet(50); // glows 3 x
        auto* object = new DS_ParticlesObj(description.Clone());
        auto& clone = static_cast<DS_FireworkSimple&>(*object->Generator());
        if (!effect.empty())
            clone.effect = manager->GetBuiltinEffect(effect);
        clone.loadedTextures = texture ? std::vector<TextureSetEntry*>{&entry} : std::vector<TextureSetEntry*>{};
        clone.emitters.emplace_back().Init(16.0f, 8.0f, 0.0f);
        clone.FillLayers(*object);
        return object;
    }

    std::unique_ptr<DS_2D_Light> light;
    TextureSetEntry entry;
    std::vector<std::uint32_t> picture;
};

TEST_F(GlowReadbackTest, EmptyMasksGiveThePictureExactly)
{
    DS_FallingStars stars;
    auto* object = new DS_ParticlesObj(stars.Clone());
    auto& clone = static_cast<DS_FallingStars&>(*object->Generator());
    clone.effect = manager->GetBuiltinEffect(DS_FallingStars::kBuiltinEffect);
    ASSERT_NE(clone.effect, nullptr);
    clone.loadedTextures = {&entry, &entry, &entry, &entry};
    EXPECT_EQ(Frame(object), picture);
}

TEST_F(GlowReadbackTest, AnOpaqueCoreShowsItsColourAndItsGlowOnlyBrightens)
{
    // COLORREF 0x00BBGGRR: red 0x30, green 0x80, blue 0xC0.
    const auto pixels = Frame(Firework(DS_Firework::kBuiltinEffect, true, 0xC08030));
    // The core covers canvas (13..19, 5..11): target x 26..38, y 20..44.
    const std::uint32_t core = At(pixels, 32, 32);
    EXPECT_TRUE(ShowsRgb(core, 0x3080C0u, 2)) << Hex(core);
    // The glow reaches 9 canvas pixels from the middle: brighter, never darker.
    bool brighter = false;
    for (std::uint32_t y = 0; y < kTargetSize; ++y)
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            if (x >= 26 && x < 38 && y >= 20 && y < 44)
                continue;
            for (const int shift : {0, 8, 16}) {
                const int lit = quad_test::Channel(At(pixels, x, y), shift);
                const int base = quad_test::Channel(At(picture, x, y), shift);
                ASSERT_GE(lit, base - 1) << x << ", " << y;
                brighter = brighter || lit > base + 30;
            }
        }
    EXPECT_TRUE(brighter);
}

TEST_F(GlowReadbackTest, ACompositeThatCannotRunGivesThePictureBack)
{
    struct Case {
        const char* name;
        std::string_view effect;
        bool texture;
    };
    const Case cases[] = {
        {"no effect", "", true},
        {"no texture 0", DS_Firework::kBuiltinEffect, false},
        {"an effect without the glow techniques", DS_TexParticleGenerator::kBuiltinEffect, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Frame(Firework(c.effect, c.texture, 0xFFFFFF)), picture);
    }
}

TEST_F(GlowReadbackTest, SmokeLooksTheSameThroughTheStageZeroEffectAndWithout)
{
    const auto soft = [&] {
        std::vector<std::uint32_t> texels;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const auto alpha = std::uint32_t(std::max(0.0f, 1.0f - std::hypot(x - 3.5f, y - 3.5f) / 4.5f) * 255);
                texels.push_back((alpha << 24) | 0xE0C0A0u);
            }
        return quad_test::MakeTexture(*device, 8, 8, texels);
    }();
    TextureSetEntry puffTexture;
    puffTexture.textures = {soft};
    std::vector<std::vector<std::uint32_t>> frames;
    for (const bool withEffect : {true, false}) {
        DS_Smoke description;
        description.launchSize.StoreValue(10);
        auto* object = new DS_ParticlesObj(description.Clone());
        auto& clone = static_cast<DS_Smoke&>(*object->Generator());
        if (withEffect)
            clone.effect = manager->GetBuiltinEffect(DS_Smoke::kBuiltinEffect);
        clone.loadedTextures = {&puffTexture};
        clone.launches.clear();
        for (const float x : {12.0f, 18.0f}) {
            LaunchRecord puff;
            puff.position = {x, 8.0f, 0.0f};
            puff.edge1 = {1.0f, 0.0f, 0.0f};
            puff.edge2 = {0.0f, 1.0f, 0.0f};
            puff.sizeFactor = 1.0f;
            puff.opacity = 0.7f;
            clone.launches.push_back(puff);
        }
        clone.FillLayer(*object);
        frames.push_back(Frame(object));
    }
    EXPECT_NE(frames[1], picture) << "the puffs were drawn";
    for (std::size_t i = 0; i < frames[0].size(); ++i)
        ASSERT_TRUE(ShowsRgb(frames[0][i], frames[1][i] & 0xFFFFFFu, 3))
            << "pixel " << i << ": " << Hex(frames[0][i]) << " against " << Hex(frames[1][i]);
}

} // namespace
} // namespace picture_scene_test

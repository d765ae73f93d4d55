// Party balloons: what the tree effect's "PartyBalloon" technique draws
// (headless read-back against "BlendNormal" and against the light-map rule).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "render/BuiltinEffects.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace {

using namespace picture_scene_test;

// ARGB of one texel.
constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

class PartyBalloonEffectTest : public PictureSceneTest {
protected:
    gfx::Ref<gfx::Effect> LoadTreeEffect()
    {
        const std::span<const std::uint8_t> bytes = FindBuiltinEffectSource("particle-tree");
        EXPECT_FALSE(bytes.empty());
        gfx::Effect* raw = nullptr;
        std::string errors;
        EXPECT_EQ(gfx::Effect::Create(*device, bytes, &raw, &errors, BuiltinEffectIncludes()), gfx::kOk) << errors;
        return gfx::Ref<gfx::Effect>::Adopt(raw);
    }

    gfx::Ref<gfx::Texture> Solid(std::uint32_t argb) { return quad_test::MakeTexture(*device, 2, 2, {argb, argb, argb, argb}); }

    struct Draw {
        std::string technique;
        std::uint32_t picture = 0;
        std::uint32_t highlight = 0;
        std::uint32_t shade = 0;
        float opacities[3] = {1.0f, 0.0f, 0.0f};
        std::uint32_t vertexColour = 0xFFFFFFFFu;
    };

    // The stripes picture stretched over the target, then one quad over the
    // canvas's grey bottom half drawn with `draw`; the pixel in its middle.
    std::uint32_t DrawOverGrey(const Draw& draw)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        gfx::Ref<gfx::Effect> effect = LoadTreeEffect();
        if (!effect)
            return 0xDEADBEEFu;
        std::shared_ptr<QuadBatchBuffer> batch = MakeRectBatch(*device, 0.0f, 8.0f, 32.0f, 16.0f, draw.vertexColour);
        auto picture = Solid(draw.picture);
        auto highlight = Solid(draw.highlight);
        auto shade = Solid(draw.shade);
        gfx::Effect* fx = effect.Get();
        auto paint = [&, batch, fx](DS_ABRender& renderer) {
            fx->SetTechnique(draw.technique);
            fx->SetTexture("Texture0", picture.Get());
            fx->SetTexture("Texture1", highlight.Get());
            fx->SetTexture("Texture2", shade.Get());
            fx->SetFloatArray("LightMapsOpacity", draw.opacities, 3);
            renderer.DrawIndexedOptionalEffect(*batch, fx, 0, 1);
        };
        ProbeLog log;
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(new ProbeObject("balloon", log, 100, paint))};
        light->RenderFrame(objects, false);
        fx->SetTexture("Texture0", nullptr);
        fx->SetTexture("Texture1", nullptr);
        fx->SetTexture("Texture2", nullptr);
        return At(BackBufferPixels(), 32, 48);
    }
};

TEST_F(PartyBalloonEffectTest, WithoutLightMapsABalloonDrawsAsBlendNormal)
{
    // A half-transparent picture tinted by the vertex colour, with light maps
    // bound that must not show.
    Draw balloon{"PartyBalloon", Argb(0x80, 200, 100, 40), Argb(0xFF, 255, 255, 255), Argb(0xFF, 0, 0, 0)};
    balloon.vertexColour = Argb(0xC0, 255, 128, 255);
    Draw normal = balloon;
    normal.technique = "BlendNormal";

    const std::uint32_t drawn = DrawOverGrey(balloon);
    const std::uint32_t expected = DrawOverGrey(normal);
    EXPECT_TRUE(ShowsRgb(drawn, expected, 1)) << Hex(drawn) << " vs " << Hex(expected);
    EXPECT_FALSE(ShowsRgb(drawn, kGrey, 8)) << "the picture did not show";
}

TEST_F(PartyBalloonEffectTest, TheFirstLightMapAddsAndTheSecondShades)
{
    // An opaque picture (0.4, 0.2, 0.6), a highlight (0.2, 0.6, 0.0) and a
    // half shade (0.5, 1.0, 0.25): rgb = clamp((P + H x o1) x mix(1, S, o2))
    // x vertex colour.
    const std::uint32_t picture = Argb(0xFF, 102, 51, 153);
    const std::uint32_t highlight = Argb(0xFF, 51, 153, 0);
    const std::uint32_t shade = Argb(0xFF, 128, 255, 64);
    struct Case {
        float o1, o2;
        std::uint32_t vertexColour;
        double expected[3];
        const char* what;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0xFFFFFFFFu, {0.6, 0.8, 0.6}, "highlight added"},
        {0.5f, 0.0f, 0xFFFFFFFFu, {0.5, 0.5, 0.6}, "half the highlight"},
        {0.0f, 1.0f, 0xFFFFFFFFu, {0.2, 0.2, 0.15}, "shaded"},
        {1.0f, 0.5f, 0xFFFFFFFFu, {0.45, 0.8, 0.375}, "both, shade at half"},
        // The sum is clamped to 1 before the vertex colour halves it.
        {4.0f, 0.0f, 0xFF808080u, {0.5, 0.5, 0.3}, "clamped, then tinted"},
    };
    for (const Case& c : cases) {
        Draw balloon{"PartyBalloon", picture, highlight, shade, {1.0f, c.o1, c.o2}, c.vertexColour};
        const std::uint32_t drawn = DrawOverGrey(balloon);
        std::uint32_t expected = 0;
        for (int i = 0; i < 3; ++i)
            expected |= std::uint32_t(std::lround(std::min(c.expected[i], 1.0) * 255.0)) << (16 - 8 * i);
        EXPECT_TRUE(ShowsRgb(drawn, expected, 3)) << c.what << ": " << Hex(drawn) << " vs " << Hex(expected);
    }
    // The picture's alpha alone decides the cover: a clear picture leaves the
    // grey, however bright the light maps.
    Draw clear{"PartyBalloon", Argb(0, 0, 0, 0), Argb(0xFF, 255, 255, 255), shade, {1.0f, 1.0f, 1.0f}};
    const std::uint32_t through = DrawOverGrey(clear);
    EXPECT_TRUE(ShowsRgb(through, kGrey, 1)) << Hex(through);
}

} // namespace

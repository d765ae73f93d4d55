// The shared resource module as the build packs it from resources/common_res/:
// every picture and effect the scene code asks of it is there and loads, and
// the effects answer the techniques and parameters their callers set.

#include "render/SharedResource.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string_view>

#include "render/DocResManager.h"
#include "tests/render/DocResManagerTestSupport.h"

namespace docres_test {
namespace {

struct EffectNames {
    std::vector<std::string_view> techniques;
    std::vector<std::string_view> parameters;
};

// What the glow surface and the particle trees set on the two effects.
const std::map<std::int32_t, EffectNames> kEffectNames{
    {kCommonResBlurEffect, {{"GaussianBlurVFirst", "GaussianBlurV", "GaussianBlurH"}, {"TexW", "TexH", "Texture"}}},
    {kCommonResTreeEffect,
     {{"BlendNormal", "BlendSum", "DrawGlowNormal", "DrawGlowScreen", "PartyBalloon", "BlendMultiplay"},
      {"Texture0", "Texture1", "Texture2", "Background", "GlowColor", "GlowBrightness", "LightMapsOpacity"}}},
    {kCommonResGeneratorEffect,
     {{"BlendMask", "JoinMask", "CommonTex", "Blend_ScreenTex", "Blend_ColorDodgeTex", "Blend_SumTex", "Blend_Max",
       "Blend_Normal", "Blend_Screen", "Common"},
      {"Texture1", "Texture2", "BlendColor"}}},
    // The image effects: both techniques and the common inputs, and their own.
    {kCommonResBackgroundCopyEffect, {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "offset"}}},
    {kCommonResLightEffect, {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "multiplier"}}},
    {kCommonResWavesEffect,
     {{"Main", "MainFX"},
      {"Scale", "Mask", "Background", "direction", "direction_n", "frequency", "amplitude", "time"}}},
    {kCommonResPatternBrushEffect,
     {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "mix_color", "Pattern", "scale", "offset", "coord_transf"}}},
    {kCommonResUnderwaterEffect, {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "frequency", "amplitude", "time"}}},
    {kCommonResWaterEffect,
     {{"Main", "MainFX"},
      {"Scale", "Mask", "Background", "BumpMap", "BampTrans", "P1", "P2", "Vhalf", "Color", "Time", "Shadows",
       "Direction1", "Direction2"}}},
    {kCommonResMoveEffect, {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "Direction"}}},
    {kCommonResLightBlendEffect,
     {{"Blend_Normal", "Blend_Screen", "Blend_ColorDodge", "Linear_Dodge", "Blend_Sum"},
      {"Mask", "Background", "BlendColor"}}},
    {kCommonResTextItemEffect, {{"Main", "Shadow"}, {"Texture", "Shift", "Color"}}},
    {kCommonResFireEffect,
     {{"Main", "MainFX", "AsEffect"},
      {"WorldViewProj", "ViewProj", "Noise", "Pattern", "Mask", "Background", "c11", "c12", "c13", "bg_scale_factor",
       "ColorK1", "ColorK2", "Brightness", "Density"}}},
    {kCommonResHeatHazeEffect,
     {{"Main", "MainFX", "BumpmapDistortLow2"},
      {"Scale", "Mask", "Background", "stenght", "Offset", "bump_scale", "Bumpmap"}}},
    {kCommonResExpandEffect, {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "Center", "amplitude"}}},
    {kCommonResRadialWaveEffect,
     {{"Main", "MainFX"}, {"Scale", "Mask", "Background", "bg_scale_factor", "center", "frequency", "amplitude", "time"}}},
    {kCommonResStaticAnimationEffect, {{"Blend_Normal"}, {"Texture", "Color"}}},
};

class SharedResourceTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        current = std::make_unique<CurrentDocResManagerScope>(&manager);
    }
    void TearDown() override
    {
        current.reset();
        DeviceTest::TearDown();
    }

    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
};

TEST_F(SharedResourceTest, EveryResourceTheSceneAsksForIsThereAndLoads)
{
    const ResourceModuleHandle module = LoadModuleCached(kCommonResModule);
    ASSERT_NE(module, nullptr);
    for (const SharedResourceEntry& entry : SharedResourceTable()) {
        SCOPED_TRACE(std::string(entry.role));
        ASSERT_TRUE(module->Find(SharedResourceType(entry.kind), static_cast<std::uint16_t>(entry.id)));
        if (entry.kind == SharedResourceKind::Picture || entry.kind == SharedResourceKind::TextureSet) {
            const DS_ImageFileLink link = CommonResImageLink(entry.id);
            const TextureSetEntry& picture = entry.kind == SharedResourceKind::Picture ? manager.GetTexture(link)
                                                                                       : manager.GetTextureSet(link);
            ASSERT_TRUE(picture.HasTexture());
            EXPECT_GT(picture.width, 0u);
            EXPECT_GT(picture.ratio, 0.0f);
            continue;
        }
        if (entry.kind == SharedResourceKind::Mesh) {
            const LoadedMesh& mesh = manager.GetMesh(CommonResLink(entry.id), kLoadedMeshSourceStride);
            EXPECT_TRUE(mesh.HasVertices());
            EXPECT_GT(mesh.faceCount, 0);
            EXPECT_GT(mesh.radius, 0.0f);
            continue;
        }
        const gfx::Ref<gfx::Effect> effect = manager.GetEffect(CommonResLink(entry.id));
        ASSERT_NE(effect, nullptr);
        const EffectNames& names = kEffectNames.at(entry.id);
        for (std::string_view technique : names.techniques)
            EXPECT_EQ(effect->SetTechnique(technique), gfx::kOk) << technique;
        for (std::string_view parameter : names.parameters)
            EXPECT_TRUE(effect->HasParameter(parameter)) << parameter;
    }
}

TEST_F(SharedResourceTest, OurMeshesHaveTheirVerticesAndSpheres)
{
    struct Case {
        std::int32_t id;
        std::int32_t vertices;
        std::int32_t faces;
        math::Vec3 centre;
        float radius;
    };
    // Centre: the mean of the vertices; radius: the farthest vertex from it.
    const Case cases[] = {
        {kCommonResButterflyBodyMesh, 10, 16, {0.0f, 0.0f, 0.0f}, 60.0f},
        {kCommonResButterflyWingMesh, 7, 6, {356.0f / 7.0f, 0.0f, 6.0f / 7.0f}, 59.4862f},
        {kCommonResClockFaceMesh, 4, 2, {0.0f, 0.0f, 0.0f}, 70.7107f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const LoadedMesh& mesh = manager.GetMesh(CommonResLink(c.id), kLoadedMeshSourceStride);
        EXPECT_EQ(mesh.vertexCount, c.vertices);
        EXPECT_EQ(mesh.faceCount, c.faces);
        EXPECT_NEAR(mesh.center.x, c.centre.x, 1e-3f);
        EXPECT_NEAR(mesh.center.y, c.centre.y, 1e-3f);
        EXPECT_NEAR(mesh.center.z, c.centre.z, 1e-3f);
        EXPECT_NEAR(mesh.radius, c.radius, 1e-3f);
    }
}

TEST_F(SharedResourceTest, TheTreeEffectDrawsLeafQuadsInTheirColours)
{
    const gfx::Ref<gfx::Effect> effect = manager.GetEffect(CommonResLink(kCommonResTreeEffect));
    ASSERT_NE(effect, nullptr);
    const TextureRef white = LoadTextureFromMemory(SolidBmp(4, 4, 0xFFFFFF));
    ASSERT_TRUE(white.HasTexture());

    struct Vertex {
        float x, y, z, rhw;
        std::uint32_t colour;
        float u, v;
    };
    // A pre-transformed quad over the left half of the 64 x 64 target,
    // half-transparent red.
    const std::array<Vertex, 4> quad{{{0, 64, 0, 1, 0x80FF0000, 0, 1},
                                      {0, 0, 0, 1, 0x80FF0000, 0, 0},
                                      {32, 64, 0, 1, 0x80FF0000, 1, 1},
                                      {32, 0, 0, 1, 0x80FF0000, 1, 0}}};
    gfx::VertexBuffer* raw = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof(quad), gfx::Usage::WriteOnly, 0x144, gfx::Pool::Managed, &raw), gfx::kOk);
    const auto buffer = gfx::Ref<gfx::VertexBuffer>::Adopt(raw);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), gfx::kOk);
    std::memcpy(data, quad.data(), sizeof(quad));
    buffer->Unlock();

    struct Case {
        const char* technique;
        std::uint32_t expected; // over opaque blue
    };
    const Case cases[] = {{"BlendNormal", 0xFF80007F}, {"BlendSum", 0xFF8000FF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.technique);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF0000FF, 1.0f, 0);
        effect->SetTexture("Texture0", white.texture.Get());
        ASSERT_EQ(effect->SetTechnique(c.technique), gfx::kOk);
        std::uint32_t passes = 0;
        ASSERT_EQ(effect->Begin(&passes, 0), gfx::kOk);
        for (std::uint32_t pass = 0; pass < passes; ++pass) {
            effect->BeginPass(pass);
            device->SetFVF(0x144);
            device->SetStreamSource(0, buffer.Get(), 0, sizeof(Vertex));
            device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
            effect->EndPass();
        }
        effect->End();
        std::vector<std::uint32_t> pixels;
        gfx::Surface* target = nullptr;
        ASSERT_EQ(device->GetRenderTarget(0, &target), gfx::kOk);
        device->ReadPixels(target, &pixels);
        target->Release();
        EXPECT_LE(ChannelDistance(pixels[32 * 64 + 10], c.expected), 2);
        EXPECT_EQ(pixels[32 * 64 + 50], 0xFF0000FFu); // outside the quad
    }
}

} // namespace
} // namespace docres_test

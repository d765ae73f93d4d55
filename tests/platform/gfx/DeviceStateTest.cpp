// The state model without GL: documented defaults, refused values, vertex
// formats, block decoding and the fixed-function key.

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/gfx/BlockCompression.h"
#include "platform/gfx/DeviceState.h"
#include "platform/gfx/FixedFunction.h"
#include "platform/gfx/Result.h"
#include "platform/gfx/VertexFormat.h"

namespace gfx {
namespace {

TEST(DeviceStateTest, StartsAtTheDocumentedDefaults)
{
    const DeviceState state(true);
    struct Default {
        RenderState state;
        std::uint32_t value;
    };
    const Default renderDefaults[] = {
        {RenderState::ZEnable, kTrue},
        {RenderState::ZWriteEnable, kTrue},
        {RenderState::ZFunc, std::uint32_t(Cmp::LessEqual)},
        {RenderState::AlphaBlendEnable, kFalse},
        {RenderState::SrcBlend, std::uint32_t(Blend::One)},
        {RenderState::DestBlend, std::uint32_t(Blend::Zero)},
        {RenderState::BlendOp, std::uint32_t(BlendOp::Add)},
        {RenderState::CullMode, std::uint32_t(Cull::CounterClockwise)},
        {RenderState::Lighting, kTrue},
        {RenderState::AlphaTestEnable, kFalse},
        {RenderState::AlphaFunc, std::uint32_t(Cmp::Always)},
        {RenderState::ColorWriteEnable, 0xF},
        {RenderState::ClipPlaneEnable, 0},
        {RenderState::TextureFactor, 0xFFFFFFFF},
        {RenderState::ColorVertex, kTrue},
        {RenderState::DiffuseMaterialSource, std::uint32_t(MaterialColorSource::Color1)},
    };
    for (const Default& d : renderDefaults)
        EXPECT_EQ(state.GetRenderState(d.state), d.value) << int(d.state);
    EXPECT_EQ(DeviceState(false).GetRenderState(RenderState::ZEnable), kFalse) << "no depth buffer";

    using S = TextureStageState;
    EXPECT_EQ(state.GetTextureStageState(0, S::ColorOp), std::uint32_t(TextureOp::Modulate));
    EXPECT_EQ(state.GetTextureStageState(1, S::ColorOp), std::uint32_t(TextureOp::Disable));
    EXPECT_EQ(state.GetTextureStageState(0, S::AlphaOp), std::uint32_t(TextureOp::SelectArg1));
    EXPECT_EQ(state.GetTextureStageState(1, S::AlphaOp), std::uint32_t(TextureOp::Disable));
    for (std::uint32_t stage : {0u, 1u}) {
        EXPECT_EQ(state.GetTextureStageState(stage, S::ColorArg1), TextureArg::Texture);
        EXPECT_EQ(state.GetTextureStageState(stage, S::ColorArg2), TextureArg::Current);
        EXPECT_EQ(state.GetTextureStageState(stage, S::TexCoordIndex), stage);
        EXPECT_EQ(state.GetTextureStageState(stage, S::TextureTransformFlags), TextureTransform::Disable);
        EXPECT_EQ(state.BumpEnvMatrix(stage, 0), 0.0f);
    }
    EXPECT_EQ(state.GetSamplerState(5, SamplerState::AddressU), std::uint32_t(TextureAddress::Wrap));
    EXPECT_EQ(state.GetSamplerState(5, SamplerState::MagFilter), std::uint32_t(TextureFilter::Point));
    EXPECT_EQ(state.GetSamplerState(5, SamplerState::MipFilter), std::uint32_t(TextureFilter::None));
    math::Matrix world;
    EXPECT_EQ(state.GetTransform(TransformState::World, &world), kOk);
    EXPECT_EQ(world, math::Matrix{});
}

TEST(DeviceStateTest, RefusesUnknownStatesAndValuesAndKeepsTheOldOne)
{
    DeviceState state(true);
    Light pointLight;
    pointLight.type = LightType::Point;
    struct Refused {
        const char* name;
        HRESULT result;
    };
    const Refused refused[] = {
        {"unknown render state", state.SetRenderState(RenderState(3), 1)},
        {"blend 0", state.SetRenderState(RenderState::SrcBlend, 0)},
        {"blend op 6", state.SetRenderState(RenderState::BlendOp, 6)},
        {"cull 4", state.SetRenderState(RenderState::CullMode, 4)},
        {"seventh clip plane", state.SetRenderState(RenderState::ClipPlaneEnable, 1u << 6)},
        {"stage 2", state.SetTextureStageState(2, TextureStageState::ColorOp, 1)},
        {"undrawable operation", state.SetTextureStageState(0, TextureStageState::ColorOp, 7)},
        {"bump map as alpha operation", state.SetTextureStageState(0, TextureStageState::AlphaOp, 22)},
        {"temporary register argument", state.SetTextureStageState(0, TextureStageState::ColorArg1, 5)},
        {"sphere map coordinates", state.SetTextureStageState(0, TextureStageState::TexCoordIndex, 0x40000)},
        {"sampler 16", state.SetSamplerState(16, SamplerState::AddressU, 1)},
        {"mirror once", state.SetSamplerState(0, SamplerState::AddressU, 5)},
        {"point light", state.SetLight(0, pointLight)},
        {"light 8", state.LightEnable(8, true)},
        {"clip plane 6", state.SetClipPlane(6, std::array<float, 4>{}.data())},
        {"unknown transform", state.SetTransform(TransformState(18), math::Matrix{})},
    };
    for (const Refused& r : refused)
        EXPECT_EQ(r.result, kInvalidCall) << r.name;
    EXPECT_EQ(state.GetRenderState(RenderState::SrcBlend), std::uint32_t(Blend::One));
    EXPECT_EQ(state.GetTextureStageState(0, TextureStageState::ColorOp), std::uint32_t(TextureOp::Modulate));
    EXPECT_EQ(state.GetSamplerState(0, SamplerState::AddressU), std::uint32_t(TextureAddress::Wrap));
}

TEST(DeviceStateTest, EnablingAnUnsetLightGivesTheDefaultLight)
{
    DeviceState state(true);
    Light light;
    EXPECT_EQ(state.GetLight(2, &light), kInvalidCall);
    ASSERT_EQ(state.LightEnable(2, true), kOk);
    ASSERT_EQ(state.GetLight(2, &light), kOk);
    EXPECT_EQ(light.diffuse, (ColorValue{1, 1, 1, 0}));
    EXPECT_EQ(light.direction.z, 1.0f);
}

TEST(VertexFormatTest, DecodesTheFormatsTheSceneDraws)
{
    struct Case {
        std::uint32_t fvf;
        std::uint32_t stride;
        bool preTransformed;
        std::int32_t normal, diffuse, tex0, tex1;
    };
    const Case cases[] = {
        {0x42, 16, false, -1, 12, -1, -1},  {0x44, 20, true, -1, 16, -1, -1},   {0x102, 20, false, -1, -1, 12, -1},
        {0x142, 24, false, -1, 12, 16, -1}, {0x144, 28, true, -1, 16, 20, -1},  {0x112, 32, false, 12, -1, 24, -1},
        {0x202, 28, false, -1, -1, 12, 20}, {0x152, 36, false, 12, 24, 28, -1},
    };
    for (const Case& c : cases) {
        const std::optional<VertexLayout> layout = DecodeFvf(c.fvf);
        ASSERT_TRUE(layout) << c.fvf;
        EXPECT_EQ(layout->stride, c.stride) << c.fvf;
        EXPECT_EQ(layout->preTransformed, c.preTransformed) << c.fvf;
        EXPECT_EQ(layout->offset[std::uint32_t(VertexAttribute::Normal)], c.normal) << c.fvf;
        EXPECT_EQ(layout->offset[std::uint32_t(VertexAttribute::Diffuse)], c.diffuse) << c.fvf;
        EXPECT_EQ(layout->offset[std::uint32_t(VertexAttribute::TexCoord0)], c.tex0) << c.fvf;
        EXPECT_EQ(layout->offset[std::uint32_t(VertexAttribute::TexCoord1)], c.tex1) << c.fvf;
    }
    for (std::uint32_t refused : {0x0u, 0x6u, 0x102u | (1u << 16), 0x302u, 0x22u, 0x1042u})
        EXPECT_FALSE(DecodeFvf(refused)) << refused;
}

// One 4x4 block each, against values worked out by hand.
TEST(BlockCompressionTest, DecodesDxt1Dxt3AndDxt5)
{
    std::uint8_t pixels[4 * 4 * 4];
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = pixels + (y * 4 + x) * 4;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    };
    // Four-colour block: red, blue, 2/3 red + 1/3 blue, 1/3 red + 2/3 blue;
    // row 0 indices 0, 1, 2, 3.
    const std::uint8_t opaque[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0};
    ASSERT_TRUE(DecodeBlockCompressed(Format::DXT1, opaque, 4, 4, pixels));
    EXPECT_EQ(pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(pixel(2, 0), 0xFFAA0055u);
    EXPECT_EQ(pixel(3, 0), 0xFF5500AAu);
    EXPECT_EQ(pixel(0, 1), 0xFFFF0000u);
    // Three colours and transparent black when colour 0 is not above colour 1.
    const std::uint8_t punchThrough[8] = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0};
    ASSERT_TRUE(DecodeBlockCompressed(Format::DXT1, punchThrough, 4, 4, pixels));
    EXPECT_EQ(pixel(2, 0), 0xFF7F007Fu);
    EXPECT_EQ(pixel(3, 0), 0x00000000u);

    std::uint8_t dxt3[16] = {0x10, 0x32, 0, 0, 0, 0, 0, 0xF0};
    std::memcpy(dxt3 + 8, opaque, 8);
    ASSERT_TRUE(DecodeBlockCompressed(Format::DXT3, dxt3, 4, 4, pixels));
    EXPECT_EQ(pixel(0, 0) >> 24, 0x00u);
    EXPECT_EQ(pixel(1, 0) >> 24, 0x11u);
    EXPECT_EQ(pixel(2, 0) >> 24, 0x22u);
    EXPECT_EQ(pixel(3, 3) >> 24, 0xFFu);

    // Alpha 255 and 0 with six steps between; texel 0 index 0, texel 1 index 2.
    std::uint8_t dxt5[16] = {255, 0, 0x10, 0, 0, 0, 0, 0};
    std::memcpy(dxt5 + 8, opaque, 8);
    ASSERT_TRUE(DecodeBlockCompressed(Format::DXT5, dxt5, 4, 4, pixels));
    EXPECT_EQ(pixel(0, 0) >> 24, 255u);
    EXPECT_EQ(pixel(1, 0) >> 24, 218u); // (6 x 255 + 1 x 0) / 7
    EXPECT_FALSE(DecodeBlockCompressed(Format::A8R8G8B8, opaque, 4, 4, pixels));
}

// Partial blocks at the right and bottom edges decode only their pixels.
TEST(BlockCompressionTest, LevelsSmallerThanABlock)
{
    const std::uint8_t opaque[8] = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};
    std::uint8_t pixels[2 * 1 * 4] = {};
    ASSERT_TRUE(DecodeBlockCompressed(Format::DXT1, opaque, 2, 1, pixels));
    EXPECT_EQ(pixels[2], 0xFF);
    EXPECT_EQ(pixels[6], 0xFF);
}

TEST(FixedFunctionKeyTest, IgnoresStateThatDoesNotShapeTheProgram)
{
    DeviceState state(true);
    const VertexLayout layout = *DecodeFvf(0x144);
    const FixedFunctionKey base = MakeFixedFunctionKey(state, layout, 1);
    // Stage 1 is disabled: its settings do not matter. Lighting does not
    // apply to pre-transformed vertices.
    state.SetTextureStageState(1, TextureStageState::ColorArg1, TextureArg::Diffuse);
    state.SetRenderState(RenderState::NormalizeNormals, kTrue);
    state.SetRenderState(RenderState::SrcBlend, std::uint32_t(Blend::SrcAlpha));
    EXPECT_EQ(MakeFixedFunctionKey(state, layout, 1), base);
    EXPECT_EQ(FixedFunctionKeyHash{}(MakeFixedFunctionKey(state, layout, 1)), FixedFunctionKeyHash{}(base));
    // Whether stage 0 has a texture does matter.
    EXPECT_NE(MakeFixedFunctionKey(state, layout, 0), base);
    state.SetRenderState(RenderState::AlphaTestEnable, kTrue);
    state.SetRenderState(RenderState::AlphaFunc, std::uint32_t(Cmp::Less));
    EXPECT_NE(MakeFixedFunctionKey(state, layout, 1), base);
}

} // namespace
} // namespace gfx

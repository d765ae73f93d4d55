// The fixed-function texture stages, coordinate generation and lighting,
// seen in the pixels.

#include <bit>

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class TextureStageTest : public DeviceTest {
protected:
    void Stage(std::uint32_t stage, TextureStageState state, std::uint32_t value)
    {
        ASSERT_EQ(device->SetTextureStageState(stage, state, value), kOk);
    }
    void Op(std::uint32_t stage, TextureOp colorOp, std::uint32_t arg1, std::uint32_t arg2, TextureOp alphaOp,
            std::uint32_t alphaArg1, std::uint32_t alphaArg2)
    {
        Stage(stage, TextureStageState::ColorOp, std::uint32_t(colorOp));
        Stage(stage, TextureStageState::ColorArg1, arg1);
        Stage(stage, TextureStageState::ColorArg2, arg2);
        Stage(stage, TextureStageState::AlphaOp, std::uint32_t(alphaOp));
        Stage(stage, TextureStageState::AlphaArg1, alphaArg1);
        Stage(stage, TextureStageState::AlphaArg2, alphaArg2);
    }
    std::uint32_t DrawCentre(std::uint32_t diffuse)
    {
        Ref<Texture> target = MakeRenderTarget(*device, kWidth, kHeight);
        device->SetRenderTarget(0, target->SurfaceLevel(0).Get());
        device->Clear(0, nullptr, ClearFlags::Target, 0x00000000, 1.0f, 0);
        EXPECT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight, diffuse)), kOk);
        return ReadTarget(*device)[8 * kWidth + 8];
    }
};

struct StageCase {
    const char* name;
    TextureOp colorOp;
    std::uint32_t arg1, arg2;
    TextureOp alphaOp;
    std::uint32_t alphaArg1, alphaArg2;
    bool withTexture;
    std::uint32_t expected;
};

// Texture 0x80808080 and vertex colour 0x80FF8000 through one stage.
TEST_F(TextureStageTest, StageOperationsCombineTheirArguments)
{
    using A = TextureOp;
    constexpr std::uint32_t T = TextureArg::Texture, D = TextureArg::Diffuse, C = TextureArg::Current;
    const StageCase cases[] = {
        {"select texture", A::SelectArg1, T, D, A::SelectArg1, T, D, true, 0x80808080},
        {"select diffuse", A::SelectArg2, T, D, A::SelectArg2, T, D, true, 0x80FF8000},
        {"modulate", A::Modulate, T, D, A::Modulate, T, D, true, 0x40804000},
        {"disabled stage gives the diffuse colour", A::Disable, T, D, A::Disable, T, D, true, 0x80FF8000},
        {"disabled alpha keeps the current alpha", A::SelectArg1, T, C, A::Disable, T, D, true, 0x80808080},
        {"complement", A::SelectArg1, T | TextureArg::Complement, D, A::SelectArg1, T, D, true, 0x807F7F7F},
        {"alpha replicate", A::SelectArg1, D | TextureArg::AlphaReplicate, D, A::SelectArg1, D, D, true, 0x80808080},
        {"no texture reads white", A::Modulate, T, D, A::SelectArg1, T, D, false, 0xFFFF8000},
    };
    Ref<Texture> texture = MakeTexture(*device, 1, 1, {0x80808080});
    for (const StageCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(device->SetTexture(0, c.withTexture ? texture.Get() : nullptr), kOk);
        Op(0, c.colorOp, c.arg1, c.arg2, c.alphaOp, c.alphaArg1, c.alphaArg2);
        EXPECT_COLOR_NEAR(DrawCentre(0x80FF8000), c.expected, 1);
    }
}

TEST_F(TextureStageTest, SecondStageTakesItsTextureAndCoordinateSet)
{
    // Texture 0 is red on the left half; texture 1 is green on the top half.
    Ref<Texture> left = MakeTexture(*device, 2, 1, {0xFFFF0000, 0xFF000000});
    Ref<Texture> top = MakeTexture(*device, 1, 2, {0xFF00FF00, 0xFF000000});
    device->SetTexture(0, left.Get());
    device->SetTexture(1, top.Get());
    Op(0, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Current, TextureOp::SelectArg1, TextureArg::Texture,
       TextureArg::Current);
    Op(1, TextureOp::Modulate, TextureArg::Texture, TextureArg::Current, TextureOp::Disable, TextureArg::Texture,
       TextureArg::Current);
    // Coordinates of set 1 are those of set 0 turned by 90 degrees, so the
    // second texture's top half lands on the target's left half.
    UseScreenProjection();
    const std::vector<XyzTex2> quad{
        {0, 16, 0, 0, 1, 1, 0}, {0, 0, 0, 0, 0, 0, 0}, {16, 16, 0, 1, 1, 1, 1}, {16, 0, 0, 1, 0, 0, 1}};
    Stage(1, TextureStageState::TexCoordIndex, 1);
    ASSERT_EQ(Draw(*device, 0x202, quad), kOk);
    auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 4, 4), 0xFF000000u) << "red x green";
    EXPECT_EQ(Pixel(pixels, 4, 12), 0xFF000000u);

    // With both stages reading set 0, red x green is black on the left too;
    // modulating with yellow shows which coordinates stage 1 used.
    Ref<Texture> yellowTop = MakeTexture(*device, 2, 1, {0xFFFFFF00, 0xFF000000});
    device->SetTexture(1, yellowTop.Get());
    for (std::uint32_t set : {0u, 1u}) {
        Stage(1, TextureStageState::TexCoordIndex, set);
        ASSERT_EQ(Draw(*device, 0x202, quad), kOk);
        pixels = ReadTarget(*device);
        // Set 0: yellow on the left, where the red is. Set 1: yellow on the
        // top half (u1 = y), red only on the left: the top-left quarter.
        EXPECT_EQ(Pixel(pixels, 4, 12), set == 0 ? 0xFFFF0000u : 0xFF000000u) << "set " << set;
        EXPECT_EQ(Pixel(pixels, 4, 4), 0xFFFF0000u) << "set " << set;
    }
}

// What one texel of each format reads as, selected by a stage into an
// A8R8G8B8 target.
TEST_F(TextureStageTest, FormatsSampleAsDocumented)
{
    struct Case {
        const char* name;
        Format format;
        std::vector<std::uint8_t> texel;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"A8 is alpha over black", Format::A8, {0x40}, 0x40000000},
        {"X8R8G8B8 has opaque alpha", Format::X8R8G8B8, {0x30, 0x20, 0x10, 0x00}, 0xFF102030},
        {"A8R8G8B8", Format::A8R8G8B8, {0x30, 0x20, 0x10, 0x80}, 0x80102030},
        // Signed formats: 1.0 in u (red), 0 in v, opaque.
        {"V8U8", Format::V8U8, {0x7F, 0x00}, 0xFFFF0000},
        {"V16U16", Format::V16U16, {0xFF, 0x7F, 0x00, 0x00}, 0xFFFF0000},
    };
    Op(0, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Current, TextureOp::SelectArg1, TextureArg::Texture,
       TextureArg::Current);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Texture* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, c.format, Pool::Managed, &texture), kOk);
        Ref<Texture> ref = Ref<Texture>::Adopt(texture);
        LockedRect locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), kOk);
        std::memcpy(locked.bits, c.texel.data(), c.texel.size());
        ASSERT_EQ(texture->UnlockRect(0), kOk);
        device->SetTexture(0, texture);
        EXPECT_COLOR_NEAR(DrawCentre(0xFFFFFFFF), c.expected, 1);
    }
}

// A bump stage reads (du, dv) from a V8U8 texture, turns it by its bump
// matrix and shifts the next stage's coordinates: u += du m00 + dv m10,
// v += du m01 + dv m11. The next stage shows a 4 x 4 grid of colours.
TEST_F(TextureStageTest, BumpEnvMapOffsetsTheNextStageCoordinates)
{
    std::vector<std::uint32_t> grid(16);
    for (std::uint32_t i = 0; i < 16; ++i)
        grid[i] = 0xFF000000u | (i * 0x111111u);
    Ref<Texture> colors = MakeTexture(*device, 4, 4, grid);
    struct Case {
        Format format;
        std::int32_t du, dv; // full scale: 127 for V8U8, 32767 for V16U16
        float m00, m01, m10, m11;
        int columns, rows; // expected shift in grid cells
    };
    const Case cases[] = {
        {Format::V8U8, 0, 0, 0.25f, 0, 0, 0.25f, 0, 0},
        {Format::V8U8, 127, 0, 0.25f, 0, 0, 0.25f, 1, 0},
        {Format::V8U8, 0, 127, 0.25f, 0, 0, 0.25f, 0, 1},
        {Format::V8U8, 0, 127, 0, 0, 0.25f, 0, 1, 0}, // dv through m10 moves u
        {Format::V8U8, 127, 0, 0, 0.5f, 0, 0, 0, 2},  // du through m01 moves v
        {Format::V8U8, -128, 0, 0.25f, 0, 0, 0.25f, -1, 0},
        {Format::V16U16, 0, -32767, 0.25f, 0, 0, 0.25f, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.du) + "," + std::to_string(c.dv));
        Texture* bump = nullptr;
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, c.format, Pool::Managed, &bump), kOk);
        Ref<Texture> bumpRef = Ref<Texture>::Adopt(bump);
        LockedRect locked;
        ASSERT_EQ(bump->LockRect(0, &locked, nullptr, 0), kOk);
        if (c.format == Format::V8U8) {
            static_cast<std::int8_t*>(locked.bits)[0] = std::int8_t(c.du);
            static_cast<std::int8_t*>(locked.bits)[1] = std::int8_t(c.dv);
        } else {
            static_cast<std::int16_t*>(locked.bits)[0] = std::int16_t(c.du);
            static_cast<std::int16_t*>(locked.bits)[1] = std::int16_t(c.dv);
        }
        ASSERT_EQ(bump->UnlockRect(0), kOk);

        device->SetTexture(0, bump);
        device->SetTexture(1, colors.Get());
        Op(0, TextureOp::BumpEnvMap, TextureArg::Texture, TextureArg::Current, TextureOp::Disable, TextureArg::Texture,
           TextureArg::Current);
        Op(1, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Current, TextureOp::Disable, TextureArg::Texture,
           TextureArg::Current);
        Stage(0, TextureStageState::BumpEnvMat00, std::bit_cast<std::uint32_t>(c.m00));
        Stage(0, TextureStageState::BumpEnvMat01, std::bit_cast<std::uint32_t>(c.m01));
        Stage(0, TextureStageState::BumpEnvMat10, std::bit_cast<std::uint32_t>(c.m10));
        Stage(0, TextureStageState::BumpEnvMat11, std::bit_cast<std::uint32_t>(c.m11));
        Stage(1, TextureStageState::TexCoordIndex, 0);
        device->SetSamplerState(1, SamplerState::AddressU, std::uint32_t(TextureAddress::Wrap));
        device->SetSamplerState(1, SamplerState::AddressV, std::uint32_t(TextureAddress::Wrap));
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
        const auto pixels = ReadTarget(*device);
        // Pixel (6, 6) lies in cell (1, 1), away from the cell edges.
        const int column = (1 + c.columns + 4) % 4, row = (1 + c.rows + 4) % 4;
        EXPECT_EQ(Pixel(pixels, 6, 6), grid[row * 4 + column]);
    }
}

// A bump stage with no texture bound passes no (du, dv) on, whatever its
// bump matrix: the next stage samples at its own coordinates.
TEST_F(TextureStageTest, BumpStageWithoutTextureLeavesTheNextStageCoordinates)
{
    std::vector<std::uint32_t> grid(16);
    for (std::uint32_t i = 0; i < 16; ++i)
        grid[i] = 0xFF000000u | (i * 0x111111u);
    Ref<Texture> colors = MakeTexture(*device, 4, 4, grid);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, colors.Get());
    Op(0, TextureOp::BumpEnvMap, TextureArg::Texture, TextureArg::Current, TextureOp::Disable, TextureArg::Texture,
       TextureArg::Current);
    Op(1, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Current, TextureOp::Disable, TextureArg::Texture,
       TextureArg::Current);
    for (float m : {0.25f, 0.5f}) {
        Stage(0, TextureStageState::BumpEnvMat00, std::bit_cast<std::uint32_t>(m));
        Stage(0, TextureStageState::BumpEnvMat01, std::bit_cast<std::uint32_t>(m));
        Stage(0, TextureStageState::BumpEnvMat10, std::bit_cast<std::uint32_t>(m));
        Stage(0, TextureStageState::BumpEnvMat11, std::bit_cast<std::uint32_t>(m));
        Stage(1, TextureStageState::TexCoordIndex, 0);
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
        const auto pixels = ReadTarget(*device);
        for (std::uint32_t cell = 0; cell < 4; ++cell)
            EXPECT_EQ(Pixel(pixels, cell * 4 + 2, cell * 4 + 2), grid[cell * 4 + cell]) << m << " cell " << cell;
    }
}

// The glass ball's set-up: camera-space positions as coordinates, turned by
// the stage's texture matrix, two components used.
TEST_F(TextureStageTest, CameraSpacePositionThroughTheTextureMatrix)
{
    std::vector<std::uint32_t> stripes(kWidth);
    for (std::uint32_t i = 0; i < kWidth; ++i)
        stripes[i] = 0xFF000000u | (i * 0x101010u);
    Ref<Texture> texture = MakeTexture(*device, kWidth, 1, stripes);
    device->SetTexture(0, texture.Get());
    UseScreenProjection();
    math::Matrix view;
    math::MatrixTranslation(&view, -2, 0, 0); // camera space x = world x - 2
    device->SetTransform(TransformState::View, view);
    math::Matrix projection;
    math::MatrixOrthoOffCenterLH(&projection, -2, 14, 16, 0, -100, 100);
    device->SetTransform(TransformState::Projection, projection);
    math::Matrix texture0;
    math::MatrixScaling(&texture0, 1.0f / kWidth, 1.0f / kWidth, 1);
    device->SetTransform(TransformState::Texture0, texture0);
    Stage(0, TextureStageState::TexCoordIndex, TexCoordIndex::CameraSpacePosition);
    Stage(0, TextureStageState::TextureTransformFlags, TextureTransform::Count2);
    Op(0, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Current, TextureOp::SelectArg1, TextureArg::Texture,
       TextureArg::Current);
    const std::vector<XyzDiffuse> quad{
        {0, 16, 0, 0xFFFFFFFF}, {0, 0, 0, 0xFFFFFFFF}, {16, 16, 0, 0xFFFFFFFF}, {16, 0, 0, 0xFFFFFFFF}};
    ASSERT_EQ(Draw(*device, 0x42, quad), kOk);
    const auto pixels = ReadTarget(*device);
    // Pixel x shows camera-space x = x - 2, so texel x - 2 (wrapping).
    for (std::uint32_t x = 0; x < kWidth; ++x)
        EXPECT_EQ(Pixel(pixels, x, 8), stripes[(x + kWidth - 2) % kWidth]) << x;
}

TEST_F(TextureStageTest, TextureMatrixTranslatesTwoComponentCoordinatesByItsThirdRow)
{
    std::vector<std::uint32_t> stripes(kWidth);
    for (std::uint32_t i = 0; i < kWidth; ++i)
        stripes[i] = 0xFF000000u | (i * 0x0F0F0Fu);
    Ref<Texture> texture = MakeTexture(*device, kWidth, 1, stripes);
    device->SetTexture(0, texture.Get());
    math::Matrix shift; // (u, v, 1, 0) x M: row 2 carries the offset
    shift.m[2][0] = 0.25f;
    device->SetTransform(TransformState::Texture0, shift);
    Stage(0, TextureStageState::TextureTransformFlags, TextureTransform::Count2);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    EXPECT_EQ(ReadTarget(*device)[8 * kWidth + 0], stripes[4]);
}

// One directional light over the material: diffuse = light x material x N.L,
// plus the ambient terms; the vertex colour replaces the material's diffuse
// when the vertex has one (ColorVertex, Color1).
TEST_F(TextureStageTest, DirectionalLightWithMaterial)
{
    UseScreenProjection();
    device->SetRenderState(RenderState::Lighting, kTrue);
    Op(0, TextureOp::SelectArg1, TextureArg::Diffuse, TextureArg::Current, TextureOp::SelectArg1, TextureArg::Diffuse,
       TextureArg::Current);
    Light light;
    light.type = LightType::Directional;
    light.diffuse = {1, 1, 1, 1};
    light.direction = {0, 0, 1}; // towards +z, onto normals facing -z
    ASSERT_EQ(device->SetLight(0, light), kOk);
    ASSERT_EQ(device->LightEnable(0, true), kOk);
    Material material;
    material.diffuse = {1, 0.5f, 0, 1};
    material.ambient = {0, 0, 1, 1};
    ASSERT_EQ(device->SetMaterial(material), kOk);
    device->SetRenderState(RenderState::Ambient, 0xFF000080);

    struct Case {
        const char* name;
        math::Vec3 normal;
        std::uint32_t expected;
    };
    const float s = 0.70710678f;
    const Case cases[] = {
        {"facing the light", {0, 0, -1}, 0xFFFF8080},
        {"at 45 degrees", {0, s, -s}, 0xFFB45A80},
        {"facing away", {0, 0, 1}, 0xFF000080},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const math::Vec3 n = c.normal;
        const std::vector<XyzNormalTex> quad{{0, 16, 0, n.x, n.y, n.z, 0, 1},
                                             {0, 0, 0, n.x, n.y, n.z, 0, 0},
                                             {16, 16, 0, n.x, n.y, n.z, 1, 1},
                                             {16, 0, 0, n.x, n.y, n.z, 1, 0}};
        ASSERT_EQ(Draw(*device, 0x112, quad), kOk);
        EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], c.expected, 2);
    }

    // A vertex colour stands in for the material's diffuse colour.
    const std::vector<XyzNormalDiffuseTex> colored{{0, 16, 0, 0, 0, -1, 0xFF00FF00, 0, 1},
                                                   {0, 0, 0, 0, 0, -1, 0xFF00FF00, 0, 0},
                                                   {16, 16, 0, 0, 0, -1, 0xFF00FF00, 1, 1},
                                                   {16, 0, 0, 0, 0, -1, 0xFF00FF00, 1, 0}};
    ASSERT_EQ(Draw(*device, 0x152, colored), kOk);
    EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], 0xFF00FF80u, 2);
    ASSERT_EQ(device->SetRenderState(RenderState::ColorVertex, kFalse), kOk);
    ASSERT_EQ(Draw(*device, 0x152, colored), kOk);
    EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], 0xFFFF8080u, 2);
}

TEST_F(TextureStageTest, SpecularHighlightIsAddedAfterTheStages)
{
    UseScreenProjection();
    device->SetRenderState(RenderState::Lighting, kTrue);
    device->SetRenderState(RenderState::SpecularEnable, kTrue);
    Light light;
    light.diffuse = {0, 0, 0, 0};
    light.specular = {1, 1, 1, 0};
    light.direction = {0, 0, 1};
    device->SetLight(0, light);
    device->LightEnable(0, true);
    Material material;
    material.specular = {0.5f, 0.25f, 0, 0};
    material.power = 10;
    device->SetMaterial(material);
    // Normal towards the viewer, light from the viewer: N.H = 1.
    const std::vector<XyzNormalTex> quad{{0, 16, 0, 0, 0, -1, 0, 1},
                                         {0, 0, 0, 0, 0, -1, 0, 0},
                                         {16, 16, 0, 0, 0, -1, 1, 1},
                                         {16, 0, 0, 0, 0, -1, 1, 0}};
    device->SetRenderState(RenderState::LocalViewer, kFalse);
    ASSERT_EQ(Draw(*device, 0x112, quad), kOk);
    EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], 0xFF804000u, 2);
}

// With a local viewer (the default) the half vector takes the direction from
// the lit vertex to the eye: a surface facing the eye and lit from the eye's
// direction shines fully when the eye is far and less when the eye is close
// in front of it (its corners then see the eye at an angle). An infinitely far
// viewer sees the full highlight either way. Lighting is per vertex, and the
// four corners see the eye alike, so the whole quad takes one colour.
TEST_F(TextureStageTest, LocalViewerBendsTheHighlightTowardsTheEye)
{
    device->SetRenderState(RenderState::Lighting, kTrue);
    device->SetRenderState(RenderState::SpecularEnable, kTrue);
    Light light;
    light.diffuse = {0, 0, 0, 0};
    light.specular = {1, 1, 1, 0};
    light.direction = {0, 0, 1};
    device->SetLight(0, light);
    device->LightEnable(0, true);
    Material material;
    material.specular = {1, 1, 1, 0};
    material.power = 10;
    device->SetMaterial(material);
    const std::vector<XyzNormalTex> quad{{0, 16, 0, 0, 0, -1, 0, 1},
                                         {0, 0, 0, 0, 0, -1, 0, 0},
                                         {16, 16, 0, 0, 0, -1, 1, 1},
                                         {16, 0, 0, 0, 0, -1, 1, 0}};
    struct Case {
        std::uint32_t localViewer;
        float eyeDistance;
        std::uint32_t expected;
    };
    // Eye 8 units in front of the centre: each corner sees it at
    // atan(sqrt(128) / 8) = 54.7 degrees, N.H = cos(27.4) = 0.888, 0.888^10 = 0.305.
    const Case cases[] = {{kTrue, 8, 0xFF4E4E4E},
                          {kTrue, 1000, 0xFFFFFFFF},
                          {kFalse, 8, 0xFFFFFFFF},
                          {kFalse, 1000, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.localViewer) + " at " + std::to_string(c.eyeDistance));
        math::Matrix view;
        math::MatrixTranslation(&view, -8, -8, c.eyeDistance);
        device->SetTransform(TransformState::View, view);
        math::Matrix projection;
        math::MatrixOrthoOffCenterLH(&projection, -8, 8, 8, -8, 0, 2000);
        device->SetTransform(TransformState::Projection, projection);
        device->SetRenderState(RenderState::LocalViewer, c.localViewer);
        ASSERT_EQ(Draw(*device, 0x112, quad), kOk);
        EXPECT_COLOR_NEAR(ReadTarget(*device)[8 * kWidth + 8], c.expected, 3);
    }
}

} // namespace
} // namespace gfx::test
